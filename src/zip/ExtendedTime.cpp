#include "ExtendedTime.h"

#include <limits>

#include <QList>

#include "RecordCodec.h"
#include "ZipUtils.h"

namespace {
constexpr int kBlockHeader = 4; // ID and size, 2 bytes each
constexpr quint8 kModificationFlag = 0x01;
constexpr qint64 kQuarterHour = 15 * 60;
constexpr qint64 kMaxZoneOffset = 14 * 3600;
constexpr qint64 kDosSlack = 2;
constexpr qint64 kSecondsPerDay = 86400;

struct TBlock {
    qsizetype Start = 0; // offset of the block's header
    qsizetype Size = 0;  // the whole block, header included
    quint16 Id = 0;
};

// The blocks of an extra field; false when its sizes do not add up.
bool SplitBlocks(const QByteArray& field, QList<TBlock>& blocks)
{
    qsizetype at = 0;
    while (at < field.size()) {
        if (field.size() - at < kBlockHeader)
            return false;
        const quint16 id = RecordCodec::Get16(field.constData() + at);
        const qsizetype size = kBlockHeader + RecordCodec::Get16(field.constData() + at + 2);
        if (field.size() - at < size)
            return false;
        blocks.append({at, size, id});
        at += size;
    }
    return true;
}

QByteArray TimestampBlock(qint64 utcSeconds)
{
    char bytes[kBlockHeader + 5];
    RecordCodec::Put16(bytes, ExtendedTime::HeaderId);
    RecordCodec::Put16(bytes + 2, 5);
    bytes[4] = char(kModificationFlag);
    RecordCodec::Put32(bytes + 5, quint32(qint32(utcSeconds)));
    return QByteArray(bytes, sizeof bytes);
}

bool FitsField(qint64 utcSeconds)
{
    return utcSeconds >= std::numeric_limits<qint32>::min() &&
           utcSeconds <= std::numeric_limits<qint32>::max();
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
qint64 DaysFromCivil(qint64 year, qint64 month, qint64 day)
{
    year -= month <= 2 ? 1 : 0;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The MS-DOS wall-clock time read as if it were UTC, in seconds since 1970;
// pure arithmetic, no time-zone work. Fields out of range still give a number.
qint64 WallSeconds(quint32 dos)
{
    const quint32 date = dos >> 16;
    const quint32 time = dos & 0xFFFF;
    const qint64 days = DaysFromCivil(1980 + (date >> 9), (date >> 5) & 15, date & 31);
    return days * kSecondsPerDay + (time >> 11) * 3600 + ((time >> 5) & 63) * 60 + (time & 31) * 2;
}
} // namespace

QByteArray ExtendedTime::WithModificationTime(const QByteArray& extraField,
                                              std::optional<qint64> utcSeconds)
{
    QList<TBlock> blocks;
    if (!SplitBlocks(extraField, blocks))
        return extraField;
    const bool write = utcSeconds && FitsField(*utcSeconds);
    QByteArray result;
    bool written = false;
    for (const TBlock& block : blocks) {
        if (block.Id != HeaderId) {
            result += extraField.mid(block.Start, block.Size);
        } else if (write && !written) {
            result += TimestampBlock(*utcSeconds);
            written = true;
        }
    }
    if (write && !written)
        result += TimestampBlock(*utcSeconds);
    return result;
}

std::optional<qint64> ExtendedTime::ModificationTime(const QByteArray& extraField)
{
    qsizetype at = 0;
    while (extraField.size() - at >= kBlockHeader) {
        const char* block = extraField.constData() + at;
        const quint16 id = RecordCodec::Get16(block);
        const qsizetype size = RecordCodec::Get16(block + 2);
        if (extraField.size() - at - kBlockHeader < size)
            return std::nullopt;
        if (id == HeaderId && size >= 5 && (quint8(block[4]) & kModificationFlag))
            return qint64(qint32(RecordCodec::Get32(block + 5)));
        at += kBlockHeader + size;
    }
    return std::nullopt;
}

bool ExtendedTime::Agrees(quint32 dosDateTime, qint64 utcSeconds)
{
    if (IsDosLimit(dosDateTime)) {
        // A clamped time: the true one lies beyond the limit in some zone.
        const qint64 limit =
            WallSeconds(dosDateTime == LastDosDateTime ? LastDosDateTime : FirstDosDateTime);
        return dosDateTime == LastDosDateTime ? utcSeconds >= limit - kMaxZoneOffset - kDosSlack
                                              : utcSeconds <= limit + kMaxZoneOffset + kDosSlack;
    }
    const qint64 offset = WallSeconds(dosDateTime) - utcSeconds;
    if (offset < -kMaxZoneOffset - kDosSlack || offset > kMaxZoneOffset + kDosSlack)
        return false;
    const qint64 rest = ((offset % kQuarterHour) + kQuarterHour) % kQuarterHour;
    return rest <= kDosSlack || rest >= kQuarterHour - kDosSlack;
}

std::optional<qint64> ExtendedTime::EntryTime(const QByteArray& extraField, quint32 dosDateTime)
{
    if (extraField.isEmpty())
        return std::nullopt;
    const std::optional<qint64> utc = ModificationTime(extraField);
    if (utc && Agrees(dosDateTime, *utc))
        return utc;
    return std::nullopt;
}
