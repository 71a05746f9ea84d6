#pragma once

#include "GeneralData.h"

namespace brelloc {

// The closed-form flow field on the parameter strip 0 <= xi <= 1, eta >= 0.
// Each function reads HL, NK and Pi only and keeps no state.
//
//   Potential      = HL*xi + (NK/2) e^(-pi eta) sin(pi xi)
//   StreamFunction = HL*eta - (NK/2) (1 + e^(-pi eta) cos(pi xi))
//   MapX           = (1 + cos(pi xi) cosh(pi eta) - NK cos(pi xi) sinh(pi eta))/2 - HL*eta
//   MapY           = (NK sin(pi xi) cosh(pi eta) - sin(pi xi) sinh(pi eta))/2 + HL*xi
//
// The order of evaluation below is part of the result: the tracer compares
// field values with contour levels exactly, so it is kept as it stands.
double Potential(const GeneralData& data, double xi, double eta);
double StreamFunction(const GeneralData& data, double xi, double eta);
double MapX(const GeneralData& data, double xi, double eta);
double MapY(const GeneralData& data, double xi, double eta);

// cosh and sinh built from exp, as the mapping uses them.
double CoshFromExp(double u);
double SinhFromExp(double u);

// Whether the field is flat: with H/L = 0 and N/k = 0 neither drain nor
// infiltration drives any flow; the potential and the stream function are 0
// everywhere, so there is no net to draw, only the three boundaries.
bool HasNoFlow(const GeneralData& data);

// What the outputs say where there is no flow.
extern const char* const kNoFlowMessage;

} // namespace brelloc
