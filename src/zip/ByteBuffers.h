#pragma once

#include <QByteArray>

class QIODevice;

// Large byte buffers that cost little to fill and to cut up: an archive is
// read into one buffer, and its entries' data are slices of it.
namespace ByteBuffers {
// The rest of the stream, from its position to its end, in one buffer.
QByteArray ReadToEnd(QIODevice& stream);

// `size` bytes of `whole` from `offset`, sharing its storage instead of
// copying them: the storage lives as long as any slice of it. Like a byte
// array made with fromRawData(), a slice is not followed by a '\0'; unlike
// one, it owns what it points to, and a change to it copies it first.
QByteArray Slice(const QByteArray& whole, qsizetype offset, qsizetype size);

// Maps the pages of [data, data + size) in one step where the system can,
// before they are written: on a virtual machine each page first touched
// otherwise costs a fault of several microseconds.
void Prefault(void* data, qsizetype size);
} // namespace ByteBuffers
