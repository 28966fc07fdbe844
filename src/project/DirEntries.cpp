#include "DirEntries.h"

#include <algorithm>

#ifdef Q_OS_LINUX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {
#ifdef Q_OS_LINUX
// The kind of an entry whose type the folder does not tell, or a link.
void StatEntry(int folder, const char* name, bool link, TDirEntry& entry)
{
    struct stat status {};
    if (!link && ::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0)
        link = S_ISLNK(status.st_mode);
    if (link) {
        entry.File = ::fstatat(folder, name, &status, 0) == 0 && S_ISREG(status.st_mode);
        return;
    }
    entry.File = S_ISREG(status.st_mode);
    entry.Folder = !entry.File;
}

QList<TDirEntry> ReadUnsorted(const QString& folder)
{
    QList<TDirEntry> entries;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return entries;
    while (const dirent* item = ::readdir(dir)) {
        const char* name = item->d_name;
        if (qstrcmp(name, ".") == 0 || qstrcmp(name, "..") == 0)
            continue;
        TDirEntry entry;
        entry.Name = QFile::decodeName(name);
        if (item->d_type == DT_UNKNOWN || item->d_type == DT_LNK) {
            StatEntry(::dirfd(dir), name, item->d_type == DT_LNK, entry);
        } else {
            entry.File = item->d_type == DT_REG;
            entry.Folder = !entry.File;
        }
        entries.append(std::move(entry));
    }
    ::closedir(dir);
    return entries;
}
#else
QList<TDirEntry> ReadUnsorted(const QString& folder)
{
    QList<TDirEntry> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        entries.append({info.fileName(), info.isFile(), !info.isFile() && !info.isSymLink()});
    }
    return entries;
}
#endif
} // namespace

QList<TDirEntry> ReadDirEntries(const QString& folder)
{
    QList<TDirEntry> entries = ReadUnsorted(folder);
    std::sort(entries.begin(), entries.end(),
              [](const TDirEntry& a, const TDirEntry& b) { return a.Name < b.Name; });
    return entries;
}
