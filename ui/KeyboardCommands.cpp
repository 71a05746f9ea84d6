#include "KeyboardCommands.h"

#include "StringGrid.h"

#include <QShortcut>
#include <QWidget>

namespace brelloc {

KeyboardCommands::KeyboardCommands(QWidget* window, StringGrid* grid)
    : QObject(window), window_(window), grid_(grid)
{
}

QShortcut* KeyboardCommands::Add(const QKeySequence& keys, std::function<void()> action)
{
    auto* shortcut = new QShortcut(keys, window_);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setAutoRepeat(false);
    connect(shortcut, &QShortcut::activated, this, [this, action = std::move(action)]() {
        // Selecting the current cell again commits it and selects its text.
        grid_->SelectCell(grid_->Col(), grid_->Row());
        action();
    });
    return shortcut;
}

QString KeyboardCommands::Hint(const QString& hint, const QKeySequence& keys)
{
    return QStringLiteral("%1 (%2)").arg(hint, keys.toString(QKeySequence::NativeText));
}

} // namespace brelloc
