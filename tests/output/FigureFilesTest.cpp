// The exporter's files: the figure as SVG and PNG, and what a failed write
// leaves behind.
#include "FileRenderers.h"

#include "DivideMarks.h"
#include "FlowResults.h"
#include "PrintedReport.h"
#include "RecordingCanvas.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace brelloc {
namespace {

using test::RecordingCanvas;

TEST(ExportFigureTest, WhiteSquareThenTheFigureInBlack)
{
    RecordingCanvas canvas;
    DrawExportFigure(canvas, GeneralData{}, 800);
    ASSERT_GE(canvas.ops.size(), 5u);
    using Op = RecordingCanvas::Op;
    EXPECT_EQ(canvas.ops[0].kind, Op::Pen);
    EXPECT_EQ(canvas.ops[0].color, kWhite);
    EXPECT_EQ(canvas.ops[1].kind, Op::Brush);
    EXPECT_EQ(canvas.ops[1].color, kWhite);
    EXPECT_EQ(canvas.ops[2].kind, Op::Rectangle);
    EXPECT_EQ(canvas.ops[2].x2, 800);
    EXPECT_EQ(canvas.ops[2].y2, 800);
    EXPECT_EQ(canvas.ops[3].kind, Op::Pen);
    EXPECT_EQ(canvas.ops[3].color, kBlack);
    EXPECT_EQ(canvas.ops[4].kind, Op::Font);
    EXPECT_FALSE(canvas.ops[4].font.bold);
    // The axes from the centre: 0.4 x 800 = 320 long.
    const std::vector<RecordingCanvas::Line> lines = canvas.Lines();
    ASSERT_GT(lines.size(), 100u);
    EXPECT_EQ(lines[0], (RecordingCanvas::Line{400, 400, 720, 400}));
    EXPECT_EQ(lines[3], (RecordingCanvas::Line{400, 400, 400, 79}));
}

// The polyline strokes of an SVG file, as their "points" attributes.
QStringList SvgStrokes(const QString& path, QString* error)
{
    QFile file(path);
    QStringList strokes;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return strokes;
    }
    QXmlStreamReader xml(&file);
    bool root = true;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (root && xml.name() != QLatin1String("svg"))
            *error = "root element is " + xml.name().toString();
        root = false;
        if (xml.name() == QLatin1String("polyline"))
            strokes << xml.attributes().value("points").toString().simplified();
    }
    if (xml.hasError())
        *error = xml.errorString();
    return strokes;
}

TEST(FigureSvgTest, IsWellFormedAndHoldsTheLines)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("net.svg");
    const ExportResult result = WriteFigureSvg(GeneralData{}, path.toStdString(), 800);
    ASSERT_TRUE(result.ok) << result.error;

    QString error;
    const QStringList strokes = SvgStrokes(path, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_GT(strokes.size(), 500);
    // The x axis and its arrowhead, and the y axis to row 79.
    EXPECT_TRUE(strokes.contains("400,400 720,400")) << strokes.mid(0, 8).join(" | ").toStdString();
    // Both arrowheads: two strokes back from each tip.
    int fromXTip = 0, fromYTip = 0;
    for (const QString& stroke : strokes) {
        fromXTip += stroke.startsWith("720,400 ") && stroke != "720,400 720,400";
        fromYTip += stroke.startsWith("400,79 ");
    }
    EXPECT_EQ(fromXTip, 2);
    EXPECT_EQ(fromYTip, 2);
    EXPECT_TRUE(strokes.contains("400,400 400,79"));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray svg = file.readAll();
    EXPECT_TRUE(svg.contains("viewBox=\"0 0 800 800\""));
    EXPECT_TRUE(svg.contains(">x</text>"));
    EXPECT_TRUE(svg.contains(">y</text>"));
    // The built-in face that placed the labels, then the generic family, so
    // a viewer without that face still takes a sans-serif one.
    EXPECT_TRUE(svg.contains("font-family=\"DejaVu Sans, sans-serif\""));
    EXPECT_FALSE(svg.contains("font-family=\"sans-serif\""));
}

TEST(FigurePngTest, IsTheRightSizeWithDarkNetOnWhite)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("net.png");
    const ExportResult result = WriteFigurePng(GeneralData{}, path.toStdString(), 640);
    ASSERT_TRUE(result.ok) << result.error;

    const QImage image(path, "PNG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(640, 640));
    // White corners, black axes (0.4 x 640 = 256 from the centre).
    EXPECT_EQ(image.pixel(0, 0), 0xFFFFFFFF);
    EXPECT_EQ(image.pixel(639, 639), 0xFFFFFFFF);
    EXPECT_EQ(image.pixel(500, 320), 0xFF000000);
    EXPECT_EQ(image.pixel(320, 100), 0xFF000000);
    // The net: many dark pixels inside the window, none in the lower left
    // margin (outside the window, away from the labels).
    int dark = 0, coloured = 0;
    for (int y = 0; y < 640; ++y)
        for (int x = 0; x < 640; ++x) {
            const QRgb p = image.pixel(x, y);
            dark += qGray(p) < 96;
            coloured += qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
        }
    EXPECT_GT(dark, 3000);
    EXPECT_EQ(coloured, 0);
    for (int y = 580; y < 640; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(image.pixel(x, y), 0xFFFFFFFF) << x << "," << y;
}

// A result point on the default figure of the given side (origin at the
// centre, 0.4 side per XmaxL = 3).
QPoint OnFigure(ModelPoint p, int side)
{
    const double scale = side * 0.4 / 3.0;
    return QPoint(static_cast<int>(side / 2 + scale * p.x), static_cast<int>(side / 2 - scale * p.y));
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ExportFigureTest, MarksComeAfterTheWholeNetAndOnlyWhenAsked)
{
    RecordingCanvas plain, marked;
    DrawExportFigure(plain, GeneralData{}, 800);
    DrawExportFigure(marked, GeneralData{}, 800, FontDialog2, true);
    using Op = RecordingCanvas::Op;
    for (const Op& op : plain.ops) {
        EXPECT_NE(op.kind, Op::Dot);
        EXPECT_FALSE(op.kind == Op::Pen && op.color == kMarkColor);
    }
    ASSERT_GT(marked.ops.size(), plain.ops.size());
    for (std::size_t i = 0; i < plain.ops.size(); ++i) {
        ASSERT_EQ(marked.ops[i].kind, plain.ops[i].kind) << i;
        ASSERT_EQ(marked.ops[i].x1, plain.ops[i].x1) << i;
        ASSERT_EQ(marked.ops[i].y1, plain.ops[i].y1) << i;
    }
    EXPECT_EQ(marked.ops[plain.ops.size()].kind, Op::Pen);
    EXPECT_EQ(marked.ops[plain.ops.size()].color, kMarkColor);
}

TEST(FigureSvgTest, MarksAreRedElementsAddedToTheSameFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plainPath = dir.filePath("net.svg");
    const QString markedPath = dir.filePath("marked.svg");
    ASSERT_TRUE(WriteFigureSvg(GeneralData{}, plainPath.toStdString(), 800).ok);
    ASSERT_TRUE(WriteFigureSvg(GeneralData{}, markedPath.toStdString(), 800, true).ok);
    const QByteArray plain = ReadAll(plainPath);
    const QByteArray marked = ReadAll(markedPath);
    ASSERT_FALSE(plain.isEmpty());
    EXPECT_FALSE(plain.toLower().contains("#ff0000"));

    // The marked file is the plain one with the red groups inserted at its end.
    const qsizetype start = marked.indexOf("\n<g fill=\"none\" stroke=\"#ff0000\"");
    ASSERT_GT(start, 0);
    const QByteArray tail = "</g>\n</svg>\n";
    ASSERT_TRUE(marked.endsWith(tail));
    EXPECT_EQ(marked.left(start) + tail, plain);
    const QByteArray marks = marked.mid(start, marked.size() - start - tail.size());
    EXPECT_GT(marks.count("<polyline"), 50);

    // One red dot each at the divide, the stagnation point and the water-table top.
    const FlowResults results = ComputeResults(GeneralData{});
    const QPoint points[] = {OnFigure(*results.divide, 800),
                             OnFigure(*results.stagnationPoint, 800),
                             OnFigure(results.waterTableTop, 800)};
    EXPECT_EQ(marks.count("<circle"), 3);
    EXPECT_EQ(marks.count("<g fill=\"#ff0000\""), 3);
    for (const QPoint& p : points) {
        const QByteArray circle = QString("<circle cx=\"%1\" cy=\"%2\" r=\"5.5\"/>")
                                      .arg(p.x())
                                      .arg(p.y())
                                      .toUtf8();
        EXPECT_TRUE(marks.contains(circle)) << circle.constData();
    }
}

TEST(FigurePngTest, MarksChangeOnlyPixelsToRed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plainPath = dir.filePath("net.png");
    const QString markedPath = dir.filePath("marked.png");
    ASSERT_TRUE(WriteFigurePng(GeneralData{}, plainPath.toStdString(), 640).ok);
    ASSERT_TRUE(WriteFigurePng(GeneralData{}, markedPath.toStdString(), 640, true).ok);
    const QImage plain(plainPath, "PNG");
    const QImage marked(markedPath, "PNG");
    ASSERT_EQ(plain.size(), QSize(640, 640));
    ASSERT_EQ(marked.size(), QSize(640, 640));

    int changed = 0;
    for (int y = 0; y < 640; ++y)
        for (int x = 0; x < 640; ++x) {
            ASSERT_NE(plain.pixel(x, y), 0xFFFF0000u) << x << "," << y;
            if (marked.pixel(x, y) != plain.pixel(x, y)) {
                ASSERT_EQ(marked.pixel(x, y), 0xFFFF0000u) << x << "," << y;
                ++changed;
            }
        }
    // Three dots of radius 4 and the line between.
    EXPECT_GT(changed, 3 * 30);

    const FlowResults results = ComputeResults(GeneralData{});
    for (const ModelPoint& p : {*results.divide, *results.stagnationPoint, results.waterTableTop}) {
        const QPoint at = OnFigure(p, 640);
        EXPECT_EQ(marked.pixel(at), 0xFFFF0000u) << at.x() << "," << at.y();
    }
    // A red line runs between the divide and the stagnation point, away from the dots.
    const QPoint divide = OnFigure(*results.divide, 640);
    const QPoint stagnation = OnFigure(*results.stagnationPoint, 640);
    int lineRed = 0;
    for (int y = std::min(divide.y(), stagnation.y()) - 20; y <= std::max(divide.y(), stagnation.y()) + 20; ++y)
        for (int x = stagnation.x(); x <= divide.x(); ++x) {
            const QPoint q(x, y);
            if ((q - divide).manhattanLength() > 10 && (q - stagnation).manhattanLength() > 10)
                lineRed += marked.pixel(q) == 0xFFFF0000u;
        }
    EXPECT_GT(lineRed, 10);
}

using Writer = std::function<ExportResult(const std::string&)>;

struct WriterCase {
    const char* name;
    Writer write;
};

void PrintTo(const WriterCase& c, std::ostream* os) { *os << c.name; }

const WriterCase kWriters[] = {
    {"pdf",
     [](const std::string& path) {
         return WriteReportPdf(GeneralData{}, path, QPageSize(QPageSize::A4),
                               QPageLayout::Portrait);
     }},
    {"svg", [](const std::string& path) { return WriteFigureSvg(GeneralData{}, path, 600); }},
    {"png", [](const std::string& path) { return WriteFigurePng(GeneralData{}, path, 600); }},
};

class FailedWriteTest : public ::testing::TestWithParam<WriterCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        target = dir.filePath("old.out");
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kOld);
    }

    QByteArray Contents() const
    {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    static constexpr const char* kOld = "the old file\n";
    QTemporaryDir dir;
    QString target;
};

TEST_P(FailedWriteTest, MissingDirectoryIsNamedWithTheReason)
{
    const std::string path = dir.filePath("no/such/dir/out.file").toStdString();
    const ExportResult result = GetParam().write(path);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(path), std::string::npos) << result.error;
    EXPECT_GT(result.error.size(), path.size() + 20) << result.error;
}

// Writes beyond a few hundred bytes fail half-way (as on a full disk): the
// existing file must come through untouched.
TEST_P(FailedWriteTest, WriteFailingHalfWayLeavesTheOldFile)
{
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 300;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ExportResult result = GetParam().write(target.toStdString());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(target.toStdString()), std::string::npos) << result.error;
    EXPECT_EQ(Contents(), QByteArray(kOld));
    // No partial file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.out"});
}

TEST_P(FailedWriteTest, SuccessfulWriteReplacesTheOldFile)
{
    const ExportResult result = GetParam().write(target.toStdString());
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_GT(Contents().size(), 1000);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.out"});
}

INSTANTIATE_TEST_SUITE_P(Writers, FailedWriteTest, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FigureSizeTest, SizesOutsideTheRangeAreRefusedWithoutTouchingTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("net.png").toStdString();
    for (int size : {0, -5, kFigureMinSize - 1, kFigureMaxSize + 1}) {
        const ExportResult png = WriteFigurePng(GeneralData{}, path, size);
        const ExportResult svg = WriteFigureSvg(GeneralData{}, path, size);
        EXPECT_FALSE(png.ok);
        EXPECT_FALSE(svg.ok);
        EXPECT_NE(png.error.find(std::to_string(size)), std::string::npos) << png.error;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
    }
}

} // namespace
} // namespace brelloc
