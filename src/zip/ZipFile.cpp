#include "ZipFile.h"

#include <algorithm>
#include <array>
#include <limits>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <zlib.h>

#include "ByteBuffers.h"
#include "ExtendedTime.h"
#include "Inflater.h"
#include "RecordCodec.h"
#include "ZipReader.h"

namespace {
constexpr quint32 MaxEntries = 0xFFFF;
constexpr qint64 MaxField16 = 0xFFFF;
constexpr qint64 MaxField32 = 0xFFFFFFFF;
// zlib counts in 32-bit units; larger buffers go through in slices.
constexpr qint64 SliceSize = qint64(1) << 30;
// Inflated data is checked in slices small enough to stay in the cache.
constexpr qint64 CrcSliceSize = 256 * 1024;

QString FullPath(const QString& fileName)
{
    return QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
}

QString StreamName(const QIODevice& stream)
{
    const auto* file = qobject_cast<const QFileDevice*>(&stream);
    return file ? FullPath(file->fileName()) : QStringLiteral("(stream)");
}

[[noreturn]] void ThrowZlibError()
{
    throw Exception(QStringLiteral("Error"));
}

[[noreturn]] void ThrowTooLarge(const QString& what)
{
    throw Exception(
        QStringLiteral("Cannot save the archive: %1 exceeds the limits of the zip format.")
            .arg(what));
}

void WriteBytes(QIODevice& stream, const char* bytes, qint64 size)
{
    if (size > 0 && stream.write(bytes, size) != size)
        throw Exception(QStringLiteral("Cannot write file \"%1\". %2")
                            .arg(StreamName(stream), stream.errorString()));
}

// Writes a field at its declared length; a field held shorter (data cut short
// when the archive was read) is completed with zero bytes.
void WriteField(QIODevice& stream, const QByteArray& field, qint64 declaredSize)
{
    const qint64 held = std::min<qint64>(field.size(), declaredSize);
    WriteBytes(stream, field.constData(), held);
    static const std::array<char, 4096> zeros{};
    for (qint64 missing = declaredSize - held; missing > 0; missing -= qint64(zeros.size()))
        WriteBytes(stream, zeros.data(), std::min<qint64>(missing, qint64(zeros.size())));
}

qint64 LocalFileSize(const TLocalFile& local)
{
    return LocalFileFixedSize + qint64(local.FileNameLength) + local.ExtraFieldLength +
           local.CompressedSize;
}

qint64 FileHeaderSize(const TFileHeader& header)
{
    return FileHeaderFixedSize + qint64(header.FileNameLength) + header.ExtraFieldLength +
           header.FileCommentLength;
}

void CheckNameLength(const QByteArray& name)
{
    if (name.size() > MaxField16)
        throw Exception(QStringLiteral("The entry name \"%1...\" is longer than 65535 bytes.")
                            .arg(QString::fromLocal8Bit(name.left(60))));
}

void CheckCrc(const TLocalFile& entry, quint32 crc, qint64 produced)
{
    if (produced != entry.UncompressedSize || crc != entry.Crc32)
        throw EZipFileCRCError(
            QStringLiteral("CRC Error in \"%1\".").arg(QString::fromLocal8Bit(entry.FileName)));
}

// Only deflate (8) and stored data (0) can be read.
void CheckMethod(const TLocalFile& entry)
{
    if (entry.CompressionMethod != 0 && entry.CompressionMethod != Z_DEFLATED)
        throw Exception(QStringLiteral("Unsupported compression method %1 in \"%2\".")
                            .arg(entry.CompressionMethod)
                            .arg(QString::fromLocal8Bit(entry.FileName)));
}

// The stored bytes of an entry without compression.
QByteArrayView StoredView(const TLocalFile& entry)
{
    return QByteArrayView(entry.CompressedData)
        .first(std::min<qsizetype>(entry.CompressedData.size(), entry.UncompressedSize));
}

// The same as a byte array of its own, not a slice of the archive: callers
// may rely on a closing '\0', as for any byte array not made from raw data.
QByteArray StoredBytes(const TLocalFile& entry)
{
    return StoredView(entry).toByteArray();
}

// Room for the inflated data: the declared size when the compressed data can
// plausibly yield it, otherwise a start that grows as inflation produces.
qint64 InitialRoom(const TLocalFile& entry, qint64 limit)
{
    const qint64 plausible = qint64(entry.CompressedData.size()) * 8 + (1 << 20);
    return std::min(limit, plausible);
}

// Inflates a deflated entry slice by slice, at most `limit` bytes, and
// computes the CRC of each slice while it is still in the cache. `slice(done)`
// returns where the next slice goes and the room there (at least one byte).
// Returns the CRC and the number of bytes produced.
template <typename SliceAt>
std::pair<quint32, qint64> InflateSlices(const TLocalFile& entry, qint64 limit, SliceAt slice)
{
    quint32 crc = 0;
    qint64 produced = 0;
    if (limit == 0)
        return {crc, produced};
    TInflater inflater(entry.CompressedData);
    while (produced < limit && !inflater.Finished()) {
        const auto [out, room] = slice(produced);
        const qint64 got = inflater.Produce(out, std::min({room, CrcSliceSize, limit - produced}));
        crc = quint32(crc32_z(crc, reinterpret_cast<const Bytef*>(out), size_t(got)));
        produced += got;
    }
    return {crc, produced};
}

class TDeflateStream {
public:
    TDeflateStream()
    {
        if (deflateInit2(&m_stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                         Z_DEFAULT_STRATEGY) != Z_OK)
            ThrowZlibError();
    }
    ~TDeflateStream() { deflateEnd(&m_stream); }
    TDeflateStream(const TDeflateStream&) = delete;
    TDeflateStream& operator=(const TDeflateStream&) = delete;

    QByteArray Run(const QByteArray& data);

private:
    z_stream m_stream{};
};

QByteArray TDeflateStream::Run(const QByteArray& data)
{
    QByteArray out(qsizetype(deflateBound(&m_stream, uLong(data.size()))), Qt::Uninitialized);
    const char* in = data.constData();
    qint64 inLeft = data.size();
    qint64 written = 0;
    int result = Z_OK;
    while (result != Z_STREAM_END) {
        if (m_stream.avail_in == 0 && inLeft > 0) {
            const qint64 slice = std::min(inLeft, SliceSize);
            m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in));
            m_stream.avail_in = uInt(slice);
            in += slice;
            inLeft -= slice;
        }
        const uInt room = uInt(std::min(qint64(out.size()) - written, SliceSize));
        m_stream.next_out = reinterpret_cast<Bytef*>(out.data() + written);
        m_stream.avail_out = room;
        result = deflate(&m_stream, inLeft == 0 ? Z_FINISH : Z_NO_FLUSH);
        written += room - m_stream.avail_out;
        if (result != Z_OK && result != Z_STREAM_END)
            ThrowZlibError();
    }
    out.resize(written);
    if (out.capacity() - out.size() > 4096)
        out.squeeze();
    return out;
}
} // namespace

// ---- loading and saving ------------------------------------------------------

void TZipFile::LoadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("Cannot open file \"%1\". %2")
                            .arg(FullPath(fileName), file.errorString()));
    LoadFromStream(file);
}

void TZipFile::LoadFromStream(QIODevice& stream)
{
    TZipReader reader(ByteBuffers::ReadToEnd(stream));
    TZipContent content = reader.ReadInOrder();
    if (!content.Missing.isEmpty()) {
        // The directory must list at least the entries found in order.
        TZipContent byDirectory;
        if (reader.ReadByDirectory(byDirectory) &&
            byDirectory.Entries.size() >= content.Entries.size())
            content = std::move(byDirectory);
    }
    const auto* file = qobject_cast<const QFileDevice*>(&stream);
    Adopt(std::move(content), file ? FullPath(file->fileName()) : QString());
}

// Takes over what a read found: its lists as they are into an empty object
// (every load uses a new one), appended to what an object already held.
void TZipFile::Adopt(TZipContent&& content, const QString& source)
{
    if (Entries.isEmpty() && CentralDirectory.isEmpty()) {
        Entries = std::move(content.Entries);
        CentralDirectory = std::move(content.CentralDirectory);
    } else {
        Entries.append(std::move(content.Entries));
        CentralDirectory.append(std::move(content.CentralDirectory));
    }
    if (content.EndRecord.Signature != 0) {
        EndRecord = content.EndRecord;
        ZipComment = std::move(content.ZipComment);
    }
    if (m_missing.isEmpty())
        m_missing = std::move(content.Missing);
    m_readByDirectory = content.ByDirectory;
    m_source = source;
}

void TZipFile::SaveToFile(const QString& fileName) const
{
    CheckOverwrite(fileName);
    CheckSaveLimits(0);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception(QStringLiteral("Cannot create file \"%1\". %2")
                            .arg(FullPath(fileName), file.errorString()));
    SaveToStream(file);
    if (!file.commit())
        throw Exception(QStringLiteral("Cannot create file \"%1\". %2")
                            .arg(FullPath(fileName), file.errorString()));
}

void TZipFile::SaveToStream(QIODevice& stream) const
{
    const qint64 start = stream.pos();
    CheckSaveLimits(start);
    QList<quint32> offsets;
    offsets.reserve(Entries.size());
    qint64 position = start;
    for (const TLocalFile& local : Entries) {
        offsets.append(quint32(position));
        position += WriteLocalFile(stream, local);
    }
    TZipEndRecord end;
    end.Signature = EndRecordSignature;
    end.CentralDirOffset = quint32(position);
    for (int i = 0; i < Count(); ++i)
        position += WriteFileHeader(stream, CentralRecord(i), offsets.at(i));
    end.EntriesOnDisk = end.TotalEntries = quint16(Count());
    end.CentralDirSize = quint32(position - end.CentralDirOffset);
    end.CommentLength = quint16(ZipComment.size());
    char fixed[EndRecordFixedSize];
    RecordCodec::PutEndRecord(fixed, end);
    WriteBytes(stream, fixed, EndRecordFixedSize);
    WriteBytes(stream, ZipComment.constData(), ZipComment.size());
}

// An archive that was not read completely holds less than its file; saving
// it over that file would lose the entries that were not read.
void TZipFile::CheckOverwrite(const QString& fileName) const
{
    if (m_missing.isEmpty() || m_source.isEmpty() || FullPath(fileName) != m_source)
        return;
    throw Exception(QStringLiteral("Cannot save \"%1\": the archive was not read completely (%2). "
                                   "Saving it would lose entries, so the file is left unchanged.")
                        .arg(m_source, m_missing));
}

// Counts, sizes and offsets must fit their fields; checked before anything is
// written, so a failed save never leaves a wrapped number behind.
void TZipFile::CheckSaveLimits(qint64 startPosition) const
{
    if (Count() > qint64(MaxEntries))
        ThrowTooLarge(QStringLiteral("%1 entries (at most 65535)").arg(Count()));
    if (CentralDirectory.size() != Entries.size())
        throw Exception(QStringLiteral("Cannot save the archive: it holds %1 entries but %2 "
                                       "central records.")
                            .arg(Entries.size())
                            .arg(CentralDirectory.size()));
    if (ZipComment.size() > MaxField16)
        ThrowTooLarge(QStringLiteral("the archive comment"));
    qint64 position = startPosition;
    for (const TLocalFile& local : Entries) {
        if (position > MaxField32)
            ThrowTooLarge(QStringLiteral("the offset of entry \"%1\"")
                              .arg(QString::fromLocal8Bit(local.FileName)));
        position += LocalFileSize(local);
    }
    if (position > MaxField32)
        ThrowTooLarge(QStringLiteral("the offset of the central directory"));
    qint64 centralSize = 0;
    for (int i = 0; i < Count(); ++i)
        centralSize += FileHeaderSize(CentralRecord(i));
    if (centralSize > MaxField32)
        ThrowTooLarge(QStringLiteral("the size of the central directory"));
}

qint64 TZipFile::WriteLocalFile(QIODevice& stream, const TLocalFile& local)
{
    char fixed[LocalFileFixedSize];
    RecordCodec::PutLocalFileFixed(fixed, local);
    WriteBytes(stream, fixed, LocalFileFixedSize);
    WriteField(stream, local.FileName, local.FileNameLength);
    WriteField(stream, local.ExtraField, local.ExtraFieldLength);
    WriteField(stream, local.CompressedData, local.CompressedSize);
    return LocalFileSize(local);
}

qint64 TZipFile::WriteFileHeader(QIODevice& stream, const TFileHeader& header,
                                 quint32 localHeaderOffset)
{
    char fixed[FileHeaderFixedSize];
    RecordCodec::PutFileHeaderFixed(fixed, header, localHeaderOffset);
    WriteBytes(stream, fixed, FileHeaderFixedSize);
    WriteField(stream, header.FileName, header.FileNameLength);
    WriteField(stream, header.ExtraField, header.ExtraFieldLength);
    WriteField(stream, header.FileComment, header.FileCommentLength);
    return FileHeaderSize(header);
}

// The central record saved for entry `index`. An entry whose archive had no
// central record for it (all zero after loading) gets one made from its local
// record, so that the saved archive is whole.
TFileHeader TZipFile::CentralRecord(int index) const
{
    const TFileHeader& stored = CentralDirectory.at(index);
    if (stored.Signature != 0)
        return stored;
    const TLocalFile& local = Entries.at(index);
    TFileHeader header;
    static_cast<TSharedBlock&>(header) = local;
    header.Signature = FileHeaderSignature;
    header.VersionMadeBy = 20;
    header.FileName = local.FileName;
    header.ExtraField = local.ExtraField;
    return header;
}

// ---- entries -----------------------------------------------------------------

void TZipFile::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw Exception(QStringLiteral("Index out of range."));
}

QByteArray TZipFile::GetName(int index) const
{
    CheckIndex(index);
    return Entries.at(index).FileName;
}

void TZipFile::AddEntry(const QByteArray& name, quint32 externalAttributes)
{
    CheckNameLength(name);
    TLocalFile local;
    local.Signature = LocalFileSignature;
    local.VersionNeeded = 20;
    local.CompressionMethod = Z_DEFLATED;
    local.Flags = NameEncodingFlags(name);
    local.FileName = name;
    local.FileNameLength = quint16(name.size());
    TFileHeader header;
    header.Signature = FileHeaderSignature;
    header.VersionMadeBy = 20;
    header.ExternalAttributes = externalAttributes;
    Entries.append(local);
    CentralDirectory.append(header);
    CopyBlockToCentral(Count() - 1);
}

// The central record takes the local record's shared block, name and extra
// field; its comment is dropped.
void TZipFile::CopyBlockToCentral(int index)
{
    const TLocalFile& local = Entries.at(index);
    TFileHeader& header = CentralDirectory[index];
    static_cast<TSharedBlock&>(header) = local;
    header.FileName = local.FileName;
    header.ExtraField = local.ExtraField;
    header.FileComment.clear();
    header.FileCommentLength = 0;
}

void TZipFile::SetData(int index, const QByteArray& data)
{
    CheckIndex(index);
    SetDeflated(index, Deflate(data));
}

TZipFile::TDeflated TZipFile::Deflate(const QByteArray& data)
{
    if (data.size() > MaxField32)
        throw Exception(QStringLiteral("Cannot compress %1 bytes: an entry holds at most 4 GiB.")
                            .arg(data.size()));
    TDeflated deflated;
    deflated.CompressedData = TDeflateStream().Run(data);
    if (deflated.CompressedData.size() > MaxField32)
        throw Exception(QStringLiteral("Cannot compress %1 bytes: an entry holds at most 4 GiB.")
                            .arg(data.size()));
    deflated.Crc32 = ComputeCrc32(data.constData(), data.size());
    deflated.UncompressedSize = quint32(data.size());
    return deflated;
}

void TZipFile::SetDeflated(int index, const TDeflated& deflated)
{
    CheckIndex(index);
    TLocalFile& local = Entries[index];
    local.Signature = LocalFileSignature;
    local.VersionNeeded = 20;
    local.Flags = NameEncodingFlags(local.FileName);
    local.CompressionMethod = Z_DEFLATED;
    local.Crc32 = deflated.Crc32;
    local.CompressedSize = quint32(deflated.CompressedData.size());
    local.UncompressedSize = deflated.UncompressedSize;
    local.FileNameLength = quint16(local.FileName.size());
    local.ExtraFieldLength = quint16(local.ExtraField.size());
    local.CompressedData = deflated.CompressedData;
    TFileHeader& header = CentralDirectory[index];
    header.Signature = FileHeaderSignature;
    header.VersionMadeBy = 20;
    header.DiskNumberStart = 0;
    header.InternalAttributes = 0;
    header.LocalHeaderOffset = 0;
    CopyBlockToCentral(index);
}

void TZipFile::GetData(int index, QByteArray& data) const
{
    CheckIndex(index);
    Inflate(Entries.at(index), data);
}

QByteArray TZipFile::GetData(int index) const
{
    QByteArray data;
    GetData(index, data);
    return data;
}

void TZipFile::Inflate(const TLocalFile& entry, QByteArray& data)
{
    CheckMethod(entry);
    if (entry.CompressionMethod == 0) {
        data = StoredBytes(entry);
        CheckCrc(entry, ComputeCrc32(data.constData(), data.size()), data.size());
        return;
    }
    const qint64 limit =
        std::min<qint64>(entry.UncompressedSize, TInflater::MaxOutput(entry.CompressedData.size()));
    data.resize(InitialRoom(entry, limit));
    const auto [crc, produced] = InflateSlices(entry, limit, [&](qint64 done) {
        if (done == data.size())
            data.resize(std::min(limit, done * 2));
        return std::pair(data.data() + done, qint64(data.size()) - done);
    });
    data.resize(produced);
    CheckCrc(entry, crc, produced);
}

void TZipFile::Verify(const TLocalFile& entry)
{
    CheckMethod(entry);
    if (entry.CompressionMethod == 0) {
        const QByteArrayView data = StoredView(entry);
        CheckCrc(entry, ComputeCrc32(data.data(), data.size()), data.size());
        return;
    }
    QByteArray slice(CrcSliceSize, Qt::Uninitialized);
    const auto [crc, produced] = InflateSlices(entry, entry.UncompressedSize, [&](qint64) {
        return std::pair(slice.data(), CrcSliceSize);
    });
    CheckCrc(entry, crc, produced);
}

void TZipFile::SetDateTime(int index, const QDateTime& time)
{
    CheckIndex(index);
    std::optional<qint64> utc;
    if (time.isValid())
        utc = time.toSecsSinceEpoch();
    SetDosDateTime(index, DateTimeToDos(time), utc);
}

void TZipFile::SetDosDateTime(int index, quint32 dosDateTime, std::optional<qint64> utcSeconds)
{
    CheckIndex(index);
    TLocalFile& local = Entries[index];
    TFileHeader& header = CentralDirectory[index];
    const QByteArray extra = ExtendedTime::WithModificationTime(local.ExtraField, utcSeconds);
    if (extra.size() > MaxField16)
        throw Exception(QStringLiteral("The extra field of \"%1\" is longer than 65535 bytes.")
                            .arg(QString::fromLocal8Bit(local.FileName)));
    local.FileDateTime = header.FileDateTime = dosDateTime;
    local.ExtraField = header.ExtraField = extra;
    local.ExtraFieldLength = header.ExtraFieldLength = quint16(extra.size());
}

QDateTime TZipFile::GetDateTime(int index) const
{
    if (const std::optional<qint64> utc = GetUtcTime(index))
        return QDateTime::fromSecsSinceEpoch(*utc, Qt::UTC).toLocalTime();
    return DosToDateTime(Entries.at(index).FileDateTime);
}

std::optional<qint64> TZipFile::GetUtcTime(int index) const
{
    CheckIndex(index);
    const TLocalFile& local = Entries.at(index);
    return ExtendedTime::EntryTime(local.ExtraField, local.FileDateTime);
}

int TZipFile::FindEntry(const QByteArray& text) const
{
    for (int i = 0; i < Count(); ++i)
        if (ContainsEntryName(text, Entries.at(i).FileName))
            return i;
    return -1;
}

int TZipFile::FindExactEntry(const QByteArray& text) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameEntryName(text, Entries.at(i).FileName))
            return i;
    return -1;
}

void TZipFile::RenameEntry(int index, const QByteArray& newName)
{
    if (index < 0 || index >= Count())
        return;
    CheckNameLength(newName);
    TLocalFile& local = Entries[index];
    local.FileName = newName;
    local.FileNameLength = quint16(newName.size());
    local.Flags = quint16((local.Flags & ~Utf8NameFlag) | NameEncodingFlags(newName));
    CopyBlockToCentral(index);
}

void TZipFile::DeleteEntry(const QByteArray& text)
{
    const int index = FindEntry(text);
    if (index < 0)
        return;
    Entries.removeAt(index);
    CentralDirectory.removeAt(index);
}

QString TZipFile::NextVersionName(const QString& name) const
{
    const QByteArray bytes = name.toLocal8Bit();
    if (FindEntry(bytes) < 0)
        return name;
    for (int number = 1;; ++number) {
        const QByteArray candidate =
            bytes + ".V" + QByteArray::number(number).rightJustified(3, '0');
        if (FindExactEntry(candidate) < 0)
            return QString::fromLocal8Bit(candidate);
    }
}
