#include "SyncComparison.h"

#include <QFileInfo>

#include "CurrentZip.h"
#include "FileList.h"
#include "FileListBuilder.h"
#include "PathRules.h"
#include "SyncListModel.h"
#include "UserInterface.h"
#include "Utils.h"
#include "ZipFile.h"
#include "ZipLookup.h"
#include "ZipProject.h"

namespace {
// A file's time as an entry would hold it: through the MS-DOS form with its
// 2-second resolution.
QDateTime AsEntryTime(const QDateTime& fileTime)
{
    return DosToDateTime(DateTimeToDos(fileTime.toLocalTime()));
}

// The text before the first separator of an entry name; empty without one.
QString FirstFolder(const QByteArray& name)
{
    for (qsizetype i = 0; i < name.size(); ++i)
        if (name.at(i) == '\\' || name.at(i) == '/')
            return QString::fromLocal8Bit(name.left(i));
    return QString();
}
} // namespace

TSyncComparison::TSyncComparison(TZipProject& project, TCurrentZip& current, TUserInterface& ui,
                                 TSyncListModel& list)
    : m_project(project), m_current(current), m_ui(ui), m_list(list)
{}

bool TSyncComparison::CompareZipWithFiles()
{
    if (!m_current.HasZip())
        return false;
    if (Compare() > 0)
        return true;
    m_ui.ShowMessage(QStringLiteral("Files are synchronized!"));
    return false;
}

int TSyncComparison::Compare()
{
    if (!m_current.HasZip())
        return 0;
    m_ui.SetProgressPosition(0);
    m_ui.ShowProgress();
    m_ui.SetProgressTitle(QStringLiteral("Syncronize ..."));
    m_ui.SetProgressText(QStringLiteral("Building List ..."));
    m_ui.ProcessEvents();
    TFileList files;
    BuildFileList(m_project, m_ui, files);
    m_list.ClearItems();
    m_list.SetZipHeader(QStringLiteral("Zip:") +
                        AbbreviatePath(m_current.FileName(), 1, true, false));
    m_list.SetFileHeader(m_project.RelDir());
    m_entries = ZipLookup::IndexFileEntries(m_current.Zip());
    m_paired.clear();
    FirstPass(files.Paths());
    SecondPass();
    m_ui.CloseProgress();
    return m_list.ItemCount();
}

void TSyncComparison::FirstPass(const QStringList& files)
{
    m_ui.SetProgressMaximum(int(files.size()));
    for (int i = 0; i < files.size(); ++i) {
        m_ui.SetProgressText(AbbreviatePath(files.at(i), 0, true, true));
        m_ui.SetProgressPosition(i);
        m_ui.ProcessEvents();
        if (m_ui.Cancelled())
            break;
        CompareFile(files.at(i));
    }
}

void TSyncComparison::CompareFile(const QString& file)
{
    const QString relative = PathRules::RelativePath(file, m_project.RelDir());
    const QByteArray key = PathRules::EntryKey(PathRules::PathToEntryName(relative).toLocal8Bit());
    const int entry = m_entries.value(key, -1);
    const QFileInfo info(file);
    if (!info.isFile())
        return; // the list names a file that is gone (the project file before its first save)
    if (entry < 0) {
        m_list.AddItem(FileFields(info, relative), soCopyMissingToZip);
        return;
    }
    m_paired.insert(entry);
    const QDateTime entryTime = m_current.Zip().GetDateTime(entry);
    const QDateTime fileTime = AsEntryTime(info.fileTime(QFileDevice::FileModificationTime));
    if (fileTime == entryTime)
        return;
    TSyncItem item = FileFields(info, relative);
    const TSyncItem entryItem = EntryFields(entry);
    item.EntryName = entryItem.EntryName;
    item.EntryDate = entryItem.EntryDate;
    item.EntrySize = entryItem.EntrySize;
    m_list.AddItem(item, fileTime > entryTime ? soCopyToZip : soCopyToFileSystem);
}

void TSyncComparison::SecondPass()
{
    const int count = m_current.Zip().Count();
    m_ui.SetProgressPosition(0);
    m_ui.SetProgressMaximum(qMax(1, count - 1));
    for (int j = 0; j < count; ++j) {
        m_ui.SetProgressPosition(j);
        m_ui.ProcessEvents();
        CompareEntry(j);
    }
}

void TSyncComparison::CompareEntry(int index)
{
    const QByteArray name = m_current.Zip().GetName(index);
    const QString nameText = QString::fromLocal8Bit(name);
    const QString path = PathRules::IsAbsolute(nameText)
                             ? PathRules::ToNative(nameText)
                             : m_project.RelDir() + PathRules::EntryNameToPath(nameText);
    m_ui.SetProgressText(AbbreviatePath(path, 0, true, true));
    if (m_paired.contains(index) || IsVersionName(name) || m_dates.IsShortDate(FirstFolder(name)))
        return;
    if (QFileInfo::exists(path))
        return;
    const bool foreign =
        PathRules::EntryEscapesBase(nameText) || ZipLookup::HasUnsafeCharacters(name);
    m_list.AddItem(EntryFields(index), foreign ? soNoSync : soCopyMissingToFileSystem);
}

TSyncItem TSyncComparison::FileFields(const QFileInfo& info, const QString& relative)
{
    TSyncItem item;
    item.FilePath = relative;
    item.FileDate =
        TSyncDates::DisplayDateTime(info.fileTime(QFileDevice::FileModificationTime).toLocalTime());
    item.FileSize = QString::number(info.size());
    return item;
}

TSyncItem TSyncComparison::EntryFields(int index) const
{
    const TZipFile& zip = m_current.Zip();
    TSyncItem item;
    item.EntryName = QString::fromLocal8Bit(zip.GetName(index));
    item.EntryDate = TSyncDates::DisplayDateTime(zip.GetDateTime(index));
    item.EntrySize = QString::number(zip.Entries.at(index).UncompressedSize);
    return item;
}
