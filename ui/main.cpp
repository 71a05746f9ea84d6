#include "BrellocApplication.h"
#include "UnitBrelloc.h"

#include <QIcon>

int main(int argc, char** argv)
{
    brelloc::BrellocApplication application(argc, argv);
    application.setWindowIcon(QIcon(QStringLiteral(":/glyphs/brelloc.png")));
    application.setDesktopFileName(QStringLiteral("org.brelloc.Brelloc"));
    try {
        brelloc::TFormBrelloc form;
        form.show();
        application.exec();
    } catch (...) {
        // Failing to start is shown, and the program ends.
        application.ShowException(brelloc::CurrentExceptionMessage());
    }
    return 0;
}
