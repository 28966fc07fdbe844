#include "ZipBuildPipeline.h"

#include <QThread>

#include "ZipBuildDeflate.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
// Files waiting for or inside a worker, per thread.
constexpr int kJobsPerThread = 2;

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

// Deflates one file; every error becomes text for the caller's thread.
void TZipBuildPipeline::Run(TJob& job)
{
    TZipFile::TDeflated result;
    QString error;
    try {
        result = DeflateFile(job.Path);
    } catch (const Exception& exception) {
        error = exception.Message();
    } catch (const std::exception& exception) {
        error = QString::fromLocal8Bit(exception.what());
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    job.Result = std::move(result);
    job.Error = std::move(error);
    job.Done = true;
    --m_running;
    m_finished.notify_all();
}

void TZipBuildPipeline::Submit(int index, const QString& path)
{
    auto job = std::make_shared<TJob>();
    job->Index = index;
    job->Path = path;
    std::unique_lock<std::mutex> lock(m_mutex);
    // Wait for room, storing the entries that are done meanwhile.
    StoreDone(lock);
    m_finished.wait(lock, [&] { return m_running < kJobsPerThread * m_threads; });
    ++m_running;
    m_jobs.push_back(job);
    if (m_threads <= 1) {
        lock.unlock();
        Run(*job);
        lock.lock();
    } else {
        m_pool.start([this, job] { Run(*job); });
    }
    StoreDone(lock);
}

void TZipBuildPipeline::Finish()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_jobs.empty()) {
        m_finished.wait(lock, [&] { return m_jobs.front()->Done; });
        StoreDone(lock);
    }
}

// Stores the finished entries at the head of the queue, in order. The lock is
// released while storing, so workers can report meanwhile.
void TZipBuildPipeline::StoreDone(std::unique_lock<std::mutex>& lock)
{
    while (!m_jobs.empty() && m_jobs.front()->Done) {
        const std::shared_ptr<TJob> job = m_jobs.front();
        m_jobs.pop_front();
        lock.unlock();
        Store(*job);
        lock.lock();
    }
}

void TZipBuildPipeline::Store(TJob& job)
{
    if (!job.Error.isEmpty())
        throw Exception(job.Error);
    m_zip.SetDeflated(job.Index, job.Result);
    job.Result = {};
    if (m_onStored)
        m_onStored(job.Index);
}
