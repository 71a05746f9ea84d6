// The printed report on a real QPrinter writing PDF, read back with the
// poppler tools.
#include "PrintedReport.h"

#include "FileRenderers.h"
#include "PainterCanvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace brelloc {
namespace {

// Runs a tool to its end; its standard output, or nothing if it failed.
bool RunTool(const QString& program, const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return false;
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    return true;
}

QString ToolOutput(const QString& program, const QStringList& arguments)
{
    QString output;
    RunTool(program, arguments, &output);
    return output;
}

int PageCount(const QString& pdf)
{
    const QString info = ToolOutput("pdfinfo", {pdf});
    const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Width and height of the first page in points.
QSizeF PageSizeOf(const QString& pdf)
{
    const QString info = ToolOutput("pdfinfo", {pdf});
    const QRegularExpressionMatch m =
        QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+) pts").match(info);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

// The page's texts in reading order, each the line it stands on (trimmed).
QStringList TextLines(const QString& pdf)
{
    QStringList lines;
    for (const QString& line : ToolOutput("pdftotext", {"-layout", pdf, "-"}).split('\n'))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines;
}

// Width of a blank in the body font, in points: at 72 dpi a point is a pixel
// (measured a hundred times larger, so hinting does not round it).
double BodySpaceWidth()
{
    QImage device(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(72 / 0.0254 + 0.5);
    device.setDotsPerMeterX(dotsPerMeter);
    device.setDotsPerMeterY(dotsPerMeter);
    QFont font = PainterCanvas::FontFor(FontDialog2);
    font.setPointSizeF(FontDialog2.pointSize * 100);
    return QFontMetricsF(font, &device).horizontalAdvance(' ') / 100;
}

struct Word {
    double xMin, yMin, xMax, yMax;
    QString text;
};

// The page's words with their boxes, in points, top to bottom and left to
// right.
std::vector<Word> Words(const QString& pdf)
{
    std::vector<Word> words;
    const QRegularExpression pattern(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
    auto it = pattern.globalMatch(ToolOutput("pdftotext", {"-bbox", pdf, "-"}));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        words.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(),
                         m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5)});
    }
    std::stable_sort(words.begin(), words.end(), [](const Word& a, const Word& b) {
        if (std::abs(a.yMin - b.yMin) > 1.0)
            return a.yMin < b.yMin;
        return a.xMin < b.xMin;
    });
    return words;
}

// The page's lines rebuilt from the words' boxes, blanks and all: words on
// one line joined by as many blanks as the gap between them holds. (The
// text extraction of -layout joins words with single blanks.) A gap of more
// than eight blanks starts a column, a line of its own.
QStringList SpacedLines(const QString& pdf, double spaceWidth)
{
    QStringList lines;
    const std::vector<Word> words = Words(pdf);
    const Word* previous = nullptr;
    for (const Word& word : words) {
        const int blanks =
            previous ? std::max(1, qRound((word.xMin - previous->xMax) / spaceWidth)) : 0;
        if (previous && std::abs(word.yMin - previous->yMin) <= 1.0 && blanks <= 8)
            lines.last() += QString(blanks, ' ') + word.text;
        else
            lines << word.text;
        previous = &word;
    }
    return lines;
}

void ExpectReportTexts(const QString& pdf)
{
    const QStringList expected = {
        "Brelloc - Groundwater Divide",
        "Page 1",
        "A Korvanne University Geotechnics Program",
        QString::fromUtf8(kReportNotice),
        "General Data",
        "H/L =  0.200",
        "N/k =  0.500",
        "Potential lines and stream lines",
    };

    // Top to bottom in the -layout text, each on a line of its own except the
    // page number, which stands on the title's line.
    const QStringList layout = TextLines(pdf);
    ASSERT_FALSE(layout.isEmpty()) << "pdftotext read nothing from " << pdf.toStdString();
    int at = 0;
    for (const QString& text : expected) {
        const QString words = text.simplified();
        int found = -1;
        for (int i = at; i < layout.size(); ++i)
            if (layout[i].simplified().contains(words)) {
                found = i;
                break;
            }
        ASSERT_GE(found, 0) << "missing or out of order: " << text.toStdString() << "\n"
                            << layout.join('\n').toStdString();
        at = found;
    }
    EXPECT_TRUE(layout[0].startsWith("Brelloc - Groundwater Divide"));
    EXPECT_TRUE(layout[0].endsWith("Page 1"));

    // With their blanks: the values padded to six characters.
    const QStringList spaced = SpacedLines(pdf, BodySpaceWidth());
    for (const QString& text : expected.mid(2))
        EXPECT_TRUE(spaced.contains(text)) << "no line reads \"" << text.toStdString() << "\"\n"
                                           << spaced.join('\n').toStdString();
}

TEST(ReportPdfTest, PrintsOnePageWithTheTextsInOrder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath("report.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));

    const ReportResult result = PrintReport(printer, GeneralData{});
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(PageCount(pdf), 1);
    ExpectReportTexts(pdf);
}

TEST(ReportPdfTest, JobThatCannotStartIsReportedWithTheOutputName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath("missing/report.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);

    const ReportResult result = PrintReport(printer, GeneralData{});
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(pdf.toStdString()), std::string::npos) << result.error;
    EXPECT_FALSE(QFile::exists(pdf));
}

// The results beside the general data: heading level with "General Data",
// from the middle of the page, each line whole; the figure marked in red only
// when asked.
TEST(ReportPdfTest, ResultsStandBesideTheGeneralDataAndMarksAreRedOnRequest)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const bool marks : {false, true}) {
        const QString pdf = dir.filePath(marks ? "marked.pdf" : "plain.pdf");
        const ExportResult result = WriteReportPdf(GeneralData{}, pdf.toStdString(),
                                                   QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                   marks);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(PageCount(pdf), 1);
        ExpectReportTexts(pdf);

        const QStringList spaced = SpacedLines(pdf, BodySpaceWidth());
        for (const char* text :
             {"Results", "Divide: x/L = 0.199, y/L = 0.341", "Stagnation point: x/L = -0.173",
              "Water-table top: x/L = 0.373, y/L = 0.358", "Left drain takes Q/kL = 0.099",
              "Right drain takes Q/kL = 0.401"})
            EXPECT_TRUE(spaced.contains(text)) << "no line reads \"" << text << "\"\n"
                                               << spaced.join('\n').toStdString();

        // The last of each word: the notice line begins with "Results" too.
        const std::vector<Word> words = Words(pdf);
        const auto find = [&words](const QString& text) {
            Word found{-1, -1, -1, -1, QString()};
            for (const Word& word : words)
                if (word.text == text)
                    found = word;
            return found;
        };
        const Word general = find("General");
        const Word heading = find("Results");
        const Word divide = find("Divide:");
        const Word stagnation = find("Stagnation");
        const Word figureHeading = find("Potential");
        ASSERT_GE(general.xMin, 0);
        ASSERT_GE(heading.xMin, 0);
        EXPECT_NEAR(heading.yMin, general.yMin, 1.0);
        EXPECT_GT(heading.xMin, 595.3 / 2 - 10); // the middle of the printable width
        EXPECT_NEAR(divide.xMin, heading.xMin, 1.0);
        EXPECT_NEAR(stagnation.xMin, heading.xMin, 1.0);
        EXPECT_LT(figureHeading.xMax, heading.xMin);
        for (const Word& word : words)
            EXPECT_LT(word.xMax, 595.3) << word.text.toStdString();

        ASSERT_TRUE(RunTool("pdftoppm", {"-r", "100", "-png", "-singlefile", pdf,
                                         dir.filePath(marks ? "marked" : "plain")}));
        const QImage image(dir.filePath(marks ? "marked.png" : "plain.png"));
        ASSERT_FALSE(image.isNull());
        int red = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                red += qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80;
            }
        if (marks)
            EXPECT_GT(red, 50);
        else
            EXPECT_EQ(red, 0);
    }
}

struct PdfCase {
    const char* name;
    QPageSize::PageSizeId size;
    QPageLayout::Orientation orientation;
    double width, height; // points
};

void PrintTo(const PdfCase& c, std::ostream* os) { *os << c.name; }

class ReportPdfFileTest : public ::testing::TestWithParam<PdfCase> {};

TEST_P(ReportPdfFileTest, WritesTheReportOnTheChosenPage)
{
    const PdfCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath("report.pdf");
    const ExportResult result =
        WriteReportPdf(GeneralData{}, pdf.toStdString(), QPageSize(c.size), c.orientation);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(PageCount(pdf), 1);
    const QSizeF page = PageSizeOf(pdf);
    EXPECT_NEAR(page.width(), c.width, 1.0);
    EXPECT_NEAR(page.height(), c.height, 1.0);
    ExpectReportTexts(pdf);

    // Rendered, the page carries the figure: hairline pixels well below the
    // texts, in the lower half of the page.
    ASSERT_TRUE(RunTool("pdftoppm", {"-r", "100", "-png", "-singlefile", pdf, dir.filePath("page")}));
    const QImage image(dir.filePath("page.png"));
    ASSERT_FALSE(image.isNull());
    int dark = 0;
    for (int y = image.height() / 2; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 200;
    EXPECT_GT(dark, 2000);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ReportPdfFileTest,
    ::testing::Values(PdfCase{"A4Portrait", QPageSize::A4, QPageLayout::Portrait, 595.3, 841.9},
                      PdfCase{"A4Landscape", QPageSize::A4, QPageLayout::Landscape, 841.9, 595.3},
                      PdfCase{"LetterPortrait", QPageSize::Letter, QPageLayout::Portrait, 612,
                              792}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace brelloc
