#include "ZipBuildPipeline.h"

#include <QThread>

#include "ZipBuildDeflate.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
// Batches waiting for or inside a worker, per thread.
constexpr int kBatchesPerThread = 2;
// A batch is sent once it holds this many files or bytes.
constexpr size_t kBatchFiles = 64;
constexpr qint64 kBatchBytes = 1024 * 1024;

// Buffers of the size of a compressed entry come and go while others stay
// for the whole build. glibc would serve them from its heap once such a
// buffer was freed (its threshold for mapping memory adapts upward), where
// the holes they leave are never handed back; a fixed threshold keeps large
// buffers mapped, so freeing one returns its memory at once.
void KeepLargeBuffersMapped()
{
#ifdef __GLIBC__
    static std::once_flag once;
    std::call_once(once, [] { mallopt(M_MMAP_THRESHOLD, 256 * 1024); });
#endif
}
} // namespace

TZipBuildPipeline::TZipBuildPipeline(TZipFile& zip, int threads, TStored onStored)
    : m_zip(zip), m_threads(threads), m_onStored(std::move(onStored))
{
    KeepLargeBuffersMapped();
    m_pool.setMaxThreadCount(std::max(1, threads));
}

// Workers still running after an error finish before the pool goes away;
// their results are dropped.
TZipBuildPipeline::~TZipBuildPipeline()
{
    m_pool.waitForDone();
}

int TZipBuildPipeline::DefaultThreads()
{
    return std::max(1, QThread::idealThreadCount());
}

void TZipBuildPipeline::Submit(int index, const QString& path, qint64 size)
{
    TFile file;
    file.Index = index;
    file.Path = path;
    file.Size = size;
    Add(std::move(file));
}

void TZipBuildPipeline::Submit(int index, const QByteArray& data)
{
    TFile file;
    file.Index = index;
    file.Size = data.size();
    file.Data = data;
    Add(std::move(file));
}

void TZipBuildPipeline::Add(TFile file)
{
    if (!m_gathering)
        m_gathering = std::make_shared<TBatch>();
    TBatch& batch = *m_gathering;
    const qint64 size = file.Size;
    batch.Files.push_back(std::move(file));
    batch.Bytes += size < 0 ? kBatchBytes : size;
    if (batch.Files.size() >= kBatchFiles || batch.Bytes >= kBatchBytes) {
        Dispatch();
    } else {
        // Entries finished meanwhile get their report lines without delay.
        std::unique_lock<std::mutex> lock(m_mutex);
        StoreDone(lock);
    }
}

// Sends the gathered batch to a worker once there is room, storing the
// entries that are done meanwhile.
void TZipBuildPipeline::Dispatch()
{
    if (!m_gathering)
        return;
    const std::shared_ptr<TBatch> batch = std::move(m_gathering);
    m_gathering.reset();
    std::unique_lock<std::mutex> lock(m_mutex);
    StoreDone(lock);
    m_finished.wait(lock, [&] { return m_running < kBatchesPerThread * m_threads; });
    ++m_running;
    m_batches.push_back(batch);
    if (m_threads <= 1) {
        lock.unlock();
        Run(*batch);
        lock.lock();
    } else {
        m_pool.start([this, batch] { Run(*batch); });
    }
    StoreDone(lock);
}

void TZipBuildPipeline::Finish()
{
    Dispatch();
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_batches.empty()) {
        m_finished.wait(lock, [&] { return m_batches.front()->Done; });
        StoreDone(lock);
    }
}

// Deflates the batch's files in order with one deflater and stops at the
// first error: the files after it will never be stored. Every error becomes
// text for the caller's thread.
void TZipBuildPipeline::Deflate(TBatch& batch)
{
    std::unique_ptr<TZipBuildDeflater> deflater;
    for (TFile& file : batch.Files) {
        try {
            if (file.Data) {
                file.Result = TZipFile::Deflate(*file.Data);
            } else {
                if (!deflater)
                    deflater = std::make_unique<TZipBuildDeflater>();
                file.Result = deflater->Deflate(file.Path, file.Size);
            }
        } catch (const Exception& exception) {
            file.Error = exception.Message();
            file.Failed = true;
        } catch (const std::exception& exception) {
            file.Error = QString::fromLocal8Bit(exception.what());
            file.Failed = true;
        }
        if (file.Failed)
            return;
    }
}

void TZipBuildPipeline::Run(TBatch& batch)
{
    Deflate(batch);
    const std::lock_guard<std::mutex> lock(m_mutex);
    batch.Done = true;
    --m_running;
    m_finished.notify_all();
}

// Stores the finished batches at the head of the queue, in order. The lock
// is released while storing, so workers can report meanwhile.
void TZipBuildPipeline::StoreDone(std::unique_lock<std::mutex>& lock)
{
    while (!m_batches.empty() && m_batches.front()->Done) {
        const std::shared_ptr<TBatch> batch = m_batches.front();
        m_batches.pop_front();
        lock.unlock();
        Store(*batch);
        lock.lock();
    }
}

void TZipBuildPipeline::Store(TBatch& batch)
{
    for (TFile& file : batch.Files) {
        if (file.Failed)
            throw Exception(file.Error);
        m_zip.SetDeflated(file.Index, file.Result);
        file.Result = {};
        if (m_onStored)
            m_onStored(file.Index);
    }
}
