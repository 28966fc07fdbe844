#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// Dates as the synchronisation shows and reads them: in the user's locale,
// with the short date format, which tests can set to a fixed one.
class TSyncDates {
public:
    // The system's short date format.
    TSyncDates();
    explicit TSyncDates(QString shortDateFormat) : m_format(std::move(shortDateFormat)) {}

    const QString& ShortDateFormat() const { return m_format; }
    // A date and time as the list columns show it.
    static QString DisplayDateTime(const QDateTime& time);
    // The MS-DOS date and time an entry stores for a file modified at the
    // moment (milliseconds since the epoch): local time, 2-second steps, 0
    // outside 1980 to 2107. Equal to converting a local QDateTime, without
    // its time-zone work for every file.
    // Uses the time zone read last: call ReadTimeZone() before a run.
    static quint32 EntryDosTime(qint64 msecsSinceEpoch);
    // Reads the system's time zone (TZ, the zone file) again.
    static void ReadTimeZone();
    // True when the text is a date written in the short date format.
    bool IsShortDate(const QString& text) const;
    // The date in the short format with every character a file name cannot
    // hold (separators, ':' and the like) turned into '-'.
    QString FileNameDate(const QDate& date) const;

private:
    QString m_format;
};
