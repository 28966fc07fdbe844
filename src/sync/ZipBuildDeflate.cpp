#include "ZipBuildDeflate.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

[[noreturn]] void ThrowFileError(const char* what, const QString& path, const QString& reason)
{
    throw Exception(
        QStringLiteral("Cannot %1 file \"%2\". %3").arg(QLatin1String(what), path, reason));
}

#ifdef Q_OS_UNIX
// A file read with bare open() and read(): QFile checks the file's kind and
// size with two fstat() calls per file, which on a tree of tiny files cost
// as much as reading it.
class TInputFile {
public:
    explicit TInputFile(const QString& path) : m_path(path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0)
            ThrowFileError("open", path, qt_error_string(errno));
    }
    ~TInputFile() { ::close(m_fd); }
    TInputFile(const TInputFile&) = delete;
    TInputFile& operator=(const TInputFile&) = delete;

    qint64 Size() const
    {
        struct stat status {};
        return ::fstat(m_fd, &status) == 0 ? qint64(status.st_size) : 0;
    }
    qint64 Read(char* data, qint64 size)
    {
        ssize_t got = 0;
        do {
            got = ::read(m_fd, data, size_t(size));
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            ThrowFileError("read", m_path, qt_error_string(errno));
        return got;
    }

private:
    QString m_path;
    int m_fd = -1;
};
#else
class TInputFile {
public:
    explicit TInputFile(const QString& path) : m_file(path)
    {
        if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            ThrowFileError("open", path, m_file.errorString());
    }
    qint64 Size() const { return m_file.size(); }
    qint64 Read(char* data, qint64 size)
    {
        const qint64 got = m_file.read(data, size);
        if (got < 0)
            ThrowFileError("read", m_file.fileName(), m_file.errorString());
        return got;
    }

private:
    QFile m_file;
};
#endif
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

// The file is read straight into the slice. A read shorter than asked that
// brings the file to its expected size ends it, so a tiny file costs one
// read; a file that came out shorter is read once more to be sure.
TZipFile::TDeflated TZipBuildDeflater::Deflate(const QString& path, qint64 expectedSize)
{
    TInputFile file(path);
    if (expectedSize < 0)
        expectedSize = file.Size();
    Start(expectedSize);
    const qint64 slice = qBound(kMinSlice, expectedSize + 1, kSliceSize);
    if (m_slice.size() < slice)
        m_slice.resize(slice);
    qint64 total = 0;
    quint32 crc = quint32(crc32_z(0, nullptr, 0));
    for (bool last = false; !last;) {
        const qint64 got = file.Read(m_slice.data(), slice);
        total += got;
        if (total > kMaxEntrySize)
            ThrowTooLarge(total);
        last = got == 0 || (got < slice && total >= expectedSize);
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
