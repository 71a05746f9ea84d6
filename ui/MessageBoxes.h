#pragma once

#include <QString>

class QWidget;

namespace brelloc {

enum class MessageKind {
    Plain,   // a help text: no icon, fixed-pitch so that its sketch keeps its columns
    Warning, // something the user asked for could not be done
    Error,   // an unexpected failure inside the program
};

// The text as a fixed-pitch box shows it. The ground profile sketch of the
// program message was drawn for a face whose underscore is as wide as two
// spaces and whose slashes are as wide as one; in a fixed-pitch face every
// underscore is therefore shown as two, and the profile keeps its shape.
QString FixedPitchText(const QString& text);

// A modal box with the text and an OK button, titled with the application's
// name; returns when the user closes it.
void ShowMessageBox(QWidget* parent, MessageKind kind, const QString& text);

// A modal question with Yes and No buttons, No the default, titled with the
// application's name; true when the user answers Yes.
bool AskQuestion(QWidget* parent, const QString& text);

} // namespace brelloc
