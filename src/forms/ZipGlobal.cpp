#include "ZipGlobal.h"

#include <QFileIconProvider>
#include <QMimeDatabase>
#include <QMimeType>

namespace {
constexpr int SmallIconSize = 16;

const QString FolderExtension = QStringLiteral(".0");
const QString FileExtension = QStringLiteral(".1");

bool Usable(const QIcon& icon)
{
    return !icon.isNull() && !icon.pixmap(SmallIconSize, SmallIconSize).isNull();
}

QIcon ThemedOr(const QStringList& themeNames, QAbstractFileIconProvider::IconType fallback)
{
    for (const QString& name : themeNames) {
        if (name.isEmpty())
            continue;
        const QIcon icon = QIcon::fromTheme(name);
        if (Usable(icon))
            return icon;
    }
    return QFileIconProvider().icon(fallback);
}

QIcon FolderIcon()
{
    return ThemedOr({QStringLiteral("folder")}, QAbstractFileIconProvider::Folder);
}

QIcon PlainFileIcon()
{
    return ThemedOr(
        {QStringLiteral("application-octet-stream"), QStringLiteral("application-x-generic")},
        QAbstractFileIconProvider::File);
}
} // namespace

TZipGlobal::TZipGlobal(QObject* parent) : TZipGlobal(&TZipGlobal::PlatformIcon, parent)
{}

TZipGlobal::TZipGlobal(TIconLookup lookup, QObject* parent)
    : QObject(parent), m_lookup(std::move(lookup))
{
    setObjectName(QStringLiteral("ZipGlobal"));
    m_folderImageIndex = ImageIndexOf(FolderExtension, -1);
    m_fileImageIndex = ImageIndexOf(FileExtension, -1);
}

QString TZipGlobal::ExtensionOf(const QString& name)
{
    qsizetype start = 0;
    for (const QChar separator : {QLatin1Char('\\'), QLatin1Char('/'), QLatin1Char(':')})
        start = qMax(start, name.lastIndexOf(separator) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= start ? name.mid(dot) : QString();
}

int TZipGlobal::ImageIndexOf(const QString& name, int defaultIndex)
{
    QString extension = ExtensionOf(name).toUpper();
    if (extension.isEmpty()) {
        if (defaultIndex != -1)
            return defaultIndex;
        extension = FolderExtension; // a tree node without extension is a folder
    }
    const auto cached = m_cache.constFind(extension);
    if (cached != m_cache.constEnd())
        return *cached;
    const QIcon icon = m_lookup(name, extension);
    if (!Usable(icon))
        return 0; // tried again on the next request
    m_images.append(icon);
    const int index = int(m_images.size()) - 1;
    m_cache.insert(extension, index);
    return index;
}

QIcon TZipGlobal::PlatformIcon(const QString& name, const QString& extension)
{
    if (extension.isEmpty() || extension == FolderExtension)
        return FolderIcon();
    if (extension == FileExtension)
        return PlainFileIcon();
    const QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return PlainFileIcon();
    return ThemedOr({type.iconName(), type.genericIconName()}, QAbstractFileIconProvider::File);
}
