#include "FlowField.h"

#include <cmath>

namespace brelloc {

double CoshFromExp(double u)
{
    return (std::exp(-u) + std::exp(u)) / 2.0;
}

double SinhFromExp(double u)
{
    return (std::exp(u) - std::exp(-u)) / 2.0;
}

const char* const kNoFlowMessage = "no flow: H/L and N/k are both 0";

bool HasNoFlow(const GeneralData& data)
{
    return data.HL == 0.0 && data.NK == 0.0;
}

double Potential(const GeneralData& data, double xi, double eta)
{
    const double s = std::sin(data.Pi * xi);
    const double rise = data.HL * xi;
    const double decay = std::exp(-(data.Pi * eta));
    return decay * ((data.NK * 0.5) * s) + rise;
}

double StreamFunction(const GeneralData& data, double xi, double eta)
{
    const double c = std::cos(data.Pi * xi);
    const double rise = data.HL * eta;
    const double decay = std::exp(-(data.Pi * eta));
    return rise - (decay * c + 1.0) * (data.NK * 0.5);
}

double MapX(const GeneralData& data, double xi, double eta)
{
    const double c = std::cos(data.Pi * xi);
    const double u = data.Pi * eta;
    const double ch = CoshFromExp(u);
    const double sh = SinhFromExp(u);
    return ((c * ch + 1.0) - data.NK * c * sh) * 0.5 - data.HL * eta;
}

double MapY(const GeneralData& data, double xi, double eta)
{
    const double s = std::sin(data.Pi * xi);
    const double u = data.Pi * eta;
    const double ch = CoshFromExp(u);
    const double sh = SinhFromExp(u);
    return (data.NK * s * ch - s * sh) * 0.5 + data.HL * xi;
}

} // namespace brelloc
