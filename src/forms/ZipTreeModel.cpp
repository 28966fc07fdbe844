#include "ZipTreeModel.h"

#include "ZipGlobal.h"
#include "ZipTree.h"

namespace {
const std::vector<std::unique_ptr<TZipNode>>& ChildrenOf(const TZipTree& tree, const TZipNode* node)
{
    return node ? node->Children : tree.Roots();
}
} // namespace

TZipTreeModel::TZipTreeModel(const TZipTree& tree, TZipGlobal& global, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree), m_global(global)
{}

void TZipTreeModel::BeginReset()
{
    beginResetModel();
    m_rows.clear();
}

void TZipTreeModel::EndReset()
{
    const auto& roots = m_tree.Roots();
    m_rows.reserve(int(roots.size()));
    for (int row = 0; row < int(roots.size()); ++row)
        IndexRows(*roots[row], row);
    endResetModel();
}

void TZipTreeModel::IndexRows(const TZipNode& node, int row)
{
    m_rows.insert(&node, row);
    for (int child = 0; child < int(node.Children.size()); ++child)
        IndexRows(*node.Children[child], child);
}

int TZipTreeModel::RowOf(const TZipNode* node) const
{
    return m_rows.value(node, -1);
}

const TZipNode* TZipTreeModel::Node(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<const TZipNode*>(index.internalPointer()) : nullptr;
}

QModelIndex TZipTreeModel::IndexOf(const TZipNode* node) const
{
    const int row = RowOf(node);
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<TZipNode*>(node));
}

QModelIndex TZipTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const auto& children = ChildrenOf(m_tree, Node(parent));
    if (column != 0 || row < 0 || row >= int(children.size()))
        return {};
    return createIndex(row, 0, children[row].get());
}

QModelIndex TZipTreeModel::parent(const QModelIndex& child) const
{
    const TZipNode* node = Node(child);
    return node ? IndexOf(node->Parent) : QModelIndex();
}

int TZipTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(ChildrenOf(m_tree, Node(parent)).size());
}

int TZipTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool TZipTreeModel::hasChildren(const QModelIndex& parent) const
{
    return !ChildrenOf(m_tree, Node(parent)).empty();
}

QVariant TZipTreeModel::data(const QModelIndex& index, int role) const
{
    const TZipNode* node = Node(index);
    if (!node)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLocal8Bit(node->Text);
    if (role == Qt::DecorationRole)
        return m_global.Icon(m_global.ImageIndexOf(QString::fromLocal8Bit(node->Text), -1));
    return {};
}

Qt::ItemFlags TZipTreeModel::flags(const QModelIndex& index) const
{
    // Selectable, never editable: labels of archive entries are not renamed here.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
