#include "MessageBoxes.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

namespace brelloc {

namespace {

// QMessageBox wraps long lines to fit its width limit, which would break the
// lines of the ground profile sketch: this box never wraps.
void ShowPlainMessage(QWidget* parent, const QString& text)
{
    QDialog box(parent);
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
    box.setObjectName(QStringLiteral("PlainMessageBox"));

    auto* label = new QLabel(FixedPitchText(text), &box);
    label->setObjectName(QStringLiteral("PlainMessageText"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    buttons->setCenterButtons(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);

    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(label);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    box.exec();
}

} // namespace

QString FixedPitchText(const QString& text)
{
    QString shown = text;
    return shown.replace(QLatin1Char('_'), QStringLiteral("__"));
}

void ShowMessageBox(QWidget* parent, MessageKind kind, const QString& text)
{
    const QString title = QGuiApplication::applicationDisplayName();
    switch (kind) {
    case MessageKind::Plain:
        ShowPlainMessage(parent, text);
        break;
    case MessageKind::Warning:
        QMessageBox::warning(parent, title, text);
        break;
    case MessageKind::Error:
        QMessageBox::critical(parent, title, text);
        break;
    }
}

bool AskQuestion(QWidget* parent, const QString& text)
{
    return QMessageBox::question(parent, QGuiApplication::applicationDisplayName(), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

} // namespace brelloc
