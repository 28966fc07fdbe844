#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QList>
#include <QString>

#include "Exception.h"
#include "ZipRecords.h"
#include "ZipUtils.h"

struct TZipContent;

// The inflated data of an entry does not match the CRC-32 its record holds.
class EZipFileCRCError : public Exception {
public:
    using Exception::Exception;
};

// A whole zip archive held in memory: for every entry its local record with
// the compressed bytes and its central record, plus the end record and the
// archive comment. Entry operations edit the lists; saving writes the whole
// archive anew. Entries are deflated; the archive has no data descriptors,
// encryption, multiple disks or 64-bit extensions.
class TZipFile {
public:
    // The result of deflating one buffer, ready to be stored into an entry.
    struct TDeflated {
        QByteArray CompressedData;
        quint32 Crc32 = 0;
        quint32 UncompressedSize = 0;
    };

    QList<TLocalFile> Entries;
    QList<TFileHeader> CentralDirectory; // element i belongs to entry i
    TZipEndRecord EndRecord;
    QByteArray ZipComment;

    // Loading reads what it can. When the records do not follow one another
    // as this program writes them (a prefix, data descriptors), the archive is
    // read through its central directory instead.
    void LoadFromFile(const QString& fileName);
    void LoadFromStream(QIODevice& stream);
    // True unless a load could not read the whole archive: no end record, an
    // end record listing other entries than were read, a record cut short.
    bool ReadCompletely() const { return m_missing.isEmpty(); }
    // What the load could not read; empty when it read everything.
    const QString& MissingPart() const { return m_missing; }
    // True when the last load went through the central directory.
    bool ReadByDirectory() const { return m_readByDirectory; }
    // Writes through a temporary file that replaces the target only when the
    // whole archive was written; an existing archive stays whole on failure.
    // An archive that was not read completely is never saved over its file.
    void SaveToFile(const QString& fileName) const;
    void SaveToStream(QIODevice& stream) const;

    int Count() const { return int(Entries.size()); }
    QByteArray GetName(int index) const;

    void AddEntry(const QByteArray& name, quint32 externalAttributes);
    void SetData(int index, const QByteArray& data);
    // Inflates entry `index` and checks its CRC; on a CRC error `data` keeps
    // the inflated bytes and EZipFileCRCError is thrown.
    void GetData(int index, QByteArray& data) const;
    QByteArray GetData(int index) const;
    void SetDateTime(int index, const QDateTime& localTime);
    // The same with a time already in MS-DOS form (date high, time low word).
    void SetDosDateTime(int index, quint32 dosDateTime);
    QDateTime GetDateTime(int index) const;

    int FindEntry(const QByteArray& text) const;
    int FindExactEntry(const QByteArray& text) const;
    void RenameEntry(int index, const QByteArray& newName);
    void DeleteEntry(const QByteArray& text);
    QString NextVersionName(const QString& name) const;

    // Thread-safe halves of SetData and GetData, so that callers can compress
    // or check entries on worker threads.
    static TDeflated Deflate(const QByteArray& data);
    void SetDeflated(int index, const TDeflated& deflated);
    static void Inflate(const TLocalFile& entry, QByteArray& data);
    // Inflates the entry in slices without keeping the data and checks its
    // CRC; throws as Inflate does.
    static void Verify(const TLocalFile& entry);

private:
    void CheckIndex(int index) const;
    void CheckSaveLimits(qint64 startPosition) const;
    TFileHeader CentralRecord(int index) const;
    void Adopt(TZipContent&& content, const QString& source);
    void CheckOverwrite(const QString& fileName) const;
    static qint64 WriteLocalFile(QIODevice& stream, const TLocalFile& local);
    static qint64 WriteFileHeader(QIODevice& stream, const TFileHeader& header,
                                  quint32 localHeaderOffset);
    void CopyBlockToCentral(int index);

    QString m_missing; // what the load could not read
    QString m_source;  // the full path of the file loaded, if any
    bool m_readByDirectory = false;
};
