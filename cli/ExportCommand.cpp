#include "ExportCommand.h"

#include "FileTextStream.h"
#include "PicTeXWriter.h"
#include "ReadingWarning.h"
#include "ResultsJson.h"
#include "SafeFileWriter.h"

#include <cstring>

namespace brelloc {

namespace {

std::string Results(const GeneralData& data, const ExportOptions& options)
{
    return options.probing ? ResultsJson(data, options.probes) : ResultsJson(data);
}

// Only the PicTeX text and the results go to standard output; the parser
// refuses "-" for the others.
ExportResult WriteToStandardOutput(const GeneralData& data, const OutputRequest& request,
                                   const ExportOptions& options, std::FILE* out)
{
    FileTextStream stream(out);
    if (request.kind == OutputKind::ResultsJson)
        stream.Write(Results(data, options));
    else
        WritePicTeX(stream, data);
    ExportResult result;
    result.ok = stream.Flush();
    if (!result.ok)
        result.error = std::string("Could not write to standard output: ") +
                       std::strerror(stream.Error()) + ".";
    return result;
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
        const std::string shown = CommitRow(data, value.row, value.text);
        const std::string warning = ReadingWarning(value.option, value.row, value.text, reading, shown);
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
        std::fputs(text.c_str(), out);
        return std::fflush(out) == 0 ? ExitOk : ExitWriteFailed;
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
