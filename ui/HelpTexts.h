#pragma once

#include <string>

namespace brelloc {

// The line under the credit line of the program message (without its two
// line feeds). Kept within 116 characters, so that the whole message stays
// within 1200 characters with its terminating NUL.
extern const char* const kHelpNotice;

// The message of the help button on the tool panel: name, credit, notice, a
// sketch of the ground profile and what the program does.
std::string ProgramMessage();

// The message of the help button on the "General Data" header: what each
// grid row means.
std::string GeneralDataMessage();

} // namespace brelloc
