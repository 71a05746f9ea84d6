#include "SaveDialog.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>

namespace brelloc {

namespace {

// Icons and type names from the file name alone. Qt's own provider reads a
// file's first bytes to learn its type, and in a folder such as /proc that
// read can block for ever (/proc/kmsg), freezing the whole window.
class NameOnlyIconProvider final : public QFileIconProvider {
public:
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override
    {
        return QFileIconProvider::icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo& info) const override
    {
        if (info.isDir())
            return QStringLiteral("Folder");
        return QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
    }
};

} // namespace

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
    NameOnlyIconProvider icons;
    QFileDialog dialog(parent);
    dialog.setIconProvider(&icons);
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
