#pragma once

#include <QString>
#include <QStringList>

// The operation of one sync row. The code is the index into the symbols; the
// symbol is what the row's operation cell holds, the caption what the
// operation button shows for it.
enum TSyncOperation {
    soCopyToFileSystem = 0,
    soCopyToZip = 1,
    soCopyMissingToFileSystem = 2,
    soCopyMissingToZip = 3,
    soNoSync = 4,
    soDeleteInZip = 5,
    soDeleteInFileSystem = 6,
};
inline constexpr int SyncOperationCount = 7;

// What copying a file into the archive does when the file already has an entry.
enum TZipOperation {
    zoReplaceFile = 0,
    zoAddFile = 1,
    zoCreateInNewZip = 2,
};

// One row of the comparison: seven texts in the column order of the sync
// list. File fields are empty when the file is missing, entry fields when
// the entry is missing.
struct TSyncItem {
    QString FilePath; // relative to RelDir
    QString FileDate;
    QString FileSize;
    QString Operation; // one of the seven symbols, or any text (no operation)
    QString EntryName;
    QString EntryDate;
    QString EntrySize;

    QStringList Fields() const;
    bool operator==(const TSyncItem&) const = default;
};

namespace SyncOperations {
const QStringList& Symbols();
const QStringList& Captions();
QString Symbol(int code);
// The code of a symbol: whole text, ASCII letters without case; -1 when the
// text is none of the seven symbols.
int Code(const QString& symbol);
// The operation the space key gives after `symbol`: the next of the first
// five codes, wrapping to "<=" after "=" and for any unknown text.
int NextCycled(const QString& symbol);
} // namespace SyncOperations
