#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// CRC-32 of zip archives (reflected polynomial 0xEDB88320); 0 for no bytes.
quint32 ComputeCrc32(const char* data, qint64 length);

// True for a version entry name: its extension is ".V" (either case)
// followed by a decimal number, as in "docs\plan.txt.V001".
bool IsVersionName(const QByteArray& name);
bool IsVersionName(const QString& name);

// MS-DOS date and time as stored in an archive: the time in the low word, the
// date in the high word, 2-second resolution. Dates before 1980 or after 2107
// encode as 0, which decodes as 1 January 1980, 00:00:00. Decoding a value
// that holds no valid date or time throws an Exception.
quint32 DateTimeToDos(const QDateTime& localTime);
QDateTime DosToDateTime(quint32 dosDateTime);
// The date and time fields alone, without the time-zone work of a local
// QDateTime (for listing many entries); throws as DosToDateTime does.
void DecodeDos(quint32 dosDateTime, QDate& date, QTime& time);

// Entry-name comparisons: ASCII letters without case, every other byte exact.
bool SameEntryName(const QByteArray& left, const QByteArray& right);
bool ContainsEntryName(const QByteArray& text, const QByteArray& name);

// General purpose flag bit 11: the entry name is UTF-8.
inline constexpr quint16 Utf8NameFlag = 0x0800;
// The flags a name written by this program carries: bit 11 for a name that
// is valid UTF-8 and not plain ASCII, so other tools show it right.
quint16 NameEncodingFlags(const QByteArray& name);
