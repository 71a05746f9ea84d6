#include "ComplexField.h"

#include <cmath>

namespace brelloc {

namespace {

const Complex kI(0.0, 1.0);

// e^(i*pi*zeta) = e^(-pi*eta) (cos(pi*xi) + i sin(pi*xi))
Complex Wave(const GeneralData& data, Complex zeta)
{
    return std::polar(std::exp(-(data.Pi * zeta.imag())), data.Pi * zeta.real());
}

} // namespace

Complex ComplexPotential(const GeneralData& data, Complex zeta)
{
    return data.HL * zeta - kI * (data.NK * 0.5) * (1.0 + Wave(data, zeta));
}

Complex ComplexPotentialDerivative(const GeneralData& data, Complex zeta)
{
    return data.HL + (data.NK * 0.5 * data.Pi) * Wave(data, zeta);
}

Complex MapPoint(const GeneralData& data, Complex zeta)
{
    const Complex pz = data.Pi * zeta;
    return (1.0 + std::cos(pz)) * 0.5 + kI * ((data.NK * 0.5) * std::sin(pz)) +
           kI * (data.HL * zeta);
}

Complex MapDerivative(const GeneralData& data, Complex zeta)
{
    const Complex pz = data.Pi * zeta;
    return -(data.Pi * 0.5) * std::sin(pz) + kI * ((data.NK * 0.5 * data.Pi) * std::cos(pz)) +
           kI * data.HL;
}

} // namespace brelloc
