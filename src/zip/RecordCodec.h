#pragma once

#include <QByteArray>
#include <QtGlobal>

#include "ZipRecords.h"

// Little-endian encoding and decoding of the record fields.
namespace RecordCodec {
quint16 Get16(const char* bytes);
quint32 Get32(const char* bytes);
void Put16(char* bytes, quint16 value);
void Put32(char* bytes, quint32 value);

// The 26-byte block shared by local and central records.
TSharedBlock GetSharedBlock(const char* bytes);
void PutSharedBlock(char* bytes, const TSharedBlock& block);

// Fixed parts of the records, signature included, into `bytes` (which must
// hold the fixed size of the record); the variable fields are not touched.
void GetFileHeaderFixed(const char* bytes, TFileHeader& header);
void PutLocalFileFixed(char* bytes, const TLocalFile& local);
void PutFileHeaderFixed(char* bytes, const TFileHeader& header, quint32 localHeaderOffset);
void GetEndRecord(const char* bytes, TZipEndRecord& record);
void PutEndRecord(char* bytes, const TZipEndRecord& record);
} // namespace RecordCodec
