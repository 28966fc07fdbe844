#include "ZipBuild.h"

#include <ctime>

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "FileListBuilder.h"
#include "PathRules.h"
#include "UserInterface.h"
#include "Utils.h"
#include "ZipFile.h"
#include "ZipProject.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
struct TEntryFile {
    quint32 DosTime = 0;
    qint64 Size = 0;
};

[[noreturn]] void ThrowCannotOpen(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
}

// A time without an MS-DOS form (before 1980 or after 2107) ends the build.
quint32 CheckedDosTime(quint32 dosTime)
{
    if (dosTime == 0)
        throw Exception(QStringLiteral("Invalid argument to date encode"));
    return dosTime;
}

#ifdef Q_OS_UNIX
// The MS-DOS form of a local calendar time; 0 when it has none.
quint32 LocalToDos(const tm& local)
{
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107)
        return 0;
    const quint32 dosTime = quint32(local.tm_sec / 2 + local.tm_min * 32 + local.tm_hour * 2048);
    const quint32 dosDate = quint32(local.tm_mday + (local.tm_mon + 1) * 32 + (year - 1980) * 512);
    return dosDate << 16 | dosTime;
}

// The file's size and its modification time as the archive stores it, from
// one stat(). localtime_r() reads the time zone once per process, where each
// QDateTime conversion to local time checks the zone file anew: on a tree of
// tiny files that check costs as much as reading the file.
TEntryFile StatEntryFile(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        ThrowCannotOpen(path);
    const time_t seconds = status.st_mtime;
    tm local{};
    const quint32 dosTime = localtime_r(&seconds, &local) ? LocalToDos(local) : 0;
    return {CheckedDosTime(dosTime), qint64(status.st_size)};
}
#else
// The file's size and its modification time as the archive stores it.
// Asking the size first fetches every attribute in one call, which then also
// answers whether the file exists.
TEntryFile StatEntryFile(const QString& path)
{
    const QFileInfo info(path);
    const qint64 size = info.size();
    if (!info.exists())
        ThrowCannotOpen(path);
    return {CheckedDosTime(DateTimeToDos(info.lastModified())), size};
}
#endif

// Closes the progress display however the run ends.
struct TProgressCloser {
    TUserInterface& Ui;
    ~TProgressCloser() { Ui.CloseProgress(); }
};
} // namespace

TZipBuild::TZipBuild(TZipProject& project, TUserInterface& ui) : m_project(project), m_ui(ui)
{}

bool TZipBuild::AskZipFileName()
{
    const QString last = m_project.LastZipFile();
    const QFileInfo lastInfo(last);
    TFileRequest request;
    request.Title = QStringLiteral("Save As Zip File");
    request.Filter = QStringLiteral("Zip Files(*.zip)|*.zip|All Files |*.*");
    request.DefaultExt = QStringLiteral(".zip");
    request.Preset = lastInfo.isFile() ? last : m_project.MachineRelDir() + lastInfo.fileName();
    request.Options = TFileRequest::OverwritePrompt;
    const QString chosen = m_ui.SaveFileName(request);
    if (chosen.isEmpty())
        return false;
    m_project.SetLastZipFile(chosen);
    return true;
}

bool TZipBuild::Run()
{
    m_fileList.Clear();
    m_ui.ClearReport();
    if (!AskZipFileName())
        return false;
    TZipFile zip;
    {
        const TProgressCloser closer{m_ui};
        m_ui.SetProgressPosition(0);
        m_ui.SetProgressMaximum(100);
        m_ui.ShowProgress();
        BuildFileList(m_project, m_ui, m_fileList);
        ZipFiles(zip);
    }
    zip.SaveToFile(m_project.LastZipFile());
    return true;
}

void TZipBuild::ZipFiles(TZipFile& zip)
{
    m_ui.SetProgressMaximum(int(m_fileList.Count()));
    m_ui.SetProgressPosition(0);
    m_ui.SetProgressTitle(QStringLiteral("Zipping : %1")
                              .arg(AbbreviatePath(m_project.LastZipFile(), 2, false, true)));
    m_ui.ShowProgress();
    m_bytesZipped = 0;
    m_bytesTotal = 0;
    if (m_bytesDone)
        for (qsizetype i = 0; i < m_fileList.Count(); ++i)
            if (m_fileList.Item(i).Checked)
                m_bytesTotal += QFileInfo(m_fileList.Item(i).Path).size();
    TZipBuildPipeline pipeline(zip, m_threads, [&](int index) { Report(zip, index); });
    qsizetype index = 0;
    while (ZipNext(index, zip, pipeline)) {
    }
    pipeline.Finish();
}

// Zips the file at `index` when it is ticked and moves on; false when the
// list is done or the user cancelled.
bool TZipBuild::ZipNext(qsizetype& index, TZipFile& zip, TZipBuildPipeline& pipeline)
{
    if (index >= m_fileList.Count())
        return false;
    m_ui.SetProgressPosition(int(index));
    const TFileList::TItem& item = m_fileList.Item(index);
    if (item.Checked) {
        const QString name =
            PathRules::PathToEntryName(RelativePath(item.Path, m_project.RelDir()));
        m_ui.SetProgressText(name);
        const TEntryFile file = StatEntryFile(item.Path);
        zip.AddEntry(name.toLocal8Bit(), 0);
        zip.SetDosDateTime(zip.Count() - 1, file.DosTime);
        pipeline.Submit(zip.Count() - 1, item.Path, file.Size);
        m_ui.ProcessEvents();
    }
    ++index;
    return !m_ui.Cancelled();
}

void TZipBuild::Report(const TZipFile& zip, int index)
{
    const TLocalFile& entry = zip.Entries.at(index);
    m_ui.ReportLine(ReportLine(QString::fromLocal8Bit(entry.FileName), entry.CompressedSize,
                               entry.UncompressedSize));
    m_bytesZipped += entry.UncompressedSize;
    if (m_bytesDone)
        m_bytesDone(m_bytesZipped, m_bytesTotal);
}

// An empty file has no ratio; its line shows 0.00, as for a file that takes
// no room.
QString TZipBuild::ReportLine(const QString& name, qint64 compressed, qint64 uncompressed)
{
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const double ratio =
        uncompressed == 0 ? 0.0 : double(compressed) * 100.0 / double(uncompressed);
    return QStringLiteral("%1  %2 %3 %4 %")
        .arg(name, QString::number(compressed), QString::number(uncompressed),
             locale.toString(ratio, 'f', 2));
}
