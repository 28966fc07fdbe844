#include "EntryIndex.h"

#include "PathRules.h"
#include "ZipFile.h"

TEntryIndex::TEntryIndex(const TZipFile& zip) : m_zip(&zip), m_indexed(size_t(zip.Count()), 0)
{
    // Backwards, so that of equal keys the first entry is inserted last and stays.
    m_byKey.reserve(zip.Count());
    for (int i = zip.Count() - 1; i >= 0; --i) {
        const QByteArray& name = zip.Entries.at(i).FileName;
        if (!IsVersionName(name) && !PathRules::IsFolderEntryName(name))
            m_byKey.insert(PathRules::ExactEntryKey(name), i);
    }
    for (const int index : std::as_const(m_byKey))
        m_indexed[size_t(index)] = 1;
}

int TEntryIndex::Find(const QByteArray& name)
{
    if (!m_zip)
        return -1;
    const int next = m_last + 1;
    if (next < m_zip->Count() && m_indexed[size_t(next)] &&
        PathRules::SameExactEntryKey(m_zip->Entries.at(next).FileName, name))
        return m_last = next;
    const int found = m_byKey.value(PathRules::ExactEntryKey(name), -1);
    if (found >= 0)
        m_last = found;
    return found;
}
