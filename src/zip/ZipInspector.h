#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include "ZipRecords.h"

// One fault in the structure of an archive file, at a byte offset.
struct TZipFinding {
    qint64 Offset = 0;
    QString Text;
};

// Walks the raw bytes of an archive the way TZipFile reads them and records
// the damage the reader passes over silently: a missing or disagreeing end
// record, missing or surplus central records, central records that disagree
// with their local records, records cut short, and bytes that no record
// covers. The entries' data is not inflated here.
class TZipInspector {
public:
    explicit TZipInspector(QByteArrayView bytes);

    // Inspects the named file; throws "Cannot open file ..." when it cannot be read.
    static QList<TZipFinding> InspectFile(const QString& fileName);
    // The findings in the order of their offsets.
    QList<TZipFinding> Inspect();

private:
    struct TLocalInfo {
        qint64 Offset = 0;
        TSharedBlock Block;
        QByteArray Name;
    };

    quint32 ReadWord();
    bool FindFirstLocal();
    void ExplainNoLocal();
    bool IsValidEmptyArchive() const;
    void ReadLocal();
    int ReadCentrals(quint32& word);
    void ReadCentral(int index);
    void CompareCentral(const TFileHeader& header, const TLocalInfo& local, qint64 offset);
    void ReadEnd(int centralCount);
    void CheckEnd(const TZipEndRecord& end, qint64 offset, int centralCount);
    void ReportGaps();
    QByteArray Padded(qint64 offset, qint64 size) const;
    bool Fits(qint64 offset, qint64 size, const QString& what);
    void Cover(qint64 start, qint64 end);
    void Add(qint64 offset, const QString& text);

    QByteArrayView m_bytes;
    qint64 m_pos = 0;
    QList<TLocalInfo> m_locals;
    qint64 m_centralStart = -1;
    qint64 m_centralSize = 0;
    QList<QPair<qint64, qint64>> m_covered;
    QList<TZipFinding> m_findings;
};
