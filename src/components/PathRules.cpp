#include "PathRules.h"

#include <algorithm>

#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <QSysInfo>

namespace {
#ifdef Q_OS_WIN
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

bool HasDriveColon(const QString& path)
{
    return path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter();
}

// The part of a Windows path naming its drive: "C:" or "\\server\share".
QString WindowsDrive(const QString& path)
{
    if (HasDriveColon(path))
        return path.left(2);
    if (!path.startsWith(QLatin1String("\\\\")))
        return QString();
    const qsizetype server = path.indexOf(QLatin1Char('\\'), 2);
    const qsizetype share = server < 0 ? -1 : path.indexOf(QLatin1Char('\\'), server + 1);
    return share < 0 ? path : path.left(share);
}

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}
} // namespace

QChar PathRules::NativeSeparator()
{
    return kWindows ? QLatin1Char('\\') : QLatin1Char('/');
}

Qt::CaseSensitivity PathRules::FileNameCase()
{
    return kWindows ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

bool PathRules::IsAbsolute(const QString& path)
{
    if (kWindows)
        return HasDriveColon(path) || path.startsWith(QLatin1String("\\\\"));
    return path.startsWith(QLatin1Char('/'));
}

bool PathRules::IsSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

QString PathRules::ToNative(const QString& path)
{
    QString result = path;
    result.replace(kWindows ? QLatin1Char('/') : QLatin1Char('\\'), NativeSeparator());
    return result;
}

QString PathRules::WithTrailingSeparator(const QString& directory)
{
    QString result = ToNative(directory);
    while (result.size() > 1 && result.endsWith(NativeSeparator()))
        result.chop(1);
    if (!result.endsWith(NativeSeparator()))
        result += NativeSeparator();
    return result;
}

QString PathRules::CleanDirectory(const QString& directory)
{
    if (directory.trimmed().isEmpty())
        return QString();
    if (!kWindows && (HasDriveColon(directory) || directory.startsWith(QLatin1String("\\\\"))))
        return directory;
    const QString absolute = QDir(QDir::currentPath()).absoluteFilePath(ToNative(directory));
    return WithTrailingSeparator(QDir::toNativeSeparators(QDir::cleanPath(absolute)));
}

bool PathRules::SamePath(const QString& a, const QString& b)
{
    const auto clean = [](const QString& path) {
        return QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(ToNative(path)));
    };
    return clean(a).compare(clean(b), FileNameCase()) == 0;
}

QString PathRules::EntryNameToPath(const QString& entryName)
{
    return ToNative(entryName);
}

QString PathRules::PathToEntryName(const QString& path)
{
    QString result = path;
    result.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return result;
}

QString PathRules::ToStoredRow(const QString& path)
{
    return IsAbsolute(path) ? path : PathToEntryName(path);
}

QString PathRules::FromStoredRow(const QString& stored)
{
    return IsAbsolute(stored) ? stored : ToNative(stored);
}

QByteArray PathRules::EntryKey(const QByteArray& entryName)
{
    QByteArray key = entryName;
    for (char& c : key)
        c = c == '/' ? '\\' : AsciiUpper(c);
    return key;
}

QByteArray PathRules::ExactEntryKey(const QByteArray& entryName)
{
    if (!CaseSensitiveNames())
        return EntryKey(entryName);
    // Most names need no change, and then share the name's bytes.
    if (!entryName.contains('/'))
        return entryName;
    QByteArray key = entryName;
    key.replace('/', '\\');
    return key;
}

bool PathRules::SameExactEntryKey(QByteArrayView a, QByteArrayView b)
{
    const bool foldCase = !CaseSensitiveNames();
    const auto fold = [foldCase](char c) {
        return c == '/' ? '\\' : foldCase ? AsciiUpper(c) : c;
    };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&fold](char x, char y) { return fold(x) == fold(y); });
}

bool PathRules::CaseSensitiveNames()
{
    return FileNameCase() == Qt::CaseSensitive;
}

bool PathRules::IsFolderEntryName(const QByteArray& entryName)
{
    return entryName.endsWith('/') || entryName.endsWith('\\');
}

QString PathRules::EntryKey(const QString& entryName)
{
    QString key = entryName;
    for (QChar& c : key) {
        if (c == QLatin1Char('/'))
            c = QLatin1Char('\\');
        else if (c.unicode() >= 'a' && c.unicode() <= 'z')
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return key;
}

bool PathRules::SameEntryName(const QString& a, const QString& b)
{
    return a.size() == b.size() && EntryKey(a) == EntryKey(b);
}

bool PathRules::SplitsAtAnySeparator(const QString& path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return true;
#else
    return HasDriveColon(path) || path.startsWith(QLatin1String("\\\\"));
#endif
}

bool PathRules::EntryEscapesBase(const QString& entryName)
{
    const QString name = PathToEntryName(entryName);
    if (name.startsWith(QLatin1Char('\\')) || HasDriveColon(name))
        return true;
    int depth = 0;
    for (const QString& part : name.split(QLatin1Char('\\'))) {
        if (part == QLatin1String(".."))
            --depth;
        else if (!part.isEmpty() && part != QLatin1String("."))
            ++depth;
        if (depth < 0)
            return true;
    }
    return false;
}

QString PathRules::RelativePath(const QString& path, const QString& base)
{
    const QString nativePath = ToNative(path);
    const QString nativeBase = ToNative(base);
    if (kWindows &&
        WindowsDrive(nativePath).compare(WindowsDrive(nativeBase), Qt::CaseInsensitive) != 0)
        return nativePath;
    const QChar separator = NativeSeparator();
    QStringList baseParts = nativeBase.left(nativeBase.lastIndexOf(separator)).split(separator);
    QStringList pathParts = nativePath.split(separator);
    const QString fileName = pathParts.takeLast();
    qsizetype common = 0;
    while (common < baseParts.size() && common < pathParts.size() &&
           baseParts[common].compare(pathParts[common], FileNameCase()) == 0)
        ++common;
    QString result;
    for (qsizetype i = common; i < baseParts.size(); ++i)
        result += QLatin1String("..") + separator;
    for (qsizetype i = common; i < pathParts.size(); ++i)
        result += pathParts[i] + separator;
    return result + fileName;
}

QString PathRules::DocumentsFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return WithTrailingSeparator(QDir::toNativeSeparators(folder));
}

QString PathRules::ComputerName()
{
    const QString given = qEnvironmentVariable("QORZIP_COMPUTER_NAME");
    return (given.isEmpty() ? QSysInfo::machineHostName() : given).left(15);
}
