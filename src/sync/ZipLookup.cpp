#include "ZipLookup.h"

#include <algorithm>

#include "PathRules.h"
#include "ZipFile.h"

namespace {
char FoldEntryChar(char c)
{
    if (c == '/')
        return '\\';
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// Compares a name with a folded key without building the name's key.
bool MatchesKey(const QByteArray& name, const QByteArray& key)
{
    return name.size() == key.size() &&
           std::equal(name.begin(), name.end(), key.begin(),
                      [](char n, char k) { return FoldEntryChar(n) == k; });
}

int FindByKey(const TZipFile& zip, const QByteArray& name, bool skipVersions)
{
    if (skipVersions && IsVersionName(name))
        return -1; // whether a name is a version name depends on the name alone
    const QByteArray key = PathRules::EntryKey(name);
    for (int i = 0; i < zip.Count(); ++i)
        if (MatchesKey(zip.Entries.at(i).FileName, key))
            return i;
    return -1;
}
} // namespace

int ZipLookup::FindNamedEntry(const TZipFile& zip, const QByteArray& name)
{
    return FindByKey(zip, name, false);
}

int ZipLookup::FindNamedFile(const TZipFile& zip, const QByteArray& name)
{
    return FindByKey(zip, name, true);
}

int ZipLookup::FindZipEntry(const TZipFile& zip, const QString& path)
{
    const QByteArray pathKey = PathRules::EntryKey(path.toLocal8Bit());
    for (int i = 0; i < zip.Count(); ++i) {
        const QByteArray name = zip.GetName(i);
        if (name.isEmpty() || IsVersionName(name))
            continue;
        const qsizetype at = pathKey.indexOf(PathRules::EntryKey(name));
        if (at >= 0 && at + name.size() == pathKey.size())
            return i;
    }
    return -1;
}

void ZipLookup::RemoveEntryAt(TZipFile& zip, int index)
{
    if (index < 0 || index >= zip.Count())
        return;
    zip.Entries.removeAt(index);
    if (index < zip.CentralDirectory.size())
        zip.CentralDirectory.removeAt(index);
}

void ZipLookup::RemoveEntriesIf(TZipFile& zip, const std::function<bool(int index)>& pick)
{
    QList<TLocalFile> entries;
    QList<TFileHeader> central;
    for (int i = 0; i < zip.Count(); ++i) {
        if (pick(i))
            continue;
        entries.append(zip.Entries.at(i));
        if (i < zip.CentralDirectory.size())
            central.append(zip.CentralDirectory.at(i));
    }
    zip.Entries = std::move(entries);
    zip.CentralDirectory = std::move(central);
}

bool ZipLookup::HasUnsafeCharacters(const QByteArray& name)
{
    return name.isEmpty() || std::any_of(name.begin(), name.end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
           });
}
