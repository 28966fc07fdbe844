#pragma once

#include <QByteArray>
#include <QtGlobal>

// Deterministic benchmark data: the same seed gives the same bytes on every run.
namespace BenchData {
// Text made of words from a small vocabulary, in lines.
QByteArray Text(qint64 size, quint32 seed);
// Incompressible bytes.
QByteArray Random(qint64 size, quint32 seed);
// Half text, half random, in blocks of 64 KiB.
QByteArray Mixed(qint64 size, quint32 seed);
} // namespace BenchData
