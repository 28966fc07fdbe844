#include "SyncDates.h"

#include <QLocale>

TSyncDates::TSyncDates() : m_format(QLocale::system().dateFormat(QLocale::ShortFormat))
{}

QString TSyncDates::DisplayDateTime(const QDateTime& time)
{
    return QLocale::system().toString(time, QLocale::ShortFormat);
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
