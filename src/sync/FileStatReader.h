#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// What the comparison needs of a file on disk.
struct TFileStamp {
    qint64 Size = 0;
    qint64 Modified = 0; // milliseconds since the epoch
};

// Reads the size and modification time of regular files, one stat() each.
// On Linux a file is looked up relative to its folder, whose handle stays
// open while files of the same folder follow each other (as a file list
// orders them): the kernel then resolves one name per file, not the whole
// path again.
class TFileStatReader {
public:
    TFileStatReader() = default;
    ~TFileStatReader();
    TFileStatReader(const TFileStatReader&) = delete;
    TFileStatReader& operator=(const TFileStatReader&) = delete;

    // False when `path` (local 8-bit) names no regular file, a link to one
    // counting as a file.
    bool Read(const QByteArray& path, TFileStamp& stamp);

private:
    int FolderHandle(QByteArrayView folder);
    void CloseFolder();

    QByteArray m_folder; // the folder m_folderHandle is open on, with its separator
    int m_folderHandle = -1;
};
