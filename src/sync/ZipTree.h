#pragma once

#include <memory>
#include <vector>

#include <QByteArray>
#include <QList>

class TZipFile;
class TUserInterface;

// One node of the archive tree: a segment of entry names (the text between
// backslashes), with the index of the entry during whose insertion it was
// created. A node with children is a folder, and so is the node of a folder
// entry (a name ending in a separator), even when it holds nothing; any other
// node is a file.
struct TZipNode {
    QByteArray Text;
    int EntryIndex = -1;
    TZipNode* Parent = nullptr;
    std::vector<std::unique_ptr<TZipNode>> Children;
    bool FolderEntry = false; // the archive holds an entry for this folder

    bool HasChildren() const { return !Children.empty(); }
    bool IsFolder() const { return FolderEntry || HasChildren(); }
};

// Folders before files, then the texts without case by the locale's collation.
bool CompareZipNodes(const TZipNode& a, const TZipNode& b);

// The archive as a tree of folders and files, rebuilt whole from an archive
// on every load; nodes are never updated in place, so an EntryIndex always
// belongs to the archive the tree was built from.
//
// This is a plain node tree rather than a QAbstractItemModel: the tree
// commands, the lookups and their tests work on nodes without any view, and
// the pictures of the nodes (file-type icons) belong to the window layer. The
// tree widget wraps it in a thin read-only item model whose internal pointers
// are the nodes; since a load replaces the whole tree, that adapter only
// needs a model reset around each load.
class TZipTree {
public:
    // Builds the tree entry by entry (segments compared as file names
    // compare here: exactly where names keep their case, else ASCII letters
    // without case; a duplicate name adds no node) and sorts every level.
    // `ui`, when given, processes pending events once per entry.
    void Build(const TZipFile& zip, TUserInterface* ui = nullptr);
    void Clear() { m_roots.clear(); }

    const std::vector<std::unique_ptr<TZipNode>>& Roots() const { return m_roots; }
    bool IsEmpty() const { return m_roots.empty(); }

    // The texts from `top` (or the root) down to `node`, joined by
    // backslashes; empty for no node.
    static QByteArray NodePath(const TZipNode* node, const TZipNode* top = nullptr);
    // The node a backslash path leads to: per segment the sibling of the
    // exact text, else the only one that differs in case; null when a
    // segment is missing or a file node would have to be entered.
    const TZipNode* FindNodeByPath(const QByteArray& path) const;
    // The node after `node` in display order (every node expanded); null at the end.
    const TZipNode* NextNode(const TZipNode* node) const;
    // The node itself when it is a file, else every file node below it, in
    // display order.
    static QList<const TZipNode*> FileNodes(const TZipNode* node);
    // The folder-entry nodes at and below `node`, in display order.
    static QList<const TZipNode*> FolderEntryNodes(const TZipNode* node);

private:
    std::vector<std::unique_ptr<TZipNode>> m_roots;
};
