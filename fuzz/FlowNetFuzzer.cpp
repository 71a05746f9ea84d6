// Four arbitrary grid texts -> commit -> trace -> PicTeX into memory: never
// crashes, and the text always follows the file's grammar.
#include "FlowNetTracer.h"
#include "GeneralData.h"
#include "PicTeXWriter.h"
#include "TextStream.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

using namespace brelloc;

namespace {

std::string current;

[[noreturn]] void Fail(const char* what, std::string_view line)
{
    std::fprintf(stderr, "PicTeX grammar: %s\n  line: \"%.*s\"\n", what,
                 static_cast<int>(line.size()), line.data());
    std::abort();
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            Fail("the file does not end with a line end", text);
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return lines;
}

// One "%6.1f" number: six characters, blanks then an optional minus, digits,
// a point and one digit; finite and within the window's -300.0 .. 300.0.
void CheckNumber(std::string_view field, std::string_view line)
{
    if (field.size() != 6)
        Fail("a number is not six characters wide", line);
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    const std::string text(field.substr(i));
    std::size_t d = text[0] == '-' ? 1 : 0;
    const std::size_t digitsStart = d;
    while (d < text.size() && text[d] >= '0' && text[d] <= '9')
        ++d;
    if (d == digitsStart || d + 2 != text.size() || text[d] != '.' || text[d + 1] < '0' ||
        text[d + 1] > '9')
        Fail("a number is not written as %6.1f", line);
    const double value = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(value) || value < -300.0 || value > 300.0)
        Fail("a number lies outside -300.0 .. 300.0", line);
}

// " %6.1f %6.1f" groups of a curve line; returns how many.
std::size_t CheckGroups(std::string_view groups, std::string_view line)
{
    if (groups.size() % 14 != 0)
        Fail("a curve line is not made of 14-character point groups", line);
    for (std::size_t at = 0; at < groups.size(); at += 14) {
        if (groups[at] != ' ' || groups[at + 7] != ' ')
            Fail("point groups are not separated by blanks", line);
        CheckNumber(groups.substr(at + 1, 6), line);
        CheckNumber(groups.substr(at + 8, 6), line);
    }
    return groups.size() / 14;
}

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// One boundary curve from line `at`; returns the line after it.
std::size_t CheckCurve(const std::vector<std::string_view>& lines, std::size_t at)
{
    if (at >= lines.size())
        Fail("a boundary curve is missing", "");
    std::string_view line = lines[at];
    // A curve with fewer than two points inside the window is a comment line,
    // since PicTeX cannot plot it.
    if (line.substr(0, 9) == "  %\\plot ") {
        if (!EndsWith(line, " /") || CheckGroups(line.substr(9, line.size() - 11), line) > 1)
            Fail("a commented curve holds more than one point", line);
        return at + 1;
    }
    if (line.substr(0, 8) != "  \\plot ")
        Fail("a curve entry does not begin with \\plot", line);
    std::string_view body = line.substr(8);
    std::size_t points = 0;
    for (;;) {
        if (EndsWith(body, " /")) {
            const std::size_t n = CheckGroups(body.substr(0, body.size() - 2), line);
            if (n >= 5)
                Fail("a curve line holds more than five points", line);
            points += n;
            break;
        }
        if (CheckGroups(body, line) != 5)
            Fail("a curve line breaks before its fifth point", line);
        points += 5;
        if (++at >= lines.size() || lines[at].substr(0, 8) != "        ")
            Fail("a continuation line does not begin with eight blanks", line);
        line = lines[at];
        body = line.substr(8);
    }
    if (points < 2)
        Fail("a plotted curve has fewer than two points", line);
    return at + 1;
}

void CheckSegment(std::string_view line)
{
    if (line.size() != 37 || line.substr(0, 7) != "  \\plot" || !EndsWith(line, " /"))
        Fail("a segment line is not 37 characters of \\plot ... /", line);
    for (std::size_t at = 7; at < 35; at += 7) {
        if (line[at] != ' ')
            Fail("segment numbers are not separated by blanks", line);
        CheckNumber(line.substr(at + 1, 6), line);
    }
}

void CheckFile(const std::string& text, const GeneralData& data)
{
    static const char* const opening[] = {
        "% Brelloc",
        "\\begin{figure}[htb]",
        " \\beginpicture",
        "  \\setcoordinatesystem units <0.5pt,0.5pt> point at 0 0",
        "  \\setplotarea x from -300 to 400, y from -320 to 200",
        "  \\setsolid",
        "  \\small",
        "  \\arrow <6pt> [.2,.6] from     0    0 to  400    0",
        "  \\arrow <6pt> [.2,.6] from     0    0 to    0  200",
    };
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.size() < 9 + 3 + 2 + 6)
        Fail("the file is too short", "");
    for (std::size_t i = 0; i < 9; ++i)
        if (lines[i] != opening[i])
            Fail("an opening line differs", lines[i]);

    std::size_t at = 9;
    for (int curve = 0; curve < 3; ++curve)
        at = CheckCurve(lines, at);
    if (lines[at++] != "  \\setdots<2pt> ")
        Fail("the potential lines do not start with \\setdots", lines[at - 1]);
    while (at < lines.size() && lines[at] != "  \\setsolid ")
        CheckSegment(lines[at++]);
    if (at >= lines.size())
        Fail("the stream lines do not start with \\setsolid", "");
    ++at;
    if (lines.size() - at < 6)
        Fail("the closing lines are missing", "");
    while (lines.size() - at > 6)
        CheckSegment(lines[at++]);

    char caption[160];
    std::snprintf(caption, sizeof caption, " \\caption{Groundwater Divide, $H/L=%5.3f, N/k=%5.3f$.}",
                  data.HL, data.NK);
    const std::string closing[] = {
        "  \\put {$x$} [l] at  410    0",
        "  \\put {$y$} [l] at   10  200",
        " \\endpicture",
        data.HL < 1e100 && data.NK < 1e100 ? std::string(caption) : std::string(lines[at + 3]),
        " \\label{Fig:Brelloc}",
        "\\end{figure}",
    };
    for (const std::string& expected : closing)
        if (lines[at++] != expected)
            Fail("a closing line differs", lines[at - 1]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    // The four grid texts, separated by the unit separator byte.
    const std::string_view input(reinterpret_cast<const char*>(bytes), size);
    GeneralData data;
    InitDefaults(data);
    std::size_t start = 0;
    for (int row = 0; row < kGridRowCount && start <= input.size(); ++row) {
        std::size_t end = input.find('\x1f', start);
        if (end == std::string_view::npos)
            end = input.size();
        CommitRow(data, row, input.substr(start, end - start));
        start = end + 1;
    }
    UpdateDerived(data);

    StringTextStream out;
    WritePicTeX(out, data);
    CheckFile(out.Text(), data);
    return 0;
}
