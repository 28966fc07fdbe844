#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "MemIniFile.h"
#include "TestRegistry.h"
#include "Utils.h"

class UtilsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void abbreviatePath_data();
    void abbreviatePath();
    void abbreviatePathBytesFollowsTheSameRule();
    void abbreviatePathExpandsRelativePaths();
    void fileBaseName_data();
    void fileBaseName();
    void delimitedTextJoins_data();
    void delimitedTextJoins();
    void delimitedTextSplits_data();
    void delimitedTextSplits();
    void delimitedTextOfBytes();
    void iniListRoundTripsQuotes();
    void iniListReadStopsAtFirstGap();
    void iniListEmptyTextComesBackQuoted();
    void iniListWriteRemovesOldKeys();
};

void UtilsTest::abbreviatePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("levels");
    QTest::addColumn<bool>("keepExtension");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* path, int levels, bool keep,
                        const char* expected) {
        QTest::newRow(name) << QString::fromLatin1(path) << levels << keep
                            << QString::fromLatin1(expected);
    };
    row("windows two levels", "C:\\Projects\\Web\\Zip\\Backup.zip", 2, true,
        "C:\\..\\Web\\Zip\\Backup.zip");
    row("windows short stays whole", "C:\\Work\\Src\\Backup.zip", 2, true,
        "C:\\Work\\Src\\Backup.zip");
    row("windows root file", "C:\\Backup.zip", 2, true, "C:\\Backup.zip");
    row("windows root file any level", "C:\\Backup.zip", 0, true, "C:\\Backup.zip");
    row("windows root file no extension", "C:\\Backup.zip", 3, false, "C:\\Backup");
    row("windows one level no extension", "C:\\Projects\\Web\\Zip\\Main.qrz", 1, false,
        "C:\\..\\Zip\\Main");
    row("windows zero levels", "C:\\Projects\\Web\\Zip\\Main.qrz", 0, false, "C:\\..\\Main");
    row("windows walk reaches drive", "C:\\A\\B\\File.txt", 2, true, "C:\\A\\B\\File.txt");
    row("windows one of two levels", "C:\\A\\B\\File.txt", 1, true, "C:\\..\\B\\File.txt");
    row("extension already in a directory", "D:\\old.zip\\data\\arch.zip", 2, true,
        "D:\\old.zip\\data\\arch");
    row("posix two levels", "/home/u/Projects/Web/Zip/Backup.zip", 2, true,
        "/../Web/Zip/Backup.zip");
    row("posix walk reaches root", "/A/B/File.txt", 2, true, "/A/B/File.txt");
    row("posix one level", "/A/B/File.txt", 1, true, "/../B/File.txt");
    row("posix root file", "/Backup.zip", 2, false, "/Backup");
    row("posix zero levels", "/home/u/Main.qrz", 0, false, "/../Main");
    row("posix colon and backslash in names", "/home/u/a\\b/backup 10:30.zip", 1, true,
        "/../a\\b/backup 10:30.zip");
}

void UtilsTest::abbreviatePath()
{
    QFETCH(QString, path);
    QFETCH(int, levels);
    QFETCH(bool, keepExtension);
    QFETCH(QString, expected);
    QCOMPARE(AbbreviatePath(path, levels, false, keepExtension), expected);
}

void UtilsTest::abbreviatePathBytesFollowsTheSameRule()
{
    QCOMPARE(AbbreviatePath(QByteArray("C:\\Projects\\Web\\Zip\\Backup.zip"), 2, false, true),
             QByteArray("C:\\..\\Web\\Zip\\Backup.zip"));
    QCOMPARE(FileBaseName(QByteArray("C:\\x\\report.txt.txt"), false), QByteArray("report"));
}

void UtilsTest::abbreviatePathExpandsRelativePaths()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir(dir.path()).mkpath(QStringLiteral("a/b"));
    QDir::setCurrent(dir.path() + QStringLiteral("/a"));
    const QString result = AbbreviatePath(QStringLiteral("b/Main.qrz"), 1, true, true);
    QDir::setCurrent(previous);
    QCOMPARE(result, QStringLiteral("/../b/Main.qrz"));
}

void UtilsTest::fileBaseName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("doubled extension cut at first") << "C:\\x\\report.txt.txt"
                                                    << "report";
    QTest::newRow("extension case differs") << "C:\\x\\Notes.TXT.txt"
                                            << "Notes";
    QTest::newRow("no extension") << "C:\\x\\Makefile"
                                  << "Makefile";
    QTest::newRow("after drive colon") << "C:file.pas"
                                       << "file";
    QTest::newRow("posix") << "/home/u/plan.doc"
                           << "plan";
    QTest::newRow("dot in directory only") << "/home/u.v/plan"
                                           << "plan";
    QTest::newRow("posix name with a colon") << "/home/u/backup 10:30.zip"
                                             << "backup 10:30";
    QTest::newRow("posix name with a backslash") << "/home/u/a\\b.txt"
                                                 << "a\\b";
}

void UtilsTest::fileBaseName()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(FileBaseName(path, false), expected);
}

void UtilsTest::delimitedTextJoins_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QChar>("quote");
    QTest::addColumn<QString>("expected");
    const QChar apostrophe(QLatin1Char('\''));
    const QChar doubleQuote(QLatin1Char('"'));
    QTest::newRow("blank quoted") << QStringList{"C:\\My Files\\", "*.doc;*.txt"} << apostrophe
                                  << "'C:\\My Files\\',*.doc;*.txt";
    QTest::newRow("ends in empty item")
        << QStringList{"C:\\Src\\", ""} << apostrophe << "C:\\Src\\,";
    QTest::newRow("only item empty") << QStringList{""} << apostrophe << "''";
    QTest::newRow("empty list") << QStringList{} << apostrophe << "";
    QTest::newRow("quote doubled") << QStringList{"it's"} << apostrophe << "'it''s'";
    QTest::newRow("delimiter quoted") << QStringList{"a,b"} << doubleQuote << "\"a,b\"";
    QTest::newRow("comma text") << QStringList{"*.pas", "My Docs"} << doubleQuote
                                << "*.pas,\"My Docs\"";
    QTest::newRow("tab quoted") << QStringList{"a\tb"} << doubleQuote << "\"a\tb\"";
}

void UtilsTest::delimitedTextJoins()
{
    QFETCH(QStringList, items);
    QFETCH(QChar, quote);
    QFETCH(QString, expected);
    QCOMPARE(DelimitedText(items, QLatin1Char(','), quote), expected);
}

void UtilsTest::delimitedTextSplits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("quote");
    QTest::addColumn<QStringList>("expected");
    const QChar apostrophe(QLatin1Char('\''));
    const QChar doubleQuote(QLatin1Char('"'));
    QTest::newRow("blank splits") << "a b,c" << apostrophe << QStringList{"a", "b", "c"};
    QTest::newRow("blanks around comma, trailing comma")
        << "*.pas , *.txt," << doubleQuote << QStringList{"*.pas", "*.txt", ""};
    QTest::newRow("two quotes give one empty item") << "''" << apostrophe << QStringList{""};
    QTest::newRow("quoted with blank") << "'C:\\My Files\\',*.doc;*.txt" << apostrophe
                                       << QStringList{"C:\\My Files\\", "*.doc;*.txt"};
    QTest::newRow("doubled quote inside") << "'it''s',x" << apostrophe << QStringList{"it's", "x"};
    QTest::newRow("unterminated quote takes the rest")
        << "'abc" << apostrophe << QStringList{"abc"};
    QTest::newRow("leading blanks skipped") << "  \t a" << apostrophe << QStringList{"a"};
    QTest::newRow("empty text") << "" << apostrophe << QStringList{};
    QTest::newRow("nul ends the text")
        << QString::fromLatin1("a,b\0,c", 6) << apostrophe << QStringList{"a", "b"};
    QTest::newRow("empty items between commas")
        << "a,,b" << apostrophe << QStringList{"a", "", "b"};
}

void UtilsTest::delimitedTextSplits()
{
    QFETCH(QString, text);
    QFETCH(QChar, quote);
    QFETCH(QStringList, expected);
    QStringList items{QStringLiteral("stale")};
    SetDelimitedText(text, QLatin1Char(','), quote, items);
    QCOMPARE(items, expected);
    // What was joined splits back to the same items.
    SetDelimitedText(DelimitedText(expected, QLatin1Char(','), quote), QLatin1Char(','), quote,
                     items);
    QCOMPARE(items, expected.size() == 1 && expected[0].isEmpty() ? QStringList{""} : expected);
}

void UtilsTest::delimitedTextOfBytes()
{
    QList<QByteArray> items;
    SetDelimitedText(QByteArray("'C:\\My Files\\',*.doc"), ',', '\'', items);
    QCOMPARE(items, (QList<QByteArray>{"C:\\My Files\\", "*.doc"}));
    QCOMPARE(DelimitedText(items, ',', '\''), QByteArray("'C:\\My Files\\',*.doc"));
}

void UtilsTest::iniListRoundTripsQuotes()
{
    TMemIniFile ini(QString{});
    WriteIniList(ini, QStringLiteral("Options"), QStringLiteral("Filter"),
                 QStringList{"*.pas", "say \"hi\""});
    QCOMPARE(ini.ReadString("Options", "Filter.List[0]", {}), QStringLiteral("\"*.pas\""));
    QCOMPARE(ini.ReadString("Options", "Filter.List[1]", {}), QStringLiteral("\"say \"\"hi\"\"\""));
    QStringList read;
    ReadIniList(ini, QStringLiteral("Options"), QStringLiteral("Filter"), read);
    QCOMPARE(read, (QStringList{"*.pas", "say \"hi\""}));
}

void UtilsTest::iniListReadStopsAtFirstGap()
{
    TMemIniFile ini(QString{});
    QStringList list{QStringLiteral("kept")};
    ReadIniList(ini, QStringLiteral("Options"), QStringLiteral("Filter"), list);
    QCOMPARE(list, QStringList{"kept"});
    ini.WriteString("Options", "Filter.List[0]", "\"a\"");
    ini.WriteString("Options", "Filter.List[2]", "\"c\"");
    ReadIniList(ini, QStringLiteral("Options"), QStringLiteral("Filter"), list);
    QCOMPARE(list, QStringList{"a"});
    ReadIniList(ini, QStringLiteral("Options"), QString(), list); // no name: nothing happens
    QCOMPARE(list, QStringList{"a"});
}

void UtilsTest::iniListEmptyTextComesBackQuoted()
{
    TMemIniFile ini(QString{});
    WriteIniList(ini, QStringLiteral("S"), QStringLiteral("L"), QStringList{"a", "", "b"});
    QStringList read;
    ReadIniList(ini, QStringLiteral("S"), QStringLiteral("L"), read);
    QCOMPARE(read, (QStringList{"a", "\"\"", "b"}));
}

void UtilsTest::iniListWriteRemovesOldKeys()
{
    TMemIniFile ini(QString{});
    WriteIniList(ini, QStringLiteral("S"), QStringLiteral("L"), QStringList{"a", "b", "c"});
    WriteIniList(ini, QStringLiteral("S"), QStringLiteral("L"), QStringList{"x"});
    QCOMPARE(ini.SectionKeys("S"), QStringList{"L.List[0]"});
}

QZ_REGISTER_TEST(UtilsTest);
#include "UtilsTest.moc"
