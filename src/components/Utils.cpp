#include "Utils.h"

#include <cstdarg>
#include <filesystem>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include "Exception.h"
#include "MemIniFile.h"
#include "PathRules.h"

Q_LOGGING_CATEGORY(lcQorZipDebug, "qorzip.debug", QtInfoMsg)

namespace {
// The text and character operations the path and list routines need, for
// byte strings and wide strings alike.
int Code(QChar c)
{
    return c.unicode();
}
int Code(char c)
{
    return static_cast<unsigned char>(c);
}

QString Expand(const QString& path)
{
    const bool windowsForm = path.size() >= 2 && path[1] == QLatin1Char(':');
    if (windowsForm || path.startsWith(QLatin1Char('/')) || path.startsWith(QLatin1String("\\\\")))
        return path;
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
}

bool SplitsAtAnySeparator(const QString& path)
{
    return PathRules::SplitsAtAnySeparator(path);
}
bool SplitsAtAnySeparator(const QByteArray& path)
{
    return PathRules::SplitsAtAnySeparator(QString::fromLatin1(path.left(3)));
}

// The position after the last separator (or drive colon) of a path; a
// native POSIX path has only '/'.
template <typename S> qsizetype FileNameStart(const S& path)
{
    const bool any = SplitsAtAnySeparator(path);
    qsizetype i = path.size();
    while (i > 0) {
        const int c = Code(path[i - 1]);
        if (c == '/' || (any && (c == '\\' || c == ':')))
            break;
        --i;
    }
    return i;
}

template <typename S> S ExtensionOf(const S& path)
{
    const S name = path.mid(FileNameStart(path));
    const qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? S() : name.mid(dot);
}

// Upper-cases the ASCII letters only; other characters stay as they are.
template <typename S> S AsciiUpper(S text)
{
    for (auto& c : text)
        if (Code(c) >= 'a' && Code(c) <= 'z')
            c = std::remove_reference_t<decltype(c)>(Code(c) - 'a' + 'A');
    return text;
}

template <typename S> S BaseNameOf(const S& path)
{
    const S name = path.mid(FileNameStart(path));
    const S extension = ExtensionOf(path);
    if (extension.isEmpty())
        return name;
    return name.left(AsciiUpper(name).indexOf(AsciiUpper(extension)));
}

template <typename S> S Abbreviate(const S& path, int levels, bool keepExtension)
{
    // POSIX paths keep "/" as their root; Windows paths their drive "C:\".
    const bool posix = path.startsWith('/');
    const char separator = posix ? '/' : '\\';
    const S root = posix ? path.left(1) : path.left(3);
    auto reachedRoot = [posix](const S& dir) {
        return dir.isEmpty() || (!posix && dir.endsWith(':'));
    };
    const qsizetype lastSeparator = path.lastIndexOf(separator);
    S dir = lastSeparator < 0 ? path : path.left(lastSeparator);
    S result;
    if (!dir.contains(separator)) {
        const bool rooted = posix || path.contains(':');
        result = rooted ? root + BaseNameOf(path) : dir;
    } else {
        S tail;
        for (int level = 0; level < levels && !reachedRoot(dir); ++level) {
            const qsizetype cut = dir.lastIndexOf(separator);
            tail.prepend(dir.mid(cut < 0 ? 0 : cut));
            dir.truncate(cut < 0 ? 0 : cut);
        }
        const S base = BaseNameOf(path);
        if (!reachedRoot(dir))
            result = root + S("..") + tail + separator + base;
        else
            result = path.left(lastSeparator) + separator + base;
    }
    const S extension = ExtensionOf(path);
    if (keepExtension && !result.contains(extension))
        result += extension;
    return result;
}

template <typename S, typename C> S Delimited(const QList<S>& items, C delimiter, C quote)
{
    if (items.size() == 1 && items.first().isEmpty())
        return S(2, quote);
    S text;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += delimiter;
        const S& item = items[i];
        const bool needsQuotes = std::any_of(item.begin(), item.end(), [&](auto c) {
            return (Code(c) >= 1 && Code(c) <= 32) || c == quote || c == delimiter;
        });
        if (!needsQuotes) {
            text += item;
            continue;
        }
        S quoted = item;
        quoted.replace(S(1, quote), S(2, quote));
        text += quote + quoted + quote;
    }
    return text;
}

template <typename S, typename C> void SplitDelimited(S text, C delimiter, C quote, QList<S>& items)
{
    items.clear();
    const qsizetype nul = text.indexOf(C(0));
    if (nul >= 0)
        text.truncate(nul); // a NUL ends the text, as it ends a C string
    qsizetype p = 0;
    auto skipBlanks = [&] {
        while (p < text.size() && Code(text[p]) >= 1 && Code(text[p]) <= 32)
            ++p;
    };
    skipBlanks();
    while (p < text.size()) {
        S item;
        if (text[p] == quote) {
            for (++p; p < text.size(); ++p) {
                if (text[p] != quote) {
                    item += text[p];
                } else if (p + 1 < text.size() && text[p + 1] == quote) {
                    item += quote;
                    ++p;
                } else {
                    ++p;
                    break;
                }
            }
        } else {
            const qsizetype start = p;
            while (p < text.size() && Code(text[p]) > 32 && text[p] != delimiter)
                ++p;
            item = text.mid(start, p - start);
        }
        items.append(item);
        skipBlanks();
        if (p < text.size() && text[p] == delimiter) {
            if (p == text.size() - 1)
                items.append(S());
            ++p;
            skipBlanks();
        }
    }
}

QString IniListKey(const QString& name, int index)
{
    return QStringLiteral("%1.List[%2]").arg(name).arg(index);
}

// Takes a value out of its double quotes; doubled quotes inside become one.
// A value without quotes, or one whose quoted text is empty, stays whole.
QString Unquote(const QString& value)
{
    if (!value.startsWith(QLatin1Char('"')))
        return value;
    QStringList parts;
    SplitDelimited(value, QChar(0x01), QChar(QLatin1Char('"')), parts);
    const QString inner = parts.isEmpty() ? QString() : parts.first();
    return inner.isEmpty() ? value : inner;
}
} // namespace

QString AbbreviatePath(const QString& path, int levels, bool expand, bool keepExtension)
{
    return Abbreviate(expand ? Expand(path) : path, levels, keepExtension);
}

QByteArray AbbreviatePath(const QByteArray& path, int levels, bool expand, bool keepExtension)
{
    const QByteArray full = expand ? Expand(QString::fromLocal8Bit(path)).toLocal8Bit() : path;
    return Abbreviate(full, levels, keepExtension);
}

QString FileBaseName(const QString& path, bool expand)
{
    return BaseNameOf(expand ? Expand(path) : path);
}

QByteArray FileBaseName(const QByteArray& path, bool expand)
{
    return BaseNameOf(expand ? Expand(QString::fromLocal8Bit(path)).toLocal8Bit() : path);
}

QString ExeDirectory()
{
    const QString directory = QCoreApplication::instance()
                                  ? QCoreApplication::applicationDirPath()
                                  : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    return PathRules::WithTrailingSeparator(QDir::toNativeSeparators(directory));
}

void DebugOutput(const QString& text)
{
    qCDebug(lcQorZipDebug).noquote() << text;
}

void DebugOutputFmt(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const QString text = QString::vasprintf(format, arguments);
    va_end(arguments);
    DebugOutput(text);
}

void WriteIniList(TMemIniFile& ini, const QString& section, const QString& name,
                  const QStringList& list)
{
    if (name.isEmpty())
        return;
    for (int i = 0; i <= 200; ++i)
        ini.DeleteKey(section, IniListKey(name, i));
    for (int i = 0; i < list.size(); ++i) {
        QString quoted = list[i];
        quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
        ini.WriteString(section, IniListKey(name, i), QLatin1Char('"') + quoted + QLatin1Char('"'));
    }
}

void ReadIniList(const TMemIniFile& ini, const QString& section, const QString& name,
                 QStringList& list)
{
    if (name.isEmpty() || ini.ReadString(section, IniListKey(name, 0), QString()).isEmpty())
        return;
    list.clear();
    for (int i = 0;; ++i) {
        const QString text = Unquote(ini.ReadString(section, IniListKey(name, i), QString()));
        if (text.isEmpty())
            return;
        list.append(text);
    }
}

QString DelimitedText(const QStringList& items, QChar delimiter, QChar quoteChar)
{
    return Delimited(items, delimiter, quoteChar);
}

void SetDelimitedText(const QString& text, QChar delimiter, QChar quoteChar, QStringList& items)
{
    SplitDelimited(text, delimiter, quoteChar, items);
}

QByteArray DelimitedText(const QList<QByteArray>& items, char delimiter, char quoteChar)
{
    return Delimited(items, delimiter, quoteChar);
}

void SetDelimitedText(const QByteArray& text, char delimiter, char quoteChar,
                      QList<QByteArray>& items)
{
    SplitDelimited(text, delimiter, quoteChar, items);
}

QString CommaText(const QStringList& items)
{
    return DelimitedText(items, QLatin1Char(','), QLatin1Char('"'));
}

void SetCommaText(const QString& text, QStringList& items)
{
    SetDelimitedText(text, QLatin1Char(','), QLatin1Char('"'), items);
}

void ForceDirectories(const QString& directory)
{
    std::error_code error;
    std::error_code ignored;
    const std::filesystem::path path(QFile::encodeName(directory).toStdString());
    if (!directory.isEmpty() && (std::filesystem::create_directories(path, error) ||
                                 std::filesystem::is_directory(path, ignored)))
        return;
    const QString reason = error ? QString::fromLocal8Bit(error.message())
                                 : QStringLiteral("A file of that name exists.");
    throw Exception(QStringLiteral("Unable to create directory \"%1\". %2")
                        .arg(QDir::toNativeSeparators(directory), reason));
}
