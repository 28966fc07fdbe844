#pragma once

#include <functional>

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
// Cancelling stops after the current file and still writes the archive with
// the files so far. A file that cannot be read, or whose time has no MS-DOS
// form, ends the run with the error and writes no archive.
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

private:
    void ZipFiles(TZipFile& zip);
    bool ZipNext(qsizetype& index, TZipFile& zip, TZipBuildPipeline& pipeline);
    void Report(const TZipFile& zip, int index);

    TZipProject& m_project;
    TUserInterface& m_ui;
    TFileList m_fileList;
    int m_threads = TZipBuildPipeline::DefaultThreads();
    TBytesDone m_bytesDone;
    qint64 m_bytesZipped = 0;
    qint64 m_bytesTotal = 0;
};
