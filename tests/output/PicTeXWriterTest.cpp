#include "PicTeXSink.h"
#include "PicTeXWriter.h"

#include "CommaLocale.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace brelloc {
namespace {

GeneralData Parameters(const char* hl, const char* nk, const char* xmax, const char* squares)
{
    GeneralData data;
    InitDefaults(data);
    CommitRow(data, RowHL, hl);
    CommitRow(data, RowNK, nk);
    CommitRow(data, RowXmaxL, xmax);
    CommitRow(data, RowSquares, squares);
    UpdateDerived(data);
    return data;
}

std::string Export(const GeneralData& data)
{
    StringTextStream out;
    WritePicTeX(out, data);
    return out.Text();
}

// Lines without their line ends; a file must end with one.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text does not end with a line end";
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

const std::vector<std::string> kOpening = {
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

std::vector<std::string> Closing(const std::string& hl, const std::string& nk)
{
    return {
        "  \\put {$x$} [l] at  410    0",
        "  \\put {$y$} [l] at   10  200",
        " \\endpicture",
        " \\caption{Groundwater Divide, $H/L=" + hl + ", N/k=" + nk + "$.}",
        " \\label{Fig:Brelloc}",
        "\\end{figure}",
    };
}

// The file cut into its parts: the three curve entries (as lines) and the
// potential and stream segment lines.
struct FileParts {
    std::vector<std::vector<std::string>> curves;
    std::vector<std::string> potential;
    std::vector<std::string> stream;
};

FileParts Split(const std::vector<std::string>& lines)
{
    FileParts parts;
    std::size_t i = kOpening.size();
    while (i < lines.size() && lines[i] != "  \\setdots<2pt> ") {
        EXPECT_TRUE(lines[i].rfind("  \\plot ", 0) == 0 || lines[i].rfind("  %\\plot ", 0) == 0)
            << "line " << i << ": " << lines[i];
        std::vector<std::string> curve;
        while (i < lines.size()) {
            curve.push_back(lines[i++]);
            if (curve.back().size() >= 2 && curve.back().compare(curve.back().size() - 2, 2, " /") == 0)
                break;
        }
        parts.curves.push_back(curve);
    }
    ++i;
    while (i < lines.size() && lines[i] != "  \\setsolid ")
        parts.potential.push_back(lines[i++]);
    ++i;
    while (i + 6 < lines.size())
        parts.stream.push_back(lines[i++]);
    return parts;
}

// The numbers of a curve entry, in order.
std::vector<double> Numbers(const std::vector<std::string>& curve)
{
    std::vector<double> numbers;
    for (const std::string& line : curve) {
        std::istringstream in(line.substr(8)); // after "  \\plot " or eight blanks
        double value;
        while (in >> value)
            numbers.push_back(value);
    }
    return numbers;
}

// " %6.1f": a blank, then a number with one decimal right-aligned in six.
bool NumberField(const std::string& seven)
{
    static const std::regex number(R"( *-?[0-9]+\.[0-9])");
    return seven.size() == 7 && seven[0] == ' ' && std::regex_match(seven.substr(1), number);
}

TEST(PicTeXWriter, DefaultFileOpensAndClosesExactly)
{
    const std::vector<std::string> lines = Lines(Export(Parameters("0.2", "0.5", "3", "10")));
    ASSERT_GT(lines.size(), kOpening.size() + 6);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 9), kOpening);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 6, lines.end()), Closing("0.200", "0.500"));
    EXPECT_EQ(lines[9].substr(0, 22), "  \\plot   100.0    0.0");
}

TEST(PicTeXWriter, DefaultCurvesHoldFivePointsALine)
{
    const FileParts parts = Split(Lines(Export(Parameters("0.2", "0.5", "3", "10"))));
    ASSERT_EQ(parts.curves.size(), 3u);
    const std::size_t points[] = {101, 98, 104};
    const std::size_t lines[] = {21, 20, 21};
    for (int c = 0; c < 3; ++c) {
        const std::vector<std::string>& curve = parts.curves[c];
        EXPECT_EQ(curve.size(), lines[c]) << "curve " << c;
        EXPECT_EQ(Numbers(curve).size(), 2 * points[c]) << "curve " << c;
        for (std::size_t l = 0; l < curve.size(); ++l) {
            const std::string prefix = l == 0 ? "  \\plot " : "        ";
            ASSERT_EQ(curve[l].substr(0, 8), prefix) << curve[l];
            std::string body = curve[l].substr(8);
            if (l + 1 == curve.size()) {
                ASSERT_EQ(body.substr(body.size() - 2), " /");
                body.resize(body.size() - 2);
            }
            const std::size_t groups = body.size() / 14;
            EXPECT_EQ(body.size() % 14, 0u) << curve[l];
            EXPECT_EQ(groups, l + 1 < curve.size() ? 5u : points[c] % 5) << curve[l];
            for (std::size_t g = 0; g < 2 * groups; ++g)
                EXPECT_TRUE(NumberField(body.substr(7 * g, 7))) << curve[l];
        }
    }
}

TEST(PicTeXWriter, SegmentLinesHaveFourSixCharacterNumbers)
{
    const FileParts parts = Split(Lines(Export(Parameters("0.2", "0.5", "3", "10"))));
    ASSERT_FALSE(parts.potential.empty());
    ASSERT_FALSE(parts.stream.empty());
    for (const auto* family : {&parts.potential, &parts.stream}) {
        for (const std::string& line : *family) {
            ASSERT_EQ(line.size(), 37u) << line;
            EXPECT_EQ(line.substr(0, 7), "  \\plot");
            for (int n = 0; n < 4; ++n)
                EXPECT_TRUE(NumberField(line.substr(7 + 7 * n, 7))) << line;
            EXPECT_EQ(line.substr(35), " /");
        }
    }
    // The level-0 line along the right drain comes first: from (1, 0) on y = 0.
    EXPECT_EQ(parts.potential.front().substr(0, 22), "  \\plot  100.0    0.0 ");
    EXPECT_EQ(parts.potential.front().substr(28), "    0.0 /");
}

// PicTeX's \plot needs two points at least (LaTeX stops with "Missing
// number" otherwise), so a curve with fewer inside the window is written as
// a comment line.
TEST(PicTeXWriter, CurveWithoutPointsIsACommentLine)
{
    // With H/L 2 the left drain stays at y = 2, outside a window of 1.
    const FileParts parts = Split(Lines(Export(Parameters("2", "0.5", "1", "10"))));
    ASSERT_EQ(parts.curves.size(), 3u);
    EXPECT_EQ(parts.curves[2], std::vector<std::string>{"  %\\plot  /"});
    EXPECT_EQ(parts.curves[0][0].substr(0, 8), "  \\plot ");
}

TEST(PicTeXWriter, SinkBreaksAfterEveryFifthPoint)
{
    // The same sink writes several curves; each starts its count afresh.
    struct Case {
        int points;
        std::string expected;
    };
    const std::string group = "  100.0 -300.0";
    const std::string five = group + group + group + group + group;
    const Case cases[] = {
        {0, "  %\\plot  /\n"},
        {1, "  %\\plot " + group + " /\n"},
        {2, "  \\plot " + group + group + " /\n"},
        {5, "  \\plot " + five + "\n         /\n"},
        {6, "  \\plot " + five + "\n        " + group + " /\n"},
        {10, "  \\plot " + five + "\n        " + five + "\n         /\n"},
    };
    StringTextStream out;
    PicTeXSink sink(out, 100.0);
    std::string expected;
    for (const Case& c : cases) {
        sink.BeginCurve({9.0, 9.0});
        for (int k = 0; k < c.points; ++k)
            sink.CurvePoint(k, {1.0, -3.0});
        sink.EndCurve();
        expected += c.expected;
        EXPECT_EQ(out.Text(), expected) << c.points << " points";
    }
}

TEST(PicTeXWriter, SinkWritesFamiliesAndSegments)
{
    StringTextStream out;
    PicTeXSink sink(out, 100.0);
    sink.BeginFamily(Family::Potential);
    sink.Segment({3.0, -3.0}, {-3.0, 3.0});
    sink.BeginFamily(Family::Stream);
    sink.Segment({0.0004, -0.0004}, {1.23456, -2.99949});
    EXPECT_EQ(out.Text(),
              "  \\setdots<2pt> \n"
              "  \\plot  300.0 -300.0 -300.0  300.0 /\n"
              "  \\setsolid \n"
              "  \\plot    0.0   -0.0  123.5 -299.9 /\n");
}

TEST(PicTeXWriter, HalfTheWindowDoublesTheNumbers)
{
    const std::string at3 = Export(Parameters("0.2", "0.5", "3", "10"));
    const std::string at15 = Export(Parameters("0.2", "0.5", "1.5", "10"));
    const std::vector<std::string> lines3 = Lines(at3), lines15 = Lines(at15);
    EXPECT_EQ(std::vector<std::string>(lines15.begin(), lines15.begin() + 9), kOpening);
    EXPECT_EQ(std::vector<std::string>(lines15.end() - 6, lines15.end()),
              std::vector<std::string>(lines3.end() - 6, lines3.end()));

    // The free water table lies inside both windows, point for point.
    const std::vector<double> water3 = Numbers(Split(lines3).curves.at(0));
    const std::vector<double> water15 = Numbers(Split(lines15).curves.at(0));
    ASSERT_EQ(water3.size(), 202u);
    ASSERT_EQ(water15.size(), water3.size());
    for (std::size_t i = 0; i < water3.size(); ++i)
        EXPECT_NEAR(water15[i], 2 * water3[i], 0.1 + 1e-9) << i;
    EXPECT_EQ(lines15[9].substr(0, 22), "  \\plot   200.0    0.0");
}

TEST(PicTeXWriter, CaptionShowsLongValuesWhole)
{
    StringTextStream out;
    GeneralData data = Parameters("1e300", "0.0005", "3", "10");
    WriteTexClosing(out, data);
    const std::vector<std::string> lines = Lines(out.Text());
    ASSERT_EQ(lines.size(), 6u);
    char hl[400];
    std::snprintf(hl, sizeof hl, "%5.3f", 1e300);
    EXPECT_EQ(lines[3], Closing(hl, "0.001")[3]);
}

TEST(PicTeXWriter, CommaLocaleLeavesTheFileAlone)
{
    const GeneralData data = Parameters("0.2", "0.5", "3", "10");
    const std::string plain = Export(data);
    test::CommaLocale locale;
    BRELLOC_REQUIRE_COMMA_LOCALE(locale);
    EXPECT_EQ(Export(data), plain);
}

} // namespace
} // namespace brelloc
