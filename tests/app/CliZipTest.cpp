#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"

namespace {
struct TRun {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

TRun RunQorZip(const QStringList& arguments)
{
    QByteArray out;
    QByteArray err;
    TRun run;
    run.ExitCode = TestUtil::Run(TestUtil::QorZipExecutable(), arguments, &out, &err);
    run.Out = QString::fromLocal8Bit(out);
    run.Err = QString::fromLocal8Bit(err);
    return run;
}

// Two entries with known sizes and times.
QString WriteArchive(const QTemporaryDir& dir)
{
    TZipFile zip;
    zip.AddEntry("docs\\readme.txt", 0);
    zip.SetDateTime(0, QDateTime(QDate(2024, 1, 2), QTime(3, 4, 6)));
    zip.SetData(0, QByteArray("read me\n").repeated(100));
    zip.AddEntry("b.bin", 0);
    zip.SetDateTime(1, QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58)));
    zip.SetData(1, "xy");
    const QString path = dir.filePath(QStringLiteral("a.zip"));
    zip.SaveToFile(path);
    return path;
}
} // namespace

class CliZipTest : public QObject {
    Q_OBJECT

private slots:
    void listAligned();
    void listTabSeparated();
    void testSoundArchive();
    void listAndTestSayWhatIsMissing_data();
    void listAndTestSayWhatIsMissing();
    void testDamagedArchive_data();
    void testDamagedArchive();
    void missingArchiveFails_data();
    void missingArchiveFails();
    void wrongUsage_data();
    void wrongUsage();
};

void CliZipTest::listAligned()
{
    QTemporaryDir dir;
    const TRun run = RunQorZip({QStringLiteral("list"), WriteArchive(dir)});
    QCOMPARE(run.ExitCode, 0);
    const QStringList lines = run.Out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(0).startsWith(QStringLiteral("docs\\readme.txt  800  ")));
    QVERIFY(lines.at(0).endsWith(QStringLiteral("2024-01-02 03:04:06")));
    QVERIFY(QRegularExpression(QStringLiteral("^b\\.bin {14}2 +\\d+  2023-12-31 23:59:58$"))
                .match(lines.at(1))
                .hasMatch());
    QCOMPARE(lines.at(0).size(), lines.at(1).size());
}

void CliZipTest::listTabSeparated()
{
    QTemporaryDir dir;
    const QString path = WriteArchive(dir);
    TZipFile zip;
    zip.LoadFromFile(path);
    const TRun run = RunQorZip({QStringLiteral("list"), QStringLiteral("--tsv"), path});
    QCOMPARE(run.ExitCode, 0);
    QCOMPARE(run.Out, QStringLiteral("docs\\readme.txt\t800\t%1\t2024-01-02 03:04:06\n"
                                     "b.bin\t2\t%2\t2023-12-31 23:59:58\n")
                          .arg(zip.Entries.at(0).CompressedSize)
                          .arg(zip.Entries.at(1).CompressedSize));
}

void CliZipTest::testSoundArchive()
{
    QTemporaryDir dir;
    const TRun run = RunQorZip({QStringLiteral("test"), WriteArchive(dir)});
    QCOMPARE(run.ExitCode, 0);
    QVERIFY2(run.Out.contains(QStringLiteral("No errors")), qPrintable(run.Out));
    QVERIFY(run.Out.contains(QStringLiteral("(2 entries)")));
}

void CliZipTest::listAndTestSayWhatIsMissing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("change");
    QTest::addColumn<QString>("expected"); // empty: a valid empty archive, exit 0
    for (const QString& command : {QStringLiteral("list"), QStringLiteral("test")}) {
        const QByteArray name = command.toLatin1();
        QTest::newRow(name + ": empty file") << command << QByteArray("empty") << QString();
        QTest::newRow(name + ": text file")
            << command << QByteArray("text") << QStringLiteral("no zip records");
        QTest::newRow(name + ": cut short")
            << command << QByteArray("cut") << QStringLiteral("cut short");
    }
}

void CliZipTest::listAndTestSayWhatIsMissing()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, change);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = WriteArchive(dir);
    const QByteArray whole = TestUtil::ReadFile(path);
    TestUtil::WriteFile(path, change == "empty"  ? QByteArray()
                              : change == "text" ? QByteArray("no archive\n")
                                                 : whole.left(60));
    const TRun run = RunQorZip({command, path});
    QCOMPARE(run.ExitCode, expected.isEmpty() ? 0 : 1);
    QVERIFY2((run.Out + run.Err).contains(expected), qPrintable(run.Out + run.Err));
    if (!expected.isEmpty())
        QVERIFY2(run.Err.contains(QStringLiteral("a.zip")), qPrintable(run.Err));
}

void CliZipTest::testDamagedArchive_data()
{
    QTest::addColumn<QByteArray>("change");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CRC of an entry")
        << QByteArray("crc") << QStringLiteral("FAILED b.bin: CRC Error");
    QTest::newRow("trailing bytes") << QByteArray("tail") << QStringLiteral("belong to no record");
    QTest::newRow("end record cut off") << QByteArray("chop") << QStringLiteral("No end record");
}

void CliZipTest::testDamagedArchive()
{
    QFETCH(QByteArray, change);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = WriteArchive(dir);
    if (change == "crc") {
        TZipFile zip;
        zip.LoadFromFile(path);
        zip.Entries[1].Crc32 ^= 0x100;
        zip.CentralDirectory[1].Crc32 = zip.Entries[1].Crc32;
        zip.SaveToFile(path);
    } else {
        QByteArray bytes = TestUtil::ReadFile(path);
        if (change == "tail")
            bytes += "garbage";
        else
            bytes.chop(22);
        TestUtil::WriteFile(path, bytes);
    }
    const TRun run = RunQorZip({QStringLiteral("test"), path});
    QCOMPARE(run.ExitCode, 1);
    QVERIFY2(run.Out.contains(expected), qPrintable(run.Out));
    QVERIFY2(run.Err.contains(QStringLiteral("entries failed")), qPrintable(run.Err));
}

void CliZipTest::missingArchiveFails_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("list") << QStringLiteral("list");
    QTest::newRow("test") << QStringLiteral("test");
}

void CliZipTest::missingArchiveFails()
{
    QFETCH(QString, command);
    QTemporaryDir dir;
    const TRun run = RunQorZip({command, dir.filePath(QStringLiteral("none.zip"))});
    QCOMPARE(run.ExitCode, 1);
    QVERIFY2(run.Err.contains(QStringLiteral("Cannot open file")), qPrintable(run.Err));
}

void CliZipTest::wrongUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("list without archive") << QStringList{QStringLiteral("list")};
    QTest::newRow("test with two archives")
        << QStringList{QStringLiteral("test"), QStringLiteral("a.zip"), QStringLiteral("b.zip")};
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("list"), QStringLiteral("--x"), QStringLiteral("a.zip")};
}

void CliZipTest::wrongUsage()
{
    QFETCH(QStringList, arguments);
    QCOMPARE(RunQorZip(arguments).ExitCode, 2);
}

QZ_REGISTER_TEST(CliZipTest);
#include "CliZipTest.moc"
