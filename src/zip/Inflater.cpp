#include "Inflater.h"

#include <algorithm>

#include "Exception.h"

namespace {
// zlib counts in 32-bit units; larger buffers go through in slices.
constexpr qint64 SliceSize = qint64(1) << 30;

[[noreturn]] void ThrowZlibError()
{
    throw Exception(QStringLiteral("Error"));
}
} // namespace

TInflater::TInflater(const QByteArray& input) : m_next(input.constData()), m_left(input.size())
{
    if (inflateInit2(&m_stream, -MAX_WBITS) != Z_OK)
        ThrowZlibError();
}

TInflater::~TInflater()
{
    inflateEnd(&m_stream);
}

qint64 TInflater::MaxOutput(qint64 compressedSize)
{
    return (compressedSize + 1) * 1032 + 1024;
}

void TInflater::FeedInput()
{
    const qint64 slice = std::min(m_left, SliceSize);
    m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(m_next));
    m_stream.avail_in = uInt(slice);
    m_next += slice;
    m_left -= slice;
}

qint64 TInflater::Produce(char* out, qint64 size)
{
    qint64 produced = 0;
    while (produced < size && !m_finished) {
        if (m_stream.avail_in == 0)
            FeedInput();
        const uInt room = uInt(std::min(size - produced, SliceSize));
        m_stream.next_out = reinterpret_cast<Bytef*>(out + produced);
        m_stream.avail_out = room;
        const int result = inflate(&m_stream, Z_NO_FLUSH);
        produced += room - m_stream.avail_out;
        if (result == Z_STREAM_END)
            m_finished = true;
        else if (result == Z_BUF_ERROR && m_stream.avail_in == 0 && m_left == 0)
            m_finished = true; // the input ran out before the stream's end
        else if (result != Z_OK)
            ThrowZlibError();
    }
    return produced;
}
