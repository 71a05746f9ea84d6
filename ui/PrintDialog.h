#pragma once

#include <functional>

class QPrinter;
class QWidget;

namespace brelloc {

// Lets the user choose and set up the printer before a job; the settings stay
// in the printer object for the next one.
class PrintDialog {
public:
    // What answers the dialog: true to print. Normally a modal QPrintDialog;
    // tests put a stand-in here.
    using Executor = std::function<bool(QWidget* parent, QPrinter& printer)>;

    bool Execute(QWidget* parent, QPrinter& printer) { return executor_(parent, printer); }
    void SetExecutor(Executor executor) { executor_ = std::move(executor); }

    static bool RunPrintDialog(QWidget* parent, QPrinter& printer);

private:
    Executor executor_ = &PrintDialog::RunPrintDialog;
};

} // namespace brelloc
