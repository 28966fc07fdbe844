#include "GridModel.h"

TGridModel::TGridModel(QObject* parent) : QAbstractTableModel(parent)
{}

void TGridModel::SetTable(const TStringTable& table)
{
    SetDimensions(table.RowCount(), table.ColCount());
    m_table = table;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void TGridModel::SetDimensions(int rows, int cols)
{
    ResizeCols(cols);
    ResizeRows(rows);
}

void TGridModel::ResizeRows(int rows)
{
    const int oldModelRows = rowCount();
    const int newModelRows = std::max(0, rows - 1);
    if (newModelRows > oldModelRows) {
        beginInsertRows(QModelIndex(), oldModelRows, newModelRows - 1);
        m_table.SetRowCount(rows);
        endInsertRows();
    } else if (newModelRows < oldModelRows) {
        beginRemoveRows(QModelIndex(), newModelRows, oldModelRows - 1);
        m_table.SetRowCount(rows);
        endRemoveRows();
    } else {
        m_table.SetRowCount(rows);
    }
}

void TGridModel::ResizeCols(int cols)
{
    const int old = m_table.ColCount();
    cols = std::max(0, cols);
    if (cols > old) {
        beginInsertColumns(QModelIndex(), old, cols - 1);
        m_table.SetColCount(cols);
        endInsertColumns();
    } else if (cols < old) {
        beginRemoveColumns(QModelIndex(), cols, old - 1);
        m_table.SetColCount(cols);
        endRemoveColumns();
    }
}

void TGridModel::SetFixed(int rows, int cols)
{
    m_table.SetFixedRows(rows);
    m_table.SetFixedCols(cols);
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void TGridModel::RowChanged(int row)
{
    if (row == 0 && columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    else if (row > 0 && row <= rowCount() && columnCount() > 0)
        emit dataChanged(index(row - 1, 0), index(row - 1, columnCount() - 1));
}

void TGridModel::SetCell(int col, int row, const QString& text)
{
    if (!m_table.IsValid(col, row))
        return;
    m_table.SetCell(col, row, text);
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
    else
        emit dataChanged(index(row - 1, col), index(row - 1, col));
}

void TGridModel::SetRow(int row, const QStringList& items)
{
    m_table.SetRow(row, items);
    RowChanged(row);
}

void TGridModel::ClearRow(int row)
{
    m_table.ClearRow(row);
    RowChanged(row);
}

int TGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(0, m_table.RowCount() - 1);
}

int TGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.ColCount();
}

QVariant TGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return m_table.Cell(index.column(), index.row() + 1);
}

bool TGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int row = index.row() + 1;
    m_table.SetCell(index.column(), row, value.toString());
    emit dataChanged(index, index);
    emit CellEdited(index.column(), row, value.toString());
    return true;
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    return m_table.Cell(section, 0);
}

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const bool fixed =
        index.column() < m_table.FixedCols() || index.row() + 1 < m_table.FixedRows();
    if (m_editable && !fixed)
        result |= Qt::ItemIsEditable;
    return result;
}
