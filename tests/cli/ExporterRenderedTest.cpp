// Runs the built brelloc-export for its PDF report and its SVG and PNG
// figures, as a script on a machine without a display would, and reads what
// it wrote: the PDF with the poppler tools, the pictures with Qt.
#include "ProgramRun.h"
#include "TempFolder.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QString>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace brelloc {
namespace {

using test::Export;
using test::ExporterForOptions;
using test::FolderEntries;
using test::Headless;
using test::ProgramRun;
using test::ReadWholeFile;
using test::RunOptions;
using test::RunProgram;
using test::TempFolder;
using test::WriteWholeFile;

ProgramRun ExportHeadless(const TempFolder& folder, const std::vector<std::string>& args)
{
    return Export(folder, args, Headless());
}

std::string ToolOutput(const TempFolder& folder, const std::string& tool,
                       const std::vector<std::string>& args)
{
    const ProgramRun run = RunProgram(folder, tool, args);
    EXPECT_EQ(run.exitCode, 0) << tool << ": " << run.err;
    return run.out;
}

// The first match of pattern in a tool's output, or nothing.
QRegularExpressionMatch Find(const std::string& text, const char* pattern)
{
    return QRegularExpression(pattern).match(QString::fromStdString(text));
}

int PdfPages(const TempFolder& folder, const std::string& pdf)
{
    const QRegularExpressionMatch m =
        Find(ToolOutput(folder, "pdfinfo", {pdf}), "Pages:\\s+(\\d+)");
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Width and height of the first page in points; zero when unreadable.
std::pair<double, double> PdfPageSize(const TempFolder& folder, const std::string& pdf)
{
    const QRegularExpressionMatch m = Find(ToolOutput(folder, "pdfinfo", {pdf}),
                                           "Page size:\\s+([\\d.]+) x ([\\d.]+) pts");
    if (!m.hasMatch())
        return {0, 0};
    return {m.captured(1).toDouble(), m.captured(2).toDouble()};
}

// Dark pixels (all channels below half) of a picture.
int DarkPixels(const QImage& image)
{
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            dark += qRed(p) < 128 && qGreen(p) < 128 && qBlue(p) < 128;
        }
    return dark;
}

bool IsWhite(QRgb pixel)
{
    return qRed(pixel) == 255 && qGreen(pixel) == 255 && qBlue(pixel) == 255;
}

struct SvgContents {
    QString error; // empty when the file is well-formed XML
    QString viewBox;
    int strokes = 0; // polylines and lines with geometry
    int points = 0;  // their points in all
};

SvgContents ReadSvg(const std::string& path)
{
    SvgContents svg;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        svg.error = file.errorString();
        return svg;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"svg") {
            svg.viewBox = attributes.value("viewBox").toString();
        } else if (xml.name() == u"polyline") {
            const QStringList points =
                attributes.value("points").toString().split(' ', Qt::SkipEmptyParts);
            svg.strokes += points.size() >= 2;
            svg.points += static_cast<int>(points.size());
        } else if (xml.name() == u"line") {
            ++svg.strokes;
            svg.points += 2;
        }
    }
    if (xml.hasError())
        svg.error = xml.errorString();
    return svg;
}

TEST(ExporterRendered, ReportIsOnePdfPageWithTheTexts)
{
    TempFolder folder;
    const std::string pdf = folder / "report.pdf";
    const ProgramRun run = ExportHeadless(folder, {"--hl", "0.3", "--report", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadWholeFile(pdf).rfind("%PDF-", 0), 0u);
    EXPECT_EQ(PdfPages(folder, pdf), 1);

    // In reading order, with the value committed from the command line
    // (pdftotext may close up the padding blanks of the values); the
    // results stand to the right of the general data, on the same lines.
    const std::string text = ToolOutput(folder, "pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(Find(text, "Brelloc - Groundwater Divide[\\s\\S]*General Data +Results\\n"
                           "H/L = +0\\.300 +Divide: x/L = [0-9.]+, y/L = [0-9.]+\\n"
                           "N/k = +0\\.500 +Stagnation point: x/L = [-0-9.]+[\\s\\S]*"
                           "Potential lines and stream lines")
                    .hasMatch())
        << text;
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"report.pdf"});
}

TEST(ExporterRendered, ReportTakesThePaperAndItsOrientation)
{
    struct Case {
        std::vector<std::string> settings;
        double width, height; // points
    };
    const Case cases[] = {
        {{}, 595.3, 841.9},
        {{"--page-size", "Letter"}, 612, 792},
        {{"--page-size", "A3"}, 841.9, 1190.6},
        {{"--page-size", "Legal"}, 612, 1008},
        {{"--page-size", "A5"}, 419.5, 595.3},
        {{"--landscape"}, 841.9, 595.3},
        {{"--page-size", "Letter", "--landscape"}, 792, 612},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string pdf = folder / "report.pdf";
        std::vector<std::string> args = c.settings;
        args.insert(args.end(), {"--report", pdf});
        const ProgramRun run = ExportHeadless(folder, args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::pair<double, double> size = PdfPageSize(folder, pdf);
        EXPECT_NEAR(size.first, c.width, 1.0) << args[0];
        EXPECT_NEAR(size.second, c.height, 1.0) << args[0];
        EXPECT_EQ(PdfPages(folder, pdf), 1) << args[0];
    }
}

TEST(ExporterRendered, SvgIsWellFormedAndHoldsTheNet)
{
    for (const int size : {800, 120}) {
        TempFolder folder;
        const std::string path = folder / "net.svg";
        std::vector<std::string> args = {"--svg", path};
        if (size != 800) // 800 is the default
            args.insert(args.end(), {"--size", std::to_string(size)});
        const ProgramRun run = ExportHeadless(folder, args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const SvgContents svg = ReadSvg(path);
        ASSERT_TRUE(svg.error.isEmpty()) << svg.error.toStdString();
        EXPECT_EQ(svg.viewBox, QString("0 0 %1 %1").arg(size));
        // Axes, arrowheads, three boundaries and some hundreds of net segments.
        EXPECT_GT(svg.strokes, 300) << size;
        EXPECT_GT(svg.points, 1000) << size;
    }
}

TEST(ExporterRendered, PngIsTheRightSizeWithADarkNetOnWhite)
{
    for (const int size : {800, 16, 333}) {
        TempFolder folder;
        const std::string path = folder / "net.png";
        std::vector<std::string> args = {"--png", path};
        if (size != 800) // 800 is the default
            args.insert(args.end(), {"--size", std::to_string(size)});
        const ProgramRun run = ExportHeadless(folder, args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");

        QImage image;
        ASSERT_TRUE(image.load(QString::fromStdString(path), "PNG")) << size;
        EXPECT_EQ(image.size(), QSize(size, size));
        for (const QPoint corner : {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1),
                                    QPoint(size - 1, size - 1)})
            EXPECT_TRUE(IsWhite(image.pixel(corner))) << size;
        // The x axis runs right from the centre for 0.4 of the side.
        const int c = size / 2;
        EXPECT_LT(qGray(image.pixel(c + size / 5, c)), 128) << size;
        const int dark = DarkPixels(image);
        const int all = size * size;
        EXPECT_GT(dark, size) << size; // more than the axes alone
        if (size >= 100) { // a tiny figure is mostly lines
            EXPECT_LT(dark, all / 10) << size;
        }
    }
}

// Pure red pixels of a picture: the marks, in nothing else.
int RedPixels(const QImage& image, QRect area = QRect())
{
    if (area.isNull())
        area = image.rect();
    int red = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            red += qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80;
        }
    return red;
}

// The divide of the values 0.3 and 0.5, from the exporter's own results:
// its pixel on a figure of side 600 with the window |x|, |y| <= 3.
QPoint DivideOnFigure(const TempFolder& folder)
{
    const ProgramRun run = ExportHeadless(folder, {"--hl", "0.3", "--results", "-"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const QRegularExpressionMatch m =
        Find(run.out, "\"divide\": \\{\"x\": ([-0-9.e]+), \"y\": ([-0-9.e]+)\\}");
    EXPECT_TRUE(m.hasMatch()) << run.out;
    const double scale = 600 * 0.4 / 3;
    return QPoint(static_cast<int>(300 + scale * m.captured(1).toDouble()),
                  static_cast<int>(300 - scale * m.captured(2).toDouble()));
}

// The report's result lines for H/L 0.3, built from the exporter's JSON
// results rounded to three decimals.
std::vector<std::string> ReportResultLines(const TempFolder& folder)
{
    const ProgramRun run = ExportHeadless(folder, {"--hl", "0.3", "--results", "-"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto number = [&run](const char* pattern) {
        const QRegularExpressionMatch m = Find(run.out, pattern);
        EXPECT_TRUE(m.hasMatch()) << pattern << "\n" << run.out;
        return QString::number(m.captured(1).toDouble(), 'f', 3).toStdString();
    };
    const char* point = "\": \\{\"x\": ([-0-9.e]+), \"y\": ([-0-9.e]+)\\}";
    const auto coordinates = [&](const std::string& key) {
        const QRegularExpressionMatch m = Find(run.out, (key + point).c_str());
        EXPECT_TRUE(m.hasMatch()) << key << "\n" << run.out;
        return "x/L = " + QString::number(m.captured(1).toDouble(), 'f', 3).toStdString() +
               ", y/L = " + QString::number(m.captured(2).toDouble(), 'f', 3).toStdString();
    };
    const QRegularExpressionMatch stagnation =
        Find(run.out, "\"stagnation_point\": \\{\"x\": ([-0-9.e]+),");
    EXPECT_TRUE(stagnation.hasMatch()) << run.out;
    return {"Divide: " + coordinates("\"divide"),
            "Stagnation point: x/L = " +
                QString::number(stagnation.captured(1).toDouble(), 'f', 3).toStdString(),
            "Water-table top: " + coordinates("\"water_table_top"),
            "Left drain takes Q/kL = " + number("\"infiltration_to_left_drain\": ([-0-9.e]+)"),
            "Right drain takes Q/kL = " + number("\"infiltration_to_right_drain\": ([-0-9.e]+)")};
}

TEST(ExporterRendered, MarkDivideAddsRedMarksToTheFiguresAndTheReportOnly)
{
    TempFolder folder;
    const std::vector<std::string> common = {"--hl", "0.3", "--size", "600"};
    std::vector<std::string> plainArgs = common, markedArgs = common;
    plainArgs.insert(plainArgs.end(), {"--png", folder / "plain.png", "--svg", folder / "plain.svg",
                                       "--report", folder / "plain.pdf", "--pictex",
                                       folder / "plain.tex"});
    markedArgs.insert(markedArgs.end(),
                      {"--mark-divide", "--png", folder / "marked.png", "--svg",
                       folder / "marked.svg", "--report", folder / "marked.pdf", "--pictex",
                       folder / "marked.tex"});
    for (const auto& args : {plainArgs, markedArgs}) {
        const ProgramRun run = ExportHeadless(folder, args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
    }

    // PNG: red only with the marks, a dot on the divide.
    QImage plain, marked;
    ASSERT_TRUE(plain.load(QString::fromStdString(folder / "plain.png"), "PNG"));
    ASSERT_TRUE(marked.load(QString::fromStdString(folder / "marked.png"), "PNG"));
    EXPECT_EQ(RedPixels(plain), 0);
    const QPoint divide = DivideOnFigure(folder);
    EXPECT_GE(RedPixels(marked, QRect(divide - QPoint(2, 2), QSize(5, 5))), 20);
    EXPECT_GT(RedPixels(marked), 3 * 20);

    // SVG: red strokes and three red dots, none without the marks.
    const std::string plainSvg = ReadWholeFile(folder / "plain.svg");
    const std::string markedSvg = ReadWholeFile(folder / "marked.svg");
    EXPECT_EQ(plainSvg.find("#ff0000"), std::string::npos);
    EXPECT_NE(markedSvg.find("stroke=\"#ff0000\""), std::string::npos);
    std::size_t circles = 0;
    for (std::size_t at = markedSvg.find("<circle"); at != std::string::npos;
         at = markedSvg.find("<circle", at + 1))
        ++circles;
    EXPECT_EQ(circles, 3u);
    EXPECT_TRUE(ReadSvg(folder / "marked.svg").error.isEmpty());

    // The PicTeX figure stays byte for byte the same.
    EXPECT_EQ(ReadWholeFile(folder / "marked.tex"), ReadWholeFile(folder / "plain.tex"));

    // The report: the results block either way, red only with the marks.
    for (const char* name : {"plain", "marked"}) {
        const std::string pdf = folder / (std::string(name) + ".pdf");
        const std::string text = ToolOutput(folder, "pdftotext", {"-layout", pdf, "-"});
        EXPECT_TRUE(Find(text, "General Data +Results").hasMatch()) << text;
        for (const std::string& line : ReportResultLines(folder))
            EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
        ToolOutput(folder, "pdftoppm", {"-r", "60", "-png", "-singlefile", pdf, folder / name});
        QImage page;
        ASSERT_TRUE(page.load(QString::fromStdString(folder / (std::string(name) + ".png")), "PNG"));
        if (std::string(name) == "marked")
            EXPECT_GT(RedPixels(page), 20);
        else
            EXPECT_EQ(RedPixels(page), 0);
    }
}

TEST(ExporterRendered, WritesSeveralOutputsInOneCall)
{
    TempFolder folder;
    const ProgramRun run = ExportHeadless(
        folder, {"--pictex", folder / "net.tex", "--report", folder / "report.pdf", "--svg",
                 folder / "net.svg", "--png", folder / "net.png", "--size", "200"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(FolderEntries(folder.Path()),
              (std::vector<std::string>{"net.png", "net.svg", "net.tex", "report.pdf"}));
    EXPECT_NE(ReadWholeFile(folder / "net.tex").find("\\beginpicture"), std::string::npos);
    EXPECT_EQ(PdfPages(folder, folder / "report.pdf"), 1);
    EXPECT_TRUE(ReadSvg(folder / "net.svg").error.isEmpty());
    EXPECT_EQ(QImage(QString::fromStdString(folder / "net.png")).size(), QSize(200, 200));
}

// One output whose file may not be replaced (read-only) among good ones:
// the others are written, the read-only file keeps its text, nothing else is
// left behind, and the exit code says that not everything was written. As
// root, the exporter runs as "nobody" on a root-owned file (see
// ExporterForOptions).
TEST(ExporterRendered, OneFailingOutputAmongGoodOnes)
{
    struct Output {
        const char* option;
        const char* name;
    };
    const Output outputs[] = {{"--pictex", "net.tex"},
                              {"--report", "report.pdf"},
                              {"--svg", "net.svg"},
                              {"--png", "net.png"}};
    for (const Output& failing : outputs) {
        SCOPED_TRACE(failing.option);
        TempFolder folder;
        ASSERT_EQ(chmod(folder.Path().c_str(), 0777), 0);
        const std::string locked = folder / failing.name;
        WriteWholeFile(locked, "my old file\n");
        ASSERT_EQ(chmod(locked.c_str(), 0444), 0);

        RunOptions options = Headless();
        const std::string program = ExporterForOptions(folder, options);
        const std::vector<std::string> before = FolderEntries(folder.Path());
        std::vector<std::string> args = {"--size", "64"};
        for (const Output& output : outputs)
            args.insert(args.end(), {output.option, folder / output.name});
        const ProgramRun run = RunProgram(folder, program, args, options);

        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_NE(run.err.find(locked), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(ReadWholeFile(locked), "my old file\n");
        for (const Output& output : outputs) {
            if (&output == &failing)
                continue;
            EXPECT_NE(ReadWholeFile(folder / output.name), "") << output.name;
        }
        std::vector<std::string> expected = before;
        for (const Output& output : outputs)
            if (&output != &failing)
                expected.push_back(output.name);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(FolderEntries(folder.Path()), expected);
    }
}

} // namespace
} // namespace brelloc
