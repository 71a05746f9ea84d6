#include "PanelNotes.h"

namespace brelloc {

PanelNotes::PanelNotes(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("PanelNotes"));
    setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    setTextFormat(Qt::PlainText);
    // Mouse events go to the panel below: the label only shows text.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    noteTimer_.setSingleShot(true);
    noteTimer_.setInterval(kNoteMilliseconds);
    connect(&noteTimer_, &QTimer::timeout, this, [this]() {
        note_.clear();
        ShowCurrent();
    });
}

void PanelNotes::ShowNote(const QString& note)
{
    note_ = note;
    if (note_.isEmpty())
        noteTimer_.stop();
    else
        noteTimer_.start();
    ShowCurrent();
}

void PanelNotes::SetProbe(const QString& reading)
{
    probe_ = reading;
    ShowCurrent();
}

void PanelNotes::ShowCurrent()
{
    setText(note_.isEmpty() ? probe_ : note_);
}

} // namespace brelloc
