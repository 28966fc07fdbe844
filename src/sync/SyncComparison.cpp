#include "SyncComparison.h"

#include <future>

#include <QFile>
#include <QtMath>
#include <QFileInfo>

#include "CurrentZip.h"
#include "Exception.h"
#include "ExtendedTime.h"
#include "NamePairing.h"
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
// Files whose stamps are read at once, on several threads; between blocks
// the progress and a cancel are seen no later than after each file.
constexpr int kStampBlock = 4096;

// The text before the first separator of an entry name; empty without one.
QString FirstFolder(const QByteArray& name)
{
    for (qsizetype i = 0; i < name.size(); ++i)
        if (name.at(i) == '\\' || name.at(i) == '/')
            return QString::fromLocal8Bit(name.left(i));
    return QString();
}

bool DosTimeReadable(quint32 dosDateTime)
{
    QDate date;
    QTime time;
    try {
        DecodeDos(dosDateTime, date, time);
    } catch (const Exception&) {
        return false;
    }
    return true;
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
    return CompareLoading(QString());
}

int TSyncComparison::CompareWithArchive(const QString& fileName)
{
    return CompareLoading(fileName);
}

int TSyncComparison::CompareLoading(const QString& archive)
{
    m_ui.SetProgressPosition(0);
    m_ui.ShowProgress();
    m_ui.SetProgressTitle(QStringLiteral("Syncronize ..."));
    m_ui.SetProgressText(QStringLiteral("Building List ..."));
    m_ui.ProcessEvents();
    try {
        CompareAll(archive);
    } catch (...) {
        m_pairing.reset();
        m_ui.CloseProgress(); // the display never outlives a failed comparison
        throw;
    }
    m_pairing.reset();
    m_ui.CloseProgress();
    return m_list.ItemCount();
}

void TSyncComparison::CompareAll(const QString& archive)
{
    TSyncDates::ReadTimeZone();
    ListFilesWhileIndexing(archive);
    m_list.ClearItems();
    m_list.SetZipHeader(QStringLiteral("Zip:") +
                        AbbreviatePath(m_current.FileName(), 1, true, false));
    m_list.SetFileHeader(m_project.RelDir());
    m_relDirPrefix = PathRules::ToNative(m_project.RelDir());
    if (!m_relDirPrefix.endsWith(PathRules::NativeSeparator()))
        m_relDirPrefix.clear();
    m_relDirPrefixBytes = QFile::encodeName(m_relDirPrefix);
    m_paired.assign(size_t(m_current.Zip().Count()), false);
    m_projectFileIndex = -1;
    for (qsizetype i = m_files.size() - 1; i >= 0 && m_projectFileIndex < 0; --i)
        if (PathRules::SamePath(m_files.at(i), m_project.CFGFileName()))
            m_projectFileIndex = int(i);
    m_pairing.reset();
    FirstPass();
    SecondPass();
}

// The file list is built on this thread (it shows its progress) while
// another one loads the archive, when one is to be loaded, and indexes its
// entry names: the two take about as long. The first files' stamps are read
// while the index may still be in the making. An archive that was loaded
// before is indexed here, after the walk: the window's events, run during
// the walk, may change it.
void TSyncComparison::ListFilesWhileIndexing(const QString& archive)
{
    std::future<void> loading;
    if (!archive.isEmpty())
        loading = std::async(std::launch::async, [this, archive] {
            m_current.LoadZipTree(archive, nullptr, false);
            m_entries = TEntryIndex(m_current.Zip());
        });
    TFileList files;
    BuildFileList(m_project, m_ui, files);
    m_files = files.Paths();
    ReadStamps(0);
    if (loading.valid())
        loading.get(); // a failed load fails the comparison here
    else
        m_entries = TEntryIndex(m_current.Zip());
}

void TSyncComparison::ReadStamps(qsizetype first)
{
    m_stamps.Read(m_files, first, qMin<qsizetype>(first + kStampBlock, m_files.size()));
}

void TSyncComparison::FirstPass()
{
    const QStringList& files = m_files;
    m_ui.SetProgressMaximum(int(files.size()));
    m_progressClock.invalidate();
    for (int i = 0; i < files.size(); ++i) {
        if (!m_stamps.Holds(i))
            ReadStamps(i);
        if (ProgressDue(i, int(files.size()))) {
            m_ui.SetProgressText(AbbreviatePath(files.at(i), 0, true, true));
            m_ui.SetProgressPosition(i);
            m_ui.ProcessEvents();
        }
        if (m_ui.Cancelled())
            break;
        CompareFile(i);
    }
}

void TSyncComparison::CompareFile(int fileIndex)
{
    if (!m_stamps.Exists(fileIndex))
        return; // the list names a file that is gone (the project file before its first save)
    const QString& file = m_files.at(fileIndex);
    const TFileStamp& stamp = m_stamps.Stamp(fileIndex);
    const int entry = PairedEntry(RelativeBytes(file, m_stamps.Path(fileIndex)));
    if (entry < 0) {
        m_list.AddItem(FileFields(stamp, RelativeToRelDir(file)), soCopyMissingToZip);
        return;
    }
    m_paired[size_t(entry)] = true;
    const TSyncOperation operation = CompareTimes(stamp, entry);
    if (operation == soNoSync && (SameSize(stamp, entry) || fileIndex == m_projectFileIndex))
        return;
    TSyncItem item = FileFields(stamp, RelativeToRelDir(file));
    const TSyncItem entryItem = EntryFields(entry);
    item.EntryName = entryItem.EntryName;
    item.EntryDate = entryItem.EntryDate;
    item.EntrySize = entryItem.EntrySize;
    m_list.AddItem(item, operation);
}

// The entry a file pairs with: the one of its exact name first; where names
// keep their case, one that differs in case only when that is unambiguous
// (see TNamePairing).
int TSyncComparison::PairedEntry(const QByteArray& relative)
{
    // The key folds '/' to '\\' itself, so the path needs no entry-name form first.
    const int exact = m_entries.Find(relative);
    if (exact >= 0 || !PathRules::CaseSensitiveNames())
        return exact;
    if (!m_pairing)
        m_pairing = std::make_unique<TNamePairing>(
            m_entries.ByKey(),
            [this](int i) { return RelativeToRelDir(m_files.at(i)).toLocal8Bit(); },
            int(m_files.size()));
    return m_pairing->FoldedEntry(relative);
}

// "=" (equal), "=>" or "<=" by the times. With an agreeing extended timestamp
// the entry's UTC second counts, equal within one second (FAT drives keep
// even seconds); otherwise the file's time in MS-DOS form, as the entry
// would hold it. A time that cannot be read is never a reason to overwrite
// the file: such a pair is listed with "=".
TSyncOperation TSyncComparison::CompareTimes(const TFileStamp& stamp, int entry) const
{
    const TLocalFile& local = m_current.Zip().Entries.at(entry);
    if (const std::optional<qint64> utc =
            ExtendedTime::EntryTime(local.ExtraField, local.FileDateTime)) {
        const qint64 fileSeconds = qFloor(double(stamp.Modified) / 1000.0);
        const qint64 difference = fileSeconds - *utc;
        if (qAbs(difference) <= 1)
            return soNoSync;
        return difference > 0 ? soCopyToZip : soCopyToFileSystem;
    }
    // Equal stored values are the same moment; different ones may still be
    // (a local hour that occurs twice), so those compare as times.
    const quint32 fileDos = TSyncDates::EntryDosTime(stamp.Modified);
    if (fileDos == local.FileDateTime)
        return soNoSync;
    QDateTime entryTime;
    try {
        entryTime = DosToDateTime(local.FileDateTime);
    } catch (const Exception&) {
        return soNoSync; // listed, so the user sees it; see CompareFile
    }
    const QDateTime fileTime = DosToDateTime(fileDos);
    if (fileTime == entryTime)
        return soNoSync;
    return fileTime > entryTime ? soCopyToZip : soCopyToFileSystem;
}

bool TSyncComparison::SameSize(const TFileStamp& stamp, int entry) const
{
    const TLocalFile& local = m_current.Zip().Entries.at(entry);
    if (!ExtendedTime::EntryTime(local.ExtraField, local.FileDateTime) &&
        !DosTimeReadable(local.FileDateTime))
        return false;
    return stamp.Size == qint64(local.UncompressedSize);
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
    // A folder entry stands for its folder; a file entry for a file.
    const QFileInfo info(EntryPath(nameText));
    if (PathRules::IsFolderEntryName(name) ? info.isDir() : info.exists())
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

// RelativeToRelDir(file) in local 8-bit form, for a file whose local 8-bit
// form is `path`: for the usual file the rest of the path after RelDir,
// which shares the bytes of `path` and lives no longer than it.
QByteArray TSyncComparison::RelativeBytes(const QString& file, const QByteArray& path) const
{
    if (IsBelowRelDirPrefix(file))
        return QByteArray::fromRawData(path.constData() + m_relDirPrefixBytes.size(),
                                       path.size() - m_relDirPrefixBytes.size());
    return RelativeToRelDir(file).toLocal8Bit();
}

// PathRules::RelativePath(file, RelDir) without splitting both paths into
// parts for the usual file (see IsBelowRelDirPrefix): the rest of its path.
QString TSyncComparison::RelativeToRelDir(const QString& file) const
{
    if (IsBelowRelDirPrefix(file))
        return file.mid(m_relDirPrefix.size());
    return PathRules::RelativePath(file, m_project.RelDir());
}

// A file that starts with RelDir and holds only native separators.
bool TSyncComparison::IsBelowRelDirPrefix(const QString& file) const
{
    const QChar foreign =
        PathRules::NativeSeparator() == QLatin1Char('/') ? QLatin1Char('\\') : QLatin1Char('/');
    return !m_relDirPrefix.isEmpty() && file.size() > m_relDirPrefix.size() &&
           file.startsWith(m_relDirPrefix) && !file.contains(foreign);
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
    // An entry whose MS-DOS time holds no date shows no date rather than
    // ending the whole comparison.
    const TLocalFile& local = zip.Entries.at(index);
    if (ExtendedTime::EntryTime(local.ExtraField, local.FileDateTime) ||
        DosTimeReadable(local.FileDateTime))
        item.EntryDate = TSyncDates::DisplayDateTime(zip.GetDateTime(index));
    item.EntrySize = QString::number(zip.Entries.at(index).UncompressedSize);
    return item;
}
