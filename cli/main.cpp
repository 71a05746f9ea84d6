// brelloc-export: writes flow-net figures and the report from the command
// line, for scripts.
#include "ExportCommand.h"
#include "ExportOptions.h"
#include "InterruptCleanup.h"

#ifdef BRELLOC_EXPORT_RENDERING
#include "RenderedOutputs.h"
#endif

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Before anything else, so that every thread leaves these signals to
    // the one that cleans up.
    brelloc::HandleInterruptions("brelloc-export: ");
    // A closed pipe is the failure of the output written to it, reported
    // like any other; the other outputs are still written.
    std::signal(SIGPIPE, SIG_IGN);

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
