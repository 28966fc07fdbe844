#pragma once

#include <functional>

#include <QByteArray>
#include <QList>
#include <QString>

struct TZipNode;
class TCurrentZip;
class TUserInterface;

// Where "Delete" acts: the archive only, the file system only, or both.
enum TDeleteTarget {
    dtZipFile = 0,
    dtFileSystem = 1,
    dtBoth = 2,
};

// The commands of the archive tree's popup menu on a selection of nodes.
// A selected folder stands for every file node below it; a file node's
// entry name is its path in the tree, its file RelDir followed by that name.
// The selection's nodes must belong to the current archive's tree.
class TZipTreeCommands {
public:
    TZipTreeCommands(TCurrentZip& current, QString relDir, TUserInterface& ui);

    // Deletes the selected files in the archive, on disk or on both; asks
    // once for the last two. The archive is written and reloaded; returns
    // the node of the reloaded tree that followed the last selected node,
    // or null.
    const TZipNode* DeleteSelected(const QList<const TZipNode*>& selection, TDeleteTarget target);
    // Removes every version entry, shows how many, writes and reloads (only
    // when there was one).
    int DeleteVersionFiles();
    // Extracts each selected folder to a chosen directory (keeping the
    // folder's own name below it) and each selected file to a chosen file.
    void ExtractTo(const QList<const TZipNode*>& selection);

private:
    void DeleteFile(const QByteArray& entryName);
    void SaveAfter(const std::function<void()>& change);
    void ExtractFolder(const TZipNode* folder);
    void ExtractFile(const TZipNode* file);
    QString ChooseDirectory(const QString& preset);
    QString FileOf(const QByteArray& entryName) const;

    TCurrentZip& m_current;
    QString m_relDir;
    TUserInterface& m_ui;
};
