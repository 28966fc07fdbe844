#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include "ZipRecords.h"

// What a read of an archive's bytes found: the records, and what the read
// could not cover. `Missing` is empty when the archive was read completely:
// an end record was found, it lists exactly the entries read, and no record
// was cut short or left unread. Otherwise it says what is missing.
struct TZipContent {
    QList<TLocalFile> Entries;
    QList<TFileHeader> CentralDirectory; // as long as Entries
    TZipEndRecord EndRecord;
    QByteArray ZipComment;
    QString Missing;
    bool ByDirectory = false; // read through the central directory
};

// Reads the records of an archive held in memory, in two ways:
// - in order, from the first local record found in steps of 4 bytes, as the
//   archive's own writer lays them out: local records, central records, end
//   record;
// - through the end record and the central directory, as other zip tools
//   read, which also finds entries behind a prefix of any length and entries
//   whose sizes follow their data in a data descriptor.
class TZipReader {
public:
    // The entries' data will share the storage of `bytes`.
    explicit TZipReader(const QByteArray& bytes);

    TZipContent ReadInOrder();
    // False, with the reason in `content.Missing`, when the end record or the
    // central directory is missing, damaged or needs 64-bit extensions.
    bool ReadByDirectory(TZipContent& content);

private:
    quint32 ReadWord();
    void TakeInto(char* out, qint64 size, const char* record, qint64 offset);
    QByteArray Take(qint64 size, const char* record, qint64 offset);
    void TakeFixed(char* fixed, qint64 size, quint32 signature, const char* record);
    TLocalFile ReadLocalHead();
    void ReadLocal(TZipContent& content);
    TFileHeader ReadCentral();
    void ReadEnd(TZipContent& content);
    void Note(TZipContent& content, const QString& text) const;
    qint64 FindEndRecord() const;
    bool ReadDirectoryEntry(TZipContent& content, qint64& centralPos, qint64 prefix,
                            qint64 centralEnd);
    bool Fail(TZipContent& content, const QString& text) const;

    QByteArray m_owner;
    QByteArrayView m_bytes; // of m_owner
    qint64 m_pos = 0;
    QString m_cut; // the first record cut short by the end of the bytes
};
