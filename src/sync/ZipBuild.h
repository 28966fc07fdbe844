#pragma once

#include <functional>

#include <QDateTime>
#include <QSet>
#include <QString>

#include "FileList.h"
#include "ZipBuildPipeline.h"

class TUserInterface;
class TZipFile;
class TZipProject;

// "Zip them": writes the project's files into a new archive. It asks for the
// archive's name, rebuilds the file list from the command rows, stores every
// ticked file deflated under its path relative to RelDir with its
// modification time, writes a report line per file and finally writes the
// whole archive, replacing any file of that name. Files are deflated on
// worker threads (see TZipBuildPipeline) and read in slices, so memory holds
// the compressed archive and never a whole file.
//
// Every entry carries the MS-DOS time and the extended timestamp (UTC). A
// time outside the MS-DOS range is stored as the nearest MS-DOS time plus the
// exact timestamp, and its report line says so. The project file goes in
// without its FTP password.
//
// Cancelling stops after the current file and still writes the archive with
// the files so far. A file that cannot be read ends the run with the error
// and writes no archive.
class TZipBuild {
public:
    TZipBuild(TZipProject& project, TUserInterface& ui);

    // Worker threads that deflate the files; 1 deflates on the calling thread.
    // The archive is the same whatever the count.
    void SetThreads(int threads) { m_threads = threads; }
    // Called after each file is zipped with the bytes zipped so far and the
    // bytes of all ticked files (a progress that a large file moves evenly).
    using TBytesDone = std::function<void(qint64 done, qint64 total)>;
    void SetBytesDone(TBytesDone bytesDone) { m_bytesDone = std::move(bytesDone); }
    // Saves the project before its file is archived (for callers that save
    // it after the build anyway), so the archive holds it as it is on disk.
    void SetSaveProject(bool save) { m_saveProject = save; }

    // Asks for the archive's name; on accept it becomes the project's
    // LastZipFile and the result is true.
    bool AskZipFileName();
    // The whole command; true when an archive was written (then the caller
    // shows LastZipFile), false when the user declined the name.
    bool Run();

    // The file list of the last run.
    const TFileList& FileList() const { return m_fileList; }
    // The report line of an entry: name, sizes and the compression ratio.
    static QString ReportLine(const QString& name, qint64 compressed, qint64 uncompressed);
    // What a report line adds for a time stored clamped to the MS-DOS range.
    static QString ClampedNote(const QDateTime& time, quint32 dosDateTime);

private:
    void ZipFiles(TZipFile& zip);
    bool ZipNext(qsizetype& index, TZipFile& zip, TZipBuildPipeline& pipeline);
    void Report(const TZipFile& zip, int index);
    void SaveProjectFirst();

    TZipProject& m_project;
    TUserInterface& m_ui;
    TFileList m_fileList;
    int m_threads = TZipBuildPipeline::DefaultThreads();
    TBytesDone m_bytesDone;
    qint64 m_bytesZipped = 0;
    qint64 m_bytesTotal = 0;
    bool m_saveProject = false;
    QSet<int> m_clamped; // entries whose time was clamped
};
