#pragma once

#include <functional>

#include <QByteArray>
#include <QHash>

class TZipFile;

// Where file names keep their letter case, "a.txt" and "A.txt" are two files.
// A file without an entry of its exact name pairs with an entry whose name
// differs in case only when that is unambiguous: it is the only file of that
// folded name without an exact entry, there is exactly one such entry name,
// and that entry is not the exact entry of another file.
class TNamePairing {
public:
    using TFileName = std::function<QByteArray(int index)>;

    // `exactEntries`: the archive's file entries by exact name key;
    // `fileName(i)`: the relative name of file i of `fileCount`.
    TNamePairing(const QHash<QByteArray, int>& exactEntries, const TFileName& fileName,
                 int fileCount);

    // The entry for a file that has no entry of its exact name; -1 if none.
    int FoldedEntry(const QByteArray& fileName) const;

private:
    QHash<QByteArray, int> m_candidates;     // folded key -> entry, -1 when several
    QHash<QByteArray, int> m_unmatchedFiles; // folded key -> files without exact entry
};
