// The results beside the grid and the probe under the mouse, driven as a user
// drives them: keys typed into the grid's editor, clicks, mouse moves over
// the drawn plot, pictures of the window taken with grab().
#include "FlowProbe.h"
#include "FlowResults.h"
#include "PanelNotes.h"
#include "ResultTexts.h"
#include "ResultsBlock.h"
#include "ScreenPlot.h"
#include "StringGrid.h"
#include "UnitBrelloc.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <memory>

using namespace brelloc;

namespace {

const QRgb kAquaPixel = qRgb(0, 255, 255);
const QRgb kLimePixel = qRgb(0, 255, 0);
const QRgb kYellowPixel = qRgb(255, 255, 0);
const QRgb kWhitePixel = qRgb(255, 255, 255);

// Values typed into the grid, each committed with Enter, from the H/L row on.
using Entries = QStringList;

} // namespace

class ResultsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void resultsAfterCommits_data();
    void resultsAfterCommits();
    void resultsOnlyFromCommittedValues();
    void placeBesideTheGrid();
    void styleOfTheBlock();
    void checkBoxTakesNoFocusAndCommitsNothing();
    void probeReadsThePixelUnderTheMouse_data();
    void probeReadsThePixelUnderTheMouse();
    void probeClearedOffThePlot();
    void probeAfterCalculateUnderTheMouse();
    void marksOnlyWhenChecked();

private:
    QLineEdit* Editor() const { return form->MainGrid->Editor(); }
    void Enter(const Entries& entries);
    ScreenPlotLayout Layout() const
    {
        return ComputeScreenPlotLayout(form->width(), form->height(), form->MainGrid->y(),
                                       form->MainGrid->height(), form->devicePixelRatioF());
    }
    // The shown square's device pixels per window pixel.
    qreal Ratio() const { return form->ShownPlot().devicePixelRatio(); }
    // The window point nearest the centre of pixel (column, row) of the
    // shown square; column and row become the pixel that point falls in
    // (the same at a scale factor of 1).
    QPoint PointOver(int& column, int& row) const
    {
        const qreal ratio = Ratio();
        const QPoint at = form->ShownPlotPosition();
        const QPoint point(qRound((at.x() + column + 0.5) / ratio), qRound((at.y() + row + 0.5) / ratio));
        column = static_cast<int>(std::floor(point.x() * ratio)) - at.x();
        row = static_cast<int>(std::floor(point.y() * ratio)) - at.y();
        return point;
    }
    QPoint PointNear(int column, int row) const { return PointOver(column, row); }

    std::unique_ptr<TFormBrelloc> form;
};

void ResultsTest::init()
{
    form = std::make_unique<TFormBrelloc>();
    form->SetMessagePresenter([](QWidget*, MessageKind, const QString&) {});
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void ResultsTest::cleanup()
{
    form.reset();
}

void ResultsTest::Enter(const Entries& entries)
{
    for (const QString& text : entries) {
        Editor()->selectAll();
        QTest::keyClicks(Editor(), text);
        QTest::keyClick(Editor(), Qt::Key_Return);
    }
}

void ResultsTest::resultsAfterCommits_data()
{
    QTest::addColumn<Entries>("entries");
    // Divide x y, stagnation point x y, water-table top x y, left right.
    QTest::addColumn<QStringList>("values");

    QTest::newRow("start-up") << Entries{} << QStringList{"0.199", "0.341", "-0.173", "0.200", "0.373",
                                                          "0.358", "0.099", "0.401"};
    QTest::newRow("H/L 0: divide in the middle")
        << Entries{"0"} << QStringList{"0.500", "0.250", "none", "", "0.500", "0.250", "0.250", "0.250"};
    QTest::newRow("large H/L: no divide, no stagnation point")
        << Entries{"5"} << QStringList{"none", "", "none", "", "0.000", "5.000", "0.000", "0.500"};
    QTest::newRow("N/k 0: nothing to divide")
        << Entries{"0.2", "0"} << QStringList{"none", "", "none", "", "0.000", "0.200", "0.000", "0.000"};
    QTest::newRow("H/L 0.3, N/k 0.4")
        << Entries{"0.3", "0.4"} << QStringList{"0.085", "0.355", "-0.052", "0.300", "0.261", "0.373",
                                               "0.034", "0.366"};
    QTest::newRow("far stagnation point in exponent form")
        << Entries{"0.000001", "1000"} << QStringList{"0.500", "500.000", "3.92e+11", "0.000", "0.500",
                                                     "500.000", "500.000", "500.000"};
    QTest::newRow("Xmax/L and squares change nothing")
        << Entries{"0.2", "0.5", "10", "4"} << QStringList{"0.199", "0.341", "-0.173", "0.200", "0.373",
                                                          "0.358", "0.099", "0.401"};
}

void ResultsTest::resultsAfterCommits()
{
    QFETCH(Entries, entries);
    QFETCH(QStringList, values);

    Enter(entries);
    const char* labels[] = {"Divide x/L, y/L", "Stagnation x/L, y/L", "Water-table top x/L, y/L",
                            "Infiltration left, right"};
    for (int row = 0; row < ResultsBlock::kRows; ++row) {
        QCOMPARE(form->Results->Cell(0, row), QString::fromLatin1(labels[row]));
        QCOMPARE(form->Results->Cell(1, row), values[2 * row]);
        QCOMPARE(form->Results->Cell(2, row), values[2 * row + 1]);
    }
}

void ResultsTest::resultsOnlyFromCommittedValues()
{
    // Typed but not committed: the block keeps the committed values.
    QTest::keyClicks(Editor(), "5");
    QCOMPARE(form->Results->Cell(1, 0), QStringLiteral("0.199"));
    // Enter commits; the results follow at once, no Calculate needed.
    QTest::keyClick(Editor(), Qt::Key_Return);
    QCOMPARE(form->Data().HL, 5.0);
    QCOMPARE(form->Results->Cell(1, 0), QStringLiteral("none"));
    QCOMPARE(form->Results->Cell(2, 2), QStringLiteral("5.000"));
    // Any other commit refreshes it too: an arrow key back to H/L and 0.
    QTest::keyClick(Editor(), Qt::Key_Up);
    Editor()->selectAll();
    QTest::keyClicks(Editor(), "0");
    QTest::mouseClick(form->MainGrid->viewport(), Qt::LeftButton, {},
                      form->MainGrid->CellRect(1, 2).center());
    QCOMPARE(form->Data().HL, 0.0);
    QCOMPARE(form->Results->Cell(1, 0), QStringLiteral("0.500"));
}

void ResultsTest::placeBesideTheGrid()
{
    ResultsBlock* block = form->Results;
    // Level with the grid's header, 8 pixels to its right, as high as
    // header and grid together: it ends with the grid, above the plot.
    const int left = form->GeneralPanel->x() + form->GeneralPanel->width() + 8;
    QCOMPARE(left, 276);
    const int fits = left + block->width() + 8; // the narrowest window that shows it
    QVERIFY2(fits <= 580, "the block fits the start-up window");
    QVERIFY(fits > 383);

    for (const int width : {580, 1000, fits, fits - 1, 500, 383, 700}) {
        form->resize(width, 552);
        QCOMPARE(form->width(), width);
        // What the design places stays where it is.
        QCOMPARE(form->MainGrid->geometry(), QRect(5, 60, 263, 77));
        QCOMPARE(form->GeneralPanel->geometry(), QRect(5, 37, 263, 24));
        QCOMPARE(form->PanelMain->geometry(), QRect(0, 0, width, 24));
        const bool shown = width >= fits;
        QCOMPARE(block->isVisible(), shown);
        if (!shown)
            continue;
        QCOMPARE(block->geometry().topLeft(), QPoint(276, 37));
        QCOMPARE(block->ResultsPanel->geometry(), QRect(0, 0, block->width(), 24));
        QCOMPARE(block->ResultsTable->geometry(), QRect(0, 23, block->width(), 77));
        QCOMPARE(block->geometry().bottom(), form->MainGrid->geometry().bottom());
        QVERIFY(block->geometry().bottom() < form->MainGrid->geometry().bottom() + 8);
        QVERIFY(block->geometry().right() < width - 8);
        QVERIFY(!block->geometry().intersects(form->GeneralPanel->geometry()));
        QVERIFY(!block->geometry().intersects(form->PanelMain->geometry()));
    }

    // Shown wide, the plot below it is the same square as without it.
    form->resize(580, 552);
    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    QCOMPARE(form->ShownPlotPosition(), QPoint(Layout().left, Layout().top));
    QCOMPARE(form->ShownPlot().width(), Layout().side);
    const QImage window = form->grab().toImage();
    QCOMPARE(window.pixel(Layout().left + 2, Layout().top + 2), kAquaPixel);
}

void ResultsTest::styleOfTheBlock()
{
    ResultsBlock* block = form->Results;
    QCOMPARE(block->ResultsLabel->text(), QStringLiteral("Results"));
    QCOMPARE(block->ResultsLabel->pos(), QPoint(8, 4));
    QVERIFY(block->ResultsLabel->font().bold());
    QCOMPARE(block->MarkDivide->text(), QStringLiteral("Mark the divide"));
    QVERIFY(!block->MarkDivide->isChecked());
    QVERIFY(block->ResultsPanel->geometry().contains(block->MarkDivide->geometry()));
    QVERIFY(block->MarkDivide->x() > block->ResultsLabel->x() + block->ResultsLabel->width());

    // Lime header, yellow labels, white values with one-pixel black lines,
    // as the grid beside it.
    const QImage window = form->grab().toImage();
    const QPoint at = block->pos();
    QCOMPARE(window.pixel(at + QPoint(4, 2)), kLimePixel);
    QCOMPARE(window.pixel(at + QPoint(0, 30)), qRgb(0, 0, 0));       // outline
    QCOMPARE(window.pixel(at + QPoint(2, 23 + 2)), kYellowPixel);      // label cell, row 0
    QCOMPARE(window.pixel(at + QPoint(2, 23 + 19)), qRgb(0, 0, 0));    // line below row 0
    QCOMPARE(window.pixel(at + QPoint(block->width() - 3, 23 + 2)), kWhitePixel);
    QCOMPARE(window.pixel(at + QPoint(block->width() - 3, 23 + 76 - 2)), kWhitePixel);
    // The columns and lines make up the width; every text fits its cell,
    // also the widest values.
    QCOMPARE(block->ColumnWidth(0) + block->ColumnWidth(1) + block->ColumnWidth(2) + 4, block->width());
    QCOMPARE(block->ColumnWidth(1), block->ColumnWidth(2));
    const QFontMetrics metrics(block->font());
    const auto fits = [&](int col, const QString& text) {
        return metrics.horizontalAdvance(text) + 6 <= block->ColumnWidth(col);
    };
    for (int row = 0; row < ResultsBlock::kRows; ++row)
        QVERIFY2(fits(0, block->Cell(0, row)), qPrintable(block->Cell(0, row)));
    for (const char* value : {"-9999.999", "-8.88e+88", "-8e+300", "none", "off scale", "-0.173"})
        QVERIFY2(fits(1, QString::fromLatin1(value)), value);
    Enter({"0.000001", "1000"});
    for (int row = 0; row < ResultsBlock::kRows; ++row)
        for (int col = 1; col < ResultsBlock::kColumns; ++col)
            QVERIFY2(fits(col, block->Cell(col, row)), qPrintable(block->Cell(col, row)));
}

void ResultsTest::checkBoxTakesNoFocusAndCommitsNothing()
{
    ResultsBlock* block = form->Results;
    QCOMPARE(block->MarkDivide->focusPolicy(), Qt::NoFocus);
    QCOMPARE(block->focusPolicy(), Qt::NoFocus);
    QCOMPARE(block->ResultsTable->focusPolicy(), Qt::NoFocus);

    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    const QImage plot = form->ShownPlot();
    QVERIFY(!plot.isNull());

    QTest::keyClicks(Editor(), "0.6"); // typed, not committed
    QTest::mouseClick(block->MarkDivide, Qt::LeftButton);
    QVERIFY(block->MarkDivide->isChecked());
    // The editor keeps the focus and its text; nothing was committed and the
    // plot stays as drawn until the next Calculate.
    QCOMPARE(QApplication::focusWidget(), Editor());
    QCOMPARE(Editor()->text(), QStringLiteral("0.6"));
    QCOMPARE(form->Data().HL, 0.2);
    QCOMPARE(form->CurrentRow(), 0);
    QCOMPARE(form->ShownPlot(), plot);

    // A click on the table does nothing either.
    QTest::mouseClick(block->ResultsTable, Qt::LeftButton, {}, QPoint(40, 10));
    QCOMPARE(QApplication::focusWidget(), Editor());

    // Tab goes on in the grid as before.
    QTest::keyClick(Editor(), Qt::Key_Tab);
    QCOMPARE(form->Data().HL, 0.6);
    QCOMPARE(form->CurrentRow(), 1);
    QCOMPARE(QApplication::focusWidget(), Editor());

    QTest::mouseClick(block->MarkDivide, Qt::LeftButton);
    QVERIFY(!block->MarkDivide->isChecked());
    QCOMPARE(QApplication::focusWidget(), Editor());
}

void ResultsTest::probeReadsThePixelUnderTheMouse_data()
{
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("inside");

    QTest::newRow("below the middle") << Entries{} << 0.5 << -0.5 << true;
    QTest::newRow("deep below the left drain") << Entries{} << -1.7 << -1.2 << true;
    QTest::newRow("under the right drain") << Entries{} << 2.2 << -0.05 << true;
    QTest::newRow("above the water table") << Entries{} << 0.4 << 1.0 << false;
    QTest::newRow("above the left drain") << Entries{} << -1.0 << 0.4 << false;
    QTest::newRow("H/L 0.3, N/k 0.4, Xmax/L 1") << Entries{"0.3", "0.4", "1"} << 0.3 << -0.2 << true;
    QTest::newRow("H/L 0") << Entries{"0"} << 0.5 << -0.3 << true;
}

void ResultsTest::probeReadsThePixelUnderTheMouse()
{
    QFETCH(Entries, entries);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, inside);

    Enter(entries);
    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    const int side = form->ShownPlot().width();
    QVERIFY(side > 100);

    // The pixel the point is drawn at, by the figure's own arithmetic.
    const GeneralData& data = form->Data();
    const double scale = side * 0.4 / data.XmaxL;
    const int origin = side / 2;
    int column = static_cast<int>(origin + scale * x);
    int row = static_cast<int>(origin - scale * y);
    // Above a scale factor of 1 the mouse may reach the pixel beside it.
    const QPoint mouse = PointOver(column, row);
    const double reach = (std::ceil(Ratio()) + 1.0) / scale;
    QTest::mouseMove(form.get(), mouse);

    // The reading is the model's probe at the point the pixel stands for...
    const ModelPoint point = ScreenPlotMapping(data, side).PixelCentre(column, row);
    const std::optional<ProbeValues> values = ProbeAt(data, point);
    QCOMPARE(values.has_value(), inside);
    const QString reading = form->Notes->Probe();
    QCOMPARE(reading, QString::fromStdString(ProbeReading(point, values)));
    QCOMPARE(form->Notes->text(), reading);
    QCOMPARE(reading.contains(QStringLiteral("outside the flow region")), !inside);
    if (inside)
        QVERIFY(reading.contains(QStringLiteral("  q/k ")));

    // ...and that point lies within the pixel around the point aimed at.
    const QRegularExpressionMatch shown =
        QRegularExpression(QStringLiteral("^x/L (\\S+)  y/L (\\S+)  ")).match(reading);
    QVERIFY(shown.hasMatch());
    QVERIFY(std::fabs(shown.captured(1).toDouble() - x) <= reach + 0.0005);
    QVERIFY(std::fabs(shown.captured(2).toDouble() - y) <= reach + 0.0005);
    QVERIFY(std::fabs(point.x - x) < reach);
    QVERIFY(std::fabs(point.y - y) < reach);
}

void ResultsTest::probeClearedOffThePlot()
{
    // No net drawn: no reading where the square would be.
    QTest::mouseMove(form.get(), QPoint(form->width() / 2, form->height() / 2 + 60));
    QVERIFY(form->Notes->Probe().isEmpty());

    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    const int side = form->ShownPlot().width();
    const QPoint over = PointNear(side / 2 + 20, side / 2 + 20);
    QTest::mouseMove(form.get(), over);
    QVERIFY(!form->Notes->Probe().isEmpty());

    // Off the square, on the window's own background: left of it, in the
    // first column past it; and back in its last column.
    const qreal ratio = Ratio();
    const QPoint at = form->ShownPlotPosition();
    const int y = over.y();
    QTest::mouseMove(form.get(), QPoint(static_cast<int>(std::floor(at.x() / ratio)) - 1, y));
    QVERIFY(form->Notes->Probe().isEmpty());
    const int past = static_cast<int>(std::ceil((at.x() + side) / ratio));
    QTest::mouseMove(form.get(), QPoint(past, y));
    QVERIFY(form->Notes->Probe().isEmpty());
    QTest::mouseMove(form.get(), QPoint(past - 1, y));
    QVERIFY(!form->Notes->Probe().isEmpty());

    // Out of the window.
    QTest::mouseMove(form.get(), over);
    QVERIFY(!form->Notes->Probe().isEmpty());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(form.get(), &leave);
    QVERIFY(form->Notes->Probe().isEmpty());
    QVERIFY(form->Notes->text().isEmpty());

    // A commit clears the plot and the reading with it. (The platform drops
    // a move to where the pointer already is, so it moves a pixel.)
    QTest::mouseMove(form.get(), over + QPoint(1, 0));
    QVERIFY(!form->Notes->Probe().isEmpty());
    QTest::keyClick(Editor(), Qt::Key_Return);
    QVERIFY(form->ShownPlot().isNull());
    QVERIFY(form->Notes->Probe().isEmpty());
    QTest::mouseMove(form.get(), over + QPoint(1, 1));
    QVERIFY(form->Notes->Probe().isEmpty());

    // So does a resize.
    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    QTest::mouseMove(form.get(), over);
    QVERIFY(!form->Notes->Probe().isEmpty());
    form->resize(form->width() + 10, form->height());
    QVERIFY(form->Notes->Probe().isEmpty());
}

void ResultsTest::probeAfterCalculateUnderTheMouse()
{
    // Where the square will be: a first drawing tells.
    form->SpeedButtonCalc->click();
    const int side = form->ShownPlot().width();
    int column = side / 2 + 20, row = side / 2 + 20;
    const QPoint over = PointOver(column, row);
    QTest::keyClick(Editor(), Qt::Key_Return); // a commit clears it
    QVERIFY(form->ShownPlot().isNull());
    QTest::mouseMove(form.get(), over);
    QVERIFY(form->Notes->Probe().isEmpty());
    if (!form->underMouse())
        QSKIP("the platform does not report the pointer over the window");
    // The keyboard's way to Calculate leaves the pointer where it is; the
    // reading comes at once, without a move.
    form->SpeedButtonCalc->click();
    QVERIFY(!form->ShownPlot().isNull());
    const GeneralData& data = form->Data();
    const ModelPoint point = ScreenPlotMapping(data, side).PixelCentre(column, row);
    QCOMPARE(form->Notes->Probe(), QString::fromStdString(ProbeReading(point, ProbeAt(data, point))));
}

void ResultsTest::marksOnlyWhenChecked()
{
    // Red: the marks' colour; the net, the axes and the ground have none.
    const auto isRed = [](QRgb pixel) { return qRed(pixel) > 200 && qGreen(pixel) < 80 && qBlue(pixel) < 80; };
    const auto redPixels = [&](const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += isRed(image.pixel(x, y));
        return count;
    };

    // Off by default: the plain net.
    QVERIFY(!form->Results->MarkDivide->isChecked());
    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    const QImage plain = form->ShownPlot().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(redPixels(plain), 0);

    // Checking the box draws nothing by itself.
    QTest::mouseClick(form->Results->MarkDivide, Qt::LeftButton);
    QVERIFY(form->Results->MarkDivide->isChecked());
    QCOMPARE(form->ShownPlot().convertToFormat(QImage::Format_RGB32), plain);

    // Calculate marks the net: red at the divide, the stagnation point and
    // the water-table top, and every other pixel as in the plain net.
    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    const QImage marked = form->ShownPlot().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(marked.size(), plain.size());
    QVERIFY(redPixels(marked) > 30);
    const FlowResults results = ComputeResults(form->Data());
    const FigureMapping mapping = ScreenPlotMapping(form->Data(), marked.width());
    QVERIFY(results.divide && results.stagnationPoint);
    for (const ModelPoint& p : {*results.divide, *results.stagnationPoint, results.waterTableTop})
        QVERIFY2(isRed(marked.pixel(mapping.PixelX(p.x), mapping.PixelY(p.y))), "a dot on the point");
    int changed = 0;
    for (int y = 0; y < marked.height(); ++y)
        for (int x = 0; x < marked.width(); ++x)
            if (!isRed(marked.pixel(x, y)) && marked.pixel(x, y) != plain.pixel(x, y))
                ++changed;
    QCOMPARE(changed, 0);
    // The window shows the marked square.
    const QImage window = form->grab().toImage();
    const QPoint at = form->ShownPlotPosition();
    const ModelPoint divide = *results.divide;
    QVERIFY(isRed(window.pixel(at + QPoint(mapping.PixelX(divide.x), mapping.PixelY(divide.y)))));

    // Unchecked again, the next Calculate draws the plain net.
    QTest::mouseClick(form->Results->MarkDivide, Qt::LeftButton);
    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    QCOMPARE(form->ShownPlot().convertToFormat(QImage::Format_RGB32), plain);
}

QTEST_MAIN(ResultsTest)
#include "ResultsTest.moc"
