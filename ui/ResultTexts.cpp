#include "ResultTexts.h"

#include "NumberFormat.h"

#include <cmath>
#include <cstdio>

namespace brelloc {

std::string ResultNumber(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    std::string text = FormatFixed(value, 0, 3);
    const std::size_t wholeDigits = text.find('.') - (text[0] == '-' ? 1 : 0);
    if (wholeDigits > 4) {
        // A three-digit exponent leaves room for one digit only.
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, std::fabs(value) < 1e100 ? "%.2e" : "%.0e", value);
        return buffer;
    }
    if (text == "-0.000")
        text = "0.000";
    return text;
}

namespace {

ResultRow PointRow(const char* label, const std::optional<ModelPoint>& point)
{
    if (!point)
        return {label, kNoneText, std::string()};
    return {label, ResultNumber(point->x), ResultNumber(point->y)};
}

} // namespace

std::array<ResultRow, kResultRows> ResultRows(const FlowResults& results)
{
    ResultRow stagnation = PointRow("Stagnation x/L, y/L", results.stagnationPoint);
    if (!results.stagnationPoint && results.stagnationAt) {
        // It exists, but so far out along the left drain that its x is
        // beyond the range of a double.
        stagnation.first = kOffScaleText;
    }
    return {PointRow("Divide x/L, y/L", results.divide), stagnation,
            PointRow("Water-table top x/L, y/L", results.waterTableTop),
            ResultRow{"Infiltration left, right", ResultNumber(results.infiltrationToLeftDrain),
                      ResultNumber(results.infiltrationToRightDrain)}};
}

std::string ProbeReading(ModelPoint point, const std::optional<ProbeValues>& values)
{
    std::string text = "x/L " + ResultNumber(point.x) + "  y/L " + ResultNumber(point.y);
    if (!values)
        return text + "  " + kOutsideText;
    const double discharge = std::hypot(values->specificDischarge.x, values->specificDischarge.y);
    return text + "  h/L " + ResultNumber(values->head) + "  (h-y)/L " +
           ResultNumber(values->pressureHead) + "  psi/kL " + ResultNumber(values->streamFunction) +
           "  q/k " + ResultNumber(discharge);
}

} // namespace brelloc
