#include "StringTable.h"

#include <algorithm>

TStringTable::TStringTable(int cols, int rows)
{
    SetColCount(cols);
    SetRowCount(rows);
}

void TStringTable::SetRowCount(int rows)
{
    rows = std::max(0, rows);
    if (rows < RowCount())
        m_rows.resize(rows);
    while (RowCount() < rows)
        m_rows.append(QStringList(m_cols, QString()));
}

void TStringTable::SetColCount(int cols)
{
    m_cols = std::max(0, cols);
    for (QStringList& row : m_rows)
        row.resize(m_cols);
}

bool TStringTable::IsValid(int col, int row) const
{
    return col >= 0 && col < m_cols && row >= 0 && row < RowCount();
}

QString TStringTable::Cell(int col, int row) const
{
    return IsValid(col, row) ? m_rows[row][col] : QString();
}

void TStringTable::SetCell(int col, int row, const QString& text)
{
    if (IsValid(col, row))
        m_rows[row][col] = text;
}

QStringList TStringTable::Row(int row) const
{
    return row >= 0 && row < RowCount() ? m_rows[row] : QStringList();
}

void TStringTable::SetRow(int row, const QStringList& items)
{
    const int count = std::min(int(items.size()), m_cols);
    for (int col = 0; col < count; ++col)
        SetCell(col, row, items[col]);
}

void TStringTable::ClearRow(int row)
{
    if (row >= 0 && row < RowCount())
        m_rows[row] = QStringList(m_cols, QString());
}

void TStringTable::InsertRow(int index)
{
    index = std::clamp(index, 0, RowCount());
    m_rows.insert(index, QStringList(m_cols, QString()));
}

void TStringTable::RemoveRow(int index)
{
    if (index >= 0 && index < RowCount())
        m_rows.removeAt(index);
}
