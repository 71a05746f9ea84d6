#include "ExportOptions.h"

#include "GeneralData.h"

#include <optional>

namespace brelloc {

namespace {

struct ValueSpec {
    const char* name;
    int row;
};

struct OutputSpec {
    const char* name;
    OutputKind kind;
};

// New values and outputs are one line each here and in the usage.
constexpr ValueSpec kValueOptions[] = {
    {"--hl", RowHL},
    {"--nk", RowNK},
    {"--xmax", RowXmaxL},
    {"--squares", RowSquares},
};

constexpr OutputSpec kOutputOptions[] = {
    {"--pictex", OutputKind::PicTeX},
};

std::optional<ValueSpec> FindValueOption(const std::string& name)
{
    for (const ValueSpec& spec : kValueOptions)
        if (name == spec.name)
            return spec;
    return std::nullopt;
}

std::optional<OutputSpec> FindOutputOption(const std::string& name)
{
    for (const OutputSpec& spec : kOutputOptions)
        if (name == spec.name)
            return spec;
    return std::nullopt;
}

} // namespace

ParsedOptions ParseExportOptions(const std::vector<std::string>& args)
{
    ParsedOptions parsed;
    ExportOptions& options = parsed.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }

        std::string name = arg;
        std::optional<std::string> value;
        const std::size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }

        const std::optional<ValueSpec> valueSpec = FindValueOption(name);
        const std::optional<OutputSpec> outputSpec = FindOutputOption(name);
        if (!valueSpec && !outputSpec) {
            parsed.error = arg.rfind("-", 0) == 0 && arg != "-"
                               ? "unknown option \"" + arg + "\""
                               : "unexpected argument \"" + arg + "\"";
            return parsed;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                parsed.error = "option " + name + " needs " +
                               (valueSpec ? std::string("a value") : std::string("a file name"));
                return parsed;
            }
            value = args[++i];
        }
        if (valueSpec) {
            options.values.push_back({valueSpec->name, valueSpec->row, *value});
        } else {
            if (value->empty()) {
                parsed.error = "option " + name + " needs a file name";
                return parsed;
            }
            options.outputs.push_back({outputSpec->kind, *value});
        }
    }
    if (!options.help && options.outputs.empty())
        parsed.error = "nothing to write: give an output such as --pictex FILE";
    return parsed;
}

std::string ExportUsage()
{
    return "Usage: brelloc-export [--hl TEXT] [--nk TEXT] [--xmax TEXT] [--squares TEXT]\n"
           "                      --pictex FILE\n"
           "Writes the flow net of steady groundwater flow under a water divide.\n"
           "\n"
           "Values, read as the program's grid reads them (missing ones keep their\n"
           "start-up values; a value that had to be replaced is reported on stderr):\n"
           "  --hl TEXT        H/L, height of the left drain over the drain distance (0.2)\n"
           "  --nk TEXT        N/k, infiltration rate over permeability (0.5)\n"
           "  --xmax TEXT      Xmax/L, half the size of the figure window, at least 1 (3)\n"
           "  --squares TEXT   number of squares between the drains, 2 to 20 (10)\n"
           "\n"
           "Outputs (at least one; FILE - means standard output):\n"
           "  --pictex FILE    LaTeX figure with a PicTeX picture of the flow net\n"
           "\n"
           "  --help           show this text\n"
           "\n"
           "Exit status: 0 when every output was written completely, 1 when one could\n"
           "not be written (an existing file is then left as it was), 2 for a usage error.\n";
}

} // namespace brelloc
