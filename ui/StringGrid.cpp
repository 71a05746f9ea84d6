#include "StringGrid.h"

#include "DevicePixels.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace brelloc {

namespace {

// Paints each cell inside its grid lines and the line to its right and below
// it, in black; the outline of the grid stands in for the last column's and
// the last row's lines.
class GridLineDelegate final : public QStyledItemDelegate {
public:
    explicit GridLineDelegate(QTableWidget* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        {
            DevicePixels device(*painter);
            PaintGround(device, device.Rect(option.rect), index);
        }
        QStyleOptionViewItem inner(option);
        inner.rect.adjust(0, 0, LineRight(index) ? -1 : 0, LineBelow(index) ? -1 : 0);
        QStyledItemDelegate::paint(painter, inner, index);
        DevicePixels device(*painter);
        PaintLines(device, device.Rect(option.rect), index);
    }

    // The cell's colour and its lines on whole device pixels, so that the
    // lines are equally wide and the colour meets them at any scale.
    // area: the cell with its lines, in device pixels.
    void PaintGround(DevicePixels& device, const QRect& area, const QModelIndex& index) const
    {
        const QVariant background = index.data(Qt::BackgroundRole);
        const bool own = background.canConvert<QBrush>() && background.value<QBrush>().style() != Qt::NoBrush;
        device.Fill(area, own ? background.value<QBrush>().color() : grid_->palette().color(QPalette::Base));
        PaintLines(device, area, index);
    }

    void PaintLines(DevicePixels& device, const QRect& area, const QModelIndex& index) const
    {
        if (LineRight(index))
            device.RightLine(area, Qt::black);
        if (LineBelow(index))
            device.BottomLine(area, Qt::black);
    }

    bool LineRight(const QModelIndex& index) const { return index.column() < grid_->columnCount() - 1; }
    bool LineBelow(const QModelIndex& index) const { return index.row() < grid_->rowCount() - 1; }

private:
    QTableWidget* grid_;
};

// The line editor's own commands that carry a modifier.
bool IsEditingCommand(QKeyEvent* event)
{
    static const QKeySequence::StandardKey kCommands[] = {
        QKeySequence::Copy,          QKeySequence::Cut,           QKeySequence::Paste,
        QKeySequence::SelectAll,     QKeySequence::Undo,          QKeySequence::Redo,
        QKeySequence::Deselect,      QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord,
        QKeySequence::DeleteEndOfLine, QKeySequence::MoveToNextWord, QKeySequence::MoveToPreviousWord,
        QKeySequence::SelectNextWord, QKeySequence::SelectPreviousWord, QKeySequence::MoveToStartOfLine,
        QKeySequence::MoveToEndOfLine, QKeySequence::SelectStartOfLine, QKeySequence::SelectEndOfLine,
        QKeySequence::MoveToNextChar, QKeySequence::MoveToPreviousChar, QKeySequence::DeleteCompleteLine,
        QKeySequence::Backspace,     QKeySequence::Delete,
    };
    for (const QKeySequence::StandardKey command : kCommands)
        if (event->matches(command))
            return true;
    return false;
}

} // namespace

StringGrid::StringGrid(int columns, int rows, int fixedCols, QWidget* parent)
    : QTableWidget(rows, columns, parent), fixedCols_(fixedCols), col_(fixedCols)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setShowGrid(false);
    // A long value is clipped at the cell's edge, never shortened with an
    // ellipsis that could be read as part of the number.
    setTextElideMode(Qt::ElideNone);
    setItemDelegate(new GridLineDelegate(this));
    // The grid itself selects and edits nothing: the editor below does.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setAutoScroll(false);
    setDragEnabled(false);

    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < columns; ++col) {
            auto* cell = new QTableWidgetItem;
            cell->setFlags(col < fixedCols ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsEditable);
            setItem(row, col, cell);
        }
    }

    editor_ = new QLineEdit(viewport());
    editor_->setFrame(false);
    editor_->installEventFilter(this);
    // The cell always holds what the editor shows, also while typing.
    connect(editor_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (QTableWidgetItem* cell = item(row_, col_))
            cell->setText(text);
    });
    // Focus given to the grid (a click, the window's activation) goes to the
    // editor, which is always open.
    setFocusProxy(editor_);
    PlaceEditor();
}

QString StringGrid::Cell(int col, int row) const
{
    const QTableWidgetItem* cell = item(row, col);
    return cell ? cell->text() : QString();
}

void StringGrid::SetCell(int col, int row, const QString& text)
{
    shown_.insert({col, row}, text);
    if (QTableWidgetItem* cell = item(row, col))
        cell->setText(text);
    if (col == col_ && row == row_ && editor_->text() != text)
        editor_->setText(text);
}

bool StringGrid::SelectCell(int col, int row)
{
    if (col < fixedCols_ || col >= columnCount() || row < 0 || row >= rowCount())
        return false;
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(col, row, canSelect);
    if (!canSelect)
        return false;
    col_ = col;
    row_ = row;
    editor_->setText(Cell(col, row));
    PlaceEditor();
    editor_->selectAll();
    return true;
}

void StringGrid::ShowEditor()
{
    if (editor_->text() != Cell(col_, row_))
        editor_->setText(Cell(col_, row_));
    PlaceEditor();
    editor_->deselect();
    editor_->end(false);
}

void StringGrid::SetColumnWidth(int col, int width)
{
    const bool lineRight = col < columnCount() - 1;
    setColumnWidth(col, width + (lineRight ? 1 : 0));
    PlaceEditor();
}

void StringGrid::SetRowHeight(int height)
{
    for (int row = 0; row < rowCount(); ++row)
        setRowHeight(row, height + (row < rowCount() - 1 ? 1 : 0));
    PlaceEditor();
}

int StringGrid::FullWidth() const
{
    int width = 2 * frameWidth();
    for (int col = 0; col < columnCount(); ++col)
        width += columnWidth(col);
    return width;
}

int StringGrid::FullHeight() const
{
    int height = 2 * frameWidth();
    for (int row = 0; row < rowCount(); ++row)
        height += rowHeight(row);
    return height;
}

QRect StringGrid::CellRect(int col, int row) const
{
    QRect rect = visualRect(model()->index(row, col));
    if (col < columnCount() - 1)
        rect.setWidth(rect.width() - 1);
    if (row < rowCount() - 1)
        rect.setHeight(rect.height() - 1);
    return rect;
}

void StringGrid::PlaceEditor()
{
    editor_->setGeometry(CellRect(col_, row_));
    editor_->show();
}

bool StringGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == editor_ && event->type() == QEvent::KeyPress)
        return HandleEditorKey(static_cast<QKeyEvent*>(event));
    return QTableWidget::eventFilter(watched, event);
}

bool StringGrid::HandleEditorKey(QKeyEvent* event)
{
    const int lastRow = rowCount() - 1;
    const bool control = event->modifiers() & Qt::ControlModifier;
    // Tab and Shift+Tab walk the editable cells row by row and wrap around.
    const auto step = [this](int direction) {
        int col = col_ + direction;
        int row = row_;
        if (col >= columnCount()) {
            col = fixedCols_;
            row = row == rowCount() - 1 ? 0 : row + 1;
        } else if (col < fixedCols_) {
            col = columnCount() - 1;
            row = row == 0 ? rowCount() - 1 : row - 1;
        }
        SelectCell(col, row);
    };

    switch (event->key()) {
    case Qt::Key_Up:
        if (row_ > 0)
            SelectCell(col_, row_ - 1);
        return true;
    case Qt::Key_Down:
        if (row_ < lastRow)
            SelectCell(col_, row_ + 1);
        return true;
    case Qt::Key_PageUp:
        if (row_ != 0)
            SelectCell(col_, 0);
        return true;
    case Qt::Key_PageDown:
        if (row_ != lastRow)
            SelectCell(col_, lastRow);
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!control)
            return false; // the editor moves its caret
        if (row_ != (event->key() == Qt::Key_Home ? 0 : lastRow))
            SelectCell(col_, event->key() == Qt::Key_Home ? 0 : lastRow);
        return true;
    case Qt::Key_Tab:
        step(event->modifiers() & Qt::ShiftModifier ? -1 : 1);
        return true;
    case Qt::Key_Backtab:
        step(-1);
        return true;
    case Qt::Key_Escape:
        // Back to the text the program last put into the cell.
        if (editor_->text() != shown_.value({col_, row_}))
            editor_->setText(shown_.value({col_, row_}));
        editor_->selectAll();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        char key = '\r';
        if (OnKeyPress)
            OnKeyPress(key);
        // The editor's own answer to Enter: select the whole text.
        if (key == '\r' && editor_->selectedText() != editor_->text())
            editor_->selectAll();
        return true;
    }
    default:
        break;
    }

    const QString text = event->text();
    // Alt, Ctrl and Meta with a key are commands (the window's shortcuts
    // have had their turn), never typing. The editor keeps its own editing
    // commands (copy, paste, select all, undo and the like).
    const bool command = event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
    if (command && !text.isEmpty() && text.at(0).isPrint() && !IsEditingCommand(event))
        return true;
    if (!OnKeyPress || text.isEmpty() || text.at(0).unicode() >= 0x80)
        return false;
    char key = static_cast<char>(text.at(0).unicode());
    OnKeyPress(key);
    return key == 0;
}

bool StringGrid::event(QEvent* event)
{
    if (event->type() != QEvent::Paint)
        return QTableWidget::event(event);
    // The outline, as wide as the lines between the cells. At a fractional
    // scale the cells reach device pixels outside the viewport's own, so
    // their colours and lines are painted here below the viewport as well.
    QPainter painter(this);
    DevicePixels device(painter);
    device.Fill(device.Rect(rect()), palette().color(QPalette::Base));
    const auto* cells = static_cast<const GridLineDelegate*>(itemDelegate());
    const QRect outline = device.Rect(rect());
    const int line = device.LineWidth();
    for (int row = 0; row < rowCount(); ++row)
        for (int col = 0; col < columnCount(); ++col) {
            const QModelIndex index = model()->index(row, col);
            // The outer cells reach the outline.
            QRect area = device.Rect(visualRect(index).translated(viewport()->pos()));
            if (col == 0)
                area.setLeft(outline.left() + line);
            if (row == 0)
                area.setTop(outline.top() + line);
            if (col == columnCount() - 1)
                area.setRight(outline.right() - line);
            if (row == rowCount() - 1)
                area.setBottom(outline.bottom() - line);
            cells->PaintGround(device, area, index);
        }
    device.LeftLine(outline, Qt::black);
    device.TopLine(outline, Qt::black);
    device.RightLine(outline, Qt::black);
    device.BottomLine(outline, Qt::black);
    return true;
}

void StringGrid::keyPressEvent(QKeyEvent* event)
{
    // The editor has the focus and handles the keys; what it leaves (Shift
    // alone, function keys) goes on to the window. The grid's own keyboard
    // navigation and search would move the current cell unannounced.
    event->ignore();
}

void StringGrid::mousePressEvent(QMouseEvent* event)
{
    // Only the left button moves the current cell, as in any grid.
    const QModelIndex index = event->button() == Qt::LeftButton
                                  ? indexAt(event->position().toPoint())
                                  : QModelIndex();
    if (index.isValid() && index.column() >= fixedCols_ &&
        (index.column() != col_ || index.row() != row_))
        SelectCell(index.column(), index.row());
    editor_->setFocus(Qt::MouseFocusReason);
    event->accept();
}

void StringGrid::mouseMoveEvent(QMouseEvent* event)
{
    event->accept(); // no range selection, no dragging
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void StringGrid::wheelEvent(QWheelEvent* event)
{
    event->ignore(); // every row is always in view
}

void StringGrid::resizeEvent(QResizeEvent* event)
{
    QTableWidget::resizeEvent(event);
    PlaceEditor();
}

} // namespace brelloc
