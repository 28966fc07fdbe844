#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <QByteArray>

#include <zlib.h>

// Checks an archive's entries while its bytes still arrive: a worker thread
// walks the local records in order, inflates each entry's data and compares
// its CRC and size, so that a download's check costs no time of its own.
// It only vouches for plain archives (records back to back from the start,
// sizes in the local records, stored or deflated entries, all of them
// whole); anything else it leaves to the full check of the finished file,
// which then also gives the exact reason. Nothing here throws.
class TZipStreamCheck {
public:
    TZipStreamCheck();
    ~TZipStreamCheck();
    TZipStreamCheck(const TZipStreamCheck&) = delete;
    TZipStreamCheck& operator=(const TZipStreamCheck&) = delete;

    // Hands over the next bytes; waits while the worker is far behind.
    void Feed(const QByteArray& bytes);
    // Ends the stream and waits for the worker. True when every entry up to
    // the central directory was whole; false when the full check must decide.
    bool Finish();

private:
    enum class TState { Header, Skip, Data, Central, GaveUp };
    static constexpr size_t MaxQueued = 64;

    void Run();
    void Walk(const char* data, qsizetype size);
    qsizetype TakeHeader(const char* data, qsizetype size);
    qsizetype TakeData(const char* data, qsizetype size);
    void EndEntry();
    int InflateStep();
    void GiveUp();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_queue;
    bool m_ended = false;
    std::thread m_worker;

    // Walking state, touched by the worker only.
    TState m_state = TState::Header;
    QByteArray m_header;
    qint64 m_skipLeft = 0; // bytes of the name and extra field still to come
    qint64 m_dataLeft = 0; // bytes of the entry's data still to come
    quint16 m_method = 0;
    quint32 m_crc = 0;
    quint32 m_expectedCrc = 0;
    quint32 m_uncompressedSize = 0;
    qint64 m_produced = 0;
    bool m_streamEnded = false;
    int m_entries = 0;
    z_stream m_zip{};
    bool m_zipOpen = false;
    QByteArray m_out;
};
