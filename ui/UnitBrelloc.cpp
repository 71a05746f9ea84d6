#include "UnitBrelloc.h"

#include "HelpTexts.h"
#include "PanelNotes.h"
#include "PainterCanvas.h"
#include "PicTeXWriter.h"
#include "PrintedReport.h"
#include "Printer.h"
#include "ScreenPlot.h"
#include "SpeedButton.h"
#include "StringGrid.h"

#include <QFile>
#include <QElapsedTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace brelloc {

TFormBrelloc* FormBrelloc = nullptr;

namespace {

constexpr int kPanelHeight = 24;
constexpr int kButtonSize = 25;
const QColor kLimeColor(0, 255, 0);
const QColor kYellowColor(255, 255, 0);

// The face of the window's texts: "MS Sans Serif" at 8 points where it is
// installed, else the nearest sans-serif face.
QFont FormFont(bool bold)
{
    return PainterCanvas::FontFor(FontSpec{"MS Sans Serif", 8.0, bold});
}

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

const char* const kRowLabels[kGridRowCount] = {"H/L", "N/k", "Xmax/L", "Number of squares"};

} // namespace

TFormBrelloc::TFormBrelloc(QWidget* parent)
    : QWidget(parent), FontDialog1(brelloc::FontDialog1), FontDialog2(brelloc::FontDialog2)
{
    FormBrelloc = this;
    CreateComponents();
    FormCreate();
}

TFormBrelloc::~TFormBrelloc()
{
    if (FormBrelloc == this)
        FormBrelloc = nullptr;
}

void TFormBrelloc::CreateComponents()
{
    setWindowTitle(QStringLiteral("Groundwater Divide"));
    setWindowIcon(QIcon(QStringLiteral(":/glyphs/brelloc.png")));
    setFont(FormFont(false));
    resize(kStartWidth, kStartHeight);

    PanelMain = new QFrame(this);
    PanelMain->setObjectName(QStringLiteral("PanelMain"));
    PanelMain->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelMain->setLineWidth(1);
    PanelMain->setAutoFillBackground(true);
    QPalette panelColours = PanelMain->palette();
    panelColours.setColor(QPalette::Window, kLimeColor);
    PanelMain->setPalette(panelColours);
    PanelMain->setGeometry(0, 0, width(), kPanelHeight);

    SpeedButtonCalc = MakeSpeedButton(PanelMain, 0, QStringLiteral("calculate"), QStringLiteral("Calculate"));
    SpeedButtonCalc->setObjectName(QStringLiteral("SpeedButtonCalc"));
    SpeedButtonPrint = MakeSpeedButton(PanelMain, 25, QStringLiteral("print"), QStringLiteral("Print Output"));
    SpeedButtonPrint->setObjectName(QStringLiteral("SpeedButtonPrint"));
    SpeedButtonTex = MakeSpeedButton(PanelMain, 50, QStringLiteral("pictex"), QStringLiteral("Make PicTeX file"));
    SpeedButtonTex->setObjectName(QStringLiteral("SpeedButtonTex"));
    SpeedButtonHelp = MakeSpeedButton(PanelMain, 528, QStringLiteral("help"), QStringLiteral("Help"));
    SpeedButtonHelp->setObjectName(QStringLiteral("SpeedButtonHelp"));
    Notes = new PanelNotes(PanelMain);

    GeneralPanel = new QFrame(this);
    GeneralPanel->setObjectName(QStringLiteral("GeneralPanel"));
    GeneralPanel->setFrameStyle(QFrame::Box | QFrame::Plain);
    GeneralPanel->setLineWidth(1);
    GeneralPanel->setAutoFillBackground(true);
    QPalette headerColours = GeneralPanel->palette();
    headerColours.setColor(QPalette::Window, kLimeColor);
    headerColours.setColor(QPalette::WindowText, Qt::black);
    GeneralPanel->setPalette(headerColours);
    GeneralPanel->setFont(FormFont(true));
    GeneralPanel->setGeometry(8, 32, 368, kPanelHeight);

    GeneralLabel = new QLabel(QStringLiteral("General Data"), GeneralPanel);
    GeneralLabel->setObjectName(QStringLiteral("GeneralLabel"));
    QPalette labelColours = GeneralLabel->palette();
    labelColours.setColor(QPalette::WindowText, Qt::white);
    GeneralLabel->setPalette(labelColours);
    GeneralLabel->setFont(FormFont(true));
    GeneralLabel->setGeometry(8, 4, 76, 13);
    GeneralLabel->adjustSize(); // the label grows with the face found

    GeneralHelp = MakeSpeedButton(GeneralPanel, 328, QStringLiteral("help"), QStringLiteral("Help"));
    GeneralHelp->setObjectName(QStringLiteral("GeneralHelp"));

    MainGrid = new StringGrid(2, kGridRowCount, 1, this);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    for (int row = 0; row < kGridRowCount; ++row)
        MainGrid->item(row, 0)->setBackground(kYellowColor);
    MainGrid->OnSelectCell = [this](int col, int row, bool& canSelect) {
        MainGridSelectCell(col, row, canSelect);
    };
    MainGrid->OnKeyPress = [this](char& key) { MainGridKeyPress(key); };

    connect(SpeedButtonCalc, &QToolButton::clicked, this, &TFormBrelloc::SpeedButtonCalcClick);
    connect(SpeedButtonPrint, &QToolButton::clicked, this, &TFormBrelloc::SpeedButtonPrintClick);
    connect(SpeedButtonTex, &QToolButton::clicked, this, &TFormBrelloc::SpeedButtonTexClick);
    connect(SpeedButtonHelp, &QToolButton::clicked, this, &TFormBrelloc::SpeedButtonHelpClick);
    connect(GeneralHelp, &QToolButton::clicked, this, &TFormBrelloc::GeneralHelpClick);
}

QToolButton* TFormBrelloc::MakeSpeedButton(QWidget* parent, int left, const QString& glyph,
                                           const QString& hint)
{
    auto* button = new SpeedButton(glyph, hint, parent);
    button->setGeometry(left, 0, kButtonSize, kButtonSize);
    return button;
}

void TFormBrelloc::FormCreate()
{
    InitDefaults(data_);

    MainGrid->SetRowHeight(18);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Image = QImage(screen.size(), QImage::Format_RGB32);
    MainGrid->SetColumnWidth(0, 180);
    MainGrid->SetColumnWidth(1, 80);
    MainGrid->setGeometry(5, 60, MainGrid->FullWidth(), MainGrid->FullHeight());

    // The header's lowest pixel row lies on the grid's top edge.
    GeneralPanel->setGeometry(MainGrid->x(), MainGrid->y() - kPanelHeight + 1, MainGrid->width(),
                              kPanelHeight);
    GeneralHelp->move(MainGrid->width() - kButtonSize, 0);

    for (int row = 0; row < kGridRowCount; ++row)
        MainGrid->SetCell(0, row, QString::fromLatin1(kRowLabels[row]));
    ShowGeneralData();
    SpeedButtonHelp->move(PanelMain->width() - kButtonSize, 0);
    PlaceNotes();

    MainGrid->SelectCell(1, 0);
    currentRow_ = 0;
    MainGrid->setFocus();

    SetOuterSize(kStartWidth, kStartHeight);
    CentreOnScreen();
}

void TFormBrelloc::CentreOnScreen()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.x() + (screen.width() - kStartWidth) / 2, screen.y() + (screen.height() - kStartHeight) / 2);
}

void TFormBrelloc::SetOuterSize(int width, int height)
{
    // Where the window system adds a frame, the client area is that much
    // smaller; on a bare X server the window itself takes the size.
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
    setMinimumSize(SmallestSize());
    resize(width - frame.width(), height - frame.height());
}

QSize TFormBrelloc::SmallestSize() const
{
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
    return QSize(MainGrid->width() + kMinimumExtraWidth, kMinimumHeight) - frame;
}

void TFormBrelloc::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        SetOuterSize(kStartWidth, kStartHeight);
        // A window manager frames the window only after it is mapped; once
        // the frame is known the start-up size is set again, so that the
        // window with its frame takes it. A bare X server never adds one; a
        // busy desktop may take some seconds to frame it, so the watch lasts
        // ten seconds of wall time.
        QElapsedTimer waited;
        waited.start();
        auto* watch = new QTimer(this);
        watch->setInterval(50);
        connect(watch, &QTimer::timeout, this, [this, watch, waited]() mutable {
            const bool framed = frameGeometry().size() != size();
            if (framed && size() == QSize(kStartWidth, kStartHeight)) {
                SetOuterSize(kStartWidth, kStartHeight);
                CentreOnScreen();
            }
            if (framed || waited.hasExpired(10000))
                watch->deleteLater();
        });
        watch->start();
    }
}

void TFormBrelloc::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PanelMain->setGeometry(0, 0, width(), kPanelHeight); // always the full width
    FormResize();
}

void TFormBrelloc::FormResize()
{
    // A window manager keeps the smallest size from the window's hint; where
    // none does (a bare X server), a smaller size is set back here, which
    // raises this handler once more.
    const QSize smallest = SmallestSize();
    if (width() < smallest.width() || height() < smallest.height())
        resize(std::max(width(), smallest.width()), std::max(height(), smallest.height()));
    SpeedButtonHelp->move(PanelMain->width() - kButtonSize, 0);
    PlaceNotes();
    ClearScreenPlot();
}

void TFormBrelloc::PlaceNotes()
{
    constexpr int kGap = 8;
    const int left = SpeedButtonTex->x() + kButtonSize + kGap;
    const int right = SpeedButtonHelp->x() - kGap;
    Notes->setGeometry(left, 0, std::max(0, right - left), kPanelHeight);
}

void TFormBrelloc::ShowGeneralData()
{
    MainGrid->SetCell(1, RowHL, Text(RowText(data_, RowHL)));
    UpdateDerived(data_);
    MainGrid->SetCell(1, RowNK, Text(RowText(data_, RowNK)));
    MainGrid->SetCell(1, RowXmaxL, Text(RowText(data_, RowXmaxL)));
    MainGrid->SetCell(1, RowSquares, Text(RowText(data_, RowSquares)));
    ClearScreenPlot();
}

void TFormBrelloc::MainGridSelectCell(int ACol, int ARow, bool& CanSelect)
{
    static_cast<void>(ACol);
    static_cast<void>(CanSelect); // the move always takes place
    // The row being left is committed, edited or not.
    const std::string text = MainGrid->Cell(1, currentRow_).toStdString();
    MainGrid->SetCell(1, currentRow_, Text(CommitRow(data_, currentRow_, text)));
    ShowGeneralData();
    currentRow_ = ARow;
}

void TFormBrelloc::MainGridKeyPress(char& Key)
{
    if (Key != '\r')
        return;
    const int row = MainGrid->Row();
    const int next = row < MainGrid->rowCount() - 1 ? row + 1 : MainGrid->FixedRows();
    MainGrid->SelectCell(MainGrid->Col(), next);
    MainGrid->ShowEditor();
}

void TFormBrelloc::SpeedButtonCalcClick()
{
    const ScreenPlotLayout layout =
        ComputeScreenPlotLayout(width(), height(), MainGrid->y(), MainGrid->height());
    if (layout.side <= 0)
        return; // no room below the grid
    if (Image.width() < layout.side || Image.height() < layout.side) {
        // A window larger than the screen: the square must still fit.
        Image = QImage(std::max(Image.width(), layout.side), std::max(Image.height(), layout.side),
                       QImage::Format_RGB32);
    }
    {
        QPainter painter(&Image);
        painter.setFont(font());
        PainterCanvas canvas(painter);
        DrawScreenPlot(canvas, data_, layout.side);
    }
    // The window keeps its copy of the square, so a window passing over it
    // does not take the plot away; the program's own clears do.
    shownPlot_ = Image.copy(0, 0, layout.side, layout.side);
    shownPlotAt_ = QPoint(layout.left, layout.top);
    repaint(QRect(shownPlotAt_, shownPlot_.size()));
}

void TFormBrelloc::SpeedButtonPrintClick()
{
    QPrinter& printer = Printer();
    if (!PrintDialog1.Execute(this, printer))
        return;
    const ReportResult result = PrintReport(printer, data_);
    if (!result.ok)
        showMessage_(this, MessageKind::Error, Text(result.error));
}

void TFormBrelloc::SpeedButtonTexClick()
{
    if (SaveDialog1.Execute(this)) {
        // The path is used whole, in the file system's encoding.
        const std::string path = QFile::encodeName(SaveDialog1.FileName).toStdString();
        // A file of someone else's (a chapter of the user's document, say)
        // is replaced only when the user says so; an earlier figure is not
        // worth a question.
        const bool replace =
            ExistingFileAt(path) != ExistingFile::Other ||
            askQuestion_(this, QStringLiteral("Replace %1? It was not written by Brelloc.")
                                   .arg(SaveDialog1.FileName));
        if (replace) {
            const ExportResult result = WritePicTeXFile(data_, path);
            if (!result.ok)
                showMessage_(this, MessageKind::Error, QString::fromLocal8Bit(result.error.c_str()));
        }
    }
    ClearScreenPlot();
}

void TFormBrelloc::SpeedButtonHelpClick()
{
    showMessage_(this, MessageKind::Plain, Text(ProgramMessage()));
}

void TFormBrelloc::GeneralHelpClick()
{
    showMessage_(this, MessageKind::Plain, Text(GeneralDataMessage()));
}

void TFormBrelloc::ClearScreenPlot()
{
    shownPlot_ = QImage();
    if (isVisible())
        repaint();
}

void TFormBrelloc::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (shownPlot_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(shownPlotAt_, shownPlot_);
}

} // namespace brelloc
