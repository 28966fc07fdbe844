#include <QTest>

#include "Exception.h"
#include "FtpError.h"
#include "FtpText.h"
#include "TestRegistry.h"

class FtpTextTest : public QObject {
    Q_OBJECT

private slots:
    void parseListingLine_data();
    void parseListingLine();
    void splitListingText_data();
    void splitListingText();
    void passiveReply_data();
    void passiveReply();
    void badPassiveReply_data();
    void badPassiveReply();
};

void FtpTextTest::parseListingLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArrayList>("fields");
    QTest::addColumn<bool>("directory");

    QTest::newRow("file") << QByteArray("-rw-r--r--   1 ftp  ftp   1024 Mar 03 12:30 a.zip")
                          << QByteArrayList{"-rw-r--r--", "1",  "ftp",   "ftp",  "1024",
                                            "Mar",        "03", "12:30", "a.zip"}
                          << false;
    QTest::newRow("directory") << QByteArray("drwxr-xr-x 2 u g 4096 Jan 1 2020 docs")
                               << QByteArrayList{"drwxr-xr-x", "2", "u",    "g",   "4096",
                                                 "Jan",        "1", "2020", "docs"}
                               << true;
    QTest::newRow("name with blanks")
        << QByteArray("-rw-r--r-- 1 u g 5 Jan 1 2020 my  old file.zip ")
        << QByteArrayList{"-rw-r--r--", "1", "u", "g", "5", "Jan", "1", "2020", "my  old file.zip"}
        << false;
    QTest::newRow("summary") << QByteArray("total 12") << QByteArrayList{"total", "12"} << false;
    QTest::newRow("blank") << QByteArray(" \t \r") << QByteArrayList{} << false;
    QTest::newRow("empty") << QByteArray() << QByteArrayList{} << false;
    QTest::newRow("upper-case D is no directory")
        << QByteArray("Drwx 1 a") << QByteArrayList{"Drwx", "1", "a"} << false;
    QTest::newRow("symbolic link")
        << QByteArray("lrwxrwxrwx 1 u g 3 Jan 1 2020 ln -> x")
        << QByteArrayList{"lrwxrwxrwx", "1", "u", "g", "3", "Jan", "1", "2020", "ln -> x"} << false;
}

void FtpTextTest::parseListingLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArrayList, fields);
    QFETCH(bool, directory);
    const TListingLine parsed = ParseListingLine(line);
    QCOMPARE(parsed.Fields, fields);
    QCOMPARE(parsed.IsDirectory, directory);
}

void FtpTextTest::splitListingText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArrayList>("lines");

    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QByteArrayList{"a", "b"};
    QTest::newRow("mixed ends") << QByteArray("a\nb\rc") << QByteArrayList{"a", "b", "c"};
    QTest::newRow("two ends give an empty line")
        << QByteArray("a\n\nb\n") << QByteArrayList{"a", "", "b"};
    QTest::newRow("cr cr lf") << QByteArray("a\r\r\nb") << QByteArrayList{"a", "", "b"};
    QTest::newRow("empty") << QByteArray() << QByteArrayList{};
}

void FtpTextTest::splitListingText()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArrayList, lines);
    QCOMPARE(SplitListingText(text), lines);
}

void FtpTextTest::passiveReply_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("port");

    QTest::newRow("parentheses") << QByteArray("Entering Passive Mode (127,0,0,1,78,40).") << 20008;
    QTest::newRow("no parentheses") << QByteArray("Entering Passive Mode 127,0,0,1,78,40") << 20008;
    QTest::newRow("blanks inside") << QByteArray("ok ( 127, 0, 0, 2, 0, 21 )") << 21;
    QTest::newRow("other host") << QByteArray("Mode 127,0,0,2,255,255") << 65535;
}

void FtpTextTest::passiveReply()
{
    QFETCH(QByteArray, line);
    QFETCH(int, port);
    QCOMPARE(int(ParsePassiveReply(line)), port);
}

void FtpTextTest::badPassiveReply_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("message");

    QTest::newRow("not a number") << QByteArray("Passive (127,0,0,1,x1,2)")
                                  << QStringLiteral("'x1' is not a valid integer value");
    QTest::newRow("port field too big")
        << QByteArray("Passive (127,0,0,1,256,2)")
        << QStringLiteral("Invalid passive mode reply \"Passive (127,0,0,1,256,2)\".");
    QTest::newRow("host field too big")
        << QByteArray("(127,0,0,300,1,2)")
        << QStringLiteral("Invalid passive mode reply \"(127,0,0,300,1,2)\".");
    QTest::newRow("five numbers") << QByteArray("(127,0,0,1,2)")
                                  << QStringLiteral(
                                         "Invalid passive mode reply \"(127,0,0,1,2)\".");
    QTest::newRow("port zero") << QByteArray("(127,0,0,1,0,0)")
                               << QStringLiteral("Invalid passive mode reply \"(127,0,0,1,0,0)\".");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("Invalid passive mode reply \"\".");
}

void FtpTextTest::badPassiveReply()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, message);
    try {
        ParsePassiveReply(line);
        QFAIL("no error");
    } catch (const Exception& error) {
        QCOMPARE(error.Message(), message);
    }
}

QZ_REGISTER_TEST(FtpTextTest);
#include "FtpTextTest.moc"
