#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <zlib.h>

// Raw inflate (RFC 1951) of one buffer, producing output in slices of the
// caller's choosing. The input is read, never copied; it must outlive the
// inflater.
class TInflater {
public:
    explicit TInflater(const QByteArray& input);
    ~TInflater();
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    // Writes at most `size` bytes to `out` and returns how many it wrote.
    // Throws Exception("Error") when the input is no valid deflate data.
    qint64 Produce(char* out, qint64 size);
    // True once the deflate stream has ended or the input has run out.
    bool Finished() const { return m_finished; }

    // The most bytes that `compressedSize` bytes of deflate data can yield
    // (a deflate stream expands at most about 1032 to 1).
    static qint64 MaxOutput(qint64 compressedSize);

private:
    void FeedInput();

    z_stream m_stream{};
    const char* m_next = nullptr;
    qint64 m_left = 0;
    bool m_finished = false;
};
