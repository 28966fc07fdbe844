#include <QTest>

#include "PathRules.h"
#include "TestRegistry.h"

class PathRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void relativePath_data();
    void relativePath();
    void entryNamesCompareWithoutCaseAndSeparator();
    void escapingEntryNames_data();
    void escapingEntryNames();
    void storedRowsUseBackslash();
};

void PathRulesTest::relativePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("expected");
    QTest::newRow("below base") << "/work/Src/a.pas"
                                << "/work/"
                                << "Src/a.pas";
    QTest::newRow("sibling") << "/data/b.txt"
                             << "/work/"
                             << "../data/b.txt";
    QTest::newRow("two up") << "/x/b.txt"
                            << "/home/u/"
                            << "../../x/b.txt";
    QTest::newRow("base without separator loses last part") << "/work/a.txt"
                                                            << "/work/sub"
                                                            << "a.txt";
    QTest::newRow("case matters on posix") << "/Work/a.txt"
                                           << "/work/"
                                           << "../Work/a.txt";
    QTest::newRow("same folder") << "/work/a.txt"
                                 << "/work/"
                                 << "a.txt";
}

void PathRulesTest::relativePath()
{
    QFETCH(QString, path);
    QFETCH(QString, base);
    QFETCH(QString, expected);
    QCOMPARE(PathRules::RelativePath(path, base), expected);
}

void PathRulesTest::entryNamesCompareWithoutCaseAndSeparator()
{
    QVERIFY(PathRules::SameEntryName("docs\\Plan.txt", "DOCS/plan.TXT"));
    QVERIFY(!PathRules::SameEntryName("docs\\plan.txt", "plan.txt"));
    // Only ASCII letters fold: an accented letter must match exactly.
    QVERIFY(!PathRules::SameEntryName(QStringLiteral("\u00e9.txt"), QStringLiteral("\u00c9.txt")));
    QCOMPARE(PathRules::EntryKey(QByteArray("a/b\\c.Txt")), QByteArray("A\\B\\C.TXT"));
    // The exact key keeps letter case where file names do.
    for (const auto& [a, b] : {std::pair<QByteArray, QByteArray>{"a/b.txt", "a\\b.txt"},
                               {"a\\B.txt", "a/b.txt"},
                               {"ab.txt", "ab.tx"},
                               {"", ""}})
        QCOMPARE(PathRules::SameExactEntryKey(a, b),
                 PathRules::ExactEntryKey(a) == PathRules::ExactEntryKey(b));
}

void PathRulesTest::escapingEntryNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("escapes");
    QTest::newRow("plain") << "docs\\a.txt" << false;
    QTest::newRow("climbs out") << "..\\a.txt" << true;
    QTest::newRow("climbs out with slash") << "docs/../../a.txt" << true;
    QTest::newRow("climbs and returns") << "docs\\..\\a.txt" << false;
    QTest::newRow("posix absolute") << "/etc/passwd" << true;
    QTest::newRow("windows root") << "\\Windows\\x" << true;
    QTest::newRow("drive") << "C:\\x.txt" << true;
    QTest::newRow("dots in a name") << "a..b\\c" << false;
}

void PathRulesTest::escapingEntryNames()
{
    QFETCH(QString, name);
    QFETCH(bool, escapes);
    QCOMPARE(PathRules::EntryEscapesBase(name), escapes);
}

void PathRulesTest::storedRowsUseBackslash()
{
    QCOMPARE(PathRules::ToStoredRow("src/gui/"), QStringLiteral("src\\gui\\"));
    QCOMPARE(PathRules::ToStoredRow("/abs/dir/"), QStringLiteral("/abs/dir/"));
    QCOMPARE(PathRules::FromStoredRow("src\\gui\\"), QStringLiteral("src/gui/"));
    QCOMPARE(PathRules::FromStoredRow("src/gui/"), QStringLiteral("src/gui/"));
    QCOMPARE(PathRules::WithTrailingSeparator("/a/b//"), QStringLiteral("/a/b/"));
    QCOMPARE(PathRules::WithTrailingSeparator("/"), QStringLiteral("/"));
    QCOMPARE(PathRules::EntryNameToPath("docs\\a.txt"), QStringLiteral("docs/a.txt"));
    QCOMPARE(PathRules::PathToEntryName("docs/a.txt"), QStringLiteral("docs\\a.txt"));
}

QZ_REGISTER_TEST(PathRulesTest);
#include "PathRulesTest.moc"
