#include "PrintDialog.h"

#include <QPrintDialog>
#include <QPrinter>

namespace brelloc {

bool PrintDialog::RunPrintDialog(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace brelloc
