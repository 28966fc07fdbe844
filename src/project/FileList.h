#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// The files a project selects: full paths in order, each with a tick, never
// the same file twice. Paths are kept absolute and clean, so a file reached
// by two rows (or by a row and as the project file) stands once; two names
// are the same file by the file system's case rule.
class TFileList {
public:
    struct TItem {
        QString Path;
        bool Checked = true;
    };

    qsizetype Count() const { return m_items.size(); }
    const TItem& Item(qsizetype index) const { return m_items.at(index); }
    const QList<TItem>& Items() const { return m_items; }
    QStringList Paths() const;
    qsizetype CheckedCount() const;

    // Adds the path, ticked, unless the list holds it; true when added.
    bool Add(const QString& path);
    // The same for a path already in the form CleanPath() gives.
    bool AddClean(const QString& cleanPath);
    bool Contains(const QString& path) const;
    void SetChecked(qsizetype index, bool checked);
    void Clear();

    // Room for `count` paths in all, so that adding them grows nothing.
    void Reserve(qsizetype count);

    // The form under which the list stores a path.
    static QString CleanPath(const QString& path);

private:
    static QString Key(const QString& cleanPath);

    QList<TItem> m_items;
    QSet<QString> m_keys;
};

Q_DECLARE_TYPEINFO(TFileList::TItem, Q_RELOCATABLE_TYPE);
