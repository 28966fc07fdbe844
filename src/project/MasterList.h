#pragma once

#include <QString>
#include <QStringList>

// Every filter mask the program knows, offered by the filter editor. The list
// stays sorted and compares without letter case: adding a mask that is there
// in any letter case does nothing. It starts with the built-in masks; the
// last of them, "[...]", is the item that asks for a new mask and stays last.
class TMasterList {
public:
    TMasterList();

    static QString BuiltInText();
    // The item that asks for a new mask; it sorts after every mask.
    static QString AskItem() { return QStringLiteral("[...]"); }

    const QStringList& Items() const { return m_items; }
    qsizetype Count() const { return m_items.size(); }
    qsizetype IndexOf(const QString& mask) const;
    bool Contains(const QString& mask) const { return IndexOf(mask) >= 0; }
    // Adds the mask in its sorted place unless it is there already.
    void Add(const QString& mask);
    void Remove(const QString& mask);
    void Clear() { m_items.clear(); }

    // The list as comma text; setting it empties the list first and drops
    // duplicates.
    QString CommaText() const;
    void SetCommaText(const QString& text);

private:
    QStringList m_items;
};
