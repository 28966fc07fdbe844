#pragma once

#include <QString>

#include "ZipFile.h"

// Deflates a file as TZipFile::Deflate deflates its bytes (the same zlib
// settings, so the same compressed bytes), but reads the file in slices: a
// large file never stands in memory whole, only its compressed form does.
// Safe to call on any thread. Raises "Cannot open file ..." or "Cannot read
// file ..." with the system's reason, and refuses files of 4 GiB and more.
TZipFile::TDeflated DeflateFile(const QString& path);
