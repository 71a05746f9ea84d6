#include "ExportOptions.h"

#include "GeneralData.h"
#include "SafeFileWriter.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>
#include <map>
#include <system_error>

#include <sys/stat.h>

namespace brelloc {

namespace {

// The descriptor an output path writes through: "-" is standard output, and
// /dev/stdout, /dev/fd/1 and the like name it too; -1 for a file.
int DescriptorOf(const std::string& path)
{
    return path == "-" ? 1 : StreamDescriptorOf(path);
}

// What a file output is known by, however its path is spelt ("a.pdf",
// "./a.pdf", a path through a symbolic link, a hard link): an existing file
// by its device and inode, a new one by its absolute path with links and dot
// folders resolved.
std::string FileIdentity(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0)
        return "inode " + std::to_string(status.st_dev) + " " + std::to_string(status.st_ino);
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::absolute(path, error);
    if (!error) {
        const std::filesystem::path canonical = std::filesystem::weakly_canonical(resolved, error);
        if (!error)
            resolved = canonical;
    }
    return "path " + (error ? path : resolved.lexically_normal().string());
}

// The outputs so far, looked up in logarithmic time, so that a thousand
// outputs cost no million comparisons. Two outputs name one file when they
// write through one descriptor ("-", /dev/stdout, /dev/fd/1), or when they
// are the same file; a descriptor's name (not "-") stands for the file it is
// open on against plain paths, but two descriptors are told apart by number
// even where both go to one terminal or pipe. The second output would
// silently replace the first, or repeat it.
class OutputFiles {
public:
    // The earlier path naming the same file, or none; records the path.
    std::optional<std::string> Add(const std::string& path)
    {
        const int descriptor = DescriptorOf(path);
        std::optional<std::string> earlier;
        if (descriptor >= 0) {
            earlier = Find(descriptors_, descriptor);
            if (!earlier && path != "-")
                earlier = Find(files_, FileIdentity(path));
            if (!earlier) {
                descriptors_.emplace(descriptor, path);
                if (path != "-")
                    descriptorFiles_.emplace(FileIdentity(path), path);
            }
        } else {
            const std::string identity = FileIdentity(path);
            earlier = Find(files_, identity);
            if (!earlier)
                earlier = Find(descriptorFiles_, identity);
            if (!earlier)
                files_.emplace(identity, path);
        }
        return earlier;
    }

private:
    template <typename Key>
    static std::optional<std::string> Find(const std::map<Key, std::string>& map, const Key& key)
    {
        const auto it = map.find(key);
        return it == map.end() ? std::nullopt : std::optional<std::string>(it->second);
    }

    std::map<int, std::string> descriptors_;         // descriptor -> path
    std::map<std::string, std::string> files_;       // FileIdentity -> plain path
    std::map<std::string, std::string> descriptorFiles_; // FileIdentity -> descriptor's name
};

// The error for an output path given twice, spelt as in the earlier one
// and the later one.
std::string GivenTwice(const std::string& earlier, const std::string& later)
{
    if (DescriptorOf(later) == 1)
        return earlier == later ? std::string("standard output is given to two outputs")
                                : "standard output is given to two outputs (\"" + earlier +
                                      "\" and \"" + later + "\")";
    if (DescriptorOf(later) >= 0 && earlier != later)
        return "the file \"" + later + "\" is given to two outputs (also as \"" + earlier + "\")";
    return "the file \"" + later + "\" is given to two outputs";
}

// What an option sets; the usage lists them in the same groups.
enum class OptionRole {
    Value, Output, Probe, PageSize, FigureSize, Landscape, MarkDivide, Help, Version
};

struct OptionEntry {
    const char* name;
    OptionRole role;
    int row = 0;                          // Value: grid row
    OutputKind kind = OutputKind::PicTeX; // Output: what it writes
};

constexpr OptionEntry kOptions[] = {
    {"--hl", OptionRole::Value, RowHL},
    {"--nk", OptionRole::Value, RowNK},
    {"--xmax", OptionRole::Value, RowXmaxL},
    {"--squares", OptionRole::Value, RowSquares},
    {"--pictex", OptionRole::Output, 0, OutputKind::PicTeX},
    {"--report", OptionRole::Output, 0, OutputKind::ReportPdf},
    {"--svg", OptionRole::Output, 0, OutputKind::FigureSvg},
    {"--png", OptionRole::Output, 0, OutputKind::FigurePng},
    {"--results", OptionRole::Output, 0, OutputKind::ResultsJson},
    {"--probe", OptionRole::Probe},
    {"--page-size", OptionRole::PageSize},
    {"--size", OptionRole::FigureSize},
    {"--landscape", OptionRole::Landscape},
    {"--mark-divide", OptionRole::MarkDivide},
    {"--help", OptionRole::Help},
    {"-h", OptionRole::Help},
    {"--version", OptionRole::Version},
};

struct PaperName {
    const char* name;
    PaperSize paper;
};

constexpr PaperName kPapers[] = {
    {"A4", PaperSize::A4}, {"Letter", PaperSize::Letter}, {"A3", PaperSize::A3},
    {"Legal", PaperSize::Legal}, {"A5", PaperSize::A5},
};

std::optional<OptionEntry> FindOption(const std::string& name)
{
    for (const OptionEntry& entry : kOptions)
        if (name == entry.name)
            return entry;
    return std::nullopt;
}

bool SameLetters(const std::string& a, const char* b)
{
    const std::string other(b);
    return a.size() == other.size() &&
           std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Paper names are read in any case: "a4" is A4.
std::optional<PaperSize> ReadPaper(const std::string& text)
{
    for (const PaperName& paper : kPapers)
        if (SameLetters(text, paper.name))
            return paper.paper;
    return std::nullopt;
}

// Digits only, no sign, blanks or units; a long run of digits is out of
// range, not an overflow.
std::optional<int> ReadFigureSize(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = std::min<long>(value * 10 + (c - '0'), kExportFigureMaxSize + 1L);
    }
    if (value < kExportFigureMinSize || value > kExportFigureMaxSize)
        return std::nullopt;
    return static_cast<int>(value);
}

// One finite number, the whole text, without the process locale.
std::optional<double> ReadCoordinate(const std::string& text)
{
    double value = 0.0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin; // from_chars takes no plus sign
    const std::from_chars_result read = std::from_chars(begin, end, value);
    if (read.ec != std::errc() || read.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// "X,Y": two numbers separated by one comma.
std::optional<ModelPoint> ReadProbe(const std::string& text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    const std::optional<double> x = ReadCoordinate(text.substr(0, comma));
    const std::optional<double> y = ReadCoordinate(text.substr(comma + 1));
    if (!x || !y)
        return std::nullopt;
    return ModelPoint{*x, *y};
}

bool IsOption(const std::string& arg)
{
    return arg.rfind("-", 0) == 0 && arg != "-";
}

// Whether a word is spelt as one of the exporter's own options (with or
// without "=VALUE"): after an output option it means the file name was
// forgotten. "./--landscape" names such a file.
bool IsOwnOption(const std::string& arg)
{
    if (arg == "--")
        return true;
    const std::size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
    return FindOption(arg.substr(0, equals)).has_value();
}

std::string NeedsWhat(OptionRole role)
{
    return role == OptionRole::Output ? "a file name" : "a value";
}

} // namespace

bool ExportOptions::NeedsRendering() const
{
    return std::any_of(outputs.begin(), outputs.end(), [](const OutputRequest& output) {
        return output.kind != OutputKind::PicTeX && output.kind != OutputKind::ResultsJson;
    });
}

ParsedOptions ParseExportOptions(const std::vector<std::string>& args)
{
    ParsedOptions parsed;
    ExportOptions& options = parsed.options;
    auto fail = [&parsed](const std::string& error) {
        parsed.error = error;
        return parsed;
    };
    OutputFiles outputFiles;
    bool optionsEnded = false;          // after "--" every word is an argument

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded)
            return fail("unexpected argument \"" + arg + "\"");
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        const std::size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }

        const std::optional<OptionEntry> entry = FindOption(name);
        if (!entry)
            return fail(IsOption(arg) ? "unknown option \"" + arg + "\""
                                      : "unexpected argument \"" + arg + "\"");

        const OptionRole role = entry->role;
        const bool isFlag = role == OptionRole::Landscape || role == OptionRole::MarkDivide ||
                            role == OptionRole::Help || role == OptionRole::Version;
        if (isFlag) {
            if (value)
                return fail("option " + name + " takes no value");
            if (role == OptionRole::Landscape)
                options.landscape = true;
            else if (role == OptionRole::MarkDivide)
                options.markDivide = true;
            else if (role == OptionRole::Help)
                options.help = true;
            else
                options.version = true;
            continue;
        }

        if (!value) {
            if (i + 1 >= args.size() || (role == OptionRole::Output && IsOwnOption(args[i + 1])))
                return fail("option " + name + " needs " + NeedsWhat(role));
            value = args[++i];
        }

        switch (role) {
        case OptionRole::Value:
            options.values.push_back({entry->name, entry->row, *value});
            break;
        case OptionRole::Output:
            if (value->empty())
                return fail("option " + name + " needs a file name");
            if (*value == "-" && entry->kind != OutputKind::PicTeX &&
                entry->kind != OutputKind::ResultsJson)
                return fail("option " + name + " cannot write to standard output; give a file name");
            if (const std::optional<std::string> earlier = outputFiles.Add(*value))
                return fail(GivenTwice(*earlier, *value));
            options.outputs.push_back({entry->kind, *value});
            break;
        case OptionRole::Probe: {
            const std::optional<ModelPoint> point = ReadProbe(*value);
            if (!point)
                return fail("--probe \"" + *value +
                            "\": give the point as X,Y, two numbers in units of L, such as 0.5,-1");
            options.probes.push_back(*point);
            options.probing = true;
            break;
        }
        case OptionRole::PageSize: {
            const std::optional<PaperSize> paper = ReadPaper(*value);
            if (!paper)
                return fail("--page-size \"" + *value + "\": give one of A4, Letter, A3, Legal, A5");
            options.paper = *paper;
            break;
        }
        case OptionRole::FigureSize: {
            const std::optional<int> size = ReadFigureSize(*value);
            if (!size)
                return fail("--size \"" + *value + "\": give a whole number of pixels from " +
                            std::to_string(kExportFigureMinSize) + " to " +
                            std::to_string(kExportFigureMaxSize));
            options.figureSize = *size;
            break;
        }
        default:
            break;
        }
    }
    if (!options.help && !options.version && options.outputs.empty())
        return fail("nothing to write: give an output such as --pictex FILE");
    const bool results = std::any_of(options.outputs.begin(), options.outputs.end(),
                                     [](const OutputRequest& output) {
                                         return output.kind == OutputKind::ResultsJson;
                                     });
    if (options.probing && !results && !options.help && !options.version)
        return fail("--probe adds to the results: give --results FILE as well");
    if (options.markDivide && !options.NeedsRendering() && !options.help && !options.version)
        return fail("--mark-divide marks the figure of the SVG, PNG and report outputs: "
                    "give one of them as well");
    return parsed;
}

std::string ExportUsage()
{
    return "Usage: brelloc-export [VALUES] [SETTINGS] OUTPUT...\n"
           "Writes the flow net of steady groundwater flow under a water divide: as a\n"
           "PicTeX figure for LaTeX, as the one-page printed report in PDF, or as an\n"
           "SVG or PNG picture of the figure; and the flow's results as JSON. No\n"
           "display is needed.\n"
           "\n"
           "Values, read as the program's grid reads them (missing ones keep their\n"
           "start-up values; a value that had to be replaced is reported on stderr):\n"
           "  --hl TEXT          H/L, height of the left drain over the drain distance (0.2)\n"
           "  --nk TEXT          N/k, infiltration rate over permeability (0.5)\n"
           "  --xmax TEXT        Xmax/L, half the size of the figure window, at least 1 (3)\n"
           "  --squares TEXT     number of squares between the drains, 2 to 20 (10)\n"
           "\n"
           "Outputs (at least one, each to its own file, written in the order given):\n"
           "  --pictex FILE      LaTeX figure with a PicTeX picture of the flow net;\n"
           "                     FILE - writes it to standard output\n"
           "  --report FILE.pdf  the one-page printed report as a PDF page\n"
           "  --svg FILE         the figure as SVG vector graphics\n"
           "  --png FILE         the figure as a PNG picture\n"
           "  --results FILE     the results as JSON: water-table top, stagnation point,\n"
           "                     divide, each drain's share of the infiltration;\n"
           "                     FILE - writes them to standard output\n"
           "\n"
           "Settings:\n"
           "  --page-size NAME   paper of the report: A4, Letter, A3, Legal or A5 (A4)\n"
           "  --landscape        print the report across the page\n"
           "  --size PIXELS      side of the square SVG and PNG figures, 16 to 16384 (800)\n"
           "  --mark-divide      mark the dividing stream line, the divide, the stagnation\n"
           "                     point and the water-table top in red on the figure of the\n"
           "                     SVG, PNG and report outputs (the PicTeX figure stays as\n"
           "                     it is)\n"
           "  --probe X,Y        add the head, pressure head, stream function and specific\n"
           "                     discharge at the point (X, Y) to the results (repeatable;\n"
           "                     null for a point outside the flow region)\n"
           "\n"
           "  --help             show this text\n"
           "  --version          show the program's version\n"
           "  --                 end of the options\n"
           "\n"
           "An output option takes the next word as its file name unless that is one of\n"
           "the options above (write ./--landscape for a file of that name).\n"
           "With SOURCE_DATE_EPOCH set, the report gives that moment as its date.\n"
           "Each output is written completely or not at all: an existing file is only\n"
           "replaced by a whole new one. After a failure the other outputs are still\n"
           "written.\n"
           "Exit status: 0 when every output was written, 1 when one or more could not\n"
           "be written (each is named on stderr with the reason), 2 for a usage error.\n";
}

std::string ExportVersion()
{
    return std::string("brelloc-export ") + BRELLOC_VERSION;
}

} // namespace brelloc
