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

// Whatever platform the environment names, also one that needs a display
// that is not there or one that does not exist, the exporter renders
// offscreen and writes every output.
TEST(ExporterRendered, IgnoresThePlatformTheEnvironmentNames)
{
    for (const char* platform : {"xcb", "wayland", "no-such-platform"}) {
        SCOPED_TRACE(platform);
        TempFolder folder;
        RunOptions options = Headless();
        options.set = {std::string("QT_QPA_PLATFORM=") + platform};
        const ProgramRun run =
            Export(folder,
                   {"--report", folder / "r.pdf", "--png", folder / "f.png", "--svg",
                    folder / "f.svg", "--pictex", folder / "f.tex", "--size", "100"},
                   options);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(PdfPages(folder, folder / "r.pdf"), 1);
        EXPECT_EQ(QImage(QString::fromStdString(folder / "f.png")).size(), QSize(100, 100));
        EXPECT_TRUE(ReadSvg(folder / "f.svg").error.isEmpty());
        EXPECT_NE(ReadWholeFile(folder / "f.tex").find("\\endpicture"), std::string::npos);
    }
}

// On a machine without any font (fontconfig given an empty configuration)
// the built-in face stands in: the report's texts are real text, and the
// figure is the very picture made where fonts are installed.
TEST(ExporterRendered, OutputsKeepTheirTextsWithoutInstalledFonts)
{
    TempFolder folder;
    const std::string config = folder / "fonts.conf";
    WriteWholeFile(config, "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                           "<fontconfig></fontconfig>\n");
    RunOptions fontless = Headless();
    fontless.set = {"FONTCONFIG_FILE=" + config};
    const ProgramRun bare = Export(folder,
                                   {"--hl", "0.3", "--report", folder / "bare.pdf", "--png",
                                    folder / "bare.png", "--svg", folder / "bare.svg"},
                                   fontless);
    ASSERT_EQ(bare.exitCode, 0) << bare.err;
    EXPECT_EQ(bare.err, "");
    const ProgramRun usual = ExportHeadless(
        folder, {"--hl", "0.3", "--png", folder / "usual.png", "--svg", folder / "usual.svg"});
    ASSERT_EQ(usual.exitCode, 0) << usual.err;

    const std::string text = ToolOutput(folder, "pdftotext", {"-layout", folder / "bare.pdf", "-"});
    EXPECT_TRUE(Find(text, "Brelloc - Groundwater Divide[\\s\\S]*Page 1[\\s\\S]*"
                           "A Korvanne University Geotechnics Program[\\s\\S]*General Data"
                           // the results stand beside the general data
                           "[\\s\\S]*H/L = +0\\.300[^\\n]*\\n\\s*N/k = +0\\.500[\\s\\S]*"
                           "Potential lines and stream lines[\\s\\S]*y[\\s\\S]*x")
                    .hasMatch())
        << text;
    EXPECT_NE(ToolOutput(folder, "pdffonts", {folder / "bare.pdf"}).find("DejaVuSans"),
              std::string::npos);

    const QImage bareImage(QString::fromStdString(folder / "bare.png"));
    const QImage usualImage(QString::fromStdString(folder / "usual.png"));
    ASSERT_FALSE(bareImage.isNull());
    EXPECT_TRUE(bareImage == usualImage);
    EXPECT_EQ(ReadWholeFile(folder / "bare.svg"), ReadWholeFile(folder / "usual.svg"));
    // The "x" label beyond the arrow's tip (x 720, y 400 on the 800 square)
    // has glyph pixels, not an empty box's outline.
    int dark = 0;
    for (int y = 385; y < 415; ++y)
        for (int x = 725; x < 760; ++x)
            dark += qGray(bareImage.pixel(x, y)) < 160;
    EXPECT_GT(dark, 5);
    EXPECT_LT(dark, 80);
}

// Each cross-reference entry in use points at its object, and startxref at
// the table: "" when so, else what is wrong.
std::string CrossReferenceProblems(const std::string& pdf)
{
    const std::size_t start = pdf.rfind("startxref");
    if (start == std::string::npos)
        return "no startxref";
    const std::size_t table = std::stoul(pdf.substr(start + 9));
    if (pdf.compare(table, 5, "xref\n") != 0)
        return "startxref does not point at the table";
    std::size_t at = table + 5;
    const std::size_t space = pdf.find(' ', at);
    const std::size_t lineEnd = pdf.find('\n', at);
    const int count = std::stoi(pdf.substr(space + 1, lineEnd - space - 1));
    at = lineEnd + 1;
    for (int i = 0; i < count; ++i, at += 20) {
        if (pdf[at + 17] != 'n')
            continue;
        const std::size_t offset = std::stoul(pdf.substr(at, 10));
        const std::string head = std::to_string(i) + " 0 obj";
        if (pdf.compare(offset, head.size(), head) != 0)
            return "object " + std::to_string(i) + " is not at " + std::to_string(offset);
    }
    return "";
}

// Same inputs, same bytes: the report takes its date from
// SOURCE_DATE_EPOCH (in UTC, whatever the time zone) and writes its fonts in
// a fixed order; the other outputs have no date at all.
TEST(ExporterRendered, SameInputsGiveTheSameBytes)
{
    TempFolder folder;
    const std::vector<std::string> zones = {"TZ=UTC", "TZ=UTC", "TZ=Europe/Berlin",
                                            "TZ=America/New_York"};
    std::vector<std::string> reports, tex, svg, png;
    for (std::size_t i = 0; i < zones.size(); ++i) {
        RunOptions options = Headless();
        options.set = {"SOURCE_DATE_EPOCH=1700000000", zones[i]};
        const std::string n = std::to_string(i);
        const ProgramRun run =
            Export(folder,
                   {"--hl", "0.3", "--report", folder / ("r" + n + ".pdf"), "--pictex",
                    folder / ("f" + n + ".tex"), "--svg", folder / ("f" + n + ".svg"), "--png",
                    folder / ("f" + n + ".png")},
                   options);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        reports.push_back(ReadWholeFile(folder / ("r" + n + ".pdf")));
        tex.push_back(ReadWholeFile(folder / ("f" + n + ".tex")));
        svg.push_back(ReadWholeFile(folder / ("f" + n + ".svg")));
        png.push_back(ReadWholeFile(folder / ("f" + n + ".png")));
        EXPECT_EQ(CrossReferenceProblems(reports.back()), "") << zones[i];
    }
    for (std::size_t i = 1; i < zones.size(); ++i) {
        EXPECT_TRUE(reports[i] == reports[0]) << zones[i];
        EXPECT_TRUE(tex[i] == tex[0]) << zones[i];
        EXPECT_TRUE(svg[i] == svg[0]) << zones[i];
        EXPECT_TRUE(png[i] == png[0]) << zones[i];
    }
    EXPECT_FALSE(reports[0].empty());

    RunOptions utc;
    utc.set = {"TZ=UTC"};
    const std::string info = RunProgram(folder, "pdfinfo", {folder / "r0.pdf"}, utc).out;
    EXPECT_NE(info.find("Title:           Groundwater Divide, H/L=0.300, N/k=0.500\n"),
              std::string::npos) << info;
    EXPECT_NE(info.find(std::string("Creator:         Brelloc ") + BRELLOC_VERSION + "\n"),
              std::string::npos) << info;
    EXPECT_NE(info.find("CreationDate:    Tue Nov 14 22:13:20 2023 UTC\n"), std::string::npos)
        << info;
    // Another moment gives another date, and only that changes.
    RunOptions later = Headless();
    later.set = {"SOURCE_DATE_EPOCH=1800000000"};
    ASSERT_EQ(Export(folder, {"--hl", "0.3", "--report", folder / "later.pdf"}, later).exitCode, 0);
    const std::string laterInfo = RunProgram(folder, "pdfinfo", {folder / "later.pdf"}, utc).out;
    EXPECT_NE(laterInfo.find("CreationDate:    Fri Jan 15 08:00:00 2027 UTC\n"), std::string::npos)
        << laterInfo;
    EXPECT_EQ(ReadWholeFile(folder / "later.pdf").size(), reports[0].size());
}

// Without SOURCE_DATE_EPOCH the report has the current time as its date;
// a value that is no number of seconds is refused, and no file is written.
TEST(ExporterRendered, ReportDateWithoutOrWithABadSourceDateEpoch)
{
    TempFolder folder;
    const ProgramRun now = ExportHeadless(folder, {"--report", folder / "now.pdf"});
    ASSERT_EQ(now.exitCode, 0) << now.err;
    EXPECT_TRUE(Find(ToolOutput(folder, "pdfinfo", {folder / "now.pdf"}),
                     "CreationDate:\\s+\\S+ \\S+ +\\d+ \\d\\d:\\d\\d:\\d\\d \\d{4}")
                    .hasMatch());
    EXPECT_EQ(CrossReferenceProblems(ReadWholeFile(folder / "now.pdf")), "");

    for (const char* bad : {"soon", "-5", "1e9", "253402300800", "17000000000000000000000"}) {
        TempFolder empty;
        RunOptions options = Headless();
        options.set = {std::string("SOURCE_DATE_EPOCH=") + bad};
        const std::string pdf = empty / "r.pdf";
        const ProgramRun run = Export(empty, {"--report", pdf, "--pictex", empty / "f.tex"}, options);
        EXPECT_EQ(run.exitCode, 1) << bad;
        EXPECT_EQ(run.err, "brelloc-export: Could not write the file \"" + pdf +
                               "\": SOURCE_DATE_EPOCH \"" + bad +
                               "\" is not a whole number of seconds since 1970 (up to the year "
                               "9999).\n");
        EXPECT_EQ(FolderEntries(empty.Path()), std::vector<std::string>{"f.tex"}) << bad;
    }
}

// The report's lines are hairlines on paper that a viewer shows solid black
// at any zoom: in the page rendered at 72 and 150 dpi, nearly every pixel of
// the figure that is not white is dark (a 0.06 pt line shows light grey).
TEST(ExporterRendered, ReportLinesShowSolidInAViewer)
{
    TempFolder folder;
    const std::string pdf = folder / "r.pdf";
    ASSERT_EQ(ExportHeadless(folder, {"--report", pdf}).exitCode, 0);
    for (const char* dpi : {"72", "150"}) {
        ToolOutput(folder, "pdftoppm", {"-r", dpi, "-gray", "-png", "-singlefile", pdf,
                                        folder / "page"});
        const QImage page(QString::fromStdString(folder / "page.png"));
        ASSERT_FALSE(page.isNull()) << dpi;
        int dark = 0, marked = 0;
        // The figure below the headings; the axis labels are a few pixels.
        for (int y = page.height() / 4; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const int gray = qGray(page.pixel(x, y));
                marked += gray < 240;
                dark += gray < 96;
            }
        EXPECT_GT(marked, 1000) << dpi;
        EXPECT_GT(dark, marked * 9 / 10) << dpi << " dpi: " << dark << " of " << marked;
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
