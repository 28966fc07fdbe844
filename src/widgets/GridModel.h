#pragma once

#include <QAbstractTableModel>

#include "StringTable.h"

// The item model behind a filter string grid. It holds the visible table:
// table row 0 is the header row (shown by the horizontal header), table row
// r > 0 is model row r - 1. Edits made through the view are stored and then
// announced with CellEdited.
class TGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TGridModel(QObject* parent = nullptr);

    const TStringTable& Table() const { return m_table; }
    void SetTable(const TStringTable& table);
    void SetDimensions(int rows, int cols);
    void SetFixed(int rows, int cols);
    void SetCell(int col, int row, const QString& text);
    void SetRow(int row, const QStringList& items);
    void ClearRow(int row);
    void SetEditable(bool editable) { m_editable = editable; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void CellEdited(int col, int row, const QString& text);

private:
    void ResizeRows(int rows);
    void ResizeCols(int cols);
    void RowChanged(int row);

    TStringTable m_table;
    bool m_editable = false;
};
