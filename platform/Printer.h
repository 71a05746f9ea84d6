#pragma once

class QPrinter;

namespace brelloc {

// The program's one printer object, kept for the whole run so the printer and
// settings chosen in the print dialog stay for the next job. Created on first
// use, at the printer's own resolution.
QPrinter& Printer();

} // namespace brelloc
