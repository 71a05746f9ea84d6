#include "ResultsJson.h"

#include "NumberFormat.h"

#include <cmath>

namespace brelloc {

std::string JsonNumber(double value)
{
    if (!std::isfinite(value))
        return "null";
    if (value == 0.0)
        return "0"; // also for -0, which reads back as the same number
    return FormatShortest(value);
}

namespace {

std::string Point(const ModelPoint& p)
{
    return "{\"x\": " + JsonNumber(p.x) + ", \"y\": " + JsonNumber(p.y) + "}";
}

std::string Point(const std::optional<ModelPoint>& p)
{
    return p ? Point(*p) : "null";
}

std::string Probe(const std::optional<ProbeValues>& values)
{
    if (!values)
        return "null";
    return "{\"x\": " + JsonNumber(values->point.x) + ", \"y\": " + JsonNumber(values->point.y) +
           ", \"head\": " + JsonNumber(values->head) +
           ", \"stream_function\": " + JsonNumber(values->streamFunction) +
           ", \"pressure_head\": " + JsonNumber(values->pressureHead) +
           ", \"specific_discharge\": " + Point(values->specificDischarge) + "}";
}

} // namespace

std::string ResultsJson(const GeneralData& data, const FlowResults& results,
                        const std::vector<std::optional<ProbeValues>>* probes)
{
    std::string json = "{\"hl\": " + JsonNumber(data.HL) + ", \"nk\": " + JsonNumber(data.NK) +
                       ",\n \"water_table_top\": " + Point(results.waterTableTop) +
                       ",\n \"stagnation_point\": " + Point(results.stagnationPoint) +
                       ",\n \"divide\": " + Point(results.divide) +
                       ",\n \"infiltration_to_left_drain\": " +
                       JsonNumber(results.infiltrationToLeftDrain) +
                       ",\n \"infiltration_to_right_drain\": " +
                       JsonNumber(results.infiltrationToRightDrain);
    if (probes) {
        json += ",\n \"probes\": [";
        for (std::size_t k = 0; k < probes->size(); ++k)
            json += (k == 0 ? "\n  " : ",\n  ") + Probe((*probes)[k]);
        json += probes->empty() ? "]" : "\n ]";
    }
    json += "}\n";
    return json;
}

std::string ResultsJson(const GeneralData& data,
                        const std::optional<std::vector<ModelPoint>>& probePoints)
{
    const FlowResults results = ComputeResults(data);
    if (!probePoints)
        return ResultsJson(data, results);
    std::vector<std::optional<ProbeValues>> probes;
    probes.reserve(probePoints->size());
    if (!probePoints->empty()) {
        const FlowProbe probe(data);
        for (const ModelPoint& point : *probePoints)
            probes.push_back(probe.At(point));
    }
    return ResultsJson(data, results, &probes);
}

} // namespace brelloc
