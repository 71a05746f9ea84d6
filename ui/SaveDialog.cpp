#include "SaveDialog.h"

#include <QDir>
#include <QFileInfo>

namespace brelloc {

bool SaveDialog::Execute(QWidget* parent)
{
    const std::optional<QString> chosen = chooser_(parent, *this);
    if (!chosen || chosen->isEmpty())
        return false;
    QString path = *chosen;
    if (!DefaultExt.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + DefaultExt;
    FileName = path;
    return true;
}

QString SaveDialog::StartDirectory() const
{
    const QFileInfo current(FileName);
    if (current.isAbsolute())
        return current.absolutePath();
    // A missing initial folder would leave the dialog on an empty listing.
    return QDir(InitialDir).exists() ? InitialDir : QDir::currentPath();
}

QString SaveDialog::ProposedName() const
{
    return QFileInfo(FileName).fileName();
}

std::optional<QString> SaveDialog::RunFileDialog(QWidget* parent, const SaveDialog& settings)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOptions(settings.Options);
    dialog.setNameFilter(settings.Filter);
    dialog.setDefaultSuffix(settings.DefaultExt);
    dialog.setDirectory(settings.StartDirectory());
    dialog.selectFile(settings.ProposedName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace brelloc
