#include "SyncActions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "Exception.h"
#include "PathRules.h"
#include "Utils.h"
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

void TSyncActions::AddFileToZip(const QString& path)
{
    const QString full = FullPath(path);
    const QByteArray data = ReadWholeFile(full);
    const QString relative = PathRules::PathToEntryName(PathRules::RelativePath(full, m_relDir));
    const QByteArray name = relative.toLocal8Bit();
    const int existing = FindEntry(name);
    if (existing >= 0)
        KeepVersion(existing, relative);
    m_zip.AddEntry(name, 0);
    const int last = m_zip.Count() - 1;
    if (FindEntry(name) < 0)
        m_index.insert(PathRules::EntryKey(name), last);
    m_zip.SetDateTime(last, ModificationTime(full));
    m_zip.SetData(last, data);
    m_ui.ReportLine(QStringLiteral("File : %1 added").arg(full));
}

int TSyncActions::FindEntry(const QByteArray& name)
{
    if (!m_indexed) {
        m_index.clear();
        for (int i = m_zip.Count() - 1; i >= 0; --i)
            m_index.insert(PathRules::EntryKey(m_zip.Entries.at(i).FileName), i);
        m_indexed = true;
    }
    return m_index.value(PathRules::EntryKey(name), -1);
}

int TSyncActions::FindFile(const QByteArray& name)
{
    // Whether an entry is a version entry depends on its name alone.
    return IsVersionName(name) ? -1 : FindEntry(name);
}

// Renames the entry to the next free version name and moves the index of
// its old name on to a later entry of that name, if there is one.
void TSyncActions::KeepVersion(int index, const QString& name)
{
    const QByteArray version = m_zip.NextVersionName(name).toLocal8Bit();
    m_zip.RenameEntry(index, version);
    const QByteArray key = PathRules::EntryKey(name.toLocal8Bit());
    m_index.remove(key);
    for (int i = index + 1; i < m_zip.Count(); ++i)
        if (PathRules::EntryKey(m_zip.Entries.at(i).FileName) == key) {
            m_index.insert(key, i);
            break;
        }
    const QByteArray versionKey = PathRules::EntryKey(version);
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
    m_zip.SetData(index, ReadWholeFile(full));
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
    EnsureDirectory(file);
    const QByteArray data = m_zip.GetData(index);
    if (ask && QFileInfo::exists(file) && !ConfirmOverwrite(file))
        return false;
    WriteWholeFile(file, data);
    m_ui.ReportLine(QStringLiteral("File : %1 added").arg(file));
    QFile written(file);
    if (written.open(QIODevice::ReadWrite))
        written.setFileTime(m_zip.GetDateTime(index), QFileDevice::FileModificationTime);
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
