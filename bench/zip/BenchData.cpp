#include "BenchData.h"

#include <array>

namespace {
// A small linear congruential generator: fast and the same everywhere.
class TGenerator {
public:
    explicit TGenerator(quint32 seed) : m_state(seed * 2654435761u + 1) {}
    quint32 Next()
    {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return quint32(m_state >> 33);
    }

private:
    quint64 m_state;
};

constexpr std::array<const char*, 24> Words{
    "archive", "entry", "file",   "project", "sync",  "the",    "of",    "and",
    "data",    "time",  "folder", "version", "zip",   "window", "list",  "report",
    "a",       "to",    "is",     "in",      "value", "number", "table", "copy"};
} // namespace

QByteArray BenchData::Text(qint64 size, quint32 seed)
{
    TGenerator generator(seed);
    QByteArray text;
    text.reserve(size + 16);
    int column = 0;
    while (text.size() < size) {
        const char* word = Words.at(generator.Next() % Words.size());
        text += word;
        column += int(qstrlen(word)) + 1;
        if (column > 70) {
            text += '\n';
            column = 0;
        } else {
            text += ' ';
        }
    }
    text.truncate(size);
    return text;
}

QByteArray BenchData::Random(qint64 size, quint32 seed)
{
    TGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char(generator.Next() >> 7);
    return bytes;
}

QByteArray BenchData::Mixed(qint64 size, quint32 seed)
{
    constexpr qint64 Block = 64 * 1024;
    QByteArray bytes;
    bytes.reserve(size);
    for (quint32 block = 0; bytes.size() < size; ++block) {
        const qint64 length = std::min(Block, size - bytes.size());
        bytes += block % 2 ? Random(length, seed + block) : Text(length, seed + block);
    }
    return bytes;
}
