#pragma once

#include <QByteArray>
#include <QString>

#include <zlib.h>

#include "ZipFile.h"

// Deflates files as TZipFile::Deflate deflates its bytes (the same zlib
// settings, so the same compressed bytes), but reads each file in slices: a
// large file never stands in memory whole, only its compressed form does.
//
// One deflater serves many files in turn: its zlib stream is reset rather
// than built anew and its read buffer is kept, so a run of tiny files costs
// no allocations beyond each file's compressed bytes. A deflater belongs to
// one thread at a time. Raises "Cannot open file ..." or "Cannot read
// file ..." with the system's reason, and refuses files of 4 GiB and more.
class TZipBuildDeflater {
public:
    TZipBuildDeflater();
    ~TZipBuildDeflater();
    TZipBuildDeflater(const TZipBuildDeflater&) = delete;
    TZipBuildDeflater& operator=(const TZipBuildDeflater&) = delete;

    // `expectedSize` is the file's size as last seen (it only sizes the
    // buffers; a file that has grown or shrunk since is read whole); a
    // negative size asks the file.
    TZipFile::TDeflated Deflate(const QString& path, qint64 expectedSize = -1);

private:
    void Start(qint64 expectedSize);
    void Add(const char* data, qint64 size, bool last);
    void Grow();

    z_stream m_stream{};
    QByteArray m_slice;
    QByteArray m_out;
};

// One file with a deflater of its own.
TZipFile::TDeflated DeflateFile(const QString& path);
