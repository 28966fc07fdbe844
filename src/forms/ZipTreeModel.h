#pragma once

#include <QAbstractItemModel>
#include <QHash>

struct TZipNode;
class TZipGlobal;
class TZipTree;

// A read-only item model over the archive tree: each index points at its
// TZipNode, the text is the node's segment and the icon is the node's file
// type from TZipGlobal. The tree is rebuilt whole on every load, so the
// owner brackets each load with BeginReset/EndReset.
class TZipTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    TZipTreeModel(const TZipTree& tree, TZipGlobal& global, QObject* parent = nullptr);

    void BeginReset();
    void EndReset();

    const TZipNode* Node(const QModelIndex& index) const;
    QModelIndex IndexOf(const TZipNode* node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void IndexRows(const TZipNode& node, int row);
    int RowOf(const TZipNode* node) const;

    const TZipTree& m_tree;
    TZipGlobal& m_global;
    // Row of every node among its siblings, so parent() needs no search.
    QHash<const TZipNode*, int> m_rows;
};
