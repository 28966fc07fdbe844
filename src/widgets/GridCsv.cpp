#include "GridCsv.h"

#include <QLocale>
#include <QStringDecoder>

namespace GridCsv {

QString EscapeText(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\t':
            result += QLatin1String("\\t");
            break;
        case '\n':
            result += QLatin1String("\\n");
            break;
        case '\r':
            result += QLatin1String("\\r");
            break;
        case '\\':
            result += QLatin1String("\\\\");
            break;
        default:
            if (c.unicode() >= 32)
                result += c;
        }
    }
    return result;
}

namespace {
QString Unescaped(QChar c)
{
    switch (c.unicode()) {
    case 't':
        return QStringLiteral("\t");
    case 'n':
        return QStringLiteral("\n");
    case 'r':
        return QStringLiteral("\r");
    case '\\':
        return QStringLiteral("\\");
    default:
        return QString(QLatin1Char('\\')) + c;
    }
}
} // namespace

QString UnescapeText(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\'))
            result += text[i];
        else if (i + 1 < text.size())
            result += Unescaped(text[++i]);
    }
    return result;
}

QChar ListSeparator()
{
    return QLocale().decimalPoint() == QLatin1String(",") ? QLatin1Char(';') : QLatin1Char(',');
}

QStringList SplitFields(const QString& line, QChar separator)
{
    QStringList fields = line.split(separator);
    if (fields.size() > 1 && line.endsWith(separator))
        fields.removeLast();
    return fields;
}

QString UnquoteField(const QString& field)
{
    if (!field.startsWith(QLatin1Char('"')))
        return field;
    QString result;
    for (qsizetype i = 1; i < field.size(); ++i) {
        if (field[i] != QLatin1Char('"')) {
            result += field[i];
        } else if (i + 1 < field.size() && field[i + 1] == QLatin1Char('"')) {
            result += field[i];
            ++i;
        } else {
            break;
        }
    }
    return result;
}

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

QString DecodeText(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.mid(2));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    return QString::fromLocal8Bit(bytes);
}

QString FileExtension(const QString& fileName)
{
    const qsizetype slash =
        std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? fileName.mid(dot) : QString();
}

} // namespace GridCsv
