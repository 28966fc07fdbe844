#include "ZipTreeCommands.h"

#include <limits>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include "CurrentZip.h"
#include "Exception.h"
#include "PathRules.h"
#include "Utils.h"
#include "SyncActions.h"
#include "UserInterface.h"
#include "ZipFile.h"
#include "ZipLookup.h"
#include "ZipTree.h"

TZipTreeCommands::TZipTreeCommands(TCurrentZip& current, QString relDir, TUserInterface& ui)
    : m_current(current), m_relDir(std::move(relDir)), m_ui(ui)
{}

QString TZipTreeCommands::FileOf(const QByteArray& entryName) const
{
    return m_relDir + PathRules::EntryNameToPath(QString::fromLocal8Bit(entryName));
}

const TZipNode* TZipTreeCommands::DeleteSelected(const QList<const TZipNode*>& selection,
                                                 TDeleteTarget target)
{
    if (!m_current.HasZip() || selection.isEmpty())
        return nullptr;
    if (target != dtZipFile && m_ui.Confirm(QStringLiteral("Do you really want to delete files"),
                                            TMsgButton::Ok | TMsgButton::Cancel) != TMsgButton::Ok)
        return nullptr;
    const QByteArray following = TZipTree::NodePath(m_current.Tree().NextNode(selection.last()));
    // How often each name is to be removed from the archive: a file met twice
    // (selected with its folder) removes the first entry of that name, then
    // the next one, as removing one by one would. A folder's own entries
    // ("docs/") go with it, however many there are.
    QHash<QByteArray, int> removals;
    for (const TZipNode* node : selection) {
        for (const TZipNode* file : TZipTree::FileNodes(node)) {
            const QByteArray name = TZipTree::NodePath(file);
            if (target != dtFileSystem)
                ++removals[PathRules::ExactEntryKey(name)];
            if (target != dtZipFile)
                DeleteFile(name);
        }
        if (target != dtFileSystem)
            for (const TZipNode* folder : TZipTree::FolderEntryNodes(node))
                removals[PathRules::ExactEntryKey(TZipTree::NodePath(folder) + '\\')] =
                    std::numeric_limits<int>::max();
    }
    if (!removals.isEmpty()) {
        const TZipFile& zip = m_current.Zip();
        SaveAfter([&] {
            ZipLookup::RemoveEntriesIf(m_current.Zip(), [&](int index) {
                const auto it =
                    removals.find(PathRules::ExactEntryKey(zip.Entries.at(index).FileName));
                return it != removals.end() && it.value()-- > 0;
            });
        });
    }
    return following.isEmpty() ? nullptr : m_current.Tree().FindNodeByPath(following);
}

// Runs the change of the archive, writes and reloads it. When either fails,
// the archive object is read again from its file, so that the tree's nodes
// name the entries they show.
void TZipTreeCommands::SaveAfter(const std::function<void()>& change)
{
    try {
        change();
        m_current.SaveZipAndReload(&m_ui);
    } catch (...) {
        m_current.Restore(&m_ui);
        throw;
    }
}

void TZipTreeCommands::DeleteFile(const QByteArray& entryName)
{
    const QString file = FileOf(entryName);
    // A name that is absolute or climbs with ".." names no file below RelDir.
    if (PathRules::EntryEscapesBase(QString::fromLocal8Bit(entryName)))
        m_ui.ShowMessage(QStringLiteral("File %1 is outside %2 and was not deleted")
                             .arg(QString::fromLocal8Bit(entryName), m_relDir));
    else if (QFileInfo(file).isFile())
        QFile::remove(file); // a file that cannot be deleted stays, without a message
    else
        m_ui.ShowMessage(QStringLiteral("File %1 does not exists").arg(file));
}

int TZipTreeCommands::DeleteVersionFiles()
{
    if (!m_current.HasZip())
        return 0;
    const TZipFile& zip = m_current.Zip();
    int removed = 0;
    for (const TLocalFile& entry : zip.Entries)
        removed += IsVersionName(entry.FileName) ? 1 : 0;
    m_ui.ShowMessage(QStringLiteral("%1 files were deleted in ZipFile").arg(removed));
    if (removed > 0) // an archive without versions is not written again
        SaveAfter([&] {
            ZipLookup::RemoveEntriesIf(m_current.Zip(), [&](int index) {
                return IsVersionName(zip.Entries.at(index).FileName);
            });
        });
    return removed;
}

void TZipTreeCommands::ExtractTo(const QList<const TZipNode*>& selection)
{
    if (!m_current.HasZip())
        return;
    for (const TZipNode* node : selection) {
        if (node->IsFolder())
            ExtractFolder(node);
        else
            ExtractFile(node);
    }
}

QString TZipTreeCommands::ChooseDirectory(const QString& preset)
{
    TFileRequest request;
    request.Title = QStringLiteral("Extract to ...");
    request.Preset = preset;
    request.Options = TFileRequest::CreateDirectories;
    const QString chosen = m_ui.DirectoryName(request);
    if (chosen.isEmpty() || QFileInfo(chosen).isDir())
        return chosen;
    if (m_ui.Confirm(QStringLiteral("The specified directory does not exist. Create it?"),
                     TMsgButton::Yes | TMsgButton::No) != TMsgButton::Yes)
        return QString();
    ForceDirectories(chosen);
    return chosen;
}

void TZipTreeCommands::ExtractFolder(const TZipNode* folder)
{
    const QString directory = ChooseDirectory(FileOf(TZipTree::NodePath(folder)));
    if (directory.isEmpty())
        return;
    TSyncActions actions(m_current.Zip(), m_relDir, m_ui);
    actions.SetProjectFile(m_projectFile);
    const QString base = PathRules::WithTrailingSeparator(directory);
    // Folders the archive holds entries for are created, empty ones too.
    for (const TZipNode* node : TZipTree::FolderEntryNodes(folder)) {
        const QString below = QString::fromLocal8Bit(TZipTree::NodePath(node, folder));
        if (!PathRules::EntryEscapesBase(below))
            actions.ExtractEntry(TZipTree::NodePath(node) + '\\', false,
                                 base + PathRules::EntryNameToPath(below));
    }
    for (const TZipNode* file : TZipTree::FileNodes(folder)) {
        const QByteArray name = TZipTree::NodePath(file);
        const QString below = QString::fromLocal8Bit(TZipTree::NodePath(file, folder));
        // A name that climbs out of the chosen directory is never written.
        if (PathRules::EntryEscapesBase(below))
            throw Exception(QStringLiteral("Invalid entry name \"%1\"").arg(below));
        actions.ExtractEntry(name, true, base + PathRules::EntryNameToPath(below));
    }
}

void TZipTreeCommands::ExtractFile(const TZipNode* file)
{
    const QByteArray name = TZipTree::NodePath(file);
    TFileRequest request;
    request.Title = QStringLiteral("Save File As");
    request.Filter = QStringLiteral("All files (*.*)|*.*");
    request.Preset = FileOf(name);
    request.Options = TFileRequest::OverwritePrompt;
    const QString target = m_ui.SaveFileName(request);
    if (target.isEmpty())
        return;
    TSyncActions actions(m_current.Zip(), m_relDir, m_ui);
    actions.SetProjectFile(m_projectFile);
    actions.ExtractEntry(name, true, target);
}
