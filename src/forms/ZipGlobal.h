#pragma once

#include <functional>

#include <QHash>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

#include "AntiFreeze.h"

// Shared objects of the windows: the list of small file-type icons that the
// archive tree and the remote browser show, and the idle hook of blocking FTP
// calls. Created before the windows and destroyed after them.
//
// Icons are looked up once per extension (compared without letter case) and
// appended to imExtensions(), which never shrinks, so an index stays valid for
// the program's run. The pseudo-extensions ".0" (folder) and ".1" (plain file)
// are looked up first, so with a working lookup the folder icon has index 0
// and the plain file icon index 1. A failed lookup answers 0 and is not cached.
class TZipGlobal : public QObject {
    Q_OBJECT

public:
    // Finds the icon of a file name whose extension (upper case, dot included,
    // or empty) is given; a null icon means there is none.
    using TIconLookup = std::function<QIcon(const QString& name, const QString& extension)>;

    explicit TZipGlobal(QObject* parent = nullptr);
    explicit TZipGlobal(TIconLookup lookup, QObject* parent = nullptr);

    // The index of the icon for the type of name. A name without extension
    // gives defaultIndex, unless that is -1: then it gets the folder icon, the
    // one cached for ".0".
    int ImageIndexOf(const QString& name, int defaultIndex);
    int FolderImageIndex() const { return m_folderImageIndex; }
    int FileImageIndex() const { return m_fileImageIndex; }

    const QList<QIcon>& imExtensions() const { return m_images; }
    QIcon Icon(int index) const { return m_images.value(index); }
    int CachedExtensions() const { return int(m_cache.size()); }

    TAntiFreeze& AntiFreeze1() { return m_antiFreeze; }

    // The name's extension: from its last dot after the last separator ('\',
    // '/' or a drive colon), dot included; empty when there is none.
    static QString ExtensionOf(const QString& name);
    // The platform's icon for a type: MIME database by extension, the icon
    // theme (the type's icon, then its generic icon), then the file icon
    // provider. An empty extension and ".0" get the folder icon, ".1" and
    // unknown types the plain file icon.
    static QIcon PlatformIcon(const QString& name, const QString& extension);

private:
    TIconLookup m_lookup;
    QList<QIcon> m_images;
    QHash<QString, int> m_cache; // upper-case extension -> index
    int m_folderImageIndex = 0;
    int m_fileImageIndex = 0;
    TAntiFreeze m_antiFreeze;
};
