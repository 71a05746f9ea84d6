#pragma once

#include "ExportResult.h"
#include "GeneralData.h"
#include "TextStream.h"

#include <string>

namespace brelloc {

// The PicTeX file: a LaTeX figure environment holding a PicTeX picture of the
// flow net, meant to be \input into a document that loads pictex.

// The nine opening lines: figure, picture, coordinate system, plot area, axes.
void WriteTexPreamble(TextStream& out);
// The six closing lines: axis labels, end of picture, caption with H/L and
// N/k ("%5.3f"), label, end of figure.
void WriteTexClosing(TextStream& out, const GeneralData& data);
// The whole file: preamble, the traced net through a PicTeXSink, closing.
void WritePicTeX(TextStream& out, const GeneralData& data);

// What a path holds before an export replaces it: no regular file (nothing,
// or a device or pipe that is written, not replaced), a file Brelloc wrote
// (its first line is the first line written above), or any other file.
enum class ExistingFile { None, Brelloc, Other };
ExistingFile ExistingFileAt(const std::string& path);

// Writes the whole file to path. The file appears only once it is complete;
// on failure an existing file is left exactly as it was.
ExportResult WritePicTeXFile(const GeneralData& data, const std::string& path);

} // namespace brelloc
