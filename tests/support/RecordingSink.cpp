#include "RecordingSink.h"

#include <sstream>

namespace brelloc::test {

bool SinkCall::operator==(const SinkCall& other) const
{
    return kind == other.kind && k == other.k && family == other.family && p == other.p &&
           q == other.q;
}

std::string Describe(const SinkCall& call)
{
    std::ostringstream out;
    out.precision(17);
    switch (call.kind) {
    case SinkCall::BeginCurve: out << "BeginCurve(" << call.p.x << ", " << call.p.y << ")"; break;
    case SinkCall::CurvePoint:
        out << "CurvePoint(" << call.k << ", " << call.p.x << ", " << call.p.y << ")";
        break;
    case SinkCall::EndCurve: out << "EndCurve()"; break;
    case SinkCall::BeginFamily:
        out << "BeginFamily(" << (call.family == Family::Potential ? "potential" : "stream") << ")";
        break;
    case SinkCall::Segment:
        out << "Segment(" << call.p.x << ", " << call.p.y << ", " << call.q.x << ", " << call.q.y
            << ")";
        break;
    }
    return out.str();
}

void RecordingSink::BeginCurve(ModelPoint p0)
{
    SinkCall call;
    call.kind = SinkCall::BeginCurve;
    call.p = p0;
    calls.push_back(call);
}

void RecordingSink::CurvePoint(int k, ModelPoint p)
{
    SinkCall call;
    call.kind = SinkCall::CurvePoint;
    call.k = k;
    call.p = p;
    calls.push_back(call);
}

void RecordingSink::EndCurve()
{
    SinkCall call;
    call.kind = SinkCall::EndCurve;
    calls.push_back(call);
}

void RecordingSink::BeginFamily(Family family)
{
    SinkCall call;
    call.kind = SinkCall::BeginFamily;
    call.family = family;
    calls.push_back(call);
}

void RecordingSink::Segment(ModelPoint p, ModelPoint q)
{
    SinkCall call;
    call.kind = SinkCall::Segment;
    call.p = p;
    call.q = q;
    calls.push_back(call);
}

std::vector<std::vector<int>> RecordingSink::CurveSamples() const
{
    std::vector<std::vector<int>> curves;
    for (const SinkCall& call : calls) {
        if (call.kind == SinkCall::BeginCurve)
            curves.emplace_back();
        else if (call.kind == SinkCall::CurvePoint && !curves.empty())
            curves.back().push_back(call.k);
    }
    return curves;
}

std::vector<SinkCall> RecordingSink::Segments(Family family) const
{
    std::vector<SinkCall> segments;
    bool inFamily = false;
    for (const SinkCall& call : calls) {
        if (call.kind == SinkCall::BeginFamily)
            inFamily = call.family == family;
        else if (call.kind == SinkCall::Segment && inFamily)
            segments.push_back(call);
    }
    return segments;
}

} // namespace brelloc::test
