#pragma once

#include "GeneralData.h"

#include <string>

namespace brelloc {

// The sentence that tells the user a typed value was not taken as typed:
// `name "text": why; using shown.`, where why names every problem the
// reading found (no number, a number in hexadecimal, text ignored after the
// number or beyond the 40th character, a value out of range) and shown is the stored value's
// display text without its leading spaces. `reading` is what the commit
// read of the text, `limit` how many characters it read. Empty when the
// text was read whole and kept. The exporter prints it as a warning, the
// window shows it as a note, so both say the same.
std::string ReadingWarning(const std::string& name, int row, const std::string& text,
                           const RowReading& reading, std::size_t limit, const std::string& shown);

} // namespace brelloc
