#include "ZipStreamCheck.h"

#include <QtEndian>

#include "ZipRecords.h"

namespace {
constexpr int OutSize = 256 * 1024;
constexpr quint16 EncryptedFlag = 0x0001;
constexpr quint16 DataDescriptorFlag = 0x0008;

quint16 Word16(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

quint32 Word32(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}
} // namespace

TZipStreamCheck::TZipStreamCheck() : m_out(OutSize, Qt::Uninitialized)
{
    m_worker = std::thread([this] { Run(); });
}

TZipStreamCheck::~TZipStreamCheck()
{
    Finish();
    if (m_zipOpen)
        inflateEnd(&m_zip);
}

void TZipStreamCheck::Feed(const QByteArray& bytes)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.size() < MaxQueued; });
    m_queue.push_back(bytes);
    // Only a worker with nothing to do waits for more.
    if (m_queue.size() == 1)
        m_changed.notify_all();
}

bool TZipStreamCheck::Finish()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ended = true;
        m_changed.notify_all();
    }
    if (m_worker.joinable())
        m_worker.join();
    return m_state == TState::Central;
}

void TZipStreamCheck::Run()
{
    for (;;) {
        std::deque<QByteArray> taken;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_queue.empty() || m_ended; });
            if (m_queue.empty())
                break;
            // Everything queued at once, so the feeder is woken once per batch.
            taken.swap(m_queue);
            m_changed.notify_all();
        }
        for (const QByteArray& bytes : taken)
            Walk(bytes.constData(), bytes.size());
    }
    // A stream that ends inside a record is cut short.
    if (m_state != TState::Central)
        GiveUp();
}

void TZipStreamCheck::Walk(const char* data, qsizetype size)
{
    while (size > 0 && m_state != TState::Central && m_state != TState::GaveUp) {
        qsizetype used = 0;
        if (m_state == TState::Header) {
            used = TakeHeader(data, size);
        } else if (m_state == TState::Skip) {
            used = qsizetype(qMin<qint64>(m_skipLeft, size));
            m_skipLeft -= used;
        } else {
            used = TakeData(data, size);
        }
        data += used;
        size -= used;
        if (m_state == TState::Skip && m_skipLeft == 0)
            m_state = TState::Data;
        if (m_state == TState::Data && m_dataLeft == 0)
            EndEntry();
    }
}

// Collects a local record's fixed part; the central directory's first
// signature ends the walk.
qsizetype TZipStreamCheck::TakeHeader(const char* data, qsizetype size)
{
    const qsizetype used = qMin<qsizetype>(LocalFileFixedSize - m_header.size(), size);
    m_header.append(data, used);
    if (m_header.size() >= 4 && Word32(m_header, 0) == FileHeaderSignature && m_entries > 0) {
        m_state = TState::Central;
        return used;
    }
    if (m_header.size() < LocalFileFixedSize)
        return used;
    const quint16 flags = Word16(m_header, 6);
    m_method = Word16(m_header, 8);
    m_expectedCrc = Word32(m_header, 14);
    m_dataLeft = Word32(m_header, 18);
    m_uncompressedSize = Word32(m_header, 22);
    m_skipLeft = qint64(Word16(m_header, 26)) + Word16(m_header, 28);
    const bool plain = Word32(m_header, 0) == LocalFileSignature &&
                       !(flags & (EncryptedFlag | DataDescriptorFlag)) &&
                       (m_method == 0 || (m_method == 8 && m_dataLeft > 0));
    m_header.clear();
    if (!plain) {
        GiveUp();
        return used;
    }
    m_crc = crc32(0, nullptr, 0);
    m_produced = 0;
    m_streamEnded = m_method == 0;
    if (m_method == 8) {
        if (m_zipOpen)
            inflateReset(&m_zip);
        else
            m_zipOpen = inflateInit2(&m_zip, -MAX_WBITS) == Z_OK;
        if (!m_zipOpen) {
            GiveUp();
            return used;
        }
    }
    m_state = TState::Skip;
    return used;
}

qsizetype TZipStreamCheck::TakeData(const char* data, qsizetype size)
{
    const qsizetype used = qsizetype(qMin<qint64>(m_dataLeft, size));
    m_dataLeft -= used;
    if (m_method == 0) {
        m_crc = crc32_z(m_crc, reinterpret_cast<const Bytef*>(data), size_t(used));
        m_produced += used;
        return used;
    }
    m_zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    m_zip.avail_in = uInt(used);
    while (m_zip.avail_in > 0 && !m_streamEnded) {
        const int result = InflateStep();
        if (result == Z_STREAM_END)
            m_streamEnded = true;
        else if (result != Z_OK && result != Z_BUF_ERROR) {
            GiveUp();
            return used;
        }
    }
    return used;
}

// Output still held by the inflater comes out once all input is in.
void TZipStreamCheck::EndEntry()
{
    while (m_method == 8 && !m_streamEnded) {
        const qint64 before = m_produced;
        const int result = InflateStep();
        if (result == Z_STREAM_END)
            m_streamEnded = true;
        else if (m_produced == before || result != Z_OK)
            break;
    }
    if (!m_streamEnded || m_crc != m_expectedCrc || m_produced != m_uncompressedSize) {
        GiveUp();
        return;
    }
    ++m_entries;
    m_state = TState::Header;
}

// One inflate call into the scratch buffer; its output goes into the CRC.
int TZipStreamCheck::InflateStep()
{
    m_zip.next_out = reinterpret_cast<Bytef*>(m_out.data());
    m_zip.avail_out = uInt(m_out.size());
    const int result = inflate(&m_zip, Z_NO_FLUSH);
    const qsizetype produced = m_out.size() - qsizetype(m_zip.avail_out);
    m_crc = crc32_z(m_crc, reinterpret_cast<const Bytef*>(m_out.constData()), size_t(produced));
    m_produced += produced;
    return result;
}

void TZipStreamCheck::GiveUp()
{
    m_state = TState::GaveUp;
}
