#pragma once

#include <QKeySequence>
#include <QObject>

#include <functional>

class QShortcut;
class QWidget;

namespace brelloc {

class StringGrid;

// The window's keyboard shortcuts for what otherwise needs the mouse. A
// shortcut first commits the grid row being edited, as leaving the row
// would, so that a value typed and followed by the key is the value used;
// then it acts.
class KeyboardCommands : public QObject {
public:
    KeyboardCommands(QWidget* window, StringGrid* grid);

    QShortcut* Add(const QKeySequence& keys, std::function<void()> action);

    // The tool-tip of a button with a shortcut: "Calculate (F5)".
    static QString Hint(const QString& hint, const QKeySequence& keys);

private:
    QWidget* window_;
    StringGrid* grid_;
};

} // namespace brelloc
