#include "FileList.h"

#include <QDir>
#include <QFileInfo>

#include "PathRules.h"

QStringList TFileList::Paths() const
{
    QStringList paths;
    paths.reserve(m_items.size());
    for (const TItem& item : m_items)
        paths.append(item.Path);
    return paths;
}

qsizetype TFileList::CheckedCount() const
{
    return std::count_if(m_items.cbegin(), m_items.cend(),
                         [](const TItem& item) { return item.Checked; });
}

bool TFileList::Add(const QString& path)
{
    return AddClean(CleanPath(path));
}

bool TFileList::AddClean(const QString& clean)
{
    const QString key = Key(clean);
    if (m_keys.contains(key))
        return false;
    m_keys.insert(key);
    m_items.append({clean, true});
    return true;
}

bool TFileList::Contains(const QString& path) const
{
    return m_keys.contains(Key(CleanPath(path)));
}

void TFileList::SetChecked(qsizetype index, bool checked)
{
    m_items[index].Checked = checked;
}

void TFileList::Reserve(qsizetype count)
{
    m_items.reserve(count);
    m_keys.reserve(count);
}

void TFileList::Clear()
{
    m_items.clear();
    m_keys.clear();
}

QString TFileList::CleanPath(const QString& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

QString TFileList::Key(const QString& cleanPath)
{
    return PathRules::FileNameCase() == Qt::CaseSensitive ? cleanPath : cleanPath.toCaseFolded();
}
