#pragma once

#include <string>

namespace brelloc::test {

// The PicTeX file the exporter must write after committing these grid texts
// for H/L and N/k (the other values at their start-up settings).
std::string ExpectedFigure(const char* hl = "0.2", const char* nk = "0.5");

} // namespace brelloc::test
