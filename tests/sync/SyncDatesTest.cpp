#include <QTest>

#include "SyncDates.h"
#include "SyncFixture.h"
#include "TestRegistry.h"
#include "ZipUtils.h"

namespace {
qint64 Utc(int year, int month, int day, int hour, int minute, int second, int msec = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec), Qt::UTC)
        .toMSecsSinceEpoch();
}

// The stored value by way of a local QDateTime, the conversion the fast one must equal.
quint32 ThroughQDateTime(qint64 msecs)
{
    return DateTimeToDos(QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC).toLocalTime());
}
} // namespace

class SyncDatesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void entryDosTimeEqualsLocalConversion_data();
    void entryDosTimeEqualsLocalConversion();
};

void SyncDatesTest::entryDosTimeEqualsLocalConversion_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::newRow("UTC") << QByteArray("UTC0");
    QTest::newRow("Berlin") << QByteArray(":Europe/Berlin");
    QTest::newRow("New York") << QByteArray(":America/New_York");
    QTest::newRow("Lord Howe (half-hour daylight saving)") << QByteArray(":Australia/Lord_Howe");
    QTest::newRow("Kolkata (half-hour offset)") << QByteArray(":Asia/Kolkata");
    QTest::newRow("rule without zone file") << QByteArray("CET-1CEST,M3.5.0,M10.5.0/3");
}

// Moments around the daylight-saving changes, the 1980 and 2038 limits,
// odd seconds and milliseconds, before 1970, and a sweep over three years.
void SyncDatesTest::entryDosTimeEqualsLocalConversion()
{
    QFETCH(QByteArray, zone);
    const TimeZoneScope scope(zone);
    QList<qint64> moments{0,
                          -1,
                          Utc(1969, 12, 31, 23, 59, 59, 999),
                          Utc(1979, 12, 31, 12, 0, 0),
                          Utc(1979, 12, 31, 23, 59, 59),
                          Utc(1980, 1, 1, 0, 0, 0),
                          Utc(1980, 1, 1, 12, 0, 1, 999),
                          Utc(2037, 12, 31, 23, 59, 58),
                          Utc(2037, 12, 31, 23, 59, 59, 500),
                          Utc(2038, 1, 19, 3, 14, 8),
                          Utc(2107, 12, 31, 23, 59, 59),
                          Utc(2108, 1, 1, 12, 0, 0)};
    for (const qint64 change :
         {Utc(2021, 3, 28, 1, 0, 0), Utc(2021, 10, 31, 1, 0, 0), Utc(2021, 3, 14, 7, 0, 0),
          Utc(2021, 11, 7, 6, 0, 0), Utc(2021, 4, 3, 15, 0, 0), Utc(2021, 10, 2, 15, 30, 0)})
        for (const qint64 step : {-3601000, -1801000, -1000, -1, 0, 1, 999, 1000, 1800000})
            moments.append(change + step);
    for (qint64 at = Utc(2020, 1, 1, 0, 0, 0); at < Utc(2023, 1, 1, 0, 0, 0); at += 7777777)
        moments.append(at);
    for (const qint64 msecs : moments)
        QVERIFY2(TSyncDates::EntryDosTime(msecs) == ThroughQDateTime(msecs),
                 qPrintable(QString::number(msecs)));
}

QZ_REGISTER_TEST(SyncDatesTest);
#include "SyncDatesTest.moc"
