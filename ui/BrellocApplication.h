#pragma once

#include <QApplication>

#include <functional>

namespace brelloc {

// The application object: an exception that escapes an event handler is
// shown in an error box and the event loop goes on.
class BrellocApplication : public QApplication {
public:
    BrellocApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the message of an exception in an error box.
    void ShowException(const QString& message);

    // How ShowException shows its box; tests put a recorder here.
    void SetExceptionPresenter(std::function<void(const QString&)> presenter)
    {
        presenter_ = std::move(presenter);
    }

private:
    std::function<void(const QString&)> presenter_;
};

// The text to show for the exception being handled (call inside a catch).
QString CurrentExceptionMessage();

} // namespace brelloc
