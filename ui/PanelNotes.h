#pragma once

#include <QLabel>
#include <QString>
#include <QTimer>

namespace brelloc {

// The free part of the tool panel, between the output buttons and the help
// button. Two kinds of text share it: a short note about what just happened
// (a value that had to be replaced, say), shown for a few seconds, and the
// reading of the probe under the mouse, shown for as long as it is set. A
// note has the place while it lasts; then the probe reading comes back.
class PanelNotes : public QLabel {
public:
    explicit PanelNotes(QWidget* parent = nullptr);

    // How long a note stays; tests shorten it.
    static constexpr int kNoteMilliseconds = 4000;
    void SetNoteDuration(int milliseconds) { noteTimer_.setInterval(milliseconds); }

    void ShowNote(const QString& note);
    void SetProbe(const QString& reading);
    void ClearProbe() { SetProbe(QString()); }

    const QString& Note() const { return note_; }
    const QString& Probe() const { return probe_; }

private:
    void ShowCurrent();

    QString note_;
    QString probe_;
    QTimer noteTimer_;
};

} // namespace brelloc
