#pragma once

#include "FlowProbe.h"
#include "FlowResults.h"

#include <array>
#include <optional>
#include <string>

namespace brelloc {

// A number of the results or the probe with three decimals, as the grid
// shows its values; one of 10000 or more (after rounding) in exponent form
// with three significant digits (one from 1e100 on), so that it keeps to its
// cell. "-0.000" is written "0.000".
std::string ResultNumber(double value);

// The word for a quantity that does not exist.
inline constexpr const char* kNoneText = "none";

// The x of a stagnation point beyond the range of a double.
inline constexpr const char* kOffScaleText = "off scale";

// The rows of the results block: a label and two values. A point shows its
// x/L and y/L; the infiltration row the left and the right drain's share.
// A point that does not exist shows kNoneText and an empty second value.
// (A stagnation point beyond the range of a double shows kOffScaleText.)
constexpr int kResultRows = 4;
struct ResultRow {
    const char* label;
    std::string first;
    std::string second;
};
std::array<ResultRow, kResultRows> ResultRows(const FlowResults& results);

// The probe's reading at a model point: the point and its flow values, or
// the point and "outside the flow region" where values is empty.
inline constexpr const char* kOutsideText = "outside the flow region";
std::string ProbeReading(ModelPoint point, const std::optional<ProbeValues>& values);

} // namespace brelloc
