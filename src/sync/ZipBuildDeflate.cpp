#include "ZipBuildDeflate.h"

#include <QFile>

#include <zlib.h>

namespace {
constexpr qint64 kSliceSize = 1024 * 1024;
constexpr qint64 kMaxEntrySize = 0xFFFFFFFF;

[[noreturn]] void ThrowTooLarge(qint64 size)
{
    throw Exception(
        QStringLiteral("Cannot compress %1 bytes: an entry holds at most 4 GiB.").arg(size));
}

// A raw deflate stream (no zlib header) with zlib's default level, window
// bits 15 and memory level 8, writing into a growing buffer.
class TFileDeflater {
public:
    explicit TFileDeflater(qint64 expectedSize)
    {
        if (deflateInit2(&m_stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                         Z_DEFAULT_STRATEGY) != Z_OK)
            throw Exception(QStringLiteral("Cannot start compressing."));
        m_out.reserve(qsizetype(deflateBound(&m_stream, uLong(expectedSize))));
    }
    ~TFileDeflater() { deflateEnd(&m_stream); }
    TFileDeflater(const TFileDeflater&) = delete;
    TFileDeflater& operator=(const TFileDeflater&) = delete;

    void Add(const char* data, qint64 size, bool last);
    QByteArray Take();

private:
    z_stream m_stream{};
    QByteArray m_out;
};

void TFileDeflater::Add(const char* data, qint64 size, bool last)
{
    m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    m_stream.avail_in = uInt(size);
    const int flush = last ? Z_FINISH : Z_NO_FLUSH;
    int result = Z_OK;
    do {
        const qsizetype written = m_out.size();
        const qsizetype room = std::max<qsizetype>(m_out.capacity() - written, 64 * 1024);
        m_out.resize(written + room);
        m_stream.next_out = reinterpret_cast<Bytef*>(m_out.data() + written);
        m_stream.avail_out = uInt(room);
        result = deflate(&m_stream, flush);
        m_out.resize(written + room - qsizetype(m_stream.avail_out));
        if (result == Z_STREAM_ERROR)
            throw Exception(QStringLiteral("Compression failed."));
    } while (last ? result != Z_STREAM_END : m_stream.avail_out == 0);
}

QByteArray TFileDeflater::Take()
{
    if (m_out.capacity() - m_out.size() > 4096)
        m_out.squeeze();
    return std::move(m_out);
}
} // namespace

// One buffer a file, no larger than the file needs, so that tiny files do not
// pay for a slice each.
TZipFile::TDeflated DeflateFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(
            QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    TFileDeflater deflater(file.size());
    QByteArray buffer(qBound<qint64>(4096, file.size() + 1, kSliceSize), Qt::Uninitialized);
    qint64 total = 0;
    quint32 crc = quint32(crc32_z(0, nullptr, 0));
    for (bool last = false; !last;) {
        const qint64 got = file.read(buffer.data(), buffer.size());
        if (got < 0 || file.error() != QFileDevice::NoError)
            throw Exception(
                QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
        total += got;
        if (total > kMaxEntrySize)
            ThrowTooLarge(total);
        last = got == 0 || (got < buffer.size() && file.atEnd());
        crc =
            quint32(crc32_z(crc, reinterpret_cast<const Bytef*>(buffer.constData()), size_t(got)));
        deflater.Add(buffer.constData(), got, last);
    }
    TZipFile::TDeflated deflated;
    deflated.CompressedData = deflater.Take();
    deflated.Crc32 = crc;
    deflated.UncompressedSize = quint32(total);
    return deflated;
}
