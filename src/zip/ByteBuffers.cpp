#include "ByteBuffers.h"

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <QFileDevice>

namespace {
// Smaller buffers gain nothing from being mapped in one step.
constexpr qsizetype kMinPrefault = 1 << 20;
} // namespace

QByteArray ByteBuffers::ReadToEnd(QIODevice& stream)
{
    const auto* file = qobject_cast<const QFileDevice*>(&stream);
    if (!file || file->isSequential())
        return stream.readAll();
    const qint64 size = file->size() - file->pos();
    if (size <= 0)
        return stream.readAll();
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    Prefault(bytes.data(), bytes.size());
    const qint64 read = stream.read(bytes.data(), size);
    bytes.resize(qMax<qint64>(read, 0));
    // A file that grew while it was read: the rest as well.
    if (read == size && !stream.atEnd())
        bytes += stream.readAll();
    return bytes;
}

QByteArray ByteBuffers::Slice(const QByteArray& whole, qsizetype offset, qsizetype size)
{
    Q_ASSERT(offset >= 0 && size >= 0 && offset + size <= whole.size());
    if (size == 0)
        return QByteArray();
    QByteArray slice = whole; // shares the storage
    QByteArray::DataPointer& pointer = slice.data_ptr();
    pointer.ptr += offset;
    pointer.size = size;
    return slice;
}

void ByteBuffers::Prefault(void* data, qsizetype size)
{
#if defined(Q_OS_LINUX) && defined(MADV_POPULATE_WRITE)
    if (size < kMinPrefault)
        return;
    // madvise() takes whole pages; the pages at both ends fault as usual.
    const auto page = quintptr(::sysconf(_SC_PAGESIZE));
    const quintptr begin = (quintptr(data) + page - 1) & ~(page - 1);
    const quintptr end = (quintptr(data) + quintptr(size)) & ~(page - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}
