#pragma once

#include <QHash>
#include <QPair>
#include <QTableWidget>

#include <functional>

class QLineEdit;

namespace brelloc {

// A grid of text cells whose first columns are fixed labels and whose other
// cells are edited in place by an editor that stays open on the current cell.
// Every change of the current cell, by key or by mouse, is announced through
// OnSelectCell before it happens; keys typed into the editor pass
// OnKeyPress first. Escape puts back the text the program last set; a key
// with Alt, Ctrl or Meta never types into the cell. The grid lines are one pixel wide, drawn between the
// cells and around the grid.
class StringGrid : public QTableWidget {
public:
    StringGrid(int columns, int rows, int fixedCols, QWidget* parent);

    // Raised before (col, row) becomes current; clearing canSelect keeps the
    // current cell where it is.
    std::function<void(int col, int row, bool& canSelect)> OnSelectCell;
    // Raised for every character typed into the editor, Enter as '\r'; a
    // key set to 0 goes no further.
    std::function<void(char& key)> OnKeyPress;

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

    int Col() const { return col_; }
    int Row() const { return row_; }
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return 0; }
    // Makes (col, row) the current cell after OnSelectCell allowed it; the
    // editor moves there with the cell's text wholly selected.
    bool SelectCell(int col, int row);
    // Opens the editor on the current cell with the caret after its text.
    void ShowEditor();

    // Pixel geometry: column widths and row height without the grid lines.
    void SetColumnWidth(int col, int width);
    void SetRowHeight(int height);
    // Width and height with every grid line and the outline.
    int FullWidth() const;
    int FullHeight() const;
    // The cell's area inside its grid lines, in viewport coordinates.
    QRect CellRect(int col, int row) const;

    QLineEdit* Editor() const { return editor_; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool HandleEditorKey(QKeyEvent* event);
    void PlaceEditor();

    int fixedCols_ = 1;
    int col_ = 1;
    int row_ = 0;
    QLineEdit* editor_ = nullptr;
    // What SetCell last put into each cell: Escape brings it back.
    QHash<QPair<int, int>, QString> shown_;
};

} // namespace brelloc
