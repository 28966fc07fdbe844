#include "SyncDates.h"

#include <ctime>

#include <QLocale>

#include "ZipUtils.h"

namespace {
// QDateTime converts moments from 1970 up to the end of 2037 to local time
// with localtime_r (after tzset(), which re-reads the zone on every call);
// other moments take its own route.
constexpr qint64 kFirstDirectMSecs = 0;
constexpr qint64 kLastDirectMSecs = qint64(2145916799) * 1000;

// The local time fields of the moment when localtime_r gives them exactly as
// QDateTime would; false otherwise.
bool DirectLocalFields(qint64 msecs, std::tm& fields)
{
#ifdef Q_OS_UNIX
    if (msecs < kFirstDirectMSecs || msecs >= kLastDirectMSecs)
        return false;
    const std::time_t seconds = std::time_t(msecs / 1000);
    return localtime_r(&seconds, &fields) != nullptr && fields.tm_sec <= 59;
#else
    Q_UNUSED(msecs);
    Q_UNUSED(fields);
    return false;
#endif
}
} // namespace

TSyncDates::TSyncDates() : m_format(QLocale::system().dateFormat(QLocale::ShortFormat))
{}

QString TSyncDates::DisplayDateTime(const QDateTime& time)
{
    return QLocale::system().toString(time, QLocale::ShortFormat);
}

quint32 TSyncDates::EntryDosTime(qint64 msecsSinceEpoch)
{
    std::tm fields{};
    if (!DirectLocalFields(msecsSinceEpoch, fields))
        return DateTimeToDos(
            QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::UTC).toLocalTime());
    return DosFromFields(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour,
                         fields.tm_min, fields.tm_sec);
}

void TSyncDates::ReadTimeZone()
{
#ifdef Q_OS_UNIX
    tzset();
#endif
}

bool TSyncDates::IsShortDate(const QString& text) const
{
    return !text.isEmpty() && QDate::fromString(text, m_format).isValid();
}

QString TSyncDates::FileNameDate(const QDate& date) const
{
    QString text = QLocale::system().toString(date, m_format);
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : text)
        if (forbidden.contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('-');
    return text;
}
