// The main window driven as a user drives it: real key and mouse events on
// the grid's editor and viewport, clicks on the tool buttons, pictures of
// the window taken with grab().
#include "FigureMenu.h"
#include "CommaLocale.h"
#include "HelpTexts.h"
#include "ReadingWarning.h"
#include "MessageBoxes.h"
#include "PanelNotes.h"
#include "Printer.h"
#include "ScreenPlot.h"
#include "StringGrid.h"
#include "UnitBrelloc.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QMessageBox>
#include <QPrinter>
#include <QRawFont>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QDialog>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <optional>
#include <vector>

using namespace brelloc;

namespace {

struct ShownMessage {
    MessageKind kind;
    QString text;
};

// One user action on the window.
struct Step {
    enum Kind { Type, Key, ClickCell, ClickButton } kind;
    QString text;                       // Type
    Qt::Key key = Qt::Key_unknown;      // Key
    Qt::KeyboardModifiers modifiers{};  // Key
    int col = 0, row = 0;               // ClickCell
};

Step Type(const char* text) { return {Step::Type, QString::fromLatin1(text), Qt::Key_unknown, {}, 0, 0}; }
Step Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { return {Step::Key, {}, key, modifiers, 0, 0}; }
Step Click(int col, int row) { return {Step::ClickCell, {}, Qt::Key_unknown, {}, col, row}; }
Step ClickCalc() { return {Step::ClickButton, {}, Qt::Key_unknown, {}, 0, 0}; }

const QRgb kAquaPixel = qRgb(0, 255, 255);

} // namespace

Q_DECLARE_METATYPE(std::vector<Step>)

class FormTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startState();
    void gridCommits_data();
    void gridCommits();
    void recommitOfUneditedRow();
    void minimumSizeAndHelpButton();
    void panelNotesShareTheFreePart();
    void screenPlotShownKeptAndCleared();
    void noFlowIsSaidInThePlot();
    void textsHaveGlyphs();
    void picTeXButton();
    void picTeXButtonReportsUnwritableFile();
    void picTeXButtonAsksBeforeReplacingAnotherFile_data();
    void picTeXButtonAsksBeforeReplacingAnotherFile();
    void replaceQuestionDefaultsToNo();
    void printButton();
    void helpButtonsShowTheirTexts();
    void helpBoxKeepsTheSketchInFixedPitch();
    void shortcutsCommitThenAct_data();
    void shortcutsCommitThenAct();
    void commandKeysNeverType();
    void escapeRestoresTheCommittedText();
    void replacedValueIsNoted_data();
    void replacedValueIsNoted();
    void figureMenuOnTheDrawnNet();
    void figureCopiedAsPictureAndSvg();
    void figureSavedInEachFormat();

private:
    QLineEdit* Editor() const { return form->MainGrid->Editor(); }
    void Run(const Step& step);
    QPoint CellCentre(int col, int row) const { return form->MainGrid->CellRect(col, row).center(); }
    // The plot square as ComputeScreenPlotLayout places it in the window now.
    ScreenPlotLayout Layout() const
    {
        return ComputeScreenPlotLayout(form->width(), form->height(), form->MainGrid->y(),
                                       form->MainGrid->height());
    }
    bool PlotVisible() const;

    std::unique_ptr<TFormBrelloc> form;
    std::vector<ShownMessage> messages;
    std::vector<QString> questions;
    bool answerYes = false;
};

void FormTest::init()
{
    messages.clear();
    form = std::make_unique<TFormBrelloc>();
    form->SetMessagePresenter([this](QWidget*, MessageKind kind, const QString& text) {
        messages.push_back({kind, text});
    });
    questions.clear();
    answerYes = false;
    form->SetQuestionPresenter([this](QWidget*, const QString& text) {
        questions.push_back(text);
        return answerYes;
    });
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void FormTest::cleanup()
{
    form.reset();
    QVERIFY(FormBrelloc == nullptr);
}

void FormTest::Run(const Step& step)
{
    switch (step.kind) {
    case Step::Type:
        QTest::keyClicks(Editor(), step.text);
        break;
    case Step::Key:
        QTest::keyClick(Editor(), step.key, step.modifiers);
        break;
    case Step::ClickCell:
        QTest::mouseClick(form->MainGrid->viewport(), Qt::LeftButton, {}, CellCentre(step.col, step.row));
        break;
    case Step::ClickButton:
        QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
        break;
    }
}

bool FormTest::PlotVisible() const
{
    const ScreenPlotLayout layout = Layout();
    const QImage window = form->grab().toImage();
    // Inside the outline, in a corner the net never reaches.
    return window.pixel(layout.left + 2, layout.top + 2) == kAquaPixel &&
           window.pixel(layout.left + layout.side - 3, layout.top + layout.side - 3) == kAquaPixel;
}

void FormTest::startState()
{
    QCOMPARE(FormBrelloc, form.get());
    QCOMPARE(form->windowTitle(), QStringLiteral("Groundwater Divide"));
    QCOMPARE(form->frameGeometry().size(), QSize(580, 552)); // the outer size
    QVERIFY(!form->windowIcon().isNull());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(form->frameGeometry().center().x(), screen.center().x());
    QCOMPARE(form->Image.size(), screen.size());

    QCOMPARE(form->PanelMain->geometry(), QRect(0, 0, form->width(), 24));
    const struct {
        QToolButton* button;
        int left;
        const char* hint;
    } buttons[] = {
        {form->SpeedButtonCalc, 0, "Calculate (F5)"},
        {form->SpeedButtonPrint, 25, "Print Output (Ctrl+P)"},
        {form->SpeedButtonTex, 50, "Make PicTeX file (Ctrl+S)"},
        {form->SpeedButtonHelp, form->width() - 25, "Help (F1)"},
        {form->GeneralHelp, 238, "Help (Shift+F1)"},
    };
    for (const auto& b : buttons) {
        QCOMPARE(b.button->geometry(), QRect(b.left, 0, 25, 25));
        QCOMPARE(b.button->toolTip(), QString::fromLatin1(b.hint));
        QCOMPARE(b.button->focusPolicy(), Qt::NoFocus);
        QCOMPARE(b.button->iconSize(), QSize(24, 22));
    }

    QCOMPARE(form->MainGrid->geometry(), QRect(5, 60, 263, 77));
    QCOMPARE(form->GeneralPanel->geometry(), QRect(5, 37, 263, 24));
    QCOMPARE(form->GeneralLabel->text(), QStringLiteral("General Data"));
    QCOMPARE(form->GeneralLabel->pos(), QPoint(8, 4));
    QVERIFY(form->GeneralLabel->font().bold());

    const char* labels[] = {"H/L", "N/k", "Xmax/L", "Number of squares"};
    const char* values[] = {"       0.200", "       0.500", "       3.000", "    10"};
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(form->MainGrid->Cell(0, row), QString::fromLatin1(labels[row]));
        QCOMPARE(form->MainGrid->Cell(1, row), QString::fromLatin1(values[row]));
        QCOMPARE(form->MainGrid->item(row, 0)->background().color(), QColor(255, 255, 0));
        QVERIFY(!(form->MainGrid->item(row, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(!(form->MainGrid->item(row, 0)->flags() & Qt::ItemIsSelectable));
    }
    // Four rows of 18 pixels and two columns of 180 and 80 inside 1-pixel lines.
    QCOMPARE(form->MainGrid->CellRect(0, 0), QRect(0, 0, 180, 18));
    QCOMPARE(form->MainGrid->CellRect(1, 3), QRect(181, 57, 80, 18));

    QCOMPARE(form->CurrentRow(), 0);
    QCOMPARE(form->MainGrid->Row(), 0);
    QCOMPARE(form->MainGrid->Col(), 1);
    QCOMPARE(QApplication::focusWidget(), Editor());
    QVERIFY(Editor()->isVisible());
    QCOMPARE(Editor()->geometry(), form->MainGrid->CellRect(1, 0));
    QCOMPARE(Editor()->text(), QStringLiteral("       0.200"));
    QCOMPARE(form->Data().HL, 0.2);
    QVERIFY(!PlotVisible());
}

void FormTest::gridCommits_data()
{
    QTest::addColumn<std::vector<Step>>("steps");
    QTest::addColumn<int>("row");            // current row afterwards (also CurrentRow)
    QTest::addColumn<double>("hl");
    QTest::addColumn<double>("nk");
    QTest::addColumn<int>("squares");
    QTest::addColumn<QString>("editorText");
    QTest::addColumn<bool>("wholeSelected");

    QTest::newRow("0.4 and Enter") << std::vector<Step>{Type("0.4"), Press(Qt::Key_Return)} << 1 << 0.4
                                  << 0.5 << 10 << "       0.500" << true;
    QTest::newRow("Enter on the last row wraps") << std::vector<Step>{Press(Qt::Key_Down), Press(Qt::Key_Down),
                                                                       Press(Qt::Key_Down), Type("12"),
                                                                       Press(Qt::Key_Enter)}
                                                 << 0 << 0.2 << 0.5 << 12 << "       0.200" << true;
    QTest::newRow("Down commits") << std::vector<Step>{Type("0.3"), Press(Qt::Key_Down)} << 1 << 0.3 << 0.5
                                  << 10 << "       0.500" << true;
    QTest::newRow("Up commits") << std::vector<Step>{Press(Qt::Key_Down), Type("0.7"), Press(Qt::Key_Up)} << 0
                                << 0.2 << 0.7 << 10 << "       0.200" << true;
    QTest::newRow("Up on the first row stays") << std::vector<Step>{Type("0.3"), Press(Qt::Key_Up)} << 0 << 0.2
                                               << 0.5 << 10 << "0.3" << false;
    QTest::newRow("Tab commits") << std::vector<Step>{Type("0.25"), Press(Qt::Key_Tab)} << 1 << 0.25 << 0.5
                                 << 10 << "       0.500" << true;
    QTest::newRow("Shift+Tab wraps back") << std::vector<Step>{Type("0.25"), Press(Qt::Key_Backtab, Qt::ShiftModifier)}
                                          << 3 << 0.25 << 0.5 << 10 << "    10" << true;
    QTest::newRow("Tab on the last row wraps") << std::vector<Step>{Press(Qt::Key_Up, Qt::NoModifier),
                                                                     Press(Qt::Key_PageDown), Type("3"),
                                                                     Press(Qt::Key_Tab)}
                                               << 0 << 0.2 << 0.5 << 3 << "       0.200" << true;
    QTest::newRow("mouse on a value commits") << std::vector<Step>{Type("0.6"), Click(1, 2)} << 2 << 0.6 << 0.5
                                              << 10 << "       3.000" << true;
    QTest::newRow("mouse on a label selects nothing") << std::vector<Step>{Type("0.6"), Click(0, 2)} << 0 << 0.2
                                                      << 0.5 << 10 << "0.6" << false;
    QTest::newRow("tool button commits nothing") << std::vector<Step>{Type("0.6"), ClickCalc()} << 0 << 0.2
                                                 << 0.5 << 10 << "0.6" << false;
    QTest::newRow("clamped and shown back") << std::vector<Step>{Type("-5"), Press(Qt::Key_Return), Type("x"),
                                                                 Press(Qt::Key_Return)}
                                            << 2 << 0.0 << 0.0 << 10 << "       3.000" << true;
}

void FormTest::gridCommits()
{
    QFETCH(std::vector<Step>, steps);
    QFETCH(int, row);
    QFETCH(double, hl);
    QFETCH(double, nk);
    QFETCH(int, squares);
    QFETCH(QString, editorText);
    QFETCH(bool, wholeSelected);

    for (const Step& step : steps)
        Run(step);

    QCOMPARE(form->MainGrid->Row(), row);
    QCOMPARE(form->CurrentRow(), row);
    QCOMPARE(form->Data().HL, hl);
    QCOMPARE(form->Data().NK, nk);
    QCOMPARE(form->Data().Squares, squares);
    QCOMPARE(form->Data().PotentialStep, hl / squares);
    QCOMPARE(Editor()->text(), editorText);
    QCOMPARE(form->MainGrid->Cell(1, row), editorText); // the cell follows the editor
    QCOMPARE(Editor()->selectedText() == Editor()->text(), wholeSelected);
    QCOMPARE(Editor()->geometry(), form->MainGrid->CellRect(1, row));
    QCOMPARE(QApplication::focusWidget(), Editor());
    // Every committed row shows its value in display form.
    for (int r = 0; r < 4; ++r) {
        if (r != row)
            QCOMPARE(form->MainGrid->Cell(1, r), QString::fromStdString(RowText(form->Data(), r)));
    }
}

void FormTest::recommitOfUneditedRow()
{
    QTest::keyClicks(Editor(), "0.2004");
    QTest::keyClick(Editor(), Qt::Key_Return);
    QCOMPARE(form->Data().HL, 0.2004);
    QCOMPARE(form->MainGrid->Cell(1, 0), QStringLiteral("       0.200"));

    QTest::keyClick(Editor(), Qt::Key_Up); // commits row 1 unchanged
    QCOMPARE(form->Data().HL, 0.2004);
    QTest::keyClick(Editor(), Qt::Key_Down); // leaves row 0 unedited: its display text is read
    QCOMPARE(form->Data().HL, 0.2);
    QCOMPARE(form->CurrentRow(), 1);
}

void FormTest::minimumSizeAndHelpButton()
{
    // Sizes are the window's outer sizes, frame included.
    const QSize frame = form->frameGeometry().size() - form->size();
    const struct {
        QSize asked;
        QSize expected;
    } cases[] = {
        {{800, 600}, {800, 600}},
        {{200, 500}, {383, 500}},
        {{600, 100}, {600, 360}},
        {{10, 10}, {383, 360}},
        {{383, 360}, {383, 360}},
    };
    for (const auto& c : cases) {
        form->resize(c.asked - frame);
        QCOMPARE(form->frameGeometry().size(), c.expected);
        QCOMPARE(form->PanelMain->width(), form->width());
        QCOMPARE(form->SpeedButtonHelp->x(), form->width() - 25);
        QCOMPARE(form->SpeedButtonHelp->x() + form->SpeedButtonHelp->width(), form->PanelMain->width());
    }

    // A window system that ignores the size hint applies a smaller size all
    // the same; the form sets it back.
    form->setMinimumSize(0, 0);
    form->resize(QSize(100, 120) - frame);
    QCOMPARE(form->frameGeometry().size(), QSize(383, 360));
    form->resize(QSize(700, 200) - frame);
    QCOMPARE(form->frameGeometry().size(), QSize(700, 360));
}

void FormTest::panelNotesShareTheFreePart()
{
    PanelNotes* notes = form->Notes;
    QVERIFY(notes != nullptr);
    QCOMPARE(notes->parentWidget(), form->PanelMain);
    // Between the PicTeX button and the help button, at every width.
    for (const int width : {580, 900, 383}) {
        form->resize(width, form->height());
        QVERIFY(notes->x() >= form->SpeedButtonTex->x() + form->SpeedButtonTex->width());
        QVERIFY(notes->x() + notes->width() <= form->SpeedButtonHelp->x());
        QVERIFY(notes->width() > 100);
    }
    QVERIFY(notes->text().isEmpty());

    // A note has the place while it lasts; then the probe reading is back.
    notes->SetNoteDuration(50);
    notes->SetProbe(QStringLiteral("probe reading"));
    QCOMPARE(notes->text(), QStringLiteral("probe reading"));
    notes->ShowNote(QStringLiteral("a note"));
    QCOMPARE(notes->text(), QStringLiteral("a note"));
    notes->SetProbe(QStringLiteral("newer reading"));
    QCOMPARE(notes->text(), QStringLiteral("a note"));
    QTRY_COMPARE(notes->text(), QStringLiteral("newer reading"));
    QVERIFY(notes->Note().isEmpty());
    notes->ClearProbe();
    QVERIFY(notes->text().isEmpty());
}

void FormTest::screenPlotShownKeptAndCleared()
{
    for (const QSize size : {QSize(580, 552), QSize(900, 400), QSize(400, 900)}) {
        form->resize(size);
        QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
        const ScreenPlotLayout layout = Layout();
        QVERIFY(layout.side > 100);
        QCOMPARE(form->ShownPlotPosition(), QPoint(layout.left, layout.top));
        const QImage window = form->grab().toImage();
        QCOMPARE(window.pixel(layout.left, layout.top), qRgb(0, 0, 0));         // outline
        QVERIFY(window.pixel(layout.left - 1, layout.top - 1) != kAquaPixel);   // nothing outside
        QVERIFY(window.pixel(layout.left + layout.side, layout.top + layout.side) != kAquaPixel);
        QVERIFY(PlotVisible());
        // The x axis runs right from the centre of the square.
        const int oy = layout.top + layout.side / 2;
        QCOMPARE(window.pixel(layout.left + layout.side / 2 + layout.side / 5, oy), qRgb(0, 0, 0));
        int aqua = 0, black = 0;
        for (int y = layout.top; y < layout.top + layout.side; ++y)
            for (int x = layout.left; x < layout.left + layout.side; ++x) {
                aqua += window.pixel(x, y) == kAquaPixel;
                black += window.pixel(x, y) == qRgb(0, 0, 0);
            }
        QVERIFY(aqua > layout.side * layout.side * 8 / 10);
        QVERIFY(black > 4 * layout.side);
    }

    // A repaint the window system asks for keeps the plot.
    form->update();
    QTest::qWait(20);
    QVERIFY(PlotVisible());
    {
        QWidget cover;
        cover.setGeometry(form->geometry());
        cover.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cover));
    }
    form->repaint();
    QVERIFY(PlotVisible());

    // The program's own clears take it away until the next Calculate.
    QTest::keyClick(Editor(), Qt::Key_Down); // a commit
    QVERIFY(!PlotVisible());
    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    QVERIFY(PlotVisible());
    form->resize(form->width() + 10, form->height());
    QVERIFY(!PlotVisible());
    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    QVERIFY(PlotVisible());
    form->SaveDialog1.SetChooser([](QWidget*, const SaveDialog&) { return std::optional<QString>(); });
    QTest::mouseClick(form->SpeedButtonTex, Qt::LeftButton); // cancelled
    QVERIFY(!PlotVisible());
}

// H/L 0 and N/k 0: Calculate shows the sentence in the window's font,
// centred across the square in the middle of its lower half, on the aqua.
void FormTest::noFlowIsSaidInThePlot()
{
    const QString sentence = QStringLiteral("no flow: H/L and N/k are both 0");
    const QFontMetrics metrics(form->font());
    const int width = metrics.horizontalAdvance(sentence);
    const int height = metrics.height();
    QImage expected(width, height, QImage::Format_RGB32);
    expected.fill(kAquaPixel);
    {
        QPainter painter(&expected);
        painter.setFont(form->font());
        painter.setPen(Qt::black);
        painter.drawText(QPoint(0, metrics.ascent()), sentence);
    }
    auto sentenceShown = [&]() {
        const ScreenPlotLayout layout = Layout();
        const QImage window = form->grab().toImage();
        const QRect cell(layout.left + (layout.side - width) / 2,
                         layout.top + layout.side / 2 + layout.side / 4 - height / 2, width, height);
        return window.copy(cell).convertToFormat(QImage::Format_RGB32) == expected;
    };

    QVERIFY(width > 100 && height > 5); // a face with glyphs
    for (const Step& step : {Type("0"), Press(Qt::Key_Return), Type("0"), Press(Qt::Key_Return)})
        Run(step);
    QCOMPARE(form->Data().HL, 0.0);
    QCOMPARE(form->Data().NK, 0.0);
    QVERIFY(!sentenceShown());
    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    QVERIFY(PlotVisible());
    QVERIFY(sentenceShown());

    // With infiltration there is a net, and no sentence.
    Run(Press(Qt::Key_Up));
    Run(Type("0.5"));
    Run(Press(Qt::Key_Return));
    QCOMPARE(form->Data().NK, 0.5);
    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    QVERIFY(PlotVisible());
    QVERIFY(!sentenceShown());
}

// The window's face is "MS Sans Serif" where it is installed, else the
// built-in DejaVu Sans, also on a machine without any font (a run of this
// test under an empty fontconfig configuration): never a face without
// glyphs, whose texts would be empty boxes.
void FormTest::textsHaveGlyphs()
{
    const QString family = QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))
                               ? QStringLiteral("MS Sans Serif")
                               : QStringLiteral("DejaVu Sans");
    for (QWidget* widget : {static_cast<QWidget*>(form.get()), static_cast<QWidget*>(form->GeneralLabel),
                            static_cast<QWidget*>(form->MainGrid)}) {
        QCOMPARE(QFontInfo(widget->font()).family(), family);
        const QRawFont raw = QRawFont::fromFont(widget->font());
        QVERIFY(raw.isValid());
        for (const QChar c : QStringLiteral("H/L=0.5 Number of squares"))
            QVERIFY(raw.supportsCharacter(c));
    }
}

void FormTest::picTeXButton()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    std::vector<QString> proposed;
    std::optional<QString> answer;
    bool settingsAsDesigned = true;
    form->SaveDialog1.SetChooser([&](QWidget*, const SaveDialog& dialog) {
        settingsAsDesigned = settingsAsDesigned && dialog.DefaultExt == QStringLiteral("tex") &&
                             dialog.Filter == QStringLiteral("*.tex") &&
                             (dialog.Options & QFileDialog::DontConfirmOverwrite);
        proposed.push_back(QDir(dialog.StartDirectory()).filePath(dialog.ProposedName()));
        return answer;
    });
    QCOMPARE(form->SaveDialog1.FileName, QStringLiteral("Brelloc"));
    QCOMPARE(form->SaveDialog1.InitialDir, QStringLiteral("PCTeX/Brelloc"));

    // Cancel: nothing written, the name unchanged.
    QTest::mouseClick(form->SpeedButtonTex, Qt::LeftButton);
    QCOMPARE(proposed.size(), std::size_t(1));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    QCOMPARE(form->SaveDialog1.FileName, QStringLiteral("Brelloc"));

    // A name without extension gets .tex; the file is the figure.
    QTest::keyClicks(Editor(), "0.4"); // typed, not committed: the file keeps H/L 0.2
    answer = dir.filePath(QStringLiteral("figure"));
    QTest::mouseClick(form->SpeedButtonTex, Qt::LeftButton);
    const QString written = dir.filePath(QStringLiteral("figure.tex"));
    QCOMPARE(form->SaveDialog1.FileName, written);
    QFile file(written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY(content.startsWith("% Brelloc\n\\begin{figure}[htb]\n"));
    QVERIFY(content.contains("$H/L=0.200, N/k=0.500$"));
    QVERIFY(content.endsWith("\\end{figure}\n"));
    file.close();
    QVERIFY(messages.empty());
    QCOMPARE(Editor()->text(), QStringLiteral("0.4"));

    // The next use proposes that file and replaces it without a question.
    QTest::keyClick(Editor(), Qt::Key_Return);
    answer = written;
    QTest::mouseClick(form->SpeedButtonTex, Qt::LeftButton);
    QCOMPARE(proposed.back(), written);
    QVERIFY(settingsAsDesigned);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("$H/L=0.400, N/k=0.500$"));
}

void FormTest::picTeXButtonReportsUnwritableFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no such folder/figure.tex"));
    form->SaveDialog1.SetChooser([&](QWidget*, const SaveDialog&) { return std::optional<QString>(path); });
    QTest::mouseClick(form->SpeedButtonTex, Qt::LeftButton);
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(messages[0].kind, MessageKind::Error);
    QVERIFY2(messages[0].text.contains(path), qPrintable(messages[0].text));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(form->SaveDialog1.FileName, path); // the name is kept as after any export
}

void FormTest::picTeXButtonAsksBeforeReplacingAnotherFile_data()
{
    QTest::addColumn<QByteArray>("old");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("replaced");
    const QByteArray document = "\\section{Results}\nAs Figure 3 shows...\n";
    QTest::newRow("another file, answered No") << document << false << true << false;
    QTest::newRow("another file, answered Yes") << document << true << true << true;
    QTest::newRow("an empty file, answered No") << QByteArray() << false << true << false;
    QTest::newRow("a figure Brelloc wrote") << QByteArray("% Brelloc\n\\begin{figure}[htb]\n") << false
                                            << false << true;
    QTest::newRow("a figure Brelloc wrote, CR LF line ends")
        << QByteArray("% Brelloc\r\n\\begin{figure}[htb]\r\n") << false << false << true;
    QTest::newRow("a first line that only begins like Brelloc's")
        << QByteArray("% Brelloc is cited here\n") << false << true << false;
}

void FormTest::picTeXButtonAsksBeforeReplacingAnotherFile()
{
    QFETCH(QByteArray, old);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QFETCH(bool, replaced);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chapter.tex"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(old);
    file.close();
    answerYes = answer;
    form->SaveDialog1.SetChooser([&](QWidget*, const SaveDialog&) { return std::optional<QString>(path); });
    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    QVERIFY(PlotVisible());

    QTest::mouseClick(form->SpeedButtonTex, Qt::LeftButton);
    if (asked) {
        QCOMPARE(questions.size(), std::size_t(1));
        QCOMPARE(questions[0], QStringLiteral("Replace %1? It was not written by Brelloc.").arg(path));
    } else {
        QVERIFY(questions.empty());
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray now = file.readAll();
    file.close();
    if (replaced) {
        QVERIFY(now.startsWith("% Brelloc\n\\begin{figure}[htb]\n"));
        QVERIFY(now.endsWith("\\end{figure}\n"));
    } else {
        QCOMPARE(now, old);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("chapter.tex")});
    QVERIFY(messages.empty());
    QVERIFY(!PlotVisible()); // repainted as after any export
}

void FormTest::replaceQuestionDefaultsToNo()
{
    form->SetQuestionPresenter(&AskQuestion); // the real box
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.tex"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("my notes\n");
    file.close();
    form->SaveDialog1.SetChooser([&](QWidget*, const SaveDialog&) { return std::optional<QString>(path); });
    // Return answers the box with its default button. Should the box never
    // come, every dialog is closed after two seconds, so the test fails
    // instead of waiting.
    QString shownText;
    QTimer poll;
    int polls = 0;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++polls > 200) {
                poll.stop();
                for (QWidget* widget : QApplication::topLevelWidgets())
                    if (auto* dialog = qobject_cast<QDialog*>(widget))
                        dialog->reject();
            }
            return;
        }
        poll.stop();
        shownText = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    poll.start();
    QTest::mouseClick(form->SpeedButtonTex, Qt::LeftButton);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(shownText, QStringLiteral("Replace %1? It was not written by Brelloc.").arg(path));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("my notes\n"));
}

void FormTest::printButton()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    int asked = 0;
    bool confirm = false;
    form->PrintDialog1.SetExecutor([&](QWidget*, QPrinter& printer) {
        ++asked;
        if (!confirm)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat); // stands in for a chosen printer
        printer.setOutputFileName(pdf);
        return true;
    });
    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    QTest::keyClicks(Editor(), "0.9");

    QTest::mouseClick(form->SpeedButtonPrint, Qt::LeftButton);
    QCOMPARE(asked, 1);
    QVERIFY(!QFile::exists(pdf));

    confirm = true;
    QTest::mouseClick(form->SpeedButtonPrint, Qt::LeftButton);
    QCOMPARE(asked, 2);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("%PDF"));
    QVERIFY(messages.empty());
    // Printing leaves the data, the grid and the plot alone.
    QCOMPARE(form->Data().HL, 0.2);
    QCOMPARE(Editor()->text(), QStringLiteral("0.9"));
    QVERIFY(PlotVisible());
    Printer().setOutputFileName(QString());
}

void FormTest::helpButtonsShowTheirTexts()
{
    QTest::keyClicks(Editor(), "0.7");
    QTest::mouseClick(form->SpeedButtonHelp, Qt::LeftButton);
    QTest::mouseClick(form->GeneralHelp, Qt::LeftButton);
    QCOMPARE(messages.size(), std::size_t(2));
    QCOMPARE(messages[0].kind, MessageKind::Plain);
    QCOMPARE(messages[0].text, QString::fromStdString(ProgramMessage()));
    QCOMPARE(messages[1].kind, MessageKind::Plain);
    QCOMPARE(messages[1].text, QString::fromStdString(GeneralDataMessage()));
    // Nothing committed: the typed text is still being typed.
    QCOMPARE(Editor()->text(), QStringLiteral("0.7"));
    QCOMPARE(form->Data().HL, 0.2);
    QCOMPARE(QApplication::focusWidget(), Editor());
}

void FormTest::helpBoxKeepsTheSketchInFixedPitch()
{
    form->SetMessagePresenter(&ShowMessageBox); // the real box
    // What the box showed, read while it is open; it is closed at once so
    // that a failing check cannot leave it waiting.
    QString boxName, boxTitle, shownText;
    bool fixedPitch = false, wraps = true, linesWhole = false;
    // Polls until the box is up; should it never be found, every dialog is
    // closed after two seconds, so the test fails instead of waiting.
    QTimer poll;
    int polls = 0;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) {
            if (++polls > 200) {
                poll.stop();
                for (QWidget* widget : QApplication::topLevelWidgets())
                    if (auto* dialog = qobject_cast<QDialog*>(widget))
                        dialog->reject();
            }
            return;
        }
        poll.stop();
        boxName = box->objectName();
        boxTitle = box->windowTitle();
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("PlainMessageText"))) {
            shownText = label->text();
            fixedPitch = QFontInfo(label->font()).fixedPitch();
            wraps = label->wordWrap();
            // The longest line (114 columns) shows whole.
            linesWhole = label->width() >= QFontMetrics(label->font()).horizontalAdvance(QString(114, 'x'));
        }
        QTest::keyClick(box, Qt::Key_Return);
    });
    poll.start();
    QTest::mouseClick(form->SpeedButtonHelp, Qt::LeftButton);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(boxName, QStringLiteral("PlainMessageBox"));
    QCOMPARE(boxTitle, QStringLiteral("Brelloc")); // the application's title
    QCOMPARE(shownText, FixedPitchText(QString::fromStdString(ProgramMessage())));
    QVERIFY(fixedPitch);
    QVERIFY(!wraps);
    QVERIFY(linesWhole);
}

void FormTest::shortcutsCommitThenAct_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("acted"); // what the key did, as the test saw it

    QTest::newRow("F5 calculates") << int(Qt::Key_F5) << int(Qt::NoModifier) << "plot";
    QTest::newRow("Ctrl+P prints") << int(Qt::Key_P) << int(Qt::ControlModifier) << "print";
    QTest::newRow("Ctrl+S writes PicTeX") << int(Qt::Key_S) << int(Qt::ControlModifier) << "pictex";
    QTest::newRow("F1 program help") << int(Qt::Key_F1) << int(Qt::NoModifier) << "program help";
    QTest::newRow("Shift+F1 general-data help") << int(Qt::Key_F1) << int(Qt::ShiftModifier) << "data help";
}

void FormTest::shortcutsCommitThenAct()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, acted);

    QTemporaryDir dir;
    const QString tex = dir.filePath(QStringLiteral("figure.tex"));
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    double printedHL = -1;
    form->SaveDialog1.SetChooser([&](QWidget*, const SaveDialog&) { return std::optional<QString>(tex); });
    form->PrintDialog1.SetExecutor([&](QWidget*, QPrinter& printer) {
        printedHL = form->Data().HL; // what the report is about to print
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });

    // Typed but not committed; the key commits it first, then acts.
    QTest::keyClicks(Editor(), "0.4");
    QTest::keyClick(Editor(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(form->Data().HL, 0.4);
    QCOMPARE(form->CurrentRow(), 0);
    QCOMPARE(Editor()->text(), QStringLiteral("       0.400"));
    QCOMPARE(Editor()->selectedText(), Editor()->text());
    QCOMPARE(QApplication::focusWidget(), Editor());

    if (acted == "plot") {
        QVERIFY(PlotVisible());
    } else if (acted == "print") {
        QCOMPARE(printedHL, 0.4);
        QVERIFY(QFile::exists(pdf));
        Printer().setOutputFileName(QString());
    } else if (acted == "pictex") {
        QFile file(tex);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("$H/L=0.400, N/k=0.500$"));
    } else {
        QCOMPARE(messages.size(), std::size_t(1));
        QCOMPARE(messages[0].text, QString::fromStdString(acted == "program help" ? ProgramMessage()
                                                                                 : GeneralDataMessage()));
    }
    if (acted != "print" && acted != "pictex")
        QVERIFY(!QFile::exists(pdf) && !QFile::exists(tex));
}

void FormTest::commandKeysNeverType()
{
    // The whole value is selected, as after Enter: a typed letter would
    // replace it.
    QTest::keyClick(Editor(), Qt::Key_Down);
    QCOMPARE(Editor()->selectedText(), QStringLiteral("       0.500"));
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } commands[] = {
        {Qt::Key_C, Qt::AltModifier},
        {Qt::Key_X, Qt::AltModifier | Qt::ShiftModifier},
        {Qt::Key_4, Qt::AltModifier},
        {Qt::Key_Q, Qt::ControlModifier},
        {Qt::Key_M, Qt::MetaModifier},
        {Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier}, // no net drawn: nothing to copy
    };
    for (const auto& command : commands) {
        QTest::keyClick(Editor(), command.key, command.modifiers);
        QCOMPARE(Editor()->text(), QStringLiteral("       0.500"));
        QCOMPARE(form->MainGrid->Cell(1, 1), QStringLiteral("       0.500"));
    }
    QTest::keyClick(Editor(), Qt::Key_Up);
    QCOMPARE(form->Data().NK, 0.5); // not 0.000 from a stray letter

    // The editor's own editing shortcuts keep working.
    QApplication::clipboard()->setText(QStringLiteral("0.75"));
    QTest::keyClick(Editor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Editor()->text(), QStringLiteral("0.75"));
    QTest::keyClick(Editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Editor()->text(), QStringLiteral("       0.200"));
    QTest::keyClick(Editor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Editor(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("       0.200"));
}

void FormTest::escapeRestoresTheCommittedText()
{
    QTest::keyClicks(Editor(), "0.4");
    QTest::keyClick(Editor(), Qt::Key_Return);
    QTest::keyClick(Editor(), Qt::Key_Up);
    QTest::keyClicks(Editor(), "9x");
    QCOMPARE(Editor()->text(), QStringLiteral("9x"));
    QTest::keyClick(Editor(), Qt::Key_Escape);
    QCOMPARE(Editor()->text(), QStringLiteral("       0.400"));
    QCOMPARE(form->MainGrid->Cell(1, 0), QStringLiteral("       0.400"));
    QTest::keyClick(Editor(), Qt::Key_Down);
    QCOMPARE(form->Data().HL, 0.4);
    QVERIFY(form->Notes->Note().isEmpty());
}

void FormTest::replacedValueIsNoted_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("note");

    QTest::newRow("decimal comma") << 0 << "0,5" << "H/L \"0,5\": the text after the number is ignored; using 0.000.";
    QTest::newRow("letters") << 1 << "abc" << "N/k \"abc\": no number found; using 0.000.";
    QTest::newRow("nan") << 0 << "nan" << "H/L \"nan\": the value must be a finite number of at least 0; using 0.000.";
    QTest::newRow("overflow") << 2 << "1e999"
                              << "Xmax/L \"1e999\": the value must be a finite number of at least 1; using 1.000.";
    QTest::newRow("too many squares") << 3 << "25" << "Number of squares \"25\": the value must be a whole number from 2 to 20; using 20.";
    QTest::newRow("hexadecimal") << 2 << "0x10" << "Xmax/L \"0x10\": read as a hexadecimal number; using 16.000.";
    QTest::newRow("read as typed") << 0 << "0.4" << "";
    QTest::newRow("more decimals than shown") << 1 << "0.2004" << "";
}

void FormTest::replacedValueIsNoted()
{
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, note);

    for (int r = 0; r < row; ++r)
        QTest::keyClick(Editor(), Qt::Key_Down);
    QVERIFY(form->Notes->Note().isEmpty()); // leaving unedited rows says nothing
    for (const bool comma : {false, true}) {
        // A desktop whose decimal point is a comma reads the same way.
        std::optional<test::CommaLocale> locale;
        if (comma) {
            locale.emplace();
            if (test::CommaLocale::Required())
                QVERIFY(locale->Active());
        }
        form->Notes->ShowNote(QString());
        QTest::keyClicks(Editor(), typed);
        QTest::keyClick(Editor(), Qt::Key_Return);
        QCOMPARE(form->Notes->Note(), note);
        QCOMPARE(form->Notes->text(), note);
        // Back to the row; the row left was not edited and adds no note.
        QTest::mouseClick(form->MainGrid->viewport(), Qt::LeftButton, {}, CellCentre(1, row));
        QCOMPARE(form->CurrentRow(), row);
        QCOMPARE(form->Notes->Note(), note);
    }
    // The same sentence as the exporter's warning, word for word.
    if (!note.isEmpty()) {
        const std::string text = typed.toStdString();
        GeneralData data;
        const std::string shown = CommitRow(data, row, text);
        const char* names[] = {"H/L", "N/k", "Xmax/L", "Number of squares"};
        QCOMPARE(QString::fromStdString(ReadingWarning(names[row], row, text, ReadRowText(row, text), kRowTextLimit, shown)),
                 note);
    }
}

void FormTest::figureMenuOnTheDrawnNet()
{
    FigureMenu* figure = form->Figure;
    const auto rightClick = [&](QPoint at) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, form->mapToGlobal(at));
        QApplication::sendEvent(form.get(), &event);
    };
    // No net drawn: nothing is offered, by mouse or by key.
    const QPoint middle(form->width() / 2, (Layout().top + form->height()) / 2);
    rightClick(middle);
    QVERIFY(!figure->Menu()->isVisible());
    QTest::keyClick(Editor(), Qt::Key_Menu);
    QVERIFY(!figure->Menu()->isVisible());
    if (QWidget* editorMenu = QApplication::activePopupWidget())
        editorMenu->close(); // the editor's own menu

    QTest::keyClick(Editor(), Qt::Key_F5);
    QVERIFY(PlotVisible());
    const QRect area = form->ShownPlotArea();
    QVERIFY(area.contains(middle));
    rightClick(QPoint(area.left() - 3, area.top() + 10)); // beside the net
    QVERIFY(!figure->Menu()->isVisible());
    rightClick(middle);
    QVERIFY(figure->Menu()->isVisible());
    QStringList entries;
    for (QAction* action : figure->Menu()->actions())
        entries << action->text();
    QCOMPARE(entries, QStringList({"Copy figure", "Save figure as..."}));
    QCOMPARE(figure->CopyAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    figure->Menu()->close();

    QTest::keyClick(Editor(), Qt::Key_Menu);
    QVERIFY(figure->Menu()->isVisible());
    figure->Menu()->close();
    QVERIFY(PlotVisible());
}

// What the clipboard holds after a copy: the picture and the SVG text.
static void CheckCopiedFigure(const QString& why)
{
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    QVERIFY2(copied && copied->hasImage(), qPrintable(why));
    const QImage image = qvariant_cast<QImage>(copied->imageData());
    QCOMPARE(image.size(), QSize(FigureMenu::kDefaultSize, FigureMenu::kDefaultSize));
    QCOMPARE(image.pixel(5, 5), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(FigureMenu::kDefaultSize / 2 + 50, FigureMenu::kDefaultSize / 2), qRgb(0, 0, 0)); // x axis
    QVERIFY2(copied->hasFormat("image/svg+xml"), qPrintable(why));
    const QByteArray svg = copied->data("image/svg+xml");
    QVERIFY(svg.contains("<svg"));
    QVERIFY(svg.contains("</svg>"));
}

void FormTest::figureCopiedAsPictureAndSvg()
{
    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    QApplication::clipboard()->clear();
    QTest::keyClicks(Editor(), "0.9"); // being typed: the copy leaves it alone
    QTest::keyClick(Editor(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    CheckCopiedFigure("Ctrl+Shift+C");
    QCOMPARE(Editor()->text(), QStringLiteral("0.9"));
    QCOMPARE(form->Data().HL, 0.2);

    QApplication::clipboard()->clear();
    form->Figure->CopyAction()->trigger();
    CheckCopiedFigure("the menu's Copy figure");
    QVERIFY(messages.empty());
}

void FormTest::figureSavedInEachFormat()
{
    QTemporaryDir dir;
    std::vector<FigureTarget> targets = {
        {dir.filePath("net.png"), FigureFormat::Png, 321},
        {dir.filePath("net.svg"), FigureFormat::Svg, 500},
        {dir.filePath("net.pdf"), FigureFormat::Pdf, 400},
    };
    std::size_t next = 0;
    int proposedSize = 0;
    form->Figure->SetChooser([&](QWidget*, int defaultSize) -> std::optional<FigureTarget> {
        proposedSize = defaultSize;
        if (next >= targets.size())
            return std::nullopt; // cancelled
        return targets[next++];
    });
    // Nothing is offered before a net is drawn.
    form->Figure->SaveAction()->trigger();
    QCOMPARE(next, std::size_t(0));

    QTest::mouseClick(form->SpeedButtonCalc, Qt::LeftButton);
    for (std::size_t i = 0; i < targets.size(); ++i)
        form->Figure->SaveAction()->trigger();
    QCOMPARE(proposedSize, FigureMenu::kDefaultSize);
    QVERIFY(messages.empty());

    const QImage png(targets[0].path);
    QCOMPARE(png.size(), QSize(321, 321));
    QCOMPARE(png.pixel(321 / 2 + 40, 321 / 2), qRgb(0, 0, 0)); // the x axis
    QFile svg(targets[1].path);
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QByteArray svgText = svg.readAll();
    QVERIFY(svgText.contains("<svg") && svgText.contains("viewBox=\"0 0 500 500\""));
    QFile pdf(targets[2].path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray pdfBytes = pdf.readAll();
    QVERIFY(pdfBytes.startsWith("%PDF"));
    QVERIFY(pdfBytes.trimmed().endsWith("%%EOF"));
    // 400 pixels at 96 per inch: a page of 300 points square.
    const QRegularExpression mediaBox(QStringLiteral(R"(/MediaBox \[0 0 300(\.0+)? 300(\.0+)?\])"));
    QVERIFY(mediaBox.match(QString::fromLatin1(pdfBytes)).hasMatch());

    // Cancelled: nothing more written. A file that cannot be written is said.
    form->Figure->SaveAction()->trigger();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);
    targets.push_back({dir.filePath("no such folder/net.png"), FigureFormat::Png, 100});
    form->Figure->SaveAction()->trigger();
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(messages[0].kind, MessageKind::Error);
    QVERIFY(messages[0].text.contains("no such folder"));
}

QTEST_MAIN(FormTest)
#include "FormTest.moc"
