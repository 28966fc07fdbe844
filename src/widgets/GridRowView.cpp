#include "GridRowView.h"

#include "FStringGridBase.h"
#include "Utils.h"

QStringList TGridRowView::Items() const
{
    QStringList items;
    for (int col = 0; col < m_grid->ColCount(); ++col)
        items.append(m_grid->Cells(col, m_row));
    return items;
}

QString TGridRowView::DelimitedText() const
{
    return ::DelimitedText(Items(), m_delimiter, m_quoteChar);
}

void TGridRowView::SetDelimitedText(const QString& text)
{
    QStringList items;
    ::SetDelimitedText(text, m_delimiter, m_quoteChar, items);
    for (QString& item : items) {
        if (item.isEmpty())
            item = QStringLiteral(" ");
    }
    QStringList cells(m_grid->ColCount(), QString());
    for (int col = 0; col < cells.size() && col < items.size(); ++col)
        cells[col] = items[col];
    m_grid->SetRows(m_row, cells);
}

QString TGridRowView::CommaText() const
{
    return ::DelimitedText(Items(), QLatin1Char(','), QLatin1Char('"'));
}

void TGridRowView::SetCommaText(const QString& text)
{
    m_delimiter = QLatin1Char(',');
    m_quoteChar = QLatin1Char('"');
    SetDelimitedText(text);
}
