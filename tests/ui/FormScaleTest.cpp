// The main window at the scale factor the environment sets
// (QT_SCALE_FACTOR): the screen plot drawn in device pixels, the grid's
// lines equally wide. CTest runs it at 1.25, 1.5 and 2.
#include "ScreenPlot.h"
#include "StringGrid.h"
#include "UnitBrelloc.h"

#include <QIcon>
#include <QLineEdit>
#include <QToolButton>
#include <QTest>

#include <cmath>
#include <memory>
#include <vector>

using namespace brelloc;

namespace {

const QRgb kBlackPixel = qRgb(0, 0, 0);
const QRgb kAquaPixel = qRgb(0, 255, 255);
const QRgb kYellowPixel = qRgb(255, 255, 0);

struct Run {
    QRgb colour;
    int length;
};

std::vector<Run> Runs(const std::vector<QRgb>& pixels)
{
    std::vector<Run> runs;
    for (const QRgb pixel : pixels) {
        if (!runs.empty() && runs.back().colour == pixel)
            ++runs.back().length;
        else
            runs.push_back({pixel, 1});
    }
    return runs;
}

QString Describe(const std::vector<Run>& runs)
{
    QStringList parts;
    for (const Run& run : runs)
        parts << QStringLiteral("%1x%2").arg(run.colour & 0xFFFFFF, 6, 16, QLatin1Char('0')).arg(run.length);
    return parts.join(QLatin1Char(' '));
}

std::vector<int> BlackRunLengths(const std::vector<QRgb>& pixels)
{
    std::vector<int> lengths;
    for (const Run& run : Runs(pixels))
        if (run.colour == kBlackPixel)
            lengths.push_back(run.length);
    return lengths;
}

} // namespace

class FormScaleTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void screenPlotInDevicePixels();
    void gridLinesEquallyWide();
    void glyphsDrawnAgainAtTwiceTheSize();

private:
    // The device pixel where a logical edge falls, rounded half up.
    int Device(int logical) const { return static_cast<int>(std::floor(logical * ratio + 0.5)); }
    QImage Window() const { return form->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    std::vector<QRgb> Column(const QImage& image, int x, int top, int bottom) const
    {
        std::vector<QRgb> pixels;
        for (int y = top; y < bottom; ++y)
            pixels.push_back(image.pixel(x, y) | 0xFF000000);
        return pixels;
    }
    std::vector<QRgb> Row(const QImage& image, int y, int left, int right) const
    {
        std::vector<QRgb> pixels;
        for (int x = left; x < right; ++x)
            pixels.push_back(image.pixel(x, y) | 0xFF000000);
        return pixels;
    }

    std::unique_ptr<TFormBrelloc> form;
    qreal ratio = 1;
};

void FormScaleTest::init()
{
    form = std::make_unique<TFormBrelloc>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    ratio = form->devicePixelRatioF();
    QVERIFY2(ratio > 1, "run with QT_SCALE_FACTOR above 1");
}

void FormScaleTest::cleanup()
{
    form.reset();
}

void FormScaleTest::screenPlotInDevicePixels()
{
    QTest::keyClick(form->MainGrid->Editor(), Qt::Key_F5);
    const ScreenPlotLayout layout = ComputeScreenPlotLayout(
        form->width(), form->height(), form->MainGrid->y(), form->MainGrid->height(), ratio);
    // The square is drawn at the screen's resolution, not doubled.
    QCOMPARE(form->ShownPlot().size(), QSize(layout.side, layout.side));
    QCOMPARE(form->ShownPlot().devicePixelRatio(), ratio);
    QCOMPARE(form->ShownPlotPosition(), QPoint(layout.left, layout.top));
    QVERIFY(layout.side >= Device(300));

    const QImage window = Window();
    QCOMPARE(window.devicePixelRatio(), ratio);
    const int left = layout.left, top = layout.top, side = layout.side;
    const int ox = left + side / 2, oy = top + side / 2;
    // Outline, axes and net lines: one device pixel wide, as at scale 1.
    const struct {
        const char* what;
        QPoint on, beside1, beside2;
    } lines[] = {
        {"outline, top", {left + side / 3, top}, {left + side / 3, top + 1}, {left + side / 3, top + 1}},
        {"outline, left", {left, top + side / 3}, {left + 1, top + side / 3}, {left + 1, top + side / 3}},
        {"y axis", {ox, oy - side / 5}, {ox - 1, oy - side / 5}, {ox + 1, oy - side / 5}},
    };
    for (const auto& line : lines) {
        QVERIFY2(window.pixel(line.on) == kBlackPixel, line.what);
        QVERIFY2(window.pixel(line.beside1) == kAquaPixel, line.what);
        QVERIFY2(window.pixel(line.beside2) == kAquaPixel, line.what);
    }
    // The x axis, except where net lines cross it: aqua above and below.
    int thin = 0, columns = 0;
    for (int x = ox + side / 10; x < ox + side * 35 / 100; ++x, ++columns)
        thin += window.pixel(x, oy) == kBlackPixel && window.pixel(x, oy - 1) == kAquaPixel &&
                window.pixel(x, oy + 1) == kAquaPixel;
    QVERIFY2(thin * 10 > columns * 7, qPrintable(QStringLiteral("%1 of %2").arg(thin).arg(columns)));
    // The x axis's tip: drawn with its arrowhead, at 0.4 side from the centre.
    const int tip = ox + static_cast<int>(0.4 * side);
    QCOMPARE(window.pixel(tip, oy), kBlackPixel);
    QCOMPARE(window.pixel(tip + 1, oy), kAquaPixel);

    // Along a column through the net, every line crossed is one pixel thick
    // or a crossing of two; doubled drawing would make all of them two.
    const std::vector<int> crossings =
        BlackRunLengths(Column(window, ox + side / 3, oy + 2, top + side - 2));
    QVERIFY(crossings.size() >= 5);
    int single = 0;
    for (const int length : crossings)
        single += length == 1;
    QVERIFY2(single * 2 > static_cast<int>(crossings.size()), "the net's lines are not one device pixel wide");

    // The labels grow with the scale: the "x" stands beyond the tip by the
    // width of "xx" in the scaled font.
    const int xx = QFontMetrics(form->font()).horizontalAdvance(QStringLiteral("xx"));
    int firstInk = -1;
    for (int x = tip + 1; x < left + side && firstInk < 0; ++x)
        for (int y = oy - Device(10); y <= oy + Device(10); ++y)
            if (window.pixel(x, y) != kAquaPixel) {
                firstInk = x;
                break;
            }
    QVERIFY(firstInk > 0);
    QVERIFY2(firstInk - tip >= xx * ratio - 3, qPrintable(QString::number(firstInk - tip)));
}

void FormScaleTest::gridLinesEquallyWide()
{
    form->MainGrid->Editor()->deselect(); // no highlight across the scans
    const QImage window = Window();
    const QRect grid = form->MainGrid->geometry();
    const int expected = std::max(1, static_cast<int>(ratio + 0.25));

    // Down the value column: the outline, the three lines between the rows,
    // the outline again, all equally wide.
    const int valueX = Device(grid.x() + 184); // before the values' digits
    const std::vector<int> down =
        BlackRunLengths(Column(window, valueX, Device(grid.y()) - 1, Device(grid.bottom() + 1) + 1));
    QVERIFY2(down.size() == 5,
             qPrintable(Describe(Runs(Column(window, valueX, Device(grid.y()) - 1, Device(grid.bottom() + 1) + 1)))));
    for (const int length : down)
        QCOMPARE(length, expected);

    // Across the top of the first row, above its text: outline, the yellow
    // label cell, the line between the columns, the white value cell (or the
    // editor), the outline; no sliver of another colour between them.
    const int y = Device(grid.y() + 3);
    const std::vector<Run> across = Runs(Row(window, y, Device(grid.x()), Device(grid.right() + 1)));
    QVERIFY(across.size() >= 5);
    qInfo("%s", qPrintable(Describe(across)));
    QCOMPARE(across[0].colour, kBlackPixel);
    QCOMPARE(across[0].length, expected);
    QCOMPARE(across[1].colour, kYellowPixel);
    QCOMPARE(across[2].colour, kBlackPixel);
    QCOMPARE(across[2].length, expected);
    QCOMPARE(across.back().colour, kBlackPixel);
    QCOMPARE(across.back().length, expected);

    // Down a label cell's empty right part: only yellow and black.
    const int labelX = Device(grid.x() + 175);
    const std::vector<Run> labels =
        Runs(Column(window, labelX, Device(grid.y()), Device(grid.bottom() + 1)));
    for (const Run& run : labels)
        QVERIFY2(run.colour == kYellowPixel || run.colour == kBlackPixel, qPrintable(Describe(labels)));
    QCOMPARE(BlackRunLengths(Column(window, labelX, Device(grid.y()), Device(grid.bottom() + 1))),
             std::vector<int>(5, expected));
}

// A picture made by doubling every pixel of the 1x one.
static bool Doubled(const QImage& picture)
{
    for (int y = 0; y + 1 < picture.height(); y += 2)
        for (int x = 0; x + 1 < picture.width(); x += 2) {
            const QRgb pixel = picture.pixel(x, y);
            if (picture.pixel(x + 1, y) != pixel || picture.pixel(x, y + 1) != pixel ||
                picture.pixel(x + 1, y + 1) != pixel)
                return false;
        }
    return true;
}

void FormScaleTest::glyphsDrawnAgainAtTwiceTheSize()
{
    const struct {
        const char* what;
        QIcon icon;
        QSize size;
    } pictures[] = {
        {"Calculate", form->SpeedButtonCalc->icon(), QSize(24, 22)},
        {"Print", form->SpeedButtonPrint->icon(), QSize(24, 22)},
        {"PicTeX", form->SpeedButtonTex->icon(), QSize(24, 22)},
        {"Help", form->SpeedButtonHelp->icon(), QSize(24, 22)},
        {"window icon", form->windowIcon(), QSize(32, 32)},
    };
    for (const auto& picture : pictures) {
        const QImage one = picture.icon.pixmap(picture.size, 1.0).toImage();
        const QImage two = picture.icon.pixmap(picture.size, 2.0).toImage();
        QCOMPARE(one.size(), picture.size);
        QVERIFY2(two.size() == picture.size * 2, picture.what);
        QVERIFY2(!Doubled(two), picture.what);
    }
    // What the button shows on this screen is that picture, not the 1x one
    // enlarged.
    const QImage button = form->SpeedButtonCalc->grab().toImage();
    QCOMPARE(button.size(), QSize(25, 25) * ratio);
    if (ratio == 2.0)
        QVERIFY(!Doubled(button.copy(2, 2, 46, 46)));
}

QTEST_MAIN(FormScaleTest)
#include "FormScaleTest.moc"
