#pragma once

#include <QByteArray>
#include <QTypeInfo>
#include <QtGlobal>

// The three record types of a zip archive as they are held in memory. Every
// number is stored little-endian on disk with the width of its field here.

inline constexpr quint32 LocalFileSignature = 0x04034b50;
inline constexpr quint32 FileHeaderSignature = 0x02014b50;
inline constexpr quint32 EndRecordSignature = 0x06054b50;

// Sizes on disk of the fixed parts of the records.
inline constexpr int LocalFileFixedSize = 30;
inline constexpr int FileHeaderFixedSize = 46;
inline constexpr int EndRecordFixedSize = 22;
// The ten fields from VersionNeeded to ExtraFieldLength, stored alike in the
// local and in the central record.
inline constexpr int SharedBlockSize = 26;

// The fields a local record and its central record share, in disk order.
struct TSharedBlock {
    quint16 VersionNeeded = 0;
    quint16 Flags = 0;
    quint16 CompressionMethod = 0;
    quint32 FileDateTime = 0; // MS-DOS time in the low word, date in the high word
    quint32 Crc32 = 0;
    quint32 CompressedSize = 0;
    quint32 UncompressedSize = 0;
    quint16 FileNameLength = 0;
    quint16 ExtraFieldLength = 0;

    bool operator==(const TSharedBlock&) const = default;
};

// The local record of an entry together with its compressed bytes.
struct TLocalFile : TSharedBlock {
    quint32 Signature = 0;
    QByteArray FileName;
    QByteArray ExtraField;
    // Raw deflate data. A record cut short by the end of the archive holds
    // fewer bytes than CompressedSize; the missing tail counts as zero bytes.
    QByteArray CompressedData;
};

// The central directory record of an entry.
struct TFileHeader : TSharedBlock {
    quint32 Signature = 0;
    quint16 VersionMadeBy = 0;
    quint16 FileCommentLength = 0;
    quint16 DiskNumberStart = 0;
    quint16 InternalAttributes = 0;
    quint32 ExternalAttributes = 0;
    quint32 LocalHeaderOffset = 0;
    QByteArray FileName;
    QByteArray ExtraField;
    QByteArray FileComment;
};

// The end-of-central-directory record; the archive comment that follows it on
// disk is held by the archive object.
struct TZipEndRecord {
    quint32 Signature = 0;
    quint16 DiskNumber = 0;
    quint16 CentralDirStartDisk = 0;
    quint16 EntriesOnDisk = 0;
    quint16 TotalEntries = 0;
    quint32 CentralDirSize = 0;
    quint32 CentralDirOffset = 0;
    quint16 CommentLength = 0;
};

// The records hold only numbers and implicitly shared byte arrays, so lists
// of them may move their elements in memory as they grow.
Q_DECLARE_TYPEINFO(TLocalFile, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(TFileHeader, Q_RELOCATABLE_TYPE);
