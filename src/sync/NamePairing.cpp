#include "NamePairing.h"

#include <QSet>

#include "PathRules.h"

TNamePairing::TNamePairing(const QHash<QByteArray, int>& exactEntries, const TFileName& fileName,
                           int fileCount)
{
    QSet<QByteArray> fileKeys;
    fileKeys.reserve(fileCount);
    for (int i = 0; i < fileCount; ++i) {
        const QByteArray name = fileName(i);
        const QByteArray exact = PathRules::ExactEntryKey(name);
        fileKeys.insert(exact);
        if (!exactEntries.contains(exact))
            ++m_unmatchedFiles[PathRules::EntryKey(name)];
    }
    for (auto it = exactEntries.cbegin(); it != exactEntries.cend(); ++it) {
        if (fileKeys.contains(it.key()))
            continue; // that file's own entry
        const QByteArray folded = PathRules::EntryKey(it.key());
        const auto found = m_candidates.find(folded);
        if (found == m_candidates.end())
            m_candidates.insert(folded, it.value());
        else
            found.value() = -1;
    }
}

int TNamePairing::FoldedEntry(const QByteArray& fileName) const
{
    const QByteArray folded = PathRules::EntryKey(fileName);
    if (m_unmatchedFiles.value(folded) != 1)
        return -1;
    return m_candidates.value(folded, -1);
}
