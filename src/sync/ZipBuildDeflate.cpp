#include "ZipBuildDeflate.h"

#include <QFile>

namespace {
constexpr qint64 kSliceSize = 1024 * 1024;
constexpr qint64 kMinSlice = 4096;
constexpr qint64 kMinGrowth = 64 * 1024;
constexpr qint64 kMaxEntrySize = 0xFFFFFFFF;

[[noreturn]] void ThrowTooLarge(qint64 size)
{
    throw Exception(
        QStringLiteral("Cannot compress %1 bytes: an entry holds at most 4 GiB.").arg(size));
}

[[noreturn]] void ThrowFileError(const char* what, const QString& path, const QFile& file)
{
    throw Exception(QStringLiteral("Cannot %1 file \"%2\". %3")
                        .arg(QLatin1String(what), path, file.errorString()));
}
} // namespace

// A raw deflate stream (no zlib header) with zlib's default level, window
// bits 15 and memory level 8.
TZipBuildDeflater::TZipBuildDeflater()
{
    if (deflateInit2(&m_stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        throw Exception(QStringLiteral("Cannot start compressing."));
}

TZipBuildDeflater::~TZipBuildDeflater()
{
    deflateEnd(&m_stream);
}

// The file is read unbuffered straight into the slice; a read shorter than
// asked marks the end of a regular file, so a tiny file costs one read.
TZipFile::TDeflated TZipBuildDeflater::Deflate(const QString& path, qint64 expectedSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        ThrowFileError("open", path, file);
    if (expectedSize < 0)
        expectedSize = file.size();
    Start(expectedSize);
    const qint64 slice = qBound(kMinSlice, expectedSize + 1, kSliceSize);
    if (m_slice.size() < slice)
        m_slice.resize(slice);
    qint64 total = 0;
    quint32 crc = quint32(crc32_z(0, nullptr, 0));
    for (bool last = false; !last;) {
        const qint64 got = file.read(m_slice.data(), slice);
        if (got < 0)
            ThrowFileError("read", path, file);
        total += got;
        if (total > kMaxEntrySize)
            ThrowTooLarge(total);
        last = got < slice;
        crc =
            quint32(crc32_z(crc, reinterpret_cast<const Bytef*>(m_slice.constData()), size_t(got)));
        Add(m_slice.constData(), got, last);
    }
    TZipFile::TDeflated deflated;
    if (m_out.capacity() - m_out.size() > 4096)
        m_out.squeeze();
    deflated.CompressedData = std::move(m_out);
    deflated.Crc32 = crc;
    deflated.UncompressedSize = quint32(total);
    return deflated;
}

// Resets the stream and gives the output room for the whole file, so a file
// that is as large as expected is deflated without growing the buffer.
void TZipBuildDeflater::Start(qint64 expectedSize)
{
    if (deflateReset(&m_stream) != Z_OK)
        throw Exception(QStringLiteral("Cannot start compressing."));
    m_out = QByteArray();
    m_out.reserve(qsizetype(deflateBound(&m_stream, uLong(expectedSize))));
}

void TZipBuildDeflater::Add(const char* data, qint64 size, bool last)
{
    m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    m_stream.avail_in = uInt(size);
    const int flush = last ? Z_FINISH : Z_NO_FLUSH;
    int result = Z_OK;
    do {
        if (m_out.capacity() == m_out.size())
            Grow();
        const qsizetype written = m_out.size();
        const qsizetype room = m_out.capacity() - written;
        m_out.resize(written + room);
        m_stream.next_out = reinterpret_cast<Bytef*>(m_out.data() + written);
        m_stream.avail_out = uInt(room);
        result = deflate(&m_stream, flush);
        m_out.resize(written + room - qsizetype(m_stream.avail_out));
        if (result == Z_STREAM_ERROR)
            throw Exception(QStringLiteral("Compression failed."));
    } while (last ? result != Z_STREAM_END : m_stream.avail_out == 0);
}

// Output beyond the expected size: half as much again, at least 64 KiB.
void TZipBuildDeflater::Grow()
{
    const qsizetype size = m_out.size();
    m_out.reserve(size + std::max<qsizetype>(size / 2, kMinGrowth));
}

TZipFile::TDeflated DeflateFile(const QString& path)
{
    return TZipBuildDeflater().Deflate(path);
}
