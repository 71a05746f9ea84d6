#include "ResultsBlock.h"

#include "DevicePixels.h"
#include "ResultTexts.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace brelloc {

namespace {

const QColor kLimeColor(0, 255, 0);
const QColor kYellowColor(255, 255, 0);
constexpr int kTextMargin = 3;

// The table drawn as the parameter grid draws itself: one-pixel black lines
// between the cells and around them, the labels on yellow, the values on
// white, the values right-aligned so that their decimal points line up.
class Table final : public QWidget {
public:
    Table(const std::array<std::array<QString, ResultsBlock::kColumns>, ResultsBlock::kRows>& cells,
          const std::array<int, ResultsBlock::kColumns>& widths, QWidget* parent)
        : QWidget(parent), cells_(cells), widths_(widths)
    {
        setFocusPolicy(Qt::NoFocus);
        int width = 2 + ResultsBlock::kColumns - 1;
        for (int w : widths_)
            width += w;
        setFixedSize(width, 2 + ResultsBlock::kRows * (ResultsBlock::kRowHeight + 1) - 1);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        {
            // Colours and lines on whole device pixels, as the grid paints
            // its own, so that the lines are equally wide at any scale.
            DevicePixels device(painter);
            const QRect outline = device.Rect(rect());
            const int line = device.LineWidth();
            for (int row = 0; row < ResultsBlock::kRows; ++row) {
                for (int col = 0; col < ResultsBlock::kColumns; ++col) {
                    const bool lineRight = col < ResultsBlock::kColumns - 1;
                    const bool lineBelow = row < ResultsBlock::kRows - 1;
                    const QRect cell = CellRect(col, row);
                    // The cell with the line to its right and below it.
                    QRect area = device.Rect(cell.adjusted(0, 0, lineRight ? 1 : 0, lineBelow ? 1 : 0));
                    if (col == 0)
                        area.setLeft(outline.left() + line);
                    if (row == 0)
                        area.setTop(outline.top() + line);
                    if (!lineRight)
                        area.setRight(outline.right() - line);
                    if (!lineBelow)
                        area.setBottom(outline.bottom() - line);
                    device.Fill(area, col == 0 ? kYellowColor : QColor(Qt::white));
                    if (lineRight)
                        device.RightLine(area, Qt::black);
                    if (lineBelow)
                        device.BottomLine(area, Qt::black);
                }
            }
            device.LeftLine(outline, Qt::black);
            device.TopLine(outline, Qt::black);
            device.RightLine(outline, Qt::black);
            device.BottomLine(outline, Qt::black);
        }
        painter.setPen(palette().color(QPalette::WindowText));
        for (int row = 0; row < ResultsBlock::kRows; ++row) {
            for (int col = 0; col < ResultsBlock::kColumns; ++col) {
                const QRect text = CellRect(col, row).adjusted(kTextMargin, 0, -kTextMargin, 0);
                painter.drawText(text, Qt::AlignVCenter | (col == 0 ? Qt::AlignLeft : Qt::AlignRight),
                                 cells_[row][col]);
            }
        }
    }

    // A cell inside its lines, in the table's (logical) pixels.
    QRect CellRect(int col, int row) const
    {
        int x = 1;
        for (int c = 0; c < col; ++c)
            x += widths_[c] + 1;
        return QRect(x, 1 + row * (ResultsBlock::kRowHeight + 1), widths_[col], ResultsBlock::kRowHeight);
    }

private:
    const std::array<std::array<QString, ResultsBlock::kColumns>, ResultsBlock::kRows>& cells_;
    std::array<int, ResultsBlock::kColumns> widths_;
};

} // namespace

ResultsBlock::ResultsBlock(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Results"));
    setFocusPolicy(Qt::NoFocus);

    // The label column fits the longest label, a value column the widest
    // value.
    const QFontMetrics metrics(font());
    const std::array<ResultRow, kResultRows> rows = ResultRows(FlowResults{});
    int labelWidth = 0;
    for (const ResultRow& row : rows)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(QString::fromLatin1(row.label)));
    labelWidth += 2 * kTextMargin;
    int valueWidth = 0;
    for (const char* widest : {"-9999.999", "-8.88e+88", "-8e+888"})
        valueWidth = std::max(valueWidth, metrics.horizontalAdvance(QString::fromLatin1(widest)));
    valueWidth += 2 * kTextMargin;
    for (int row = 0; row < kRows; ++row)
        cells_[row][0] = QString::fromLatin1(rows[row].label);

    widths_ = {labelWidth, valueWidth, valueWidth};
    ResultsTable = new Table(cells_, widths_, this);
    ResultsTable->setObjectName(QStringLiteral("ResultsTable"));
    const int width = ResultsTable->width();

    ResultsPanel = new QFrame(this);
    ResultsPanel->setObjectName(QStringLiteral("ResultsPanel"));
    ResultsPanel->setFrameStyle(QFrame::Box | QFrame::Plain);
    ResultsPanel->setLineWidth(1);
    ResultsPanel->setAutoFillBackground(true);
    QPalette headerColours = ResultsPanel->palette();
    headerColours.setColor(QPalette::Window, kLimeColor);
    headerColours.setColor(QPalette::WindowText, Qt::black);
    ResultsPanel->setPalette(headerColours);
    ResultsPanel->setGeometry(0, 0, width, kHeaderHeight);

    QFont bold = font();
    bold.setBold(true);
    ResultsLabel = new QLabel(QStringLiteral("Results"), ResultsPanel);
    ResultsLabel->setObjectName(QStringLiteral("ResultsLabel"));
    QPalette labelColours = ResultsLabel->palette();
    labelColours.setColor(QPalette::WindowText, Qt::white);
    ResultsLabel->setPalette(labelColours);
    ResultsLabel->setFont(bold);
    ResultsLabel->move(8, 4);
    ResultsLabel->adjustSize();

    MarkDivide = new QCheckBox(QStringLiteral("Mark the divide"), ResultsPanel);
    MarkDivide->setObjectName(QStringLiteral("MarkDivide"));
    // A click must leave the keyboard in the grid's editor.
    MarkDivide->setFocusPolicy(Qt::NoFocus);
    MarkDivide->adjustSize();
    MarkDivide->move(width - MarkDivide->width() - 6, (kHeaderHeight - MarkDivide->height()) / 2);

    // The header's lowest pixel row lies on the table's top edge, as the
    // grid's header lies on the grid.
    ResultsTable->move(0, kHeaderHeight - 1);
    ResultsTable->raise();
    setFixedSize(width, kHeaderHeight - 1 + ResultsTable->height());
}

void ResultsBlock::Show(const FlowResults& results)
{
    const std::array<ResultRow, kResultRows> rows = ResultRows(results);
    for (int row = 0; row < kRows; ++row) {
        cells_[row][1] = QString::fromStdString(rows[row].first);
        cells_[row][2] = QString::fromStdString(rows[row].second);
    }
    ResultsTable->update();
}

QString ResultsBlock::Cell(int col, int row) const
{
    if (col < 0 || col >= kColumns || row < 0 || row >= kRows)
        return QString();
    return cells_[row][col];
}

int ResultsBlock::ColumnWidth(int col) const
{
    return col >= 0 && col < kColumns ? widths_[col] : 0;
}

bool ResultsBlock::MarkDivideChecked() const
{
    return MarkDivide->isChecked();
}

} // namespace brelloc
