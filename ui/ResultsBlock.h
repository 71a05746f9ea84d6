#pragma once

#include "FlowResults.h"

#include <QString>
#include <QWidget>

#include <array>

class QCheckBox;
class QFrame;
class QLabel;

namespace brelloc {

// The engineering results of the committed values, beside the parameter
// grid and in its style: a lime header with the title "Results" and the
// "Mark the divide" check box, above a table of four rows, each a yellow
// label and two white values. It only shows: it takes no keyboard focus and
// nothing in it can be edited.
class ResultsBlock : public QWidget {
public:
    explicit ResultsBlock(QWidget* parent);

    static constexpr int kHeaderHeight = 24;
    static constexpr int kRowHeight = 18;
    static constexpr int kRows = 4;
    static constexpr int kColumns = 3;

    // Writes the table's values.
    void Show(const FlowResults& results);
    // The text of a cell: column 0 is the label, 1 and 2 the values.
    QString Cell(int col, int row) const;
    // A column's width inside the grid lines.
    int ColumnWidth(int col) const;
    // Whether Calculate also marks the divide.
    bool MarkDivideChecked() const;

    QFrame* ResultsPanel = nullptr;
    QLabel* ResultsLabel = nullptr;
    QCheckBox* MarkDivide = nullptr;
    QWidget* ResultsTable = nullptr;

private:
    std::array<std::array<QString, kColumns>, kRows> cells_;
    std::array<int, kColumns> widths_{};
};

} // namespace brelloc
