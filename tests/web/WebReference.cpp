// What the desktop program's own code gives, for the browser edition's tests
// to compare with:
//
//   web-reference [set ROW TEXT]... ACTION
//
// Each "set" commits TEXT into grid row ROW as the desktop grid does and
// prints the display text it returns. ACTION is one of
//   counts    the points of each boundary curve the screen draws (its start
//             point and the samples after sample 0 in the window) and the
//             number of potential and stream segments
//   program   the program message
//   general   the general-data message
//   none      nothing more

#include "FlowNetTracer.h"
#include "GeneralData.h"
#include "HelpTexts.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace brelloc;

class CountingSink final : public PlotSink {
public:
    void BeginCurve(ModelPoint) override { curves.push_back(1); }
    void CurvePoint(int k, ModelPoint) override
    {
        if (k != 0)
            ++curves.back();
    }
    void EndCurve() override {}
    void BeginFamily(Family family) override { current = family; }
    void Segment(ModelPoint, ModelPoint) override
    {
        ++(current == Family::Potential ? potential : stream);
    }

    std::vector<long> curves;
    long potential = 0;
    long stream = 0;
    Family current = Family::Potential;
};

int Usage()
{
    std::fprintf(stderr, "usage: web-reference [set ROW TEXT]... counts|program|general|none\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    GeneralData data;
    InitDefaults(data);
    int i = 1;
    while (i + 2 < argc && std::strcmp(argv[i], "set") == 0) {
        const int row = std::atoi(argv[i + 1]);
        if (row < 0 || row >= kGridRowCount)
            return Usage();
        const std::string shown = CommitRow(data, row, argv[i + 2]);
        UpdateDerived(data);
        std::printf("%s\n", shown.c_str());
        i += 3;
    }
    if (i + 1 != argc)
        return Usage();
    const std::string action = argv[i];
    if (action == "counts") {
        CountingSink sink;
        FlowNetTracer::Trace(data, sink);
        std::printf("curves");
        for (long points : sink.curves)
            std::printf(" %ld", points);
        std::printf("\npotential %ld\nstream %ld\n", sink.potential, sink.stream);
    } else if (action == "program") {
        std::fputs(ProgramMessage().c_str(), stdout);
    } else if (action == "general") {
        std::fputs(GeneralDataMessage().c_str(), stdout);
    } else if (action != "none") {
        return Usage();
    }
    return 0;
}
