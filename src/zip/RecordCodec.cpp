#include "RecordCodec.h"

#include <QtEndian>

quint16 RecordCodec::Get16(const char* bytes)
{
    return qFromLittleEndian<quint16>(bytes);
}

quint32 RecordCodec::Get32(const char* bytes)
{
    return qFromLittleEndian<quint32>(bytes);
}

void RecordCodec::Put16(char* bytes, quint16 value)
{
    qToLittleEndian<quint16>(value, bytes);
}

void RecordCodec::Put32(char* bytes, quint32 value)
{
    qToLittleEndian<quint32>(value, bytes);
}

TSharedBlock RecordCodec::GetSharedBlock(const char* bytes)
{
    TSharedBlock block;
    block.VersionNeeded = Get16(bytes);
    block.Flags = Get16(bytes + 2);
    block.CompressionMethod = Get16(bytes + 4);
    block.FileDateTime = Get32(bytes + 6);
    block.Crc32 = Get32(bytes + 10);
    block.CompressedSize = Get32(bytes + 14);
    block.UncompressedSize = Get32(bytes + 18);
    block.FileNameLength = Get16(bytes + 22);
    block.ExtraFieldLength = Get16(bytes + 24);
    return block;
}

void RecordCodec::PutSharedBlock(char* bytes, const TSharedBlock& block)
{
    Put16(bytes, block.VersionNeeded);
    Put16(bytes + 2, block.Flags);
    Put16(bytes + 4, block.CompressionMethod);
    Put32(bytes + 6, block.FileDateTime);
    Put32(bytes + 10, block.Crc32);
    Put32(bytes + 14, block.CompressedSize);
    Put32(bytes + 18, block.UncompressedSize);
    Put16(bytes + 22, block.FileNameLength);
    Put16(bytes + 24, block.ExtraFieldLength);
}

void RecordCodec::GetFileHeaderFixed(const char* bytes, TFileHeader& header)
{
    header.Signature = Get32(bytes);
    header.VersionMadeBy = Get16(bytes + 4);
    static_cast<TSharedBlock&>(header) = GetSharedBlock(bytes + 6);
    header.FileCommentLength = Get16(bytes + 32);
    header.DiskNumberStart = Get16(bytes + 34);
    header.InternalAttributes = Get16(bytes + 36);
    header.ExternalAttributes = Get32(bytes + 38);
    header.LocalHeaderOffset = Get32(bytes + 42);
}

void RecordCodec::PutLocalFileFixed(char* bytes, const TLocalFile& local)
{
    Put32(bytes, local.Signature);
    PutSharedBlock(bytes + 4, local);
}

void RecordCodec::PutFileHeaderFixed(char* bytes, const TFileHeader& header,
                                     quint32 localHeaderOffset)
{
    Put32(bytes, header.Signature);
    Put16(bytes + 4, header.VersionMadeBy);
    PutSharedBlock(bytes + 6, header);
    Put16(bytes + 32, header.FileCommentLength);
    Put16(bytes + 34, header.DiskNumberStart);
    Put16(bytes + 36, header.InternalAttributes);
    Put32(bytes + 38, header.ExternalAttributes);
    Put32(bytes + 42, localHeaderOffset);
}

void RecordCodec::GetEndRecord(const char* bytes, TZipEndRecord& record)
{
    record.Signature = Get32(bytes);
    record.DiskNumber = Get16(bytes + 4);
    record.CentralDirStartDisk = Get16(bytes + 6);
    record.EntriesOnDisk = Get16(bytes + 8);
    record.TotalEntries = Get16(bytes + 10);
    record.CentralDirSize = Get32(bytes + 12);
    record.CentralDirOffset = Get32(bytes + 16);
    record.CommentLength = Get16(bytes + 20);
}

void RecordCodec::PutEndRecord(char* bytes, const TZipEndRecord& record)
{
    Put32(bytes, record.Signature);
    Put16(bytes + 4, record.DiskNumber);
    Put16(bytes + 6, record.CentralDirStartDisk);
    Put16(bytes + 8, record.EntriesOnDisk);
    Put16(bytes + 10, record.TotalEntries);
    Put32(bytes + 12, record.CentralDirSize);
    Put32(bytes + 16, record.CentralDirOffset);
    Put16(bytes + 20, record.CommentLength);
}
