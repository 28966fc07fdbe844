#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A plain table of texts with the dimensions of a string grid: rows of
// ColCount cells each, and the number of fixed (header) rows and columns.
// Cells outside the table read as empty and ignore writes. Growing the table
// adds empty cells; shrinking it drops the cells cut off.
class TStringTable {
public:
    TStringTable(int cols = 5, int rows = 5);

    int RowCount() const { return int(m_rows.size()); }
    int ColCount() const { return m_cols; }
    int FixedRows() const { return m_fixedRows; }
    int FixedCols() const { return m_fixedCols; }
    void SetRowCount(int rows);
    void SetColCount(int cols);
    void SetFixedRows(int rows) { m_fixedRows = rows; }
    void SetFixedCols(int cols) { m_fixedCols = cols; }

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    bool IsValid(int col, int row) const;

    QStringList Row(int row) const;
    // Item i goes into column i for every i below both counts; other cells keep their text.
    void SetRow(int row, const QStringList& items);
    void ClearRow(int row);
    void InsertRow(int index);
    void RemoveRow(int index);

    bool operator==(const TStringTable& other) const = default;

private:
    QList<QStringList> m_rows;
    int m_cols = 0;
    int m_fixedRows = 1;
    int m_fixedCols = 1;
};
