#pragma once

#include <QFileDialog>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace brelloc {

// Asks for the name of a file to write. It keeps the name chosen last and
// proposes it on the next use; until then it proposes FileName in InitialDir.
class SaveDialog {
public:
    QString FileName = QStringLiteral("Brelloc");
    QString InitialDir = QStringLiteral("PCTeX/Brelloc");
    QString DefaultExt = QStringLiteral("tex");
    QString Filter = QStringLiteral("*.tex");
    QFileDialog::Options Options = QFileDialog::DontConfirmOverwrite;

    // What answers the dialog: the path chosen, or nothing when cancelled.
    // Normally a modal QFileDialog; tests put a stand-in here.
    using Chooser = std::function<std::optional<QString>(QWidget* parent, const SaveDialog& dialog)>;

    // Shows the dialog; on confirmation FileName becomes the chosen path,
    // with DefaultExt added where the name has no extension.
    bool Execute(QWidget* parent);

    void SetChooser(Chooser chooser) { chooser_ = std::move(chooser); }

    // The folder and the name the dialog opens with.
    QString StartDirectory() const;
    QString ProposedName() const;

    static std::optional<QString> RunFileDialog(QWidget* parent, const SaveDialog& dialog);

private:
    Chooser chooser_ = &SaveDialog::RunFileDialog;
};

} // namespace brelloc
