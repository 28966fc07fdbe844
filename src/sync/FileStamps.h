#pragma once

#include <vector>

#include <QByteArray>
#include <QStringList>

#include "FileStatReader.h"

// The stamps of a run of files of a file list, read on several threads: a
// stat() per file is most of a comparison's cost, and the calls are
// independent. What is read does not depend on the number of threads.
class TFileStamps {
public:
    // Reads files[first, last): each file's local 8-bit path, and its stamp
    // unless it names no regular file. Replaces what was read before.
    void Read(const QStringList& files, qsizetype first, qsizetype last);

    // True when the last Read() covered file `index`.
    bool Holds(qsizetype index) const
    {
        return index >= m_first && index - m_first < qsizetype(m_stamps.size());
    }
    // For a file index of the last Read().
    const QByteArray& Path(qsizetype index) const { return m_paths.at(size_t(index - m_first)); }
    bool Exists(qsizetype index) const { return m_exists.at(size_t(index - m_first)) != 0; }
    const TFileStamp& Stamp(qsizetype index) const { return m_stamps.at(size_t(index - m_first)); }

private:
    void ReadSlice(const QStringList& files, qsizetype first, qsizetype last);

    qsizetype m_first = 0;
    std::vector<QByteArray> m_paths;
    std::vector<TFileStamp> m_stamps;
    std::vector<char> m_exists; // not vector<bool>: threads write neighbouring items
};
