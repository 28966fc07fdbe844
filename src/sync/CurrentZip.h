#pragma once

#include <memory>

#include <QString>

#include "ZipTree.h"

class TZipFile;
class TZipProject;
class TUserInterface;

// The current archive of the main window and its tree. The archive object
// and the tree always come from the same load, so every node's EntryIndex
// names an entry of the archive object. The archive remembers the file it
// was loaded from; saving writes to that file, so an operation always writes
// the archive it read (after a download that is the downloaded file).
class TCurrentZip {
public:
    TCurrentZip();
    ~TCurrentZip();
    TCurrentZip(const TCurrentZip&) = delete;
    TCurrentZip& operator=(const TCurrentZip&) = delete;

    // True once an archive was loaded.
    bool HasZip() const { return m_zip != nullptr; }
    TZipFile& Zip() { return *m_zip; }
    const TZipFile& Zip() const { return *m_zip; }
    const TZipTree& Tree() const { return m_tree; }
    // The file the current archive was loaded from.
    const QString& FileName() const { return m_fileName; }

    // Replaces archive and tree by those of the file. If reading fails both
    // stay as they were and the error is raised. `buildTree` false leaves the
    // tree empty (the command line needs no tree).
    void LoadZipTree(const QString& fileName, TUserInterface* ui = nullptr, bool buildTree = true);
    // Writes the archive to the file it came from, then loads it again.
    void SaveZipAndReload(TUserInterface* ui = nullptr);
    // Drops the in-memory changes: loads the file again.
    void Reload(TUserInterface* ui = nullptr);
    // After a failed operation: Reload, and when even that fails, rebuild
    // the tree from the archive in memory, so tree and archive agree.
    void Restore(TUserInterface* ui = nullptr) noexcept;

    // The first non-version entry whose name ends the path; -1 if none.
    int FindZipEntry(const QString& path) const;
    // "Size : %d kb, Date %s" of the node's entry.
    QString HintText(const TZipNode& node) const;

    // Where this computer keeps the project's archive: LastZipFile when it
    // exists, else the same file name in MachineRelDir, then in RelDir; the
    // first that exists, or LastZipFile when none does.
    static QString LocateProjectZip(const TZipProject& project);

private:
    std::unique_ptr<TZipFile> m_zip;
    TZipTree m_tree;
    QString m_fileName;
    bool m_buildTree = true;
};
