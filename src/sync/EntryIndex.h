#pragma once

#include <vector>

#include <QByteArray>
#include <QHash>

class TZipFile;

// The archive's file entries (neither version nor folder entries) by their
// exact name key (PathRules::ExactEntryKey; the first of equal names), so a
// comparison finds each file's entry in constant time.
//
// Find() tries the entry after the one it found last before it hashes: a
// comparison meets the files in the order the build archived them, and the
// key comparison costs less than a lookup in a table far larger than the
// processor's caches.
class TEntryIndex {
public:
    TEntryIndex() = default;
    explicit TEntryIndex(const TZipFile& zip);

    // The entry of the exact key of `name`; -1 when there is none.
    int Find(const QByteArray& name);
    const QHash<QByteArray, int>& ByKey() const { return m_byKey; }

private:
    const TZipFile* m_zip = nullptr;
    QHash<QByteArray, int> m_byKey;
    std::vector<char> m_indexed; // by entry: the one m_byKey holds for its key
    int m_last = -1;             // the entry found last
};
