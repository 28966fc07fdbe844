#include "DirectoryDialog.h"

#include <QDir>
#include <QFileInfo>

TDirectoryDialog::TDirectoryDialog(QWidget* owner, const TFileRequest& request, TUserInterface& ui)
    : QFileDialog(owner, request.Title),
      m_mayCreate(request.Options.testFlag(TFileRequest::CreateDirectories)), m_ui(ui)
{
    setObjectName(QStringLiteral("DirectoryDialog"));
    setFileMode(QFileDialog::Directory);
    setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog |
               QFileDialog::ReadOnly);
    QFileInfo preset(request.Preset);
    while (!preset.filePath().isEmpty() && !preset.isDir() && !preset.isRoot() &&
           preset.absolutePath() != preset.absoluteFilePath())
        preset = QFileInfo(preset.absolutePath());
    if (preset.isDir())
        setDirectory(preset.absoluteFilePath());
    if (!request.Preset.isEmpty() && !QFileInfo(request.Preset).isDir())
        selectFile(request.Preset);
}

QString TDirectoryDialog::Choose()
{
    if (exec() != QDialog::Accepted || selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(selectedFiles().constFirst());
}

void TDirectoryDialog::accept()
{
    const QStringList files = selectedFiles();
    const QString chosen = files.isEmpty() ? QString() : files.constFirst();
    if (!chosen.isEmpty() && !QFileInfo(chosen).exists() && m_mayCreate) {
        if (m_ui.Confirm(CreateQuestion(), TMsgButton::Yes | TMsgButton::No) != TMsgButton::Yes)
            return;
        if (!QDir().mkpath(chosen)) {
            m_ui.ShowMessage(QStringLiteral("Cannot create directory \"%1\".")
                                 .arg(QDir::toNativeSeparators(chosen)));
            return;
        }
    }
    QFileDialog::accept();
}
