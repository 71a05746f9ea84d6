#include "ExportCommand.h"

#include "FileTextStream.h"
#include "FlowField.h"
#include "PicTeXWriter.h"
#include "ResultsJson.h"
#include "SafeFileWriter.h"

#include <cmath>
#include <cstring>

namespace brelloc {

namespace {

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string RangeOf(int row)
{
    switch (row) {
    case RowSquares: return "a whole number from 2 to 20";
    case RowXmaxL: return "a finite number of at least 1";
    default: return "a finite number of at least 0";
    }
}

bool SameNumber(const RowReading& a, const RowReading& b)
{
    if (a.noNumber || b.noNumber)
        return a.noNumber == b.noNumber;
    return a.read == b.read || (std::isnan(a.read) && std::isnan(b.read));
}

// Why the typed text did not give the value typed, or "" when it did.
// `reading` is what was committed; `limit` the characters it read. The cut
// at 40 characters is named only where it changed the number read: a number
// that ends before it is reported as if the whole text had been read.
std::string ReadingProblems(int row, const std::string& text, const RowReading& reading,
                            std::size_t limit)
{
    std::string problems;
    auto add = [&problems](const std::string& problem) {
        problems += problems.empty() ? problem : "; " + problem;
    };
    const std::size_t characters = CharacterCount(text);
    RowReading reported = reading;
    if (characters > limit) {
        const RowReading whole = ReadRowText(row, text, characters);
        if (!SameNumber(reading, whole)) {
            add(reading.noNumber ? "the number lies beyond the first 40 characters, the only "
                                   "ones read"
                                 : "only the first 40 characters are read");
            if (!reading.noNumber && reading.replaced)
                add("the value must be " + RangeOf(row));
            return problems;
        }
        reported = whole;
    }
    if (reported.noNumber) {
        add("no number found");
    } else {
        if (reported.partlyRead)
            add("the text after the number is ignored");
        if (reported.replaced)
            add("the value must be " + RangeOf(row));
    }
    return problems;
}

ExportResult WriteText(std::FILE* out, const std::function<void(TextStream&)>& write)
{
    FileTextStream stream(out);
    write(stream);
    ExportResult result;
    result.ok = stream.Flush();
    if (!result.ok)
        result.error = std::string("Could not write to standard output: ") +
                       std::strerror(stream.Error()) + ".";
    return result;
}

std::string Results(const GeneralData& data, const ExportOptions& options)
{
    return options.probing ? ResultsJson(data, options.probes) : ResultsJson(data);
}

// Only the PicTeX text and the results go to standard output; the parser
// refuses "-" for the others.
ExportResult WriteToStandardOutput(const GeneralData& data, const OutputRequest& request,
                                   const ExportOptions& options, std::FILE* out)
{
    return WriteText(out, [&](TextStream& stream) {
        if (request.kind == OutputKind::ResultsJson)
            stream.Write(Results(data, options));
        else
            WritePicTeX(stream, data);
    });
}

ExportResult WriteResultsFile(const GeneralData& data, const std::string& path,
                              const ExportOptions& options)
{
    SafeFileWriter writer(path);
    if (writer.Open()) {
        writer.Stream().Write(Results(data, options));
        writer.Commit();
    }
    ExportResult result;
    result.ok = writer.Ok();
    result.error = writer.ErrorMessage();
    return result;
}

ExportResult WriteOutput(const GeneralData& data, const OutputRequest& request,
                         const ExportOptions& options, std::FILE* out,
                         const RenderedOutputWriter& render)
{
    if (request.path == "-")
        return WriteToStandardOutput(data, request, options, out);
    if (request.kind == OutputKind::PicTeX)
        return WritePicTeXFile(data, request.path);
    if (request.kind == OutputKind::ResultsJson)
        return WriteResultsFile(data, request.path, options);
    if (!render)
        return WriteFailed(request.path, "this brelloc-export was built without Qt, which PDF, "
                                         "SVG and PNG output need");
    return render(data, request, options);
}

} // namespace

std::vector<std::string> ApplyValueOptions(GeneralData& data,
                                           const std::vector<ValueOption>& values)
{
    std::vector<std::string> warnings;
    for (const ValueOption& value : values) {
        // The row's own display text is read whole, as the grid reads it.
        const std::size_t limit = value.text == RowText(data, value.row)
                                      ? CharacterCount(value.text)
                                      : kRowTextLimit;
        const RowReading reading = ReadRowText(value.row, value.text, limit);
        const std::string shown = Trimmed(CommitRow(data, value.row, value.text));
        const std::string problems = ReadingProblems(value.row, value.text, reading, limit);
        if (!problems.empty())
            warnings.push_back("brelloc-export: warning: " + value.option + " \"" + value.text +
                               "\": " + problems + "; using " + shown + ".");
    }
    UpdateDerived(data);
    return warnings;
}

int RunExport(const ExportOptions& options, std::FILE* out, std::FILE* err,
              const RenderedOutputWriter& render)
{
    if (options.help || options.version) {
        const std::string text = options.help ? ExportUsage() : ExportVersion() + "\n";
        const ExportResult result = WriteText(out, [&text](TextStream& stream) { stream.Write(text); });
        if (result.ok)
            return ExitOk;
        std::fprintf(err, "brelloc-export: %s\n", result.error.c_str());
        return ExitWriteFailed;
    }

    GeneralData data;
    InitDefaults(data);
    for (const std::string& warning : ApplyValueOptions(data, options.values))
        std::fprintf(err, "%s\n", warning.c_str());
    // The outputs then hold the boundaries alone.
    if (HasNoFlow(data))
        std::fprintf(err, "brelloc-export: warning: %s\n", kNoFlowMessage);

    int code = ExitOk;
    for (const OutputRequest& request : options.outputs) {
        const ExportResult result = WriteOutput(data, request, options, out, render);
        if (!result.ok) {
            std::fprintf(err, "brelloc-export: %s\n", result.error.c_str());
            code = ExitWriteFailed;
        }
    }
    return code;
}

} // namespace brelloc
