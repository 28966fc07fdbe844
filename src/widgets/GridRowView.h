#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

class TFStringGridBase;

// The string-list view of one visible row of a filter string grid, with its
// delimited text forms. The view keeps its Delimiter and QuoteChar, so a
// caller can set them once for a row.
class TGridRowView {
public:
    TGridRowView(TFStringGridBase* grid, int row) : m_grid(grid), m_row(row) {}

    QStringList Items() const;
    int Count() const { return int(Items().size()); }
    QString Strings(int index) const { return Items().value(index); }

    QChar Delimiter() const { return m_delimiter; }
    void SetDelimiter(QChar delimiter) { m_delimiter = delimiter; }
    QChar QuoteChar() const { return m_quoteChar; }
    void SetQuoteChar(QChar quoteChar) { m_quoteChar = quoteChar; }

    QString DelimitedText() const;
    // Empties the row, then stores the items from column 0 on; an empty item
    // becomes a single blank and items beyond the last column are dropped.
    void SetDelimitedText(const QString& text);
    QString CommaText() const;
    // Also sets the view's Delimiter and QuoteChar to the comma and the double quote.
    void SetCommaText(const QString& text);

private:
    TFStringGridBase* m_grid;
    int m_row;
    QChar m_delimiter = QLatin1Char(',');
    QChar m_quoteChar = QLatin1Char('"');
};
