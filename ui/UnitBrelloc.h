#pragma once

#include "GeneralData.h"
#include "MessageBoxes.h"
#include "PrintDialog.h"
#include "SaveDialog.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QToolButton;

namespace brelloc {

struct FontSpec;
class PanelNotes;
class StringGrid;

// The main window: the tool panel, the "General Data" header with the
// parameter grid below it, and below that the screen plot of the flow net.
class TFormBrelloc : public QWidget {
public:
    explicit TFormBrelloc(QWidget* parent = nullptr);
    ~TFormBrelloc() override;

    // The window's outer size at start and its smallest outer size.
    static constexpr int kStartWidth = 580;
    static constexpr int kStartHeight = 552;
    static constexpr int kMinimumExtraWidth = 120; // beside the grid
    static constexpr int kMinimumHeight = 360;

    // The parameters every output reads; only the grid changes them.
    const GeneralData& Data() const { return data_; }
    // The grid row being edited: the row the next selection change commits.
    int CurrentRow() const { return currentRow_; }

    // How the form shows its message boxes; tests put a recorder here.
    using MessagePresenter = std::function<void(QWidget* parent, MessageKind kind, const QString& text)>;
    void SetMessagePresenter(MessagePresenter presenter) { showMessage_ = std::move(presenter); }
    // How the form asks a yes-or-no question (true for yes); tests answer here.
    using QuestionPresenter = std::function<bool(QWidget* parent, const QString& text)>;
    void SetQuestionPresenter(QuestionPresenter presenter) { askQuestion_ = std::move(presenter); }

    // Writes the four value cells, recomputes the derived values and clears
    // the screen plot from the window.
    void ShowGeneralData();

    // The screen plot as it stands in the window: the copied square and its
    // top-left corner; a null image when the window shows none.
    const QImage& ShownPlot() const { return shownPlot_; }
    QPoint ShownPlotPosition() const { return shownPlotAt_; }

    // The components, named as the program's design names them.
    QFrame* PanelMain = nullptr;
    QToolButton* SpeedButtonHelp = nullptr;
    QToolButton* SpeedButtonCalc = nullptr;
    QToolButton* SpeedButtonPrint = nullptr;
    QToolButton* SpeedButtonTex = nullptr;
    // Short notes and the probe reading, in the panel's free part.
    PanelNotes* Notes = nullptr;
    QFrame* GeneralPanel = nullptr;
    QLabel* GeneralLabel = nullptr;
    QToolButton* GeneralHelp = nullptr;
    StringGrid* MainGrid = nullptr;
    // The off-screen surface of the screen plot, the size of the screen.
    QImage Image;
    SaveDialog SaveDialog1;
    PrintDialog PrintDialog1;
    // The heading and body fonts of the printed report.
    const FontSpec& FontDialog1;
    const FontSpec& FontDialog2;

    void FormCreate();
    void FormResize();
    void MainGridSelectCell(int ACol, int ARow, bool& CanSelect);
    void MainGridKeyPress(char& Key);
    void SpeedButtonCalcClick();
    void SpeedButtonPrintClick();
    void SpeedButtonTexClick();
    void SpeedButtonHelpClick();
    void GeneralHelpClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateComponents();
    QToolButton* MakeSpeedButton(QWidget* parent, int left, const QString& glyph, const QString& hint);
    // Drops the screen plot and repaints the window at once.
    void ClearScreenPlot();
    void SetOuterSize(int width, int height);
    void CentreOnScreen();
    // Fits the notes between the output buttons and the help button.
    void PlaceNotes();
    // The smallest client size: 120 pixels wider than the grid and 360
    // high, both counted with the window frame.
    QSize SmallestSize() const;

    GeneralData data_;
    int currentRow_ = 0;
    QImage shownPlot_;
    QPoint shownPlotAt_;
    bool shownOnce_ = false;
    MessagePresenter showMessage_ = &ShowMessageBox;
    QuestionPresenter askQuestion_ = &AskQuestion;
};

// The one main form of the program, set while it exists.
extern TFormBrelloc* FormBrelloc;

} // namespace brelloc
