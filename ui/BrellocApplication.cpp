#include "BrellocApplication.h"

#include "MessageBoxes.h"
#include "PainterCanvas.h"

#include <exception>

namespace brelloc {

BrellocApplication::BrellocApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // Where no font is installed, every text (message boxes too) takes the
    // built-in face rather than coming out as empty boxes.
    PainterCanvas::LoadBuiltInFaces();
}

bool BrellocApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(CurrentExceptionMessage());
    }
    return false;
}

void BrellocApplication::ShowException(const QString& message)
{
    if (presenter_)
        presenter_(message);
    else
        ShowMessageBox(activeWindow(), MessageKind::Error, message);
}

QString CurrentExceptionMessage()
{
    try {
        throw;
    } catch (const std::exception& error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
        return QStringLiteral("An unknown error occurred.");
    }
}

} // namespace brelloc
