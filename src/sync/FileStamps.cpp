#include "FileStamps.h"

#include <algorithm>
#include <thread>

#include <QFile>

namespace {
// Fewer files than this a thread are read on the calling thread alone.
constexpr qsizetype kMinSlice = 256;
constexpr unsigned kMaxThreads = 4;
} // namespace

void TFileStamps::Read(const QStringList& files, qsizetype first, qsizetype last)
{
    const qsizetype count = last - first;
    m_first = first;
    m_paths.assign(size_t(count), QByteArray());
    m_stamps.assign(size_t(count), TFileStamp());
    m_exists.assign(size_t(count), 0);
    const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
    const qsizetype threads = std::clamp<qsizetype>(count / kMinSlice, 1, cores);
    const qsizetype slice = (count + threads - 1) / threads;
    std::vector<std::thread> helpers;
    for (qsizetype start = first + slice; start < last; start += slice)
        helpers.emplace_back([this, &files, start, end = std::min(start + slice, last)] {
            ReadSlice(files, start, end);
        });
    ReadSlice(files, first, std::min(first + slice, last));
    for (std::thread& helper : helpers)
        helper.join();
}

// Nothing here throws: a path is encoded and a stat() fails or succeeds.
void TFileStamps::ReadSlice(const QStringList& files, qsizetype first, qsizetype last)
{
    TFileStatReader reader;
    for (qsizetype i = first; i < last; ++i) {
        const size_t at = size_t(i - m_first);
        m_paths[at] = QFile::encodeName(files.at(i));
        m_exists[at] = reader.Read(m_paths[at], m_stamps[at]) ? 1 : 0;
    }
}
