// Runs the built brelloc-export for its PDF report and its SVG and PNG
// figures, as a script on a machine without a display would, and reads what
// it wrote: the PDF with the poppler tools, the pictures with Qt.
#include "ExpectedFigure.h"
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
    // (pdftotext may close up the padding blanks of the values).
    const std::string text = ToolOutput(folder, "pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(Find(text, "Brelloc - Groundwater Divide[\\s\\S]*General Data[\\s\\S]*"
                           "H/L = +0\\.300\\s+N/k = +0\\.500[\\s\\S]*"
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

// A pipe whose reader has gone ("| head -n 3") fails standard output alone:
// the exporter does not die of SIGPIPE, names standard output and the
// reason, writes the other outputs and exits with 1.
TEST(ExporterRendered, ClosedPipeFailsOnlyStandardOutput)
{
    TempFolder folder;
    RunOptions options = Headless();
    options.stdoutReaderGone = true;
    const ProgramRun run = Export(
        folder, {"--pictex", "-", "--png", folder / "fig.png", "--pictex", folder / "fig2.tex"}, options);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "brelloc-export: Could not write to standard output: Broken pipe.\n");
    EXPECT_EQ(ReadWholeFile(folder / "fig2.tex"), test::ExpectedFigure());
    const QImage png(QString::fromStdString(folder / "fig.png"), "PNG");
    EXPECT_EQ(png.size(), QSize(800, 800));
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"fig.png", "fig2.tex"}));
}

} // namespace
} // namespace brelloc
