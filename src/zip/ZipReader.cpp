#include "ZipReader.h"

#include <algorithm>

#include "ByteBuffers.h"
#include "RecordCodec.h"

namespace {
// Flag bit 3: CRC and sizes follow the data in a data descriptor.
constexpr quint16 DataDescriptorFlag = 0x0008;
constexpr quint32 Zip64LocatorSignature = 0x07064b50;
constexpr quint32 Zip64EndSignature = 0x06064b50;
constexpr qint64 Zip64LocatorSize = 20;
constexpr qint64 Zip64EndSize = 56;
constexpr qint64 MaxCommentLength = 0xFFFF;

QString Quoted(const QByteArray& name)
{
    return QStringLiteral("\"%1\"").arg(QString::fromLocal8Bit(name));
}

bool Uses64BitFields(const TSharedBlock& block)
{
    return block.CompressedSize == 0xFFFFFFFF || block.UncompressedSize == 0xFFFFFFFF;
}
} // namespace

TZipReader::TZipReader(const QByteArray& bytes) : m_owner(bytes), m_bytes(m_owner)
{}

// A word at the cursor; bytes past the end count as zero.
quint32 TZipReader::ReadWord()
{
    char bytes[4] = {};
    const qint64 count = std::clamp<qint64>(m_bytes.size() - m_pos, 0, 4);
    std::copy_n(m_bytes.data() + m_pos, count, bytes);
    m_pos += count;
    return RecordCodec::Get32(bytes);
}

// `size` bytes at the cursor into `out`, padded with zero bytes where the
// input ends (the record is then noted as cut short).
void TZipReader::TakeInto(char* out, qint64 size, const char* record, qint64 offset)
{
    const qint64 available = std::clamp<qint64>(m_bytes.size() - m_pos, 0, size);
    std::copy_n(m_bytes.data() + m_pos, available, out);
    m_pos += available;
    if (available < size) {
        if (m_cut.isEmpty())
            m_cut = QStringLiteral("%1 at offset %2 is cut short by the end of the file")
                        .arg(QLatin1String(record))
                        .arg(offset);
        std::fill_n(out + available, size - available, '\0');
    }
}

// A field of `size` bytes at the cursor: a slice of the archive's bytes, or
// a padded copy where the input ends.
QByteArray TZipReader::Take(qint64 size, const char* record, qint64 offset)
{
    if (m_pos + size <= m_bytes.size()) {
        const QByteArray bytes = ByteBuffers::Slice(m_owner, m_pos, size);
        m_pos += size;
        return bytes;
    }
    QByteArray bytes(size, Qt::Uninitialized);
    TakeInto(bytes.data(), size, record, offset);
    return bytes;
}

void TZipReader::Note(TZipContent& content, const QString& text) const
{
    if (content.Missing.isEmpty())
        content.Missing = text;
}

TZipContent TZipReader::ReadInOrder()
{
    TZipContent content;
    // The end record tells how many entries to expect (a guess only).
    if (const qint64 endAt = FindEndRecord(); endAt >= 0) {
        const quint16 expected = RecordCodec::Get16(m_bytes.data() + endAt + 10);
        content.Entries.reserve(expected);
        content.CentralDirectory.reserve(expected);
        ByteBuffers::Prefault(content.Entries.data(), expected * qsizetype(sizeof(TLocalFile)));
        ByteBuffers::Prefault(content.CentralDirectory.data(),
                              expected * qsizetype(sizeof(TFileHeader)));
    }
    // The first local record is searched in steps of 4 bytes.
    quint32 word = 0;
    do {
        word = ReadWord();
        if (m_pos >= m_bytes.size()) {
            if (!m_bytes.isEmpty())
                content.Missing =
                    QStringLiteral("no zip records were found in its %1 bytes").arg(m_bytes.size());
            return content;
        }
    } while (word != LocalFileSignature);

    while (word == LocalFileSignature) {
        ReadLocal(content);
        word = ReadWord();
    }
    // Central records pair with local records by order; surplus ones are read
    // past and dropped. A word that is no central signature gets one more try.
    int central = 0;
    do {
        if (word == FileHeaderSignature) {
            TFileHeader header = ReadCentral();
            if (central < content.CentralDirectory.size())
                content.CentralDirectory[central] = std::move(header);
            ++central;
        }
        word = ReadWord();
    } while (word == FileHeaderSignature);

    const bool hasEnd = word == EndRecordSignature;
    if (hasEnd)
        ReadEnd(content);
    Note(content, m_cut);
    const qsizetype count = content.Entries.size();
    for (const TLocalFile& local : std::as_const(content.Entries))
        if ((local.Flags & DataDescriptorFlag) && local.CompressedSize == 0)
            Note(content, QStringLiteral("entry %1 keeps its sizes in a data descriptor, so the "
                                         "entries after it were not read")
                              .arg(Quoted(local.FileName)));
    if (!hasEnd)
        Note(content,
             QStringLiteral("no end record follows the %1 entries that were read").arg(count));
    else if (content.EndRecord.TotalEntries != count || central != count)
        Note(content, QStringLiteral("its end record lists %1 entries and %2 central records "
                                     "were found, but %3 entries were read")
                          .arg(content.EndRecord.TotalEntries)
                          .arg(central)
                          .arg(count));
    else if (m_pos < m_bytes.size())
        Note(content, QStringLiteral("%1 bytes after its end record were not read")
                          .arg(m_bytes.size() - m_pos));
    return content;
}

// A local record whose signature was just read, up to its data: the fixed
// part, the name and the extra field.
TLocalFile TZipReader::ReadLocalHead()
{
    TLocalFile local;
    local.Signature = LocalFileSignature;
    const qint64 start = m_pos - 4;
    const char* record = "the local record";
    char block[SharedBlockSize];
    TakeInto(block, SharedBlockSize, record, start);
    static_cast<TSharedBlock&>(local) = RecordCodec::GetSharedBlock(block);
    local.FileName = Take(local.FileNameLength, record, start);
    local.ExtraField = Take(local.ExtraFieldLength, record, start);
    return local;
}

void TZipReader::ReadLocal(TZipContent& content)
{
    const qint64 start = m_pos - 4;
    TLocalFile local = ReadLocalHead();
    // The data is never padded: a declared size is no reason to allocate.
    const qint64 available = std::clamp<qint64>(m_bytes.size() - m_pos, 0, local.CompressedSize);
    local.CompressedData = ByteBuffers::Slice(m_owner, m_pos, available);
    m_pos += available;
    if (available < local.CompressedSize && m_cut.isEmpty())
        m_cut = QStringLiteral("entry %1 at offset %2 is cut short: it declares %3 bytes of "
                               "data, but the file ends after %4")
                    .arg(Quoted(local.FileName))
                    .arg(start)
                    .arg(local.CompressedSize)
                    .arg(available);
    content.Entries.append(std::move(local));
    content.CentralDirectory.append(TFileHeader());
}

// The fixed part of a record whose signature was just read, into `fixed`.
void TZipReader::TakeFixed(char* fixed, qint64 size, quint32 signature, const char* record)
{
    RecordCodec::Put32(fixed, signature);
    TakeInto(fixed + 4, size - 4, record, m_pos - 4);
}

TFileHeader TZipReader::ReadCentral()
{
    char fixed[FileHeaderFixedSize];
    const char* record = "the central record";
    const qint64 start = m_pos - 4;
    TakeFixed(fixed, FileHeaderFixedSize, FileHeaderSignature, record);
    TFileHeader header;
    RecordCodec::GetFileHeaderFixed(fixed, header);
    header.FileName = Take(header.FileNameLength, record, start);
    header.ExtraField = Take(header.ExtraFieldLength, record, start);
    header.FileComment = Take(header.FileCommentLength, record, start);
    return header;
}

void TZipReader::ReadEnd(TZipContent& content)
{
    char fixed[EndRecordFixedSize];
    const char* record = "the end record";
    const qint64 start = m_pos - 4;
    TakeFixed(fixed, EndRecordFixedSize, EndRecordSignature, record);
    RecordCodec::GetEndRecord(fixed, content.EndRecord);
    content.ZipComment = Take(content.EndRecord.CommentLength, record, start);
}

// ---- through the central directory -------------------------------------------

bool TZipReader::Fail(TZipContent& content, const QString& text) const
{
    content.Missing = text;
    return false;
}

// The offset of the end record whose comment ends the input; -1 if none.
qint64 TZipReader::FindEndRecord() const
{
    const qint64 last = m_bytes.size() - EndRecordFixedSize;
    for (qint64 at = last; at >= 0 && at >= last - MaxCommentLength; --at) {
        const char* record = m_bytes.data() + at;
        if (RecordCodec::Get32(record) == EndRecordSignature &&
            at + EndRecordFixedSize + RecordCodec::Get16(record + 20) == m_bytes.size())
            return at;
    }
    return -1;
}

bool TZipReader::ReadByDirectory(TZipContent& content)
{
    content = TZipContent();
    content.ByDirectory = true;
    const qint64 endAt = FindEndRecord();
    if (endAt < 0)
        return Fail(content, QStringLiteral("no end record was found"));
    TZipEndRecord& end = content.EndRecord;
    RecordCodec::GetEndRecord(m_bytes.data() + endAt, end);
    content.ZipComment =
        m_bytes.sliced(endAt + EndRecordFixedSize, end.CommentLength).toByteArray();
    if (end.DiskNumber != 0 || end.CentralDirStartDisk != 0 ||
        end.EntriesOnDisk != end.TotalEntries)
        return Fail(content, QStringLiteral("it spans several disks"));
    // A 64-bit end record whose numbers all fit the ordinary one stands
    // between the central directory and the end record.
    qint64 centralEnd = endAt;
    if (endAt >= Zip64LocatorSize + Zip64EndSize &&
        RecordCodec::Get32(m_bytes.data() + endAt - Zip64LocatorSize) == Zip64LocatorSignature) {
        centralEnd = endAt - Zip64LocatorSize - Zip64EndSize;
        if (RecordCodec::Get32(m_bytes.data() + centralEnd) != Zip64EndSignature)
            return Fail(content, QStringLiteral("it uses 64-bit extensions"));
    }
    if (end.TotalEntries == 0xFFFF || end.CentralDirSize == 0xFFFFFFFF ||
        end.CentralDirOffset == 0xFFFFFFFF)
        return Fail(content, QStringLiteral("it uses 64-bit extensions"));
    const qint64 centralStart = centralEnd - qint64(end.CentralDirSize);
    const qint64 prefix = centralStart - qint64(end.CentralDirOffset);
    if (centralStart < 0 || prefix < 0)
        return Fail(content, QStringLiteral("its end record places the central directory outside "
                                            "the file"));
    qint64 position = centralStart;
    for (int i = 0; i < end.TotalEntries; ++i)
        if (!ReadDirectoryEntry(content, position, prefix, centralEnd))
            return false;
    if (position != centralEnd)
        return Fail(content, QStringLiteral("its central directory does not end where its end "
                                            "record says"));
    return true;
}

// Reads central record and local record of one entry. An entry whose sizes
// follow its data takes them from its central record and loses flag bit 3,
// so that the archive saved from it needs no data descriptors.
bool TZipReader::ReadDirectoryEntry(TZipContent& content, qint64& centralPos, qint64 prefix,
                                    qint64 centralEnd)
{
    m_pos = centralPos;
    if (m_pos + FileHeaderFixedSize > centralEnd || ReadWord() != FileHeaderSignature)
        return Fail(content, QStringLiteral("central record %1 of %2 is missing")
                                 .arg(content.Entries.size() + 1)
                                 .arg(content.EndRecord.TotalEntries));
    m_cut.clear();
    TFileHeader header = ReadCentral();
    centralPos = m_pos;
    if (!m_cut.isEmpty() || centralPos > centralEnd)
        return Fail(
            content,
            QStringLiteral("the central record of %1 is cut short").arg(Quoted(header.FileName)));
    if (Uses64BitFields(header))
        return Fail(content,
                    QStringLiteral("entry %1 uses 64-bit extensions").arg(Quoted(header.FileName)));
    m_pos = prefix + qint64(header.LocalHeaderOffset);
    if (m_pos + LocalFileFixedSize > m_bytes.size() || ReadWord() != LocalFileSignature)
        return Fail(
            content,
            QStringLiteral("the local record of %1 is missing").arg(Quoted(header.FileName)));
    TLocalFile local = ReadLocalHead();
    if (local.Flags & DataDescriptorFlag) {
        local.Crc32 = header.Crc32;
        local.CompressedSize = header.CompressedSize;
        local.UncompressedSize = header.UncompressedSize;
        local.Flags &= ~DataDescriptorFlag;
        header.Flags &= ~DataDescriptorFlag;
    }
    if (!m_cut.isEmpty() || local.CompressedSize != header.CompressedSize ||
        local.FileName != header.FileName || m_pos + qint64(local.CompressedSize) > m_bytes.size())
        return Fail(content, QStringLiteral("the local record of %1 is cut short or disagrees "
                                            "with its central record")
                                 .arg(Quoted(header.FileName)));
    local.CompressedData = ByteBuffers::Slice(m_owner, m_pos, local.CompressedSize);
    content.Entries.append(std::move(local));
    content.CentralDirectory.append(std::move(header));
    return true;
}
