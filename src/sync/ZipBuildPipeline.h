#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <QString>
#include <QThreadPool>

#include "ZipFile.h"

// Compresses the files of a new archive on worker threads and stores the
// results into the archive strictly in the order the entries were submitted.
// The archive is therefore the same, byte for byte, whatever the number of
// threads, and the callback that writes each entry's report line runs in
// entry order on the caller's thread.
//
// Consecutive small files travel together as one batch (up to 64 files or
// 1 MiB), so a tree of tiny files costs one hand-over per batch rather than
// per file, and a worker deflates a batch with one reused zlib stream.
// Workers read their file in slices while they deflate it, so memory holds
// the compressed entries plus a batch or slice per worker, never a whole
// file. At most two batches per thread wait for or sit in a worker at a
// time. Worker errors travel back as text and are raised on the caller's
// thread when their entry is due.
class TZipBuildPipeline {
public:
    using TStored = std::function<void(int index)>;

    // threads <= 1 deflates on the caller's thread, a batch at a time.
    TZipBuildPipeline(TZipFile& zip, int threads, TStored onStored);
    ~TZipBuildPipeline();
    TZipBuildPipeline(const TZipBuildPipeline&) = delete;
    TZipBuildPipeline& operator=(const TZipBuildPipeline&) = delete;

    // Deflates the file for entry `index`; entries finished meanwhile are
    // stored. `size` is the file's size as the caller saw it; a negative size
    // (unknown) sends the file on its own.
    void Submit(int index, const QString& path, qint64 size = -1);
    // Deflates bytes the caller already holds for entry `index`, in turn.
    void Submit(int index, const QByteArray& data);
    // Sends the files still gathered, waits for every submitted entry and
    // stores it.
    void Finish();

    static int DefaultThreads();

private:
    struct TFile {
        int Index = 0;
        QString Path;
        qint64 Size = 0;
        std::optional<QByteArray> Data; // bytes given instead of a file
        TZipFile::TDeflated Result;
        QString Error;
        bool Failed = false;
    };
    struct TBatch {
        std::vector<TFile> Files;
        qint64 Bytes = 0;
        bool Done = false;
    };

    void Add(TFile file);
    void Dispatch();
    static void Deflate(TBatch& batch);
    void Run(TBatch& batch);
    void StoreDone(std::unique_lock<std::mutex>& lock);
    void Store(TBatch& batch);

    TZipFile& m_zip;
    int m_threads;
    TStored m_onStored;
    std::shared_ptr<TBatch> m_gathering;
    std::deque<std::shared_ptr<TBatch>> m_batches;
    int m_running = 0;
    std::mutex m_mutex;
    std::condition_variable m_finished;
    QThreadPool m_pool;
};
