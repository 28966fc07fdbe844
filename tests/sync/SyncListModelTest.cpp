#include <QTest>

#include "SyncListModel.h"
#include "TestRegistry.h"

namespace {
TSyncItem Row(const char* file)
{
    TSyncItem item;
    item.FilePath = QString::fromLatin1(file);
    return item;
}

TSyncListModel ModelWith(const QStringList& symbols)
{
    TSyncListModel model;
    for (const QString& symbol : symbols) {
        model.AddItem(Row("f"), soNoSync);
        model.SetOperationText(model.ItemCount() - 1, symbol);
    }
    return model;
}

QStringList Operations(const TSyncListModel& model)
{
    QStringList symbols;
    for (const TSyncItem& item : model.Items())
        symbols.append(item.Operation);
    return symbols;
}
} // namespace

class SyncListModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void symbolsAndCodes_data();
    void symbolsAndCodes();
    void addItemSetsSymbolAndClearEmpties();
    void headerRow();
    void spaceCycles_data();
    void spaceCycles();
    void setOperationWritesEverySelectedRow();
    void filterShowsChosenOperations();
};

void SyncListModelTest::symbolsAndCodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::newRow("<=") << "<=" << 0;
    QTest::newRow("=>") << "=>" << 1;
    QTest::newRow("!<=") << "!<=" << 2;
    QTest::newRow("=>!") << "=>!" << 3;
    QTest::newRow("=") << "=" << 4;
    QTest::newRow("X>") << "X>" << 5;
    QTest::newRow("x< lower case") << "x<" << 6;
    QTest::newRow("caption is no symbol") << "=    No Sync" << -1;
    QTest::newRow("padded") << " =>" << -1;
    QTest::newRow("empty") << "" << -1;
}

void SyncListModelTest::symbolsAndCodes()
{
    QFETCH(QString, text);
    QFETCH(int, code);
    QCOMPARE(SyncOperations::Code(text), code);
    if (code >= 0)
        QCOMPARE(SyncOperations::Code(SyncOperations::Symbol(code)), code);
}

void SyncListModelTest::addItemSetsSymbolAndClearEmpties()
{
    TSyncListModel model;
    model.AddItem(Row("a"), soCopyToZip);
    QCOMPARE(model.ItemCount(), 1);
    QCOMPARE(model.Item(0).Operation, QStringLiteral("=>"));
    QCOMPARE(model.Item(0).Fields().size(), 7);
    model.AddItem(Row("b"), soCopyMissingToFileSystem);
    QCOMPARE(model.ItemCount(), 2);
    model.ClearItems();
    QCOMPARE(model.ItemCount(), 0);
    QVERIFY(model.ShownItems().isEmpty());
}

void SyncListModelTest::headerRow()
{
    TSyncListModel model;
    model.SetFileHeader("/work/");
    model.SetZipHeader("Zip:/../a");
    QCOMPARE(model.HeaderRow(),
             QStringList({"/work/", "Date", "Size", "", "Zip:/../a", "Date", "Size"}));
}

void SyncListModelTest::spaceCycles_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("next");
    QTest::newRow("<= to =>") << "<="
                              << "=>";
    QTest::newRow("=> to !<=") << "=>"
                               << "!<=";
    QTest::newRow("!<= to =>!") << "!<="
                                << "=>!";
    QTest::newRow("=>! to =") << "=>!"
                              << "=";
    QTest::newRow("= wraps") << "="
                             << "<=";
    QTest::newRow("delete in zip wraps") << "X>"
                                         << "<=";
    QTest::newRow("delete on disk wraps") << "X<"
                                          << "<=";
    QTest::newRow("unknown text") << "??"
                                  << "<=";
}

void SyncListModelTest::spaceCycles()
{
    QFETCH(QString, current);
    QFETCH(QString, next);
    TSyncListModel model = ModelWith({current, "X<", "<=", "=>", "X>"});
    model.CycleOperation({0, 1, 2, 3}, 0);
    QCOMPARE(Operations(model), QStringList({next, next, next, next, "X>"}));
}

void SyncListModelTest::setOperationWritesEverySelectedRow()
{
    TSyncListModel model = ModelWith({"<=", "=>", "=>!"});
    model.SetOperation({0, 2}, soDeleteInZip);
    QCOMPARE(Operations(model), QStringList({"X>", "=>", "X>"}));
    model.SetOperation({7}, soNoSync); // outside: ignored
    QCOMPARE(model.ItemCount(), 3);
}

void SyncListModelTest::filterShowsChosenOperations()
{
    TSyncListModel model = ModelWith({"<=", "=>", "=>!", "=>"});
    model.SetOperationFilter({"=>"});
    QCOMPARE(model.ShownItems().size(), 2);
    QVERIFY(!model.IsShown(0));
    model.SetOperationFilter({"=>", "<="});
    QCOMPARE(model.ShownItems().size(), 3);
    model.SetOperationFilter({"x>"});
    model.SetOperation({2}, soDeleteInZip);
    QCOMPARE(model.ShownItems().size(), 1); // compared without case
    model.SetOperationFilter({});
    QCOMPARE(model.ShownItems().size(), 4);
}

QZ_REGISTER_TEST(SyncListModelTest);
#include "SyncListModelTest.moc"
