#include "SyncComparison.h"

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

#include <QFile>
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
// The progress shows the current name at most this often; building the
// abbreviated name for each of many small files costs more than comparing.
constexpr qint64 kProgressMs = 50;

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
    try {
        CompareAll();
    } catch (...) {
        m_ui.CloseProgress(); // the display never outlives a failed comparison
        throw;
    }
    m_ui.CloseProgress();
    return m_list.ItemCount();
}

void TSyncComparison::CompareAll()
{
    TSyncDates::ReadTimeZone();
    TFileList files;
    BuildFileList(m_project, m_ui, files);
    m_list.ClearItems();
    m_list.SetZipHeader(QStringLiteral("Zip:") +
                        AbbreviatePath(m_current.FileName(), 1, true, false));
    m_list.SetFileHeader(m_project.RelDir());
    m_entries = ZipLookup::IndexFileEntries(m_current.Zip());
    m_relDirPrefix = PathRules::ToNative(m_project.RelDir());
    if (!m_relDirPrefix.endsWith(PathRules::NativeSeparator()))
        m_relDirPrefix.clear();
    m_paired.assign(size_t(m_current.Zip().Count()), false);
    FirstPass(files.Paths());
    SecondPass();
}

void TSyncComparison::FirstPass(const QStringList& files)
{
    m_ui.SetProgressMaximum(int(files.size()));
    m_progressClock.invalidate();
    for (int i = 0; i < files.size(); ++i) {
        if (ProgressDue(i, int(files.size()))) {
            m_ui.SetProgressText(AbbreviatePath(files.at(i), 0, true, true));
            m_ui.SetProgressPosition(i);
            m_ui.ProcessEvents();
        }
        if (m_ui.Cancelled())
            break;
        CompareFile(files.at(i));
    }
}

void TSyncComparison::CompareFile(const QString& file)
{
    const QString relative = RelativeToRelDir(file);
    // The key folds '/' to '\\' itself, so the path needs no entry-name form first.
    const QByteArray key = PathRules::EntryKey(relative.toLocal8Bit());
    const int entry = m_entries.value(key, -1);
    TFileStamp stamp;
    if (!ReadFileStamp(file, stamp))
        return; // the list names a file that is gone (the project file before its first save)
    if (entry < 0) {
        m_list.AddItem(FileFields(stamp, relative), soCopyMissingToZip);
        return;
    }
    m_paired[size_t(entry)] = true;
    // The file's time as the entry would hold it, with the 2-second steps of
    // the MS-DOS form. Equal stored values are the same moment; different
    // ones may still be (a local hour that occurs twice), so those compare
    // as times.
    const quint32 fileDos = TSyncDates::EntryDosTime(stamp.Modified);
    if (fileDos == m_current.Zip().Entries.at(entry).FileDateTime)
        return;
    const QDateTime entryTime = m_current.Zip().GetDateTime(entry);
    const QDateTime fileTime = DosToDateTime(fileDos);
    if (fileTime == entryTime)
        return;
    TSyncItem item = FileFields(stamp, relative);
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
    m_progressClock.invalidate();
    for (int j = 0; j < count; ++j) {
        if (ProgressDue(j, count)) {
            m_ui.SetProgressPosition(j);
            m_ui.ProcessEvents();
            const QString nameText = QString::fromLocal8Bit(m_current.Zip().GetName(j));
            m_ui.SetProgressText(AbbreviatePath(EntryPath(nameText), 0, true, true));
        }
        CompareEntry(j);
    }
}

void TSyncComparison::CompareEntry(int index)
{
    if (m_paired[size_t(index)])
        return;
    const QByteArray name = m_current.Zip().GetName(index);
    if (IsVersionName(name) || m_dates.IsShortDate(FirstFolder(name)))
        return;
    const QString nameText = QString::fromLocal8Bit(name);
    if (QFileInfo::exists(EntryPath(nameText)))
        return;
    const bool foreign =
        PathRules::EntryEscapesBase(nameText) || ZipLookup::HasUnsafeCharacters(name);
    m_list.AddItem(EntryFields(index), foreign ? soNoSync : soCopyMissingToFileSystem);
}

// Where the entry's file is: an absolute name as it stands, any other below RelDir.
QString TSyncComparison::EntryPath(const QString& nameText) const
{
    return PathRules::IsAbsolute(nameText)
               ? PathRules::ToNative(nameText)
               : m_project.RelDir() + PathRules::EntryNameToPath(nameText);
}

// PathRules::RelativePath(file, RelDir) without splitting both paths into
// parts for the usual file: one that starts with RelDir and holds only native
// separators is the rest of its path.
QString TSyncComparison::RelativeToRelDir(const QString& file) const
{
    const QChar foreign =
        PathRules::NativeSeparator() == QLatin1Char('/') ? QLatin1Char('\\') : QLatin1Char('/');
    if (!m_relDirPrefix.isEmpty() && file.size() > m_relDirPrefix.size() &&
        file.startsWith(m_relDirPrefix) && !file.contains(foreign))
        return file.mid(m_relDirPrefix.size());
    return PathRules::RelativePath(file, m_project.RelDir());
}

// True when the progress should show item `index` of `count`: the first one,
// the last one, and otherwise once per kProgressMs.
bool TSyncComparison::ProgressDue(int index, int count)
{
    if (index + 1 < count && m_progressClock.isValid() && m_progressClock.elapsed() < kProgressMs)
        return false;
    m_progressClock.start();
    return true;
}

// One stat() per file on Linux: QFileInfo would add a time-zone conversion
// of the time, which costs more than the stat itself.
bool TSyncComparison::ReadFileStamp(const QString& path, TFileStamp& stamp)
{
#ifdef Q_OS_LINUX
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    stamp.Size = qint64(status.st_size);
    stamp.Modified = qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
#else
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    stamp.Size = info.size();
    stamp.Modified = info.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch();
#endif
    return true;
}

TSyncItem TSyncComparison::FileFields(const TFileStamp& stamp, const QString& relative)
{
    TSyncItem item;
    item.FilePath = relative;
    item.FileDate = TSyncDates::DisplayDateTime(
        QDateTime::fromMSecsSinceEpoch(stamp.Modified, Qt::UTC).toLocalTime());
    item.FileSize = QString::number(stamp.Size);
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
