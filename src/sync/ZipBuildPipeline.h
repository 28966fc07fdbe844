#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include <QString>
#include <QThreadPool>

#include "ZipFile.h"

// Compresses the files of a new archive on worker threads and stores the
// results into the archive strictly in the order the entries were submitted.
// The archive is therefore the same, byte for byte, whatever the number of
// threads, and the callback that writes each entry's report line runs in
// entry order on the caller's thread.
//
// Workers read their file in slices while they deflate it, so memory holds
// the compressed entries plus a slice per worker, never a whole file. At most
// two files per thread wait for or sit in a worker at a time. Worker errors
// travel back as text and are raised on the caller's thread when their entry
// is due.
class TZipBuildPipeline {
public:
    using TStored = std::function<void(int index)>;

    // threads <= 1 deflates on the caller's thread as each file arrives.
    TZipBuildPipeline(TZipFile& zip, int threads, TStored onStored);
    ~TZipBuildPipeline();
    TZipBuildPipeline(const TZipBuildPipeline&) = delete;
    TZipBuildPipeline& operator=(const TZipBuildPipeline&) = delete;

    // Deflates the file for entry `index`; entries finished meanwhile are stored.
    void Submit(int index, const QString& path);
    // Waits for every submitted entry and stores it.
    void Finish();

    static int DefaultThreads();

private:
    struct TJob {
        int Index = 0;
        QString Path;
        bool Done = false;
        TZipFile::TDeflated Result;
        QString Error;
    };

    void Run(TJob& job);
    void StoreDone(std::unique_lock<std::mutex>& lock);
    void Store(TJob& job);

    TZipFile& m_zip;
    int m_threads;
    TStored m_onStored;
    std::deque<std::shared_ptr<TJob>> m_jobs;
    int m_running = 0;
    std::mutex m_mutex;
    std::condition_variable m_finished;
    QThreadPool m_pool;
};
