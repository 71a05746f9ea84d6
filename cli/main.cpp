// brelloc-export: writes flow-net figures from the command line, for scripts.
#include "ExportCommand.h"
#include "ExportOptions.h"

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
    return brelloc::RunExport(parsed.options, stdout, stderr);
}
