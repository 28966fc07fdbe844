// Benchmark driver of the archive layer.
//   bench_zip throughput MEGABYTES   SetData/GetData against raw zlib, same bytes
//   bench_zip small OUT COUNT        writes an archive of COUNT small text entries
//   bench_zip mixed OUT COUNT MB     writes an archive of COUNT mixed entries, MB before
//                                    compression
#include <algorithm>
#include <atomic>
#include <ctime>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include <QByteArray>
#include <QString>

#include <zlib.h>

#include "BenchData.h"
#include "ZipFile.h"

namespace {
// CPU time of the calling thread: steadier than wall time on a shared machine.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Best times of two rivals, run in turns so that both see the same load.
std::pair<double, double> Race(const std::function<void()>& ours, const std::function<void()>& peer)
{
    double bestOurs = 1e30;
    double bestPeer = 1e30;
    for (int run = 0; run < 3; ++run) {
        double start = CpuSeconds();
        ours();
        bestOurs = std::min(bestOurs, CpuSeconds() - start);
        start = CpuSeconds();
        peer();
        bestPeer = std::min(bestPeer, CpuSeconds() - start);
    }
    return {bestOurs, bestPeer};
}

QByteArray RawDeflate(const QByteArray& data)
{
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

// Inflates into `out`, whose room is reused from run to run as GetData does.
void RawInflate(const QByteArray& compressed, qsizetype size, QByteArray& out)
{
    z_stream stream{};
    inflateInit2(&stream, -MAX_WBITS);
    out.resize(size);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = uInt(compressed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
}

void Row(const char* what, double seconds, double peer, qint64 bytes)
{
    const double mb = double(bytes) / (1 << 20);
    std::printf("%-28s %9.1f MB/s %9.1f MB/s %8.2fx\n", what, mb / seconds, mb / peer,
                seconds / peer);
}

int Throughput(qint64 megabytes)
{
    const QByteArray data = BenchData::Mixed(megabytes << 20, 1);
    TZipFile zip;
    zip.AddEntry("bench", 0);
    QByteArray raw;
    const auto [setData, rawDeflate] =
        Race([&] { zip.SetData(0, data); }, [&] { raw = RawDeflate(data); });
    QByteArray out;
    QByteArray peerOut;
    const auto [getData, rawInflate] =
        Race([&] { zip.GetData(0, out); }, [&] { RawInflate(raw, data.size(), peerOut); });
    const auto [getDataAgain, rawInflateCrc] =
        Race([&] { zip.GetData(0, out); },
             [&] {
                 RawInflate(raw, data.size(), peerOut);
                 ComputeCrc32(peerOut.constData(), peerOut.size());
             });
    if (out != data || raw != zip.Entries.at(0).CompressedData) {
        std::fprintf(stderr, "mismatch between zlib and TZipFile\n");
        return 1;
    }
    std::printf("%d MB mixed text and random data, compressed to %.1f MB\n", int(megabytes),
                double(raw.size()) / (1 << 20));
    std::printf("CPU time of one thread, best of 3 runs taken in turns\n");
    std::printf("%-28s %14s %14s %9s\n", "operation", "TZipFile", "raw zlib", "ratio");
    Row("SetData / deflate", setData, rawDeflate, data.size());
    Row("GetData / inflate", getData, rawInflate, data.size());
    Row("GetData / inflate + crc32", std::min(getData, getDataAgain), rawInflateCrc, data.size());
    return 0;
}

// Deflates the entries on every core; the archive is the same as sequentially.
void FillEntries(TZipFile& zip, const std::function<QByteArray(int)>& content)
{
    std::vector<TZipFile::TDeflated> deflated(size_t(zip.Count()));
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next++; i < zip.Count(); i = next++)
            deflated[size_t(i)] = TZipFile::Deflate(content(i));
    };
    std::vector<std::jthread> workers;
    for (unsigned i = 1; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
        workers.emplace_back(work);
    work();
    workers.clear();
    for (int i = 0; i < zip.Count(); ++i)
        zip.SetDeflated(i, deflated[size_t(i)]);
}

int WriteArchive(const QString& path, int count, const std::function<QByteArray(int)>& content)
{
    TZipFile zip;
    const QDateTime time(QDate(2024, 6, 1), QTime(12, 0));
    for (int i = 0; i < count; ++i) {
        zip.AddEntry(QStringLiteral("dir%1/file%2.dat").arg(i / 100).arg(i).toLocal8Bit(), 0);
        zip.SetDateTime(i, time.addSecs(i * 2));
    }
    FillEntries(zip, content);
    zip.SaveToFile(path);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    try {
        if (mode == QLatin1String("throughput") && argc == 3)
            return Throughput(QByteArray(argv[2]).toLongLong());
        if (mode == QLatin1String("small") && argc == 4)
            return WriteArchive(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt(),
                                [](int i) { return BenchData::Text(100 + (i * 37) % 1900, i); });
        if (mode == QLatin1String("mixed") && argc == 5) {
            const int count = QByteArray(argv[3]).toInt();
            const qint64 average = (QByteArray(argv[4]).toLongLong() << 20) / count;
            return WriteArchive(QString::fromLocal8Bit(argv[2]), count, [=](int i) {
                const qint64 size = average / 2 + (qint64(i) * 7919) % average;
                // Two random files to one text file: text shrinks to a fifth.
                return i % 3 ? BenchData::Random(size, i) : BenchData::Text(size, i);
            });
        }
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "usage: bench_zip throughput MB | small OUT COUNT | mixed OUT COUNT MB\n");
    return 2;
}
