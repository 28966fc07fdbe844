#include "ZipBuild.h"

#include <ctime>

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "FileListBuilder.h"
#include "PathRules.h"
#include "ProjectFileCopy.h"
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
    qint64 UtcSeconds = 0;
    bool Clamped = false; // the time lies outside the MS-DOS range
    qint64 Size = 0;
};

[[noreturn]] void ThrowCannotOpen(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
}

#ifdef Q_OS_UNIX
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
    TEntryFile file{0, qint64(seconds), false, qint64(status.st_size)};
    if (localtime_r(&seconds, &local))
        file.DosTime = DosFromFields(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                     local.tm_hour, local.tm_min, local.tm_sec, &file.Clamped);
    return file;
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
    const QDateTime modified = info.lastModified();
    const QDate date = modified.date();
    const QTime time = modified.time();
    TEntryFile file{0, modified.toSecsSinceEpoch(), false, size};
    file.DosTime = DosFromFields(date.year(), date.month(), date.day(), time.hour(), time.minute(),
                                 time.second(), &file.Clamped);
    return file;
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
    const QString folder =
        m_project.MachineRelDir().isEmpty() ? m_project.RelDir() : m_project.MachineRelDir();
    request.Preset = lastInfo.isFile() ? last : folder + lastInfo.fileName();
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
    m_clamped.clear();
    if (!AskZipFileName())
        return false;
    TZipFile zip;
    {
        const TProgressCloser closer{m_ui};
        m_ui.SetProgressPosition(0);
        m_ui.SetProgressMaximum(100);
        m_ui.ShowProgress();
        BuildFileList(m_project, m_ui, m_fileList);
        SaveProjectFirst();
        ZipFiles(zip);
    }
    zip.SaveToFile(m_project.LastZipFile());
    return true;
}

// Saved after the file list (which sets the filter text) and before any file
// is zipped, so the archive holds the project file as it stays on disk.
void TZipBuild::SaveProjectFirst()
{
    if (m_saveProject)
        m_project.SaveProject(m_project.CFGFileName());
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
        const int entry = zip.Count() - 1;
        zip.SetDosDateTime(entry, file.DosTime, file.UtcSeconds);
        if (file.Clamped)
            m_clamped.insert(entry);
        if (PathRules::SamePath(item.Path, m_project.CFGFileName()))
            pipeline.Submit(entry, TProjectFileCopy::ForArchive(item.Path));
        else
            pipeline.Submit(entry, item.Path, file.Size);
        m_ui.ProcessEvents();
    }
    ++index;
    return !m_ui.Cancelled();
}

void TZipBuild::Report(const TZipFile& zip, int index)
{
    const TLocalFile& entry = zip.Entries.at(index);
    QString line = ReportLine(QString::fromLocal8Bit(entry.FileName), entry.CompressedSize,
                              entry.UncompressedSize);
    if (m_clamped.contains(index))
        line += ClampedNote(zip.GetDateTime(index), entry.FileDateTime);
    m_ui.ReportLine(line);
    m_bytesZipped += entry.UncompressedSize;
    if (m_bytesDone)
        m_bytesDone(m_bytesZipped, m_bytesTotal);
}

QString TZipBuild::ClampedNote(const QDateTime& time, quint32 dosDateTime)
{
    return QStringLiteral("  (time %1 outside the zip range, stored as %2)")
        .arg(time.toString(Qt::ISODate), DosToDateTime(dosDateTime).toString(Qt::ISODate));
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
