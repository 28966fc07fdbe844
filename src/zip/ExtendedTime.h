#pragma once

#include <optional>

#include <QByteArray>
#include <QtGlobal>

// The extended-timestamp extra field (header ID 0x5455, "UT") that Info-ZIP
// and most zip tools read and write: a flag byte, then with flag bit 0 the
// modification time as signed 32-bit seconds since 1970 in UTC. MS-DOS times
// are local wall-clock times; this field keeps the true moment, so an archive
// means the same on computers in other time zones or daylight-saving states.
//
// An entry's time is read from the field only when the field agrees with the
// entry's MS-DOS time: their difference must be a whole-quarter-hour zone
// offset of at most 14 hours (within 2 s, the MS-DOS resolution), or the
// MS-DOS time must be one of its range limits (a time outside that range was
// clamped). A program that rewrites data and MS-DOS time but keeps an old
// field leaves a stale one behind, which this rule passes over.
namespace ExtendedTime {
inline constexpr quint16 HeaderId = 0x5455;

// The extra field with its extended timestamp set to `utcSeconds` (the old
// one replaced where it stood, other fields kept in order), or removed when
// no time is given or the field cannot hold it (before 1901, after January
// 2038). The local and the central record take the same bytes. A field that
// does not parse as a list of blocks is returned unchanged.
QByteArray WithModificationTime(const QByteArray& extraField, std::optional<qint64> utcSeconds);
// The modification time the field holds, if any (whether it agrees or not).
std::optional<qint64> ModificationTime(const QByteArray& extraField);
// True when `utcSeconds` and the MS-DOS time describe the same moment by the
// rule above.
bool Agrees(quint32 dosDateTime, qint64 utcSeconds);
// The entry's UTC time in seconds when its extra field holds an agreeing
// extended timestamp; nothing otherwise (then the MS-DOS time counts).
std::optional<qint64> EntryTime(const QByteArray& extraField, quint32 dosDateTime);
} // namespace ExtendedTime
