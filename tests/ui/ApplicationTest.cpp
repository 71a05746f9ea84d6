// The application object: an exception escaping an event handler is shown
// and the event loop goes on.
#include "BrellocApplication.h"

#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace brelloc;

namespace {

class ThrowingObject : public QObject {
public:
    int handled = 0;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++handled;
        throw std::runtime_error("The handler failed.");
    }
};

} // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void exceptionInHandlerIsShownAndLoopGoesOn()
    {
        auto* app = static_cast<BrellocApplication*>(QCoreApplication::instance());
        QStringList shown;
        app->SetExceptionPresenter([&](const QString& message) { shown << message; });

        ThrowingObject target;
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
        bool loopWentOn = false;
        QTimer::singleShot(0, [&] { loopWentOn = true; });
        QTRY_VERIFY(loopWentOn);

        QCOMPARE(target.handled, 2);
        QCOMPARE(shown, QStringList({"The handler failed.", "The handler failed."}));
        app->SetExceptionPresenter(nullptr);
    }

    void unknownExceptionsAreNamed()
    {
        QString message;
        try {
            throw 42;
        } catch (...) {
            message = CurrentExceptionMessage();
        }
        QCOMPARE(message, QStringLiteral("An unknown error occurred."));
    }
};

int main(int argc, char** argv)
{
    BrellocApplication app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ApplicationTest.moc"
