#include <QTest>

#include "ExtendedTime.h"
#include "RecordCodec.h"
#include "TestRegistry.h"
#include "ZipFile.h"

namespace {
// The MS-DOS form of a wall-clock time.
quint32 Dos(int year, int month, int day, int hour, int minute, int second)
{
    return DosFromFields(year, month, day, hour, minute, second);
}

qint64 Utc(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC)
        .toSecsSinceEpoch();
}

QByteArray Block(quint16 id, const QByteArray& data)
{
    char header[4];
    RecordCodec::Put16(header, id);
    RecordCodec::Put16(header + 2, quint16(data.size()));
    return QByteArray(header, 4) + data;
}
} // namespace

class ExtendedTimeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void agreement_data();
    void agreement();
    void writtenInBothRecordsKeepingOtherFields();
    void timesTheFieldCannotHoldAreLeftOut();
    void staleTimestampIsPassedOver();
};

void ExtendedTimeTest::agreement_data()
{
    QTest::addColumn<quint32>("dos");
    QTest::addColumn<qint64>("utc");
    QTest::addColumn<bool>("agrees");
    const qint64 noon = Utc(2024, 3, 5, 12, 0, 0);
    QTest::newRow("UTC") << Dos(2024, 3, 5, 12, 0, 0) << noon << true;
    QTest::newRow("Berlin +1") << Dos(2024, 3, 5, 13, 0, 0) << noon << true;
    QTest::newRow("New York -5, odd second") << Dos(2024, 3, 5, 7, 0, 0) << noon + 1 << true;
    QTest::newRow("Kolkata +5:30") << Dos(2024, 3, 5, 17, 30, 0) << noon << true;
    QTest::newRow("Kathmandu +5:45") << Dos(2024, 3, 5, 17, 45, 0) << noon << true;
    QTest::newRow("Kiribati +14") << Dos(2024, 3, 6, 2, 0, 0) << noon << true;
    QTest::newRow("beyond 14 hours") << Dos(2024, 3, 6, 2, 15, 0) << noon << false;
    QTest::newRow("10 minutes off") << Dos(2024, 3, 5, 12, 10, 0) << noon << false;
    QTest::newRow("3 seconds off") << Dos(2024, 3, 5, 13, 0, 4) << noon << false;
    QTest::newRow("a day stale") << Dos(2024, 3, 6, 12, 0, 0) << noon << false;
    QTest::newRow("clamped before 1980") << FirstDosDateTime << Utc(1975, 6, 1, 8, 0, 0) << true;
    QTest::newRow("clamped, old program's 0") << 0u << Utc(1975, 6, 1, 8, 0, 0) << true;
    QTest::newRow("first time but timestamp from 1990")
        << FirstDosDateTime << Utc(1990, 1, 1, 0, 0, 0) << false;
}

void ExtendedTimeTest::agreement()
{
    QFETCH(quint32, dos);
    QFETCH(qint64, utc);
    QFETCH(bool, agrees);
    QCOMPARE(ExtendedTime::Agrees(dos, utc), agrees);
}

void ExtendedTimeTest::writtenInBothRecordsKeepingOtherFields()
{
    TZipFile zip;
    zip.AddEntry("a.txt", 0);
    // Info-ZIP's local fields: a timestamp with access time, then user ids.
    const QByteArray userIds = Block(0x7875, QByteArray::fromHex("0104e803000004e8030000"));
    zip.Entries[0].ExtraField = Block(0x5455, QByteArray::fromHex("030102030405060708")) + userIds;
    const QDateTime time(QDate(2024, 3, 5), QTime(10, 0, 7), Qt::UTC);
    zip.SetDateTime(0, time);
    zip.SetData(0, "data");
    char seconds[4];
    RecordCodec::Put32(seconds, quint32(time.toSecsSinceEpoch()));
    // Flag bit 0 and the time, where the old timestamp stood.
    const QByteArray expected = Block(0x5455, "\x01" + QByteArray(seconds, 4)) + userIds;
    QCOMPARE(zip.Entries.at(0).ExtraField, expected);
    QCOMPARE(zip.CentralDirectory.at(0).ExtraField, expected);
    QCOMPARE(zip.Entries.at(0).ExtraFieldLength, quint16(expected.size()));
    QCOMPARE(zip.CentralDirectory.at(0).ExtraFieldLength, quint16(expected.size()));
    QCOMPARE(zip.GetUtcTime(0), std::optional<qint64>(time.toSecsSinceEpoch()));
    QCOMPARE(zip.GetDateTime(0), time.toLocalTime());
}

void ExtendedTimeTest::timesTheFieldCannotHoldAreLeftOut()
{
    TZipFile zip;
    zip.AddEntry("late.txt", 0);
    zip.SetDateTime(0, QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
    QVERIFY(!zip.Entries.at(0).ExtraField.isEmpty());
    zip.SetDateTime(0, QDateTime(QDate(2040, 1, 1), QTime(0, 0)));
    QVERIFY(zip.Entries.at(0).ExtraField.isEmpty());
    QVERIFY(zip.CentralDirectory.at(0).ExtraField.isEmpty());
    QCOMPARE(zip.GetDateTime(0), QDateTime(QDate(2040, 1, 1), QTime(0, 0)));
}

// Another program rewrote data and MS-DOS time but kept the old field.
void ExtendedTimeTest::staleTimestampIsPassedOver()
{
    TZipFile zip;
    zip.AddEntry("a.txt", 0);
    zip.SetDateTime(0, QDateTime(QDate(2020, 1, 1), QTime(9, 0)));
    const QDateTime rewritten(QDate(2024, 3, 5), QTime(10, 0, 2));
    zip.Entries[0].FileDateTime = DateTimeToDos(rewritten);
    QVERIFY(!zip.GetUtcTime(0));
    QCOMPARE(zip.GetDateTime(0), rewritten);
}

QZ_REGISTER_TEST(ExtendedTimeTest);
#include "ExtendedTimeTest.moc"
