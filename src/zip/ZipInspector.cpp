#include "ZipInspector.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "Exception.h"
#include "RecordCodec.h"

namespace {
// Flag bit 3: sizes and CRC follow the data in a data descriptor.
constexpr quint16 DataDescriptorFlag = 0x0008;

QString Quoted(const QByteArray& name)
{
    return QStringLiteral("\"%1\"").arg(QString::fromLocal8Bit(name));
}

// The fields in which a central record differs from its local record.
QStringList Differences(const TFileHeader& header, const QByteArray& localName,
                        const TSharedBlock& local)
{
    QStringList fields;
    if (header.FileName != localName)
        fields << QStringLiteral("name %1 instead of %2")
                      .arg(Quoted(header.FileName), Quoted(localName));
    if (header.CompressionMethod != local.CompressionMethod)
        fields << QStringLiteral("compression method %1 instead of %2")
                      .arg(header.CompressionMethod)
                      .arg(local.CompressionMethod);
    if (header.Crc32 != local.Crc32)
        fields << QStringLiteral("CRC %1 instead of %2")
                      .arg(header.Crc32, 8, 16, QLatin1Char('0'))
                      .arg(local.Crc32, 8, 16, QLatin1Char('0'));
    if (header.CompressedSize != local.CompressedSize)
        fields << QStringLiteral("compressed size %1 instead of %2")
                      .arg(header.CompressedSize)
                      .arg(local.CompressedSize);
    if (header.UncompressedSize != local.UncompressedSize)
        fields << QStringLiteral("size %1 instead of %2")
                      .arg(header.UncompressedSize)
                      .arg(local.UncompressedSize);
    return fields;
}
} // namespace

TZipInspector::TZipInspector(QByteArrayView bytes) : m_bytes(bytes)
{}

QList<TZipFinding> TZipInspector::InspectFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("Cannot open file \"%1\". %2")
                            .arg(QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath()),
                                 file.errorString()));
    if (file.size() == 0)
        return TZipInspector(QByteArrayView()).Inspect();
    if (const uchar* mapped = file.map(0, file.size()))
        return TZipInspector(QByteArrayView(mapped, file.size())).Inspect();
    const QByteArray bytes = file.readAll();
    return TZipInspector(bytes).Inspect();
}

QList<TZipFinding> TZipInspector::Inspect()
{
    if (!FindFirstLocal()) {
        ExplainNoLocal();
        return m_findings;
    }
    quint32 word = LocalFileSignature;
    while (word == LocalFileSignature) {
        ReadLocal();
        word = ReadWord();
    }
    const int centralCount = ReadCentrals(word);
    if (centralCount < m_locals.size())
        Add(m_pos, QStringLiteral("%1 of %2 entries have no central record.")
                       .arg(m_locals.size() - centralCount)
                       .arg(m_locals.size()));
    else if (centralCount > m_locals.size())
        Add(m_centralStart,
            QStringLiteral("%1 central records have no local record and are ignored.")
                .arg(centralCount - m_locals.size()));
    if (word == EndRecordSignature)
        ReadEnd(centralCount);
    else
        Add(std::max<qint64>(m_pos - 4, 0), QStringLiteral("No end record follows the records."));
    ReportGaps();
    std::stable_sort(
        m_findings.begin(), m_findings.end(),
        [](const TZipFinding& a, const TZipFinding& b) { return a.Offset < b.Offset; });
    return m_findings;
}

// A word at the cursor; bytes past the end count as zero, as the reader sees them.
quint32 TZipInspector::ReadWord()
{
    char bytes[4] = {};
    const qint64 count = std::min<qint64>(4, m_bytes.size() - m_pos);
    std::copy_n(m_bytes.data() + m_pos, std::max<qint64>(count, 0), bytes);
    m_pos += std::max<qint64>(count, 0);
    return RecordCodec::Get32(bytes);
}

// The reader searches the first local record in steps of 4 bytes.
bool TZipInspector::FindFirstLocal()
{
    quint32 word = 0;
    do {
        word = ReadWord();
        if (m_pos >= m_bytes.size())
            return false;
    } while (word != LocalFileSignature);
    return true;
}

void TZipInspector::ExplainNoLocal()
{
    // An empty file is an empty archive, as this program reads it.
    if (m_bytes.isEmpty() || IsValidEmptyArchive())
        return;
    const qsizetype local = m_bytes.indexOf(QByteArrayView("PK\x03\x04"));
    if (local >= 0)
        Add(local, QStringLiteral("The local record at offset %1 is not found: the bytes before "
                                  "it are not a multiple of 4, so no entry can be read.")
                       .arg(local));
    else
        Add(0, QStringLiteral("No local record found; this is no zip archive with entries."));
}

// An archive without entries: nothing but an end record listing none, and
// its comment.
bool TZipInspector::IsValidEmptyArchive() const
{
    if (m_bytes.size() < EndRecordFixedSize)
        return false;
    TZipEndRecord end;
    RecordCodec::GetEndRecord(m_bytes.data(), end);
    return end.Signature == EndRecordSignature && end.TotalEntries == 0 && end.EntriesOnDisk == 0 &&
           end.CentralDirSize == 0 && end.CentralDirOffset == 0 &&
           EndRecordFixedSize + qint64(end.CommentLength) == m_bytes.size();
}

void TZipInspector::ReadLocal()
{
    TLocalInfo local;
    local.Offset = m_pos - 4;
    local.Block = RecordCodec::GetSharedBlock(Padded(m_pos, SharedBlockSize).constData());
    local.Name = Padded(local.Offset + LocalFileFixedSize, local.Block.FileNameLength);
    const qint64 size = LocalFileFixedSize + qint64(local.Block.FileNameLength) +
                        local.Block.ExtraFieldLength + local.Block.CompressedSize;
    Fits(local.Offset, size, QStringLiteral("The local record of %1").arg(Quoted(local.Name)));
    if ((local.Block.Flags & DataDescriptorFlag) && local.Block.CompressedSize == 0)
        Add(local.Offset, QStringLiteral("Entry %1 keeps its sizes in a data descriptor after its "
                                         "data; its data cannot be read.")
                              .arg(Quoted(local.Name)));
    m_pos = std::min<qint64>(local.Offset + size, m_bytes.size());
    Cover(local.Offset, m_pos);
    m_locals.append(local);
}

// Mirrors the reader: a word that is no central signature gets one more try.
int TZipInspector::ReadCentrals(quint32& word)
{
    int count = 0;
    do {
        if (word == FileHeaderSignature)
            ReadCentral(count++);
        word = ReadWord();
    } while (word == FileHeaderSignature);
    return count;
}

void TZipInspector::ReadCentral(int index)
{
    const qint64 offset = m_pos - 4;
    if (m_centralStart < 0)
        m_centralStart = offset;
    TFileHeader header;
    RecordCodec::GetFileHeaderFixed(Padded(offset, FileHeaderFixedSize).constData(), header);
    header.FileName = Padded(offset + FileHeaderFixedSize, header.FileNameLength);
    const qint64 size = FileHeaderFixedSize + qint64(header.FileNameLength) +
                        header.ExtraFieldLength + header.FileCommentLength;
    Fits(offset, size, QStringLiteral("The central record of %1").arg(Quoted(header.FileName)));
    m_pos = std::min<qint64>(offset + size, m_bytes.size());
    m_centralSize += m_pos - offset;
    Cover(offset, m_pos);
    if (index < m_locals.size())
        CompareCentral(header, m_locals.at(index), offset);
}

void TZipInspector::CompareCentral(const TFileHeader& header, const TLocalInfo& local,
                                   qint64 offset)
{
    const QStringList fields = Differences(header, local.Name, local.Block);
    if (!fields.isEmpty())
        Add(offset, QStringLiteral("The central record of %1 disagrees with its local record: %2.")
                        .arg(Quoted(local.Name), fields.join(QStringLiteral(", "))));
    if (header.LocalHeaderOffset != local.Offset)
        Add(offset, QStringLiteral("The central record of %1 points to offset %2; its local record "
                                   "is at %3.")
                        .arg(Quoted(local.Name))
                        .arg(header.LocalHeaderOffset)
                        .arg(local.Offset));
}

void TZipInspector::ReadEnd(int centralCount)
{
    const qint64 offset = m_pos - 4;
    TZipEndRecord end;
    RecordCodec::GetEndRecord(Padded(offset, EndRecordFixedSize).constData(), end);
    Fits(offset, EndRecordFixedSize + qint64(end.CommentLength), QStringLiteral("The end record"));
    Cover(offset,
          std::min<qint64>(offset + EndRecordFixedSize + end.CommentLength, m_bytes.size()));
    CheckEnd(end, offset, centralCount);
}

void TZipInspector::CheckEnd(const TZipEndRecord& end, qint64 offset, int centralCount)
{
    if (end.DiskNumber != 0 || end.CentralDirStartDisk != 0)
        Add(offset, QStringLiteral("The end record names disk %1 (central directory on disk %2); "
                                   "archives on several disks are not supported.")
                        .arg(end.DiskNumber)
                        .arg(end.CentralDirStartDisk));
    if (end.TotalEntries != centralCount || end.EntriesOnDisk != centralCount)
        Add(offset, QStringLiteral("The end record lists %1 entries (%2 on this disk); %3 central "
                                   "records were read.")
                        .arg(end.TotalEntries)
                        .arg(end.EntriesOnDisk)
                        .arg(centralCount));
    const qint64 centralStart = m_centralStart >= 0 ? m_centralStart : offset;
    if (end.CentralDirOffset != centralStart)
        Add(offset, QStringLiteral("The end record places the central directory at offset %1; it "
                                   "is at %2.")
                        .arg(end.CentralDirOffset)
                        .arg(centralStart));
    if (end.CentralDirSize != m_centralSize)
        Add(offset,
            QStringLiteral("The end record gives the central directory %1 bytes; it has %2.")
                .arg(end.CentralDirSize)
                .arg(m_centralSize));
}

// Every stretch of the file that no record covers, such as leading bytes,
// skipped words or bytes after the end record.
void TZipInspector::ReportGaps()
{
    std::sort(m_covered.begin(), m_covered.end());
    qint64 position = 0;
    const auto reportGap = [this](qint64 start, qint64 end) {
        Add(start, QStringLiteral("%1 bytes at offset %2 belong to no record.")
                       .arg(end - start)
                       .arg(start));
    };
    for (const auto& [start, end] : m_covered) {
        if (start > position)
            reportGap(position, start);
        position = std::max(position, end);
    }
    if (position < m_bytes.size())
        reportGap(position, m_bytes.size());
}

// `size` bytes from `offset`; bytes past the end of the file count as zero,
// as the reader sees them.
QByteArray TZipInspector::Padded(qint64 offset, qint64 size) const
{
    QByteArray bytes(size, '\0');
    const qint64 available = std::clamp<qint64>(m_bytes.size() - offset, 0, size);
    if (available > 0)
        std::copy_n(m_bytes.data() + offset, available, bytes.data());
    return bytes;
}

// False, with a finding, when a record reaches past the end of the file.
bool TZipInspector::Fits(qint64 offset, qint64 size, const QString& what)
{
    if (offset + size <= m_bytes.size())
        return true;
    Add(offset, QStringLiteral("%1 at offset %2 is cut short by the end of the file (%3 of %4 "
                               "bytes).")
                    .arg(what)
                    .arg(offset)
                    .arg(m_bytes.size() - offset)
                    .arg(size));
    return false;
}

void TZipInspector::Cover(qint64 start, qint64 end)
{
    if (end > start)
        m_covered.append({start, end});
}

void TZipInspector::Add(qint64 offset, const QString& text)
{
    m_findings.append({offset, text});
}
