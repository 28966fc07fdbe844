#include "FtpText.h"

#include <QString>

#include "Exception.h"
#include "FtpError.h"

namespace {
bool IsControl(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

// The kept part of a PASV reply: between the first "(" and the first ")",
// or after the last blank.
QByteArray PassiveNumbers(const QByteArray& text)
{
    const qsizetype open = text.indexOf('(');
    const qsizetype close = text.indexOf(')');
    if (open >= 0 && close >= 0)
        return close > open ? text.mid(open + 1, close - open - 1) : QByteArray();
    return text.mid(text.lastIndexOf(' ') + 1);
}

int PassiveField(const QByteArray& field, const QByteArray& reply)
{
    bool ok = false;
    const int value = TrimControls(field).toInt(&ok, 10);
    if (!ok)
        throw EConvertError(
            QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLocal8Bit(field)));
    if (value < 0 || value > 255)
        throw EFtpError(QStringLiteral("Invalid passive mode reply \"%1\".")
                            .arg(QString::fromLocal8Bit(reply)));
    return value;
}
} // namespace

QByteArray TrimControls(const QByteArray& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsControl(text.at(begin)))
        ++begin;
    while (end > begin && IsControl(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

TListingLine ParseListingLine(const QByteArray& line)
{
    TListingLine result;
    QByteArray rest = line;
    while (!rest.isEmpty()) {
        rest = TrimControls(rest);
        if (rest.isEmpty())
            break;
        const qsizetype blank = result.Fields.size() < 8 ? rest.indexOf(' ') : -1;
        result.Fields.append(blank < 0 ? rest : rest.left(blank));
        rest = blank < 0 ? QByteArray() : rest.mid(blank + 1);
    }
    result.IsDirectory = !result.Fields.isEmpty() && result.Fields.first().startsWith('d');
    return result;
}

QList<QByteArray> SplitListingText(const QByteArray& text)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

quint16 ParsePassiveReply(const QByteArray& line)
{
    const QByteArray text = TrimControls(line);
    const QList<QByteArray> fields = PassiveNumbers(text).split(',');
    if (fields.size() != 6)
        throw EFtpError(
            QStringLiteral("Invalid passive mode reply \"%1\".").arg(QString::fromLocal8Bit(text)));
    for (int i = 0; i < 4; ++i)
        PassiveField(fields.at(i), text);
    const int port = PassiveField(fields.at(4), text) * 256 + PassiveField(fields.at(5), text);
    if (port == 0)
        throw EFtpError(
            QStringLiteral("Invalid passive mode reply \"%1\".").arg(QString::fromLocal8Bit(text)));
    return quint16(port);
}
