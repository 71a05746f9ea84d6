#pragma once

#include "FlowProbe.h"
#include "FlowResults.h"
#include "GeneralData.h"

#include <optional>
#include <string>
#include <vector>

namespace brelloc {

// The results of a parameter set as one JSON object, keys in this order:
//
//   {"hl": ..., "nk": ...,
//    "water_table_top": {"x": ..., "y": ...},
//    "stagnation_point": {"x": ..., "y": ...} or null,
//    "divide": {"x": ..., "y": ...} or null,
//    "infiltration_to_left_drain": ..., "infiltration_to_right_drain": ...,
//    "probes": [{"x": ..., "y": ..., "head": ..., "stream_function": ...,
//                "pressure_head": ..., "specific_discharge": {"x": ..., "y": ...}}
//               or null, ...]}
//
// "probes" is there only when probes are given, one entry per probe in order,
// null for a point outside the flow region. Numbers are in the shortest form
// that reads back to the same double; a quantity that does not exist (or a
// value that is not finite) is null. The text ends with a line end.
std::string ResultsJson(const GeneralData& data, const FlowResults& results,
                        const std::vector<std::optional<ProbeValues>>* probes = nullptr);

// Computes the results and, when probePoints is given, probes each point.
std::string ResultsJson(const GeneralData& data,
                        const std::optional<std::vector<ModelPoint>>& probePoints = std::nullopt);

// One number as the JSON above writes it: shortest round-trip form, or null.
std::string JsonNumber(double value);

} // namespace brelloc
