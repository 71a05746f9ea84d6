#include "ExportCommand.h"

#include "FileTextStream.h"
#include "FlowField.h"
#include "PicTeXWriter.h"
#include "ReadingWarning.h"
#include "ResultsJson.h"
#include "SafeFileWriter.h"

#include <cmath>
#include <cstring>

namespace brelloc {

namespace {

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
        const std::string shown = CommitRow(data, value.row, value.text);
        const std::string warning =
            ReadingWarning(value.option, value.row, value.text, reading, limit, shown);
        if (!warning.empty())
            warnings.push_back("brelloc-export: warning: " + warning);
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
