#include "ExportCommand.h"

#include "FileTextStream.h"
#include "PicTeXWriter.h"
#include "ResultsJson.h"
#include "SafeFileWriter.h"

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

// Why the typed text did not give the value typed, or "" when it did.
std::string ReadingProblems(int row, const std::string& text, const RowReading& reading)
{
    std::string problems;
    auto add = [&problems](const std::string& problem) {
        problems += problems.empty() ? problem : "; " + problem;
    };
    if (reading.noNumber) {
        add("no number found");
    } else {
        if (reading.partlyRead)
            add(text.size() > kRowTextLimit ? "only the first 40 characters are read"
                                            : "the text after the number is ignored");
        if (reading.replaced)
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
        const RowReading reading = ReadRowText(value.row, value.text);
        const std::string shown = Trimmed(CommitRow(data, value.row, value.text));
        const std::string problems = ReadingProblems(value.row, value.text, reading);
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
