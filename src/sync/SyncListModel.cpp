#include "SyncListModel.h"

void TSyncListModel::ClearItems()
{
    m_items.clear();
}

QStringList TSyncListModel::HeaderRow() const
{
    const QString date = QStringLiteral("Date");
    const QString size = QStringLiteral("Size");
    return {m_fileHeader, date, size, QString(), m_zipHeader, date, size};
}

void TSyncListModel::AddItem(TSyncItem item, int operation)
{
    item.Operation = SyncOperations::Symbol(operation);
    m_items.append(std::move(item));
}

void TSyncListModel::SetOperation(const QList<int>& rows, int operation)
{
    for (int row : rows)
        SetOperationText(row, SyncOperations::Symbol(operation));
}

void TSyncListModel::SetOperationText(int row, const QString& text)
{
    if (row >= 0 && row < m_items.size())
        m_items[row].Operation = text;
}

void TSyncListModel::CycleOperation(const QList<int>& rows, int currentRow)
{
    if (currentRow < 0 || currentRow >= m_items.size())
        return;
    SetOperation(rows, SyncOperations::NextCycled(m_items.at(currentRow).Operation));
}

bool TSyncListModel::IsShown(int row) const
{
    if (m_filter.isEmpty())
        return true;
    const QString cell = m_items.at(row).Operation.trimmed();
    return m_filter.contains(cell, Qt::CaseInsensitive);
}

QList<TSyncItem> TSyncListModel::ShownItems() const
{
    QList<TSyncItem> shown;
    for (int row = 0; row < m_items.size(); ++row)
        if (IsShown(row))
            shown.append(m_items.at(row));
    return shown;
}
