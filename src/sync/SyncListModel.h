#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "SyncItem.h"

// The rows of the sync list: the differences a comparison found, each with
// the operation the user may change, and the operation filter that decides
// which rows are shown (and so carried out). Rows are numbered from 0; the
// window puts row i into its grid row i + 1, below the header.
class TSyncListModel {
public:
    void ClearItems();
    void SetFileHeader(const QString& text) { m_fileHeader = text; }
    void SetZipHeader(const QString& text) { m_zipHeader = text; }
    const QString& FileHeader() const { return m_fileHeader; }
    const QString& ZipHeader() const { return m_zipHeader; }
    // The header texts of the seven columns.
    QStringList HeaderRow() const;

    void AddItem(TSyncItem item, int operation);
    int ItemCount() const { return int(m_items.size()); }
    const TSyncItem& Item(int row) const { return m_items.at(row); }
    const QList<TSyncItem>& Items() const { return m_items; }

    // Sets the operation cell of every given row.
    void SetOperation(const QList<int>& rows, int operation);
    void SetOperationText(int row, const QString& text);
    // The space key: every given row gets the operation that follows the
    // one of `currentRow` among "<=", "=>", "!<=", "=>!", "=".
    void CycleOperation(const QList<int>& rows, int currentRow);

    // Shows only the rows whose operation cell (trimmed) is one of the
    // values, compared without case; an empty list shows every row.
    void SetOperationFilter(const QStringList& values) { m_filter = values; }
    const QStringList& OperationFilter() const { return m_filter; }
    bool IsShown(int row) const;
    // The shown rows in order: what the execution carries out.
    QList<TSyncItem> ShownItems() const;

private:
    QList<TSyncItem> m_items;
    QString m_fileHeader;
    QString m_zipHeader;
    QStringList m_filter;
};
