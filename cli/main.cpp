// brelloc-export: writes flow-net figures and the report from the command
// line, for scripts.
#include "ExportCommand.h"
#include "ExportOptions.h"

#ifdef BRELLOC_EXPORT_RENDERING
#include "RenderedOutputs.h"
#endif

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const brelloc::ParsedOptions parsed = brelloc::ParseExportOptions(args);
    if (!parsed.Ok()) {
        std::fprintf(stderr, "brelloc-export: %s\n\n%s", parsed.error.c_str(),
                     brelloc::ExportUsage().c_str());
        return brelloc::ExitUsage;
    }
#ifdef BRELLOC_EXPORT_RENDERING
    brelloc::RenderedOutputs rendered(argv[0]);
    return brelloc::RunExport(parsed.options, stdout, stderr,
                              [&rendered](const brelloc::GeneralData& data,
                                          const brelloc::OutputRequest& request,
                                          const brelloc::ExportOptions& options) {
                                  return rendered.Write(data, request, options);
                              });
#else
    return brelloc::RunExport(parsed.options, stdout, stderr);
#endif
}
