#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "Exception.h"
#include "MemIniFile.h"
#include "TestRegistry.h"
#include "TestUtil.h"

class MemIniFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsSectionsAndKeysWithoutCase();
    void untouchedKeysAndOrderSurvive();
    void encodingIsChosenByMark_data();
    void encodingIsChosenByMark();
    void writesUtf16WithMarkAndCrLf();
    void unchangedContentIsNotRewritten();
    void failedWriteKeepsOldFileAndNamesIt();
    void permissionsAreApplied();
    void missingFileReadsEmptyAndIsCreated();
    void readIntegerFallsBack_data();
    void readIntegerFallsBack();
};

void MemIniFileTest::readsSectionsAndKeysWithoutCase()
{
    TMemIniFile ini(QString{});
    ini.SetText(QStringLiteral("stray=ignored\n; comment\n [ Main ] \n  Key = spaced value  \n"
                               "garbage line\n[other]\nA=1\n"));
    QCOMPARE(ini.ReadString("MAIN", "key", "-"), QStringLiteral("spaced value"));
    QCOMPARE(ini.ReadInteger("Other", "a", 0), 1);
    QCOMPARE(ini.Sections(), (QStringList{"Main", "other"}));
    QCOMPARE(ini.SectionKeys("main"), QStringList{"Key"});
    QVERIFY(!ini.ValueExists("Main", "stray"));
}

void MemIniFileTest::untouchedKeysAndOrderSurvive()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.qrz");
    TestUtil::WriteFile(path, "[Project]\r\nA=1\r\nB=2\r\n\r\n[FTP]\r\nHostname=h\r\n\r\n");
    TMemIniFile ini(path);
    ini.WriteString("project", "b", "changed");
    ini.WriteString("Project", "C", "new");
    ini.UpdateFile();
    QCOMPARE(
        TestUtil::ReadFile(path),
        QByteArray("[Project]\r\nA=1\r\nB=changed\r\nC=new\r\n\r\n[FTP]\r\nHostname=h\r\n\r\n"));
}

void MemIniFileTest::encodingIsChosenByMark_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QStringLiteral("[S]\r\nK=\u00e9t\u00e9\r\n");
    QByteArray le("\xFF\xFE", 2);
    QByteArray be("\xFE\xFF", 2);
    for (QChar c : text) {
        le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    QTest::newRow("utf-16 le") << le;
    // One unpaired surrogate on a line of its own; every other line still reads.
    QTest::newRow("utf-16 le, unpaired surrogate") << le + QByteArray("B\0=\0\x00\xD8\r\0\n\0", 10);
    QTest::newRow("utf-16 be") << be;
    QTest::newRow("utf-8 mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    QTest::newRow("local 8-bit") << text.toLocal8Bit();
}

void MemIniFileTest::encodingIsChosenByMark()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    TestUtil::WriteFile(dir.filePath("x.lan"), bytes);
    TMemIniFile ini(dir.filePath("x.lan"));
    QCOMPARE(ini.ReadString("S", "K", {}), QStringLiteral("\u00e9t\u00e9"));
}

void MemIniFileTest::writesUtf16WithMarkAndCrLf()
{
    QTemporaryDir dir;
    TMemIniFile ini(dir.filePath("x.lan"), TMemIniFile::TEncoding::Utf16LE);
    ini.WriteString("S", "K", "v");
    ini.UpdateFile();
    const QByteArray bytes = TestUtil::ReadFile(dir.filePath("x.lan"));
    QVERIFY(bytes.startsWith("\xFF\xFE"));
    QCOMPARE(bytes.mid(2), QByteArray("[\0S\0]\0\r\0\n\0K\0=\0v\0\r\0\n\0\r\0\n\0", 24));
}

void MemIniFileTest::unchangedContentIsNotRewritten()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.qrz");
    TestUtil::WriteFile(path, "[S]\r\nK=v\r\n\r\n");
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    TestUtil::SetModified(path, old);
    TMemIniFile ini(path);
    ini.WriteString("S", "K", "v");
    ini.UpdateFile();
    QCOMPARE(QFileInfo(path).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
}

void MemIniFileTest::failedWriteKeepsOldFileAndNamesIt()
{
    // A folder that is really a file cannot take the temporary file, not even for root.
    QTemporaryDir dir;
    TestUtil::WriteFile(dir.filePath("plain"), "x");
    const QString path = dir.filePath("plain/p.qrz");
    TMemIniFile ini(path);
    ini.WriteString("S", "K", "new");
    try {
        ini.UpdateFile();
        QFAIL("writing into a file as folder succeeded");
    } catch (const Exception& error) {
        QVERIFY2(
            error.Message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)),
            qPrintable(error.Message()));
        QVERIFY(error.Message().contains(QStringLiteral("Not a directory")));
    }
    QCOMPARE(TestUtil::ReadFile(dir.filePath("plain")), QByteArray("x"));
}

void MemIniFileTest::permissionsAreApplied()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("secret.qrz");
    TMemIniFile ini(path);
    ini.WriteString("FTP", "Password", "pw");
    const int ownerOnly = int(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ini.UpdateFile(ownerOnly);
    QVERIFY(QFile::permissions(path).testFlag(QFileDevice::ReadOwner));
    QVERIFY(!QFile::permissions(path).testFlag(QFileDevice::ReadOther));
    QVERIFY(!QFile::permissions(path).testFlag(QFileDevice::ReadGroup));
}

void MemIniFileTest::missingFileReadsEmptyAndIsCreated()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("new.ini");
    TMemIniFile ini(path);
    QVERIFY(ini.Sections().isEmpty());
    ini.WriteBool("S", "Flag", true);
    ini.UpdateFile();
    QVERIFY(TMemIniFile(path).ReadBool("s", "flag", false));
}

void MemIniFileTest::readIntegerFallsBack_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal") << "42" << 42;
    QTest::newRow("negative") << "-3" << -3;
    QTest::newRow("hex dollar") << "$1F" << 31;
    QTest::newRow("garbage") << "x2" << 7;
    QTest::newRow("empty") << "" << 7;
}

void MemIniFileTest::readIntegerFallsBack()
{
    QFETCH(QString, value);
    QFETCH(int, expected);
    TMemIniFile ini(QString{});
    ini.WriteString("S", "N", value);
    QCOMPARE(ini.ReadInteger("S", "N", 7), expected);
}

QZ_REGISTER_TEST(MemIniFileTest);
#include "MemIniFileTest.moc"
