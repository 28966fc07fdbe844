#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// CRC-32 of zip archives (reflected polynomial 0xEDB88320); 0 for no bytes.
quint32 ComputeCrc32(const char* data, qint64 length);

// True for a version entry name: its extension is ".V" (either case)
// followed by at least three decimal digits, the form NextVersionName writes,
// as in "docs\plan.txt.V001". A user's "model.v2" is an ordinary file.
bool IsVersionName(const QByteArray& name);
bool IsVersionName(const QString& name);

// MS-DOS date and time as stored in an archive: the time in the low word, the
// date in the high word, 2-second resolution. A time before 1980 encodes as
// the first MS-DOS time (1 January 1980, 00:00:00), one after 2107 as the
// last (31 December 2107, 23:59:58); an invalid time as 0, which decodes as
// 1 January 1980, 00:00:00 too. Decoding a value that holds no valid date or
// time throws an Exception.
inline constexpr quint32 FirstDosDateTime = (1u << 5 | 1u) << 16;
inline constexpr quint32 LastDosDateTime =
    (127u << 9 | 12u << 5 | 31u) << 16 | (23u << 11 | 59u << 5 | 29u);
quint32 DateTimeToDos(const QDateTime& localTime);
// The same from local calendar fields (month and day from 1); `clamped`, when
// given, tells whether the time lay outside the MS-DOS range.
quint32 DosFromFields(int year, int month, int day, int hour, int minute, int second,
                      bool* clamped = nullptr);
// True for the two limits a time outside the range is stored as (and for 0).
bool IsDosLimit(quint32 dosDateTime);
QDateTime DosToDateTime(quint32 dosDateTime);
// The date and time fields alone, without the time-zone work of a local
// QDateTime (for listing many entries); throws as DosToDateTime does.
void DecodeDos(quint32 dosDateTime, QDate& date, QTime& time);

// Entry-name comparisons: ASCII letters without case, '/' and '\' alike,
// every other byte exact.
bool SameEntryName(const QByteArray& left, const QByteArray& right);
bool ContainsEntryName(const QByteArray& text, const QByteArray& name);

// General purpose flag bit 11: the entry name is UTF-8.
inline constexpr quint16 Utf8NameFlag = 0x0800;
// The flags a name written by this program carries: bit 11 for a name that
// is valid UTF-8 and not plain ASCII, so other tools show it right.
quint16 NameEncodingFlags(const QByteArray& name);
