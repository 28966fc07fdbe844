#pragma once

#include <functional>

#include <QByteArray>
#include <QHash>
#include <QString>

class TZipFile;

// Lookups of entries by name. Names compare as entry names do everywhere in
// the program: '/' and '\' alike, ASCII letters without case.
namespace ZipLookup {
// The first entry whose name equals `name`; -1 when there is none.
int FindNamedEntry(const TZipFile& zip, const QByteArray& name);
// The same among entries that are not version names.
int FindNamedFile(const TZipFile& zip, const QByteArray& name);
// The first non-version entry, in archive order, whose name ends `path`:
// its first occurrence in the path ends exactly at the path's end. No
// separator is needed before the name. -1 when there is none.
int FindZipEntry(const TZipFile& zip, const QString& path);
// Removes entry `index` from both record lists; nothing for an index outside.
void RemoveEntryAt(TZipFile& zip, int index);
// Removes every entry the predicate picks, in one pass over the archive.
void RemoveEntriesIf(TZipFile& zip, const std::function<bool(int index)>& pick);
// A name that must not become a file: empty, or holding a NUL or another
// control character.
bool HasUnsafeCharacters(const QByteArray& name);
} // namespace ZipLookup
