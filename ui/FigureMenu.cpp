#include "FigureMenu.h"

#include "FileRenderers.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QSpinBox>
#include <QWidget>

namespace brelloc {

namespace {

struct FormatInfo {
    FigureFormat format;
    const char* suffix;
    const char* filter;
};

constexpr FormatInfo kFormats[] = {
    {FigureFormat::Png, "png", "PNG picture (*.png)"},
    {FigureFormat::Svg, "svg", "SVG drawing (*.svg)"},
    {FigureFormat::Pdf, "pdf", "PDF document (*.pdf)"},
};

} // namespace

FigureMenu::FigureMenu(QWidget* window, QWidget* keyTarget, ShownFigure figure, ShownArea area,
                       ErrorReporter reportError)
    : QObject(window), window_(window), keyTarget_(keyTarget), figure_(std::move(figure)),
      area_(std::move(area)), reportError_(std::move(reportError)), chooser_(&ChooseFigureFile)
{
    menu_ = new QMenu(window);
    menu_->setObjectName(QStringLiteral("FigureMenu"));
    copy_ = menu_->addAction(QStringLiteral("Copy figure"), this, &FigureMenu::CopyFigure);
    copy_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copy_->setShortcutVisibleInContextMenu(true);
    save_ = menu_->addAction(QStringLiteral("Save figure as..."), this, &FigureMenu::SaveFigureAs);

    auto* copyKeys = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), window);
    copyKeys->setContext(Qt::WindowShortcut);
    connect(copyKeys, &QShortcut::activated, this, &FigureMenu::CopyFigure);

    window_->installEventFilter(this);
    if (keyTarget_)
        keyTarget_->installEventFilter(this);
}

std::optional<FigureFormat> FigureMenu::FormatOfPath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const FormatInfo& info : kFormats)
        if (suffix == QLatin1String(info.suffix))
            return info.format;
    return std::nullopt;
}

bool FigureMenu::Offer(const QPoint& globalPosition)
{
    if (!figure_())
        return false;
    menu_->popup(globalPosition);
    return true;
}

bool FigureMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && event->type() == QEvent::ContextMenu) {
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        // A right click offers the menu on the net only; the Menu key
        // wherever the focus is in the window.
        const bool onNet = area_().contains(menuEvent->pos());
        if ((onNet || menuEvent->reason() == QContextMenuEvent::Keyboard) && figure_()) {
            const QPoint at = onNet ? menuEvent->globalPos() : window_->mapToGlobal(area_().center());
            return Offer(at);
        }
        return false;
    }
    if (watched == keyTarget_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Menu && figure_()) {
        // The editor's own menu gives way to the figure's while a net is drawn.
        return Offer(window_->mapToGlobal(area_().center()));
    }
    if (watched == keyTarget_ && event->type() == QEvent::ContextMenu && figure_() &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        return Offer(window_->mapToGlobal(area_().center()));
    }
    return QObject::eventFilter(watched, event);
}

void FigureMenu::CopyFigure()
{
    const GeneralData* data = figure_();
    if (!data)
        return;
    const QImage image = RenderFigureImage(*data, kDefaultSize);
    const QByteArray svg = RenderFigureSvg(*data, kDefaultSize);
    if (image.isNull() || svg.isEmpty()) {
        reportError_(QStringLiteral("The figure could not be copied: not enough memory for the picture."));
        return;
    }
    auto* mime = new QMimeData;
    mime->setImageData(image);
    mime->setData(QStringLiteral("image/svg+xml"), svg);
    QApplication::clipboard()->setMimeData(mime);
}

void FigureMenu::SaveFigureAs()
{
    const GeneralData* shown = figure_();
    if (!shown)
        return;
    const GeneralData data = *shown; // the dialog may outlive the drawn net
    const std::optional<FigureTarget> target = chooser_(window_, kDefaultSize);
    if (!target || target->path.isEmpty())
        return;
    const std::string path = QFile::encodeName(target->path).toStdString();
    ExportResult result;
    switch (target->format) {
    case FigureFormat::Png: result = WriteFigurePng(data, path, target->size); break;
    case FigureFormat::Svg: result = WriteFigureSvg(data, path, target->size); break;
    case FigureFormat::Pdf: result = WriteFigurePdf(data, path, target->size); break;
    }
    if (!result.ok)
        reportError_(QString::fromLocal8Bit(result.error.c_str()));
}

std::optional<FigureTarget> ChooseFigureFile(QWidget* parent, int defaultSize)
{
    QFileDialog dialog(parent, QStringLiteral("Save figure as"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The size box lives in the dialog, so Qt's own dialog is used.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList filters;
    for (const FormatInfo& info : kFormats)
        filters << QString::fromLatin1(info.filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(QStringLiteral("flownet.png"));
    // Choosing another format gives the name being typed that format's
    // extension.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        for (const FormatInfo& info : kFormats) {
            if (filter != QLatin1String(info.filter))
                continue;
            const QString suffix = QString::fromLatin1(info.suffix);
            dialog.setDefaultSuffix(suffix);
            auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (name && FigureMenu::FormatOfPath(name->text())) {
                const QString text = name->text();
                name->setText(text.left(text.lastIndexOf(QLatin1Char('.')) + 1) + suffix);
            }
        }
    });

    auto* sizeBox = new QSpinBox(&dialog);
    sizeBox->setObjectName(QStringLiteral("FigureSize"));
    sizeBox->setRange(kFigureMinSize, kFigureMaxSize);
    sizeBox->setValue(defaultSize);
    sizeBox->setSuffix(QStringLiteral(" pixels square"));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int row = grid->rowCount();
        auto* label = new QLabel(QStringLiteral("Size:"), &dialog);
        label->setBuddy(sizeBox);
        grid->addWidget(label, row, 0);
        grid->addWidget(sizeBox, row, 1);
    }

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    FigureTarget target;
    target.path = dialog.selectedFiles().first();
    target.size = sizeBox->value();
    // The name's extension decides; a name without a known one gets the
    // chosen filter's.
    if (const std::optional<FigureFormat> format = FigureMenu::FormatOfPath(target.path)) {
        target.format = *format;
    } else {
        for (const FormatInfo& info : kFormats)
            if (dialog.selectedNameFilter() == QLatin1String(info.filter)) {
                target.format = info.format;
                target.path += QLatin1Char('.') + QLatin1String(info.suffix);
            }
    }
    return target;
}

} // namespace brelloc
