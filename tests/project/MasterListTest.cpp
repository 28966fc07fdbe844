#include <QTest>

#include "MasterList.h"
#include "TestRegistry.h"

class MasterListTest : public QObject {
    Q_OBJECT

private slots:
    void builtInMasksAreSortedWithAskingItemLast();
    void addingIgnoresLetterCase();
    void commaText_data();
    void commaText();
};

void MasterListTest::builtInMasksAreSortedWithAskingItemLast()
{
    const TMasterList list;
    QCOMPARE(list.Count(), 10);
    QCOMPARE(list.Items().first(), QStringLiteral("*.*"));
    QCOMPARE(list.Items().last(), QStringLiteral("[...]"));
    QCOMPARE(list.IndexOf(QStringLiteral("*.DOC")), list.IndexOf(QStringLiteral("*.doc")));
}

void MasterListTest::addingIgnoresLetterCase()
{
    TMasterList list;
    list.Add(QStringLiteral("*.TXT"));
    QCOMPARE(list.Count(), 10);
    list.Add(QStringLiteral("*.cpp"));
    QCOMPARE(list.Count(), 11);
    QVERIFY(list.IndexOf(QStringLiteral("*.cpp")) < list.IndexOf(QStringLiteral("*.dfm")));
    list.Remove(QStringLiteral("*.CPP"));
    QVERIFY(!list.Contains(QStringLiteral("*.cpp")));
    // A mask whose first character sorts after "[" still comes before "[...]".
    list.Add(QStringLiteral("readme"));
    QCOMPARE(list.Items().last(), TMasterList::AskItem());
    QCOMPARE(list.IndexOf(QStringLiteral("README")), list.Count() - 2);
}

void MasterListTest::commaText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("written");
    QTest::newRow("quoted blank and bare")
        << "\"My Docs\",*.pas" << QStringList{"*.pas", "My Docs"} << "*.pas,\"My Docs\"";
    QTest::newRow("duplicates dropped") << "*.a,*.A,*.b" << QStringList{"*.a", "*.b"} << "*.a,*.b";
    QTest::newRow("trailing comma adds an empty item first")
        << "*.pas , *.txt," << QStringList{"", "*.pas", "*.txt"} << ",*.pas,*.txt";
    QTest::newRow("empty") << "" << QStringList{} << "";
}

void MasterListTest::commaText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    QFETCH(QString, written);
    TMasterList list;
    list.SetCommaText(text);
    QCOMPARE(list.Items(), items);
    QCOMPARE(list.CommaText(), written);
}

QZ_REGISTER_TEST(MasterListTest);
#include "MasterListTest.moc"
