#include <QTest>

#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"

namespace {
TZipFile Named(const QList<QByteArray>& names)
{
    TZipFile zip;
    for (const QByteArray& name : names)
        zip.AddEntry(name, 0);
    return zip;
}

QList<QByteArray> Names(const TZipFile& zip)
{
    QList<QByteArray> names;
    for (int i = 0; i < zip.Count(); ++i)
        names.append(zip.GetName(i));
    return names;
}

void VerifyCentralMatchesLocal(const TZipFile& zip, int index)
{
    const TLocalFile& local = zip.Entries.at(index);
    const TFileHeader& header = zip.CentralDirectory.at(index);
    QCOMPARE(static_cast<const TSharedBlock&>(header), static_cast<const TSharedBlock&>(local));
    QCOMPARE(header.FileName, local.FileName);
    QCOMPARE(header.ExtraField, local.ExtraField);
    QCOMPARE(int(local.FileNameLength), local.FileName.size());
    QCOMPARE(qsizetype(local.CompressedSize), local.CompressedData.size());
}
} // namespace

class ZipEntryTest : public QObject {
    Q_OBJECT

private slots:
    void addEntrySetsTheFields();
    void entryWithoutDataReadsEmpty();
    void emptyDataDeflatesToEmptyBlock();
    void dataRoundTrips_data();
    void dataRoundTrips();
    void setDataKeepsNameTimeAndAttributes();
    void crcCheckValue();
    void indexOutOfRange_data();
    void indexOutOfRange();
    void dosTimeEncoding_data();
    void dosTimeEncoding();
    void dosTimeDecodingErrors_data();
    void dosTimeDecodingErrors();
    void findEntryMatchesParts_data();
    void findEntryMatchesParts();
    void deleteEntryKeepsOrder();
    void renameFirstAndLast();
    void nextVersionName();
    void isVersionName_data();
    void isVersionName();
    void utf8NamesCarryBit11_data();
    void utf8NamesCarryBit11();
};

void ZipEntryTest::addEntrySetsTheFields()
{
    TZipFile zip;
    zip.AddEntry("docs\\a.txt", 0x20);
    const TLocalFile& local = zip.Entries.at(0);
    QCOMPARE(local.Signature, LocalFileSignature);
    QCOMPARE(local.VersionNeeded, 20);
    QCOMPARE(local.CompressionMethod, 8);
    QCOMPARE(local.FileDateTime, 0u);
    QCOMPARE(local.FileName, QByteArray("docs\\a.txt"));
    const TFileHeader& header = zip.CentralDirectory.at(0);
    QCOMPARE(header.Signature, FileHeaderSignature);
    QCOMPARE(header.VersionMadeBy, 20);
    QCOMPARE(header.ExternalAttributes, 0x20u);
    VerifyCentralMatchesLocal(zip, 0);
}

void ZipEntryTest::entryWithoutDataReadsEmpty()
{
    TZipFile zip = Named({"x"});
    QCOMPARE(zip.Entries.at(0).CompressedSize, 0u);
    QCOMPARE(zip.Entries.at(0).Crc32, 0u);
    QByteArray data("stale");
    zip.GetData(0, data);
    QVERIFY(data.isEmpty());
}

void ZipEntryTest::emptyDataDeflatesToEmptyBlock()
{
    TZipFile zip = Named({"x"});
    zip.SetData(0, QByteArray());
    QCOMPARE(zip.Entries.at(0).CompressedData, QByteArray("\x03\x00", 2));
    QCOMPARE(zip.Entries.at(0).UncompressedSize, 0u);
    QCOMPARE(zip.Entries.at(0).Crc32, 0u);
    QVERIFY(zip.GetData(0).isEmpty());
}

void ZipEntryTest::dataRoundTrips_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("one byte") << QByteArray("a");
    QTest::newRow("text") << QByteArray("line of text\r\n").repeated(10000);
    QTest::newRow("random, incompressible") << TestUtil::RandomBytes(300000, 1);
    QTest::newRow("zeroes, high ratio") << QByteArray(3 << 20, '\0');
}

void ZipEntryTest::dataRoundTrips()
{
    QFETCH(QByteArray, data);
    TZipFile zip = Named({"a", "b"});
    zip.SetData(1, data);
    QCOMPARE(zip.GetData(1), data);
    QCOMPARE(zip.Entries.at(1).Crc32, ComputeCrc32(data.constData(), data.size()));
    QCOMPARE(zip.Entries.at(1).UncompressedSize, quint32(data.size()));
    VerifyCentralMatchesLocal(zip, 1);
    // The same bytes through the threaded halves.
    QByteArray out;
    TZipFile::Inflate(zip.Entries.at(1), out);
    QCOMPARE(out, data);
    TZipFile::Verify(zip.Entries.at(1));
}

void ZipEntryTest::setDataKeepsNameTimeAndAttributes()
{
    TZipFile zip = Named({"a"});
    zip.CentralDirectory[0].ExternalAttributes = 0x81A40000;
    zip.CentralDirectory[0].FileComment = "gone";
    zip.CentralDirectory[0].FileCommentLength = 4;
    const QDateTime time(QDate(2024, 5, 6), QTime(7, 8, 10));
    zip.SetDateTime(0, time);
    zip.SetData(0, "content");
    QCOMPARE(zip.GetDateTime(0), time);
    QCOMPARE(zip.CentralDirectory.at(0).ExternalAttributes, 0x81A40000u);
    QVERIFY(zip.CentralDirectory.at(0).FileComment.isEmpty());
    QCOMPARE(zip.CentralDirectory.at(0).FileCommentLength, 0);
    VerifyCentralMatchesLocal(zip, 0);
}

void ZipEntryTest::crcCheckValue()
{
    QCOMPARE(ComputeCrc32("123456789", 9), 0xCBF43926u);
    QCOMPARE(ComputeCrc32("", 0), 0u);
}

void ZipEntryTest::indexOutOfRange_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("Count") << 2;
}

void ZipEntryTest::indexOutOfRange()
{
    QFETCH(int, index);
    TZipFile zip = Named({"a", "b"});
    const auto expectIndexError = [](const std::function<void()>& call) {
        try {
            call();
            QFAIL("no error");
        } catch (const Exception& error) {
            QCOMPARE(error.Message(), QStringLiteral("Index out of range."));
        }
    };
    expectIndexError([&] { zip.SetData(index, "x"); });
    expectIndexError([&] { zip.GetData(index); });
    expectIndexError([&] { zip.SetDateTime(index, QDateTime::currentDateTime()); });
    expectIndexError([&] { zip.GetDateTime(index); });
    zip.RenameEntry(index, "ignored");
    QCOMPARE(Names(zip), (QList<QByteArray>{"a", "b"}));
}

void ZipEntryTest::dosTimeEncoding_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<quint32>("dos");
    QTest::addColumn<QDateTime>("readBack");
    const QDateTime first(QDate(1980, 1, 1), QTime(0, 0));
    QTest::newRow("before 1980") << QDateTime(QDate(1979, 12, 31), QTime(23, 59, 59)) << 0u
                                 << first;
    QTest::newRow("after 2107") << QDateTime(QDate(2108, 1, 1), QTime(0, 0)) << 0u << first;
    QTest::newRow("odd second rounds down")
        << QDateTime(QDate(2001, 2, 3), QTime(14, 3, 17, 999))
        << ((21u << 25 | 2u << 21 | 3u << 16) | (14u << 11 | 3u << 5 | 8u))
        << QDateTime(QDate(2001, 2, 3), QTime(14, 3, 16));
    QTest::newRow("last day of 2107")
        << QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58))
        << ((127u << 25 | 12u << 21 | 31u << 16) | (23u << 11 | 59u << 5 | 29u))
        << QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58));
}

void ZipEntryTest::dosTimeEncoding()
{
    QFETCH(QDateTime, time);
    QFETCH(quint32, dos);
    QFETCH(QDateTime, readBack);
    TZipFile zip = Named({"a"});
    zip.SetDateTime(0, time);
    QCOMPARE(zip.Entries.at(0).FileDateTime, dos);
    QCOMPARE(zip.CentralDirectory.at(0).FileDateTime, dos);
    QCOMPARE(zip.GetDateTime(0), readBack);
}

void ZipEntryTest::dosTimeDecodingErrors_data()
{
    QTest::addColumn<quint32>("dos");
    QTest::addColumn<QString>("message");
    const quint32 goodDate = (44u << 9 | 2u << 5 | 29u) << 16; // 29 Feb 2024
    const QString date = QStringLiteral("Invalid argument to date encode");
    const QString time = QStringLiteral("Invalid argument to time encode");
    QTest::newRow("month 0") << ((44u << 9 | 0u << 5 | 1u) << 16) << date;
    QTest::newRow("month 13") << ((44u << 9 | 13u << 5 | 1u) << 16) << date;
    QTest::newRow("day 0") << ((44u << 9 | 1u << 5 | 0u) << 16) << date;
    QTest::newRow("30 February") << ((44u << 9 | 2u << 5 | 30u) << 16) << date;
    QTest::newRow("29 February 2023") << ((43u << 9 | 2u << 5 | 29u) << 16) << date;
    QTest::newRow("hour 24") << (goodDate | 24u << 11) << time;
    QTest::newRow("minute 60") << (goodDate | 60u << 5) << time;
    QTest::newRow("second 60") << (goodDate | 30u) << time;
}

void ZipEntryTest::dosTimeDecodingErrors()
{
    QFETCH(quint32, dos);
    QFETCH(QString, message);
    TZipFile zip = Named({"a"});
    zip.Entries[0].FileDateTime = dos;
    try {
        zip.GetDateTime(0);
        QFAIL("no error");
    } catch (const Exception& error) {
        QCOMPARE(error.Message(), message);
    }
}

void ZipEntryTest::findEntryMatchesParts_data()
{
    QTest::addColumn<QList<QByteArray>>("names");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("found");
    QTest::addColumn<int>("exact");
    const QList<QByteArray> names{"a.txt", "docs\\data.txt"};
    QTest::newRow("name inside another path") << names << QByteArray("docs\\data.txt") << 0 << 1;
    QTest::newRow("ASCII case ignored") << names << QByteArray("DOCS\\DATA.TXT") << 0 << 1;
    QTest::newRow("non-ASCII exact")
        << QList<QByteArray>{"\xc3\xa4.txt"} << QByteArray("\xc3\x84.txt") << -1 << -1;
    QTest::newRow("empty name never matches")
        << QList<QByteArray>{"", "b"} << QByteArray("ab") << 1 << -1;
    QTest::newRow("no match") << names << QByteArray("other") << -1 << -1;
}

void ZipEntryTest::findEntryMatchesParts()
{
    QFETCH(QList<QByteArray>, names);
    QFETCH(QByteArray, text);
    QFETCH(int, found);
    QFETCH(int, exact);
    const TZipFile zip = Named(names);
    QCOMPARE(zip.FindEntry(text), found);
    QCOMPARE(zip.FindExactEntry(text), exact);
}

void ZipEntryTest::deleteEntryKeepsOrder()
{
    TZipFile zip = Named({"one", "two", "three"});
    zip.CentralDirectory[2].ExternalAttributes = 3;
    zip.DeleteEntry("unknown");
    QCOMPARE(zip.Count(), 3);
    zip.DeleteEntry("one");
    QCOMPARE(Names(zip), (QList<QByteArray>{"two", "three"}));
    QCOMPARE(zip.CentralDirectory.size(), 2);
    QCOMPARE(zip.CentralDirectory.at(1).FileName, QByteArray("three"));
    QCOMPARE(zip.CentralDirectory.at(1).ExternalAttributes, 3u);
    zip.AddEntry("three.V001", 0);
    zip.DeleteEntry("three.V001"); // finds "three" first: its name occurs in the text
    QCOMPARE(Names(zip), (QList<QByteArray>{"two", "three.V001"}));
}

void ZipEntryTest::renameFirstAndLast()
{
    TZipFile zip = Named({"first", "middle", "last"});
    zip.SetData(2, "data");
    zip.SetDateTime(2, QDateTime(QDate(2020, 1, 2), QTime(3, 4, 6)));
    zip.CentralDirectory[2].FileComment = "c";
    zip.CentralDirectory[2].FileCommentLength = 1;
    zip.RenameEntry(0, "renamed first");
    zip.RenameEntry(2, "renamed last");
    QCOMPARE(Names(zip), (QList<QByteArray>{"renamed first", "middle", "renamed last"}));
    VerifyCentralMatchesLocal(zip, 0);
    VerifyCentralMatchesLocal(zip, 2);
    QCOMPARE(zip.CentralDirectory.at(2).FileCommentLength, 0);
    QCOMPARE(zip.GetData(2), QByteArray("data"));
    QCOMPARE(zip.GetDateTime(2), QDateTime(QDate(2020, 1, 2), QTime(3, 4, 6)));
}

void ZipEntryTest::nextVersionName()
{
    TZipFile zip = Named({"docs\\a.txt", "docs\\a.txt.V001"});
    QCOMPARE(zip.NextVersionName(QStringLiteral("docs\\a.txt")),
             QStringLiteral("docs\\a.txt.V002"));
    // Removed by index: DeleteEntry of the version name would find docs\a.txt,
    // whose name occurs inside it, first.
    zip.Entries.removeAt(1);
    zip.CentralDirectory.removeAt(1);
    QCOMPARE(zip.NextVersionName(QStringLiteral("docs\\a.txt")),
             QStringLiteral("docs\\a.txt.V001"));
    QCOMPARE(zip.NextVersionName(QStringLiteral("other.txt")), QStringLiteral("other.txt"));
    TZipFile many = Named({"x"});
    for (int i = 1; i <= 999; ++i)
        many.AddEntry("x.V" + QByteArray::number(i).rightJustified(3, '0'), 0);
    QCOMPARE(many.NextVersionName(QStringLiteral("x")), QStringLiteral("x.V1000"));
}

void ZipEntryTest::isVersionName_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("version");
    QTest::newRow(".V001") << QByteArray("docs\\a.txt.V001") << true;
    QTest::newRow(".v7") << QByteArray("a.txt.v7") << true;
    QTest::newRow(".V1000") << QByteArray("a.V1000") << true;
    QTest::newRow(".V") << QByteArray("a.txt.V") << false;
    QTest::newRow(".Vx") << QByteArray("a.txt.Vx") << false;
    QTest::newRow(".V-1") << QByteArray("a.txt.V-1") << false;
    QTest::newRow(".V-2 (signs do not count)") << QByteArray("a.txt.V-2") << false;
    QTest::newRow(".V 1 (blanks do not count)") << QByteArray("a.txt.V 1") << false;
    QTest::newRow("dot before the last backslash") << QByteArray("dir.V1\\file") << false;
    QTest::newRow("dot before a colon") << QByteArray("c.V1:file") << false;
    QTest::newRow("no extension") << QByteArray("V001") << false;
    QTest::newRow("overflow") << QByteArray("a.V99999999999") << false;
}

void ZipEntryTest::isVersionName()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, version);
    QCOMPARE(IsVersionName(name), version);
    QCOMPARE(IsVersionName(QString::fromLocal8Bit(name)), version);
}

void ZipEntryTest::utf8NamesCarryBit11_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<quint16>("flags");
    QTest::newRow("ASCII") << QByteArray("docs\\a.txt") << quint16(0);
    QTest::newRow("UTF-8") << QByteArray("\xc3\x9c"
                                         "bersicht \xc3\xa4.txt")
                           << quint16(0x0800);
    QTest::newRow("Latin-1, no UTF-8") << QByteArray("\xdc"
                                                     "bersicht.txt")
                                       << quint16(0);
}

// Bit 11 follows the name through adding, filling and renaming, in both records.
void ZipEntryTest::utf8NamesCarryBit11()
{
    QFETCH(QByteArray, name);
    QFETCH(quint16, flags);
    TZipFile zip;
    zip.AddEntry(name, 0);
    QCOMPARE(zip.Entries.at(0).Flags, flags);
    zip.SetData(0, "data");
    QCOMPARE(zip.Entries.at(0).Flags, flags);
    QCOMPARE(zip.CentralDirectory.at(0).Flags, flags);
    zip.AddEntry("plain.txt", 0);
    zip.RenameEntry(1, name);
    zip.RenameEntry(0, "plain.txt.V001");
    QCOMPARE(zip.CentralDirectory.at(1).Flags, flags);
    QCOMPARE(zip.Entries.at(0).Flags, quint16(0));
}

QZ_REGISTER_TEST(ZipEntryTest);
#include "ZipEntryTest.moc"
