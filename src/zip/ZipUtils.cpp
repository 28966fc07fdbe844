#include "ZipUtils.h"

#include <algorithm>
#include <limits>

#include <zlib.h>

#include "Exception.h"

namespace {
char FoldAscii(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// A name character as entry names compare: ASCII upper case, '/' as '\'.
char FoldName(char c)
{
    return c == '/' ? '\\' : FoldAscii(c);
}

bool EqualFolded(char left, char right)
{
    return FoldName(left) == FoldName(right);
}

// The extension of a name, dot included: from the last dot that follows the
// last separator (backslash or slash) or colon; empty when there is none.
QByteArrayView Extension(QByteArrayView name)
{
    const qsizetype separator =
        std::max({name.lastIndexOf('\\'), name.lastIndexOf('/'), name.lastIndexOf(':')});
    const qsizetype dot = name.lastIndexOf('.');
    return dot > separator ? name.sliced(dot) : QByteArrayView();
}

// At least three decimal digits that fit an int; signs, blanks and prefixes
// do not count.
bool IsVersionNumber(QByteArrayView text)
{
    if (text.size() < 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    bool fits = false;
    [[maybe_unused]] const int number = text.toInt(&fits, 10);
    return fits;
}
} // namespace

quint32 ComputeCrc32(const char* data, qint64 length)
{
    if (length <= 0)
        return 0;
    return quint32(crc32_z(0, reinterpret_cast<const Bytef*>(data), size_t(length)));
}

bool IsVersionName(const QByteArray& name)
{
    const QByteArrayView extension = Extension(name);
    return extension.size() >= 2 && FoldAscii(extension.at(1)) == 'V' &&
           IsVersionNumber(extension.sliced(2));
}

bool IsVersionName(const QString& name)
{
    return IsVersionName(name.toLocal8Bit());
}

quint32 DateTimeToDos(const QDateTime& localTime)
{
    const QDateTime local = localTime.toLocalTime();
    if (!local.isValid())
        return 0;
    const QDate date = local.date();
    const QTime time = local.time();
    return DosFromFields(date.year(), date.month(), date.day(), time.hour(), time.minute(),
                         time.second());
}

quint32 DosFromFields(int year, int month, int day, int hour, int minute, int second, bool* clamped)
{
    const bool outside = year < 1980 || year > 2107;
    if (clamped)
        *clamped = outside;
    if (outside)
        return year < 1980 ? FirstDosDateTime : LastDosDateTime;
    const quint32 dosTime = quint32(second / 2 + minute * 32 + hour * 2048);
    const quint32 dosDate = quint32(day + month * 32 + (year - 1980) * 512);
    return dosDate << 16 | dosTime;
}

bool IsDosLimit(quint32 dosDateTime)
{
    return dosDateTime == 0 || dosDateTime == FirstDosDateTime || dosDateTime == LastDosDateTime;
}

void DecodeDos(quint32 dosDateTime, QDate& date, QTime& time)
{
    if (dosDateTime == 0) {
        date = QDate(1980, 1, 1);
        time = QTime(0, 0);
        return;
    }
    const quint32 dosDate = dosDateTime >> 16;
    const quint32 dosTime = dosDateTime & 0xFFFF;
    date = QDate(int(1980 + (dosDate >> 9)), int((dosDate >> 5) & 15), int(dosDate & 31));
    if (!date.isValid())
        throw Exception(QStringLiteral("Invalid argument to date encode"));
    time = QTime(int(dosTime >> 11), int((dosTime >> 5) & 63), int((dosTime & 31) * 2));
    if (!time.isValid())
        throw Exception(QStringLiteral("Invalid argument to time encode"));
}

QDateTime DosToDateTime(quint32 dosDateTime)
{
    QDate date;
    QTime time;
    DecodeDos(dosDateTime, date, time);
    return QDateTime(date, time, Qt::LocalTime);
}

bool SameEntryName(const QByteArray& left, const QByteArray& right)
{
    return left.size() == right.size() &&
           std::equal(left.begin(), left.end(), right.begin(), EqualFolded);
}

bool ContainsEntryName(const QByteArray& text, const QByteArray& name)
{
    return !name.isEmpty() && std::search(text.begin(), text.end(), name.begin(), name.end(),
                                          EqualFolded) != text.end();
}

quint16 NameEncodingFlags(const QByteArray& name)
{
    const bool ascii =
        std::all_of(name.cbegin(), name.cend(), [](char c) { return uchar(c) < 0x80; });
    return !ascii && name.isValidUtf8() ? Utf8NameFlag : 0;
}
