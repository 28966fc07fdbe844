#pragma once

#include <QList>
#include <QString>

// One entry of a folder as the file list walk needs it.
struct TDirEntry {
    QString Name;
    bool File = false;   // a regular file, or a link to one
    bool Folder = false; // walked into: anything but a file or a link
};
Q_DECLARE_TYPEINFO(TDirEntry, Q_RELOCATABLE_TYPE);

// Every entry of the folder but "." and "..", hidden and system ones too,
// sorted by name in UTF-16 order (case counts), as QDir::Name sorts them.
// On Linux the entry types come from the folder itself, so most entries need
// no stat() call.
QList<TDirEntry> ReadDirEntries(const QString& folder);
