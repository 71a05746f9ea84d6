#include "Printer.h"

#include <QPrinter>

namespace brelloc {

QPrinter& Printer()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

} // namespace brelloc
