#include "SyncActions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "Exception.h"
#include "PathRules.h"
#include "Utils.h"
#include "ProjectFileCopy.h"
#include "ZipFile.h"
#include "ZipLookup.h"

namespace {
const TMsgButtons DeleteButtons =
    TMsgButton::Yes | TMsgButton::No | TMsgButton::Cancel | TMsgButton::YesToAll;

QByteArray ReadWholeFile(const QString& fileName)
{
    QFile file(fileName);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly))
        throw Exception(
            QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    return file.readAll();
}

QDateTime ModificationTime(const QString& fileName)
{
    return QFileInfo(fileName).fileTime(QFileDevice::FileModificationTime).toLocalTime();
}

void WriteWholeFile(const QString& fileName, const QByteArray& data)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw Exception(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
}

void EnsureDirectory(const QString& fileName)
{
    ForceDirectories(QFileInfo(fileName).path());
}

bool Refused(TMsgButton answer)
{
    return answer == TMsgButton::No || answer == TMsgButton::Cancel;
}
} // namespace

TSyncActions::TSyncActions(TZipFile& zip, QString relDir, TUserInterface& ui)
    : m_zip(zip), m_relDir(std::move(relDir)), m_ui(ui)
{}

QString TSyncActions::FullPath(const QString& path) const
{
    return PathRules::IsAbsolute(path) ? PathRules::ToNative(path)
                                       : m_relDir + PathRules::ToNative(path);
}

void TSyncActions::SetProjectFile(const QString& projectFile)
{
    m_projectFile = projectFile;
}

// The bytes that go into the archive for a file: the project file without
// its FTP password, any other file as it is.
QByteArray TSyncActions::ArchivedBytes(const QString& full) const
{
    if (!m_projectFile.isEmpty() && PathRules::SamePath(full, m_projectFile))
        return TProjectFileCopy::ForArchive(full);
    return ReadWholeFile(full);
}

void TSyncActions::AddFileToZip(const QString& path)
{
    const QString full = FullPath(path);
    const QByteArray data = ArchivedBytes(full);
    const QString relative = PathRules::PathToEntryName(PathRules::RelativePath(full, m_relDir));
    const QByteArray name = relative.toLocal8Bit();
    const int existing = FindEntry(name);
    if (existing >= 0)
        KeepVersion(existing);
    m_zip.AddEntry(name, 0);
    const int last = m_zip.Count() - 1;
    if (FindEntry(name) < 0)
        m_index.insert(PathRules::ExactEntryKey(name), last);
    m_folded[PathRules::EntryKey(name)].append(last);
    m_zip.SetDateTime(last, ModificationTime(full));
    m_zip.SetData(last, data);
    m_ui.ReportLine(QStringLiteral("File : %1 added").arg(full));
}

int TSyncActions::FindEntry(const QByteArray& name)
{
    if (!m_indexed) {
        m_index.clear();
        m_folded.clear();
        for (int i = m_zip.Count() - 1; i >= 0; --i)
            m_index.insert(PathRules::ExactEntryKey(m_zip.Entries.at(i).FileName), i);
        for (int i = 0; i < m_zip.Count(); ++i)
            m_folded[PathRules::EntryKey(m_zip.Entries.at(i).FileName)].append(i);
        m_indexed = true;
    }
    const int exact = m_index.value(PathRules::ExactEntryKey(name), -1);
    if (exact >= 0 || !PathRules::CaseSensitiveNames())
        return exact;
    return FoldedEntry(name);
}

// Where names keep their case, an entry that differs from the name in case
// only, provided it is the only such name and it is not the entry of another
// file (files of both names exist).
int TSyncActions::FoldedEntry(const QByteArray& name) const
{
    const QByteArray key = PathRules::EntryKey(name);
    int found = -1;
    for (const int index : m_folded.value(key)) {
        const QByteArray& candidate = m_zip.Entries.at(index).FileName;
        if (PathRules::EntryKey(candidate) != key)
            continue; // renamed to a version name meanwhile
        if (found >= 0 && PathRules::ExactEntryKey(candidate) !=
                              PathRules::ExactEntryKey(m_zip.Entries.at(found).FileName))
            return -1;
        if (found < 0)
            found = index;
    }
    const auto exists = [this](const QByteArray& entry) {
        return QFileInfo::exists(FullPath(QString::fromLocal8Bit(entry)));
    };
    if (found >= 0 && exists(name) && exists(m_zip.Entries.at(found).FileName))
        return -1;
    return found;
}

int TSyncActions::FindFile(const QByteArray& name)
{
    // Whether an entry is a version entry depends on its name alone.
    return IsVersionName(name) ? -1 : FindEntry(name);
}

// Renames the entry to the next free version name of its own name and moves
// the index of that name on to a later entry of that name, if there is one.
void TSyncActions::KeepVersion(int index)
{
    const QByteArray name = m_zip.Entries.at(index).FileName;
    const QByteArray version = m_zip.NextVersionName(QString::fromLocal8Bit(name)).toLocal8Bit();
    m_zip.RenameEntry(index, version);
    const QByteArray key = PathRules::ExactEntryKey(name);
    m_index.remove(key);
    for (int i = index + 1; i < m_zip.Count(); ++i)
        if (PathRules::ExactEntryKey(m_zip.Entries.at(i).FileName) == key) {
            m_index.insert(key, i);
            break;
        }
    const QByteArray versionKey = PathRules::ExactEntryKey(version);
    if (!m_index.contains(versionKey))
        m_index.insert(versionKey, index);
}

void TSyncActions::ReplaceFileInZip(const QString& path, const QByteArray& entryName)
{
    const int index = FindFile(entryName);
    const QString full = FullPath(path);
    if (path.isEmpty() || !QFileInfo(full).isFile()) {
        m_ui.ReportLine(QStringLiteral("File : %1 not found").arg(full));
        return;
    }
    if (index < 0) {
        m_ui.ReportLine(
            QStringLiteral("File : %1 not found").arg(QString::fromLocal8Bit(entryName)));
        return;
    }
    m_zip.SetData(index, ArchivedBytes(full));
    m_zip.SetDateTime(index, ModificationTime(full));
    m_ui.ReportLine(QStringLiteral("File : %1 replaced").arg(path));
}

bool TSyncActions::ExtractEntry(const QByteArray& entryName, bool ask, const QString& target)
{
    const int index = FindFile(entryName);
    if (index < 0)
        return false;
    if (ZipLookup::HasUnsafeCharacters(entryName))
        throw Exception(QStringLiteral("Invalid entry name \"%1\"")
                            .arg(QString::fromLocal8Bit(entryName.toPercentEncoding("\\/"))));
    const QString file =
        target.isEmpty() ? m_relDir + PathRules::EntryNameToPath(QString::fromLocal8Bit(entryName))
                         : target;
    if (PathRules::IsFolderEntryName(m_zip.Entries.at(index).FileName))
        return CreateFolder(file);
    EnsureDirectory(file);
    const QByteArray data = m_zip.GetData(index);
    if (ask && QFileInfo::exists(file) && !ConfirmOverwrite(file))
        return false;
    if (!m_projectFile.isEmpty() && PathRules::SamePath(file, m_projectFile)) {
        TProjectFileCopy::Restore(data, file);
        m_projectRestored = true;
    } else {
        WriteWholeFile(file, data);
    }
    m_ui.ReportLine(QStringLiteral("File : %1 added").arg(file));
    QFile written(file);
    if (written.open(QIODevice::ReadWrite))
        written.setFileTime(m_zip.GetDateTime(index), QFileDevice::FileModificationTime);
    return true;
}

// A folder entry stands for its folder: restoring it creates the folder
// (so empty folders travel too); no file is ever written under its name.
bool TSyncActions::CreateFolder(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return false;
    if (!QDir().mkpath(folder))
        throw Exception(QStringLiteral("Unable to create directory"));
    m_ui.ReportLine(QStringLiteral("Folder : %1 created").arg(folder));
    return true;
}

bool TSyncActions::ConfirmOverwrite(const QString& target)
{
    const QString text =
        QStringLiteral("File :\r\n%1\r\nalready exists.\r\nDo you really want to overide it?")
            .arg(target);
    return m_ui.Confirm(text, TMsgButton::Yes | TMsgButton::No | TMsgButton::Cancel) ==
           TMsgButton::Yes;
}

TMsgButton TSyncActions::DeleteFileAsk(const QString& path, bool ask)
{
    const QString full = FullPath(path);
    TMsgButton answer = TMsgButton::None;
    if (ask)
        answer = m_ui.Confirm(QStringLiteral("Do you want to delete file:\r\n%1").arg(full),
                              DeleteButtons);
    if (!Refused(answer) && (path.isEmpty() || !QFile::remove(full)))
        m_ui.ShowMessage(QStringLiteral("Error deleting file:\r\n%1").arg(full));
    return answer;
}

TMsgButton TSyncActions::DeleteEntryAsk(const QByteArray& entryName, bool ask)
{
    TMsgButton answer = TMsgButton::None;
    if (ask)
        answer = m_ui.Confirm(QStringLiteral("Do you want to delete zip file:\r\n%1")
                                  .arg(QString::fromLocal8Bit(entryName)),
                              DeleteButtons);
    if (!Refused(answer)) {
        ZipLookup::RemoveEntryAt(m_zip, FindEntry(entryName));
        m_indexed = false; // later entries moved up one place
    }
    return answer;
}
