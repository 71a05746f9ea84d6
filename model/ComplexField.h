#pragma once

#include "GeneralData.h"

#include <complex>

namespace brelloc {

// The flow field as two analytic functions of the parameter point
// zeta = xi + i*eta, for HL, NK and Pi of the data:
//
//   w(zeta) = Potential + i*StreamFunction = HL*zeta - i*(NK/2)*(1 + e^(i*pi*zeta))
//   z(zeta) = MapX + i*MapY = (1 + cos(pi*zeta))/2 + i*(NK/2)*sin(pi*zeta) + i*HL*zeta
//
// The net is conformal, so the head gradient is conj(dw/dz) and the specific
// discharge is q/k = -conj(w'(zeta) / z'(zeta)).
using Complex = std::complex<double>;

Complex ComplexPotential(const GeneralData& data, Complex zeta);
Complex ComplexPotentialDerivative(const GeneralData& data, Complex zeta);
Complex MapPoint(const GeneralData& data, Complex zeta);
Complex MapDerivative(const GeneralData& data, Complex zeta);

} // namespace brelloc
