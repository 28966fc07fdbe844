#include "MasterList.h"

#include <algorithm>

#include "Utils.h"

namespace {
// Without letter case, and the asking item after every mask whatever its first
// character, so "the last item" of the editor's list always means that item.
bool Less(const QString& a, const QString& b)
{
    const bool askA = a == TMasterList::AskItem();
    const bool askB = b == TMasterList::AskItem();
    if (askA || askB)
        return !askA && askB;
    return a.compare(b, Qt::CaseInsensitive) < 0;
}
} // namespace

TMasterList::TMasterList()
{
    SetCommaText(BuiltInText());
}

QString TMasterList::BuiltInText()
{
    return QStringLiteral("*.*,*.pas,*.dfm,*.dpr,*.bpg,*.doc,*.dot,*.xls,*.txt,[...]");
}

qsizetype TMasterList::IndexOf(const QString& mask) const
{
    const auto found = std::lower_bound(m_items.cbegin(), m_items.cend(), mask, Less);
    if (found == m_items.cend() || found->compare(mask, Qt::CaseInsensitive) != 0)
        return -1;
    return found - m_items.cbegin();
}

void TMasterList::Add(const QString& mask)
{
    const auto place = std::lower_bound(m_items.begin(), m_items.end(), mask, Less);
    if (place != m_items.end() && place->compare(mask, Qt::CaseInsensitive) == 0)
        return;
    m_items.insert(place, mask);
}

void TMasterList::Remove(const QString& mask)
{
    const qsizetype index = IndexOf(mask);
    if (index >= 0)
        m_items.removeAt(index);
}

QString TMasterList::CommaText() const
{
    return ::CommaText(m_items);
}

void TMasterList::SetCommaText(const QString& text)
{
    QStringList items;
    ::SetCommaText(text, items);
    m_items.clear();
    for (const QString& item : items)
        Add(item);
}
