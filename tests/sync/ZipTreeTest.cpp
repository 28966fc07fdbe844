#include <QTest>

#include "SyncDates.h"
#include "PathRules.h"
#include "SyncFixture.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"
#include "ZipLookup.h"
#include "ZipTree.h"

namespace {
QList<SyncFixture::TEntry> Named(const QList<QByteArray>& names)
{
    QList<SyncFixture::TEntry> entries;
    int minute = 0;
    for (const QByteArray& name : names)
        entries.append({name, "data of " + name, SyncFixture::Time(minute++)});
    return entries;
}

QStringList Texts(const std::vector<std::unique_ptr<TZipNode>>& nodes)
{
    QStringList texts;
    for (const auto& node : nodes)
        texts.append(QString::fromLatin1(node->Text));
    return texts;
}
} // namespace

class ZipTreeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void foldersSortBeforeFilesAtEveryLevel();
    void namesEqualUpToCaseShareOneNode();
    void rootEntryNamedLikeFolderBecomesFolder();
    void folderEntryWithTrailingSeparatorIsChildless();
    void slashNamesOfOtherToolsSplitToo();
    void nodePath();
    void findNodeByPath_data();
    void findNodeByPath();
    void nextNodeFollowsDisplayOrder();
    void findZipEntry_data();
    void findZipEntry();
    void hintOfFolderShowsItsFirstEntry();
    void failedLoadKeepsArchiveAndTree();
    void locateProjectZipFallsBackToThisComputersFolders();
};

void ZipTreeTest::foldersSortBeforeFilesAtEveryLevel()
{
    SyncFixture f;
    f.WriteZip(Named({"docs\\a.txt", "b.txt", "docs\\sub\\c.txt", "A.TXT"}));
    const TZipTree& tree = f.Current.Tree();
    QCOMPARE(Texts(tree.Roots()), QStringList({"docs", "A.TXT", "b.txt"}));
    const TZipNode* docs = tree.Roots().front().get();
    QCOMPARE(Texts(docs->Children), QStringList({"sub", "a.txt"}));
    QCOMPARE(docs->EntryIndex, 0);
    QCOMPARE(docs->Children.front()->EntryIndex, 2);
    QCOMPARE(tree.Roots().at(1)->EntryIndex, 3);
}

// Where file names keep their case, a.txt and A.TXT are two files and get
// two nodes; elsewhere they are one.
void ZipTreeTest::namesEqualUpToCaseShareOneNode()
{
    SyncFixture f;
    f.WriteZip(Named({"a.txt", "A.TXT"}));
    const TZipTree& tree = f.Current.Tree();
    if (PathRules::CaseSensitiveNames()) {
        QCOMPARE(Texts(tree.Roots()), QStringList({"a.txt", "A.TXT"}));
        QCOMPARE(tree.FindNodeByPath("A.TXT")->EntryIndex, 1);
        QCOMPARE(tree.FindNodeByPath("a.txt")->EntryIndex, 0);
        QVERIFY(!tree.FindNodeByPath("A.txt")); // two differ in case only: ambiguous
        f.WriteZip(Named({"Docs\\x.txt"}));
        QVERIFY(f.Current.Tree().FindNodeByPath("docs\\X.TXT")); // the only one that folds
    } else {
        QCOMPARE(Texts(tree.Roots()), QStringList({"a.txt"}));
        QCOMPARE(tree.Roots().front()->EntryIndex, 0);
    }
}

void ZipTreeTest::rootEntryNamedLikeFolderBecomesFolder()
{
    SyncFixture f;
    f.WriteZip(Named({"zeta.txt", "docs", "docs\\x.txt"}));
    const TZipTree& tree = f.Current.Tree();
    QCOMPARE(Texts(tree.Roots()), QStringList({"docs", "zeta.txt"}));
    QVERIFY(tree.Roots().front()->HasChildren());
    QCOMPARE(tree.Roots().front()->EntryIndex, 1);
}

// A folder entry stands for a folder, empty or not: it sorts with the folders.
void ZipTreeTest::folderEntryWithTrailingSeparatorIsChildless()
{
    SyncFixture f;
    f.WriteZip(Named({"b.txt", "empty\\", "a\\x.txt", "a/"}));
    const TZipTree& tree = f.Current.Tree();
    QCOMPARE(Texts(tree.Roots()), QStringList({"a", "empty", "b.txt"}));
    const TZipNode* empty = tree.Roots().at(1).get();
    QVERIFY(!empty->HasChildren() && empty->IsFolder());
    QVERIFY(TZipTree::FileNodes(empty).isEmpty());
    QCOMPARE(TZipTree::FolderEntryNodes(tree.Roots().front().get()).size(), 1);
}

void ZipTreeTest::slashNamesOfOtherToolsSplitToo()
{
    SyncFixture f;
    f.WriteZip(Named({"docs/a.txt", "docs\\b.txt"}));
    const TZipTree& tree = f.Current.Tree();
    QCOMPARE(Texts(tree.Roots()), QStringList({"docs"}));
    QCOMPARE(Texts(tree.Roots().front()->Children), QStringList({"a.txt", "b.txt"}));
}

void ZipTreeTest::nodePath()
{
    SyncFixture f;
    f.WriteZip(Named({"docs\\sub\\c.txt"}));
    const TZipNode* docs = f.Current.Tree().Roots().front().get();
    const TZipNode* sub = docs->Children.front().get();
    const TZipNode* file = sub->Children.front().get();
    QCOMPARE(TZipTree::NodePath(file), QByteArray("docs\\sub\\c.txt"));
    QCOMPARE(TZipTree::NodePath(file, sub), QByteArray("sub\\c.txt"));
    QCOMPARE(TZipTree::NodePath(sub), QByteArray("docs\\sub"));
    QCOMPARE(TZipTree::NodePath(nullptr), QByteArray());
}

void ZipTreeTest::findNodeByPath_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("found"); // NodePath of the result, empty for none
    QTest::newRow("file") << QByteArray("docs\\sub\\c.txt") << QByteArray("docs\\sub\\c.txt");
    QTest::newRow("folder") << QByteArray("docs\\sub") << QByteArray("docs\\sub");
    QTest::newRow("other case") << QByteArray("DOCS\\Sub\\C.TXT") << QByteArray("docs\\sub\\c.txt");
    QTest::newRow("trailing separator") << QByteArray("docs\\sub\\") << QByteArray("docs\\sub");
    QTest::newRow("blank remainder") << QByteArray("docs\\sub\\ ") << QByteArray("docs\\sub");
    QTest::newRow("missing") << QByteArray("docs\\missing") << QByteArray();
    QTest::newRow("into a file") << QByteArray("b.txt\\x") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void ZipTreeTest::findNodeByPath()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, found);
    SyncFixture f;
    f.WriteZip(Named({"docs\\sub\\c.txt", "b.txt"}));
    QCOMPARE(TZipTree::NodePath(f.Current.Tree().FindNodeByPath(path)), found);
}

void ZipTreeTest::nextNodeFollowsDisplayOrder()
{
    SyncFixture f;
    f.WriteZip(Named({"docs\\sub\\c.txt", "docs\\a.txt", "b.txt"}));
    const TZipTree& tree = f.Current.Tree();
    QList<QByteArray> order;
    for (const TZipNode* n = tree.Roots().front().get(); n; n = tree.NextNode(n))
        order.append(TZipTree::NodePath(n));
    QCOMPARE(order,
             QList<QByteArray>({"docs", "docs\\sub", "docs\\sub\\c.txt", "docs\\a.txt", "b.txt"}));
}

void ZipTreeTest::findZipEntry_data()
{
    QTest::addColumn<QList<QByteArray>>("names");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("expected");
    QTest::newRow("versions skipped")
        << QList<QByteArray>{"docs\\plan.txt.V001", "docs\\plan.txt"} << "/p/docs/plan.txt" << 1;
    QTest::newRow("no separator needed")
        << QList<QByteArray>{"plan.txt"} << "/p/docs/plan.txt" << 0;
    QTest::newRow("first in archive order")
        << QList<QByteArray>{"plan.txt", "docs\\plan.txt"} << "/p/docs/plan.txt" << 0;
    QTest::newRow("must end the path") << QList<QByteArray>{"docs"} << "/p/docs/plan.txt" << -1;
    QTest::newRow("first occurrence must end it") << QList<QByteArray>{"a"} << "/p/a/a" << -1;
    QTest::newRow("case and slash")
        << QList<QByteArray>{"DOCS/Plan.TXT"} << "/p/docs/plan.txt" << 0;
}

void ZipTreeTest::findZipEntry()
{
    QFETCH(QList<QByteArray>, names);
    QFETCH(QString, path);
    QFETCH(int, expected);
    SyncFixture f;
    f.WriteZip(Named(names));
    QCOMPARE(f.Current.FindZipEntry(path), expected);
}

void ZipTreeTest::hintOfFolderShowsItsFirstEntry()
{
    SyncFixture f;
    QList<SyncFixture::TEntry> entries{{"docs\\big.bin", QByteArray(3000, 'x'), f.Time(1)},
                                       {"docs\\small.txt", "s", f.Time(2)}};
    f.WriteZip(entries);
    const TZipNode* docs = f.Current.Tree().Roots().front().get();
    const QString hint = f.Current.HintText(*docs);
    QVERIFY2(hint.startsWith(QStringLiteral("Size : 3 kb, Date ")), qPrintable(hint));
    QVERIFY(hint.endsWith(TSyncDates::DisplayDateTime(f.Time(1))));
}

void ZipTreeTest::failedLoadKeepsArchiveAndTree()
{
    SyncFixture f;
    f.WriteZip(Named({"a.txt"}));
    QVERIFY_THROWS_EXCEPTION(Exception, f.Current.LoadZipTree(f.Root() + "missing.zip"));
    QCOMPARE(f.Current.FileName(), f.ZipPath());
    QCOMPARE(f.Current.Zip().Count(), 1);
    QCOMPARE(Texts(f.Current.Tree().Roots()), QStringList({"a.txt"}));
}

void ZipTreeTest::locateProjectZipFallsBackToThisComputersFolders()
{
    SyncFixture f;
    TZipProject& project = *f.Project;
    project.SetLastZipFile(QStringLiteral("C:\\Other\\Computer\\archive.zip"));
    QCOMPARE(TCurrentZip::LocateProjectZip(project), project.LastZipFile()); // none exists
    TestUtil::WriteFile(f.RelDir() + "archive.zip", "x");
    QCOMPARE(TCurrentZip::LocateProjectZip(project), f.RelDir() + "archive.zip");
    project.SetMachineRelDir(f.Root());
    TestUtil::WriteFile(f.Root() + "archive.zip", "x");
    QCOMPARE(TCurrentZip::LocateProjectZip(project), f.Root() + "archive.zip");
}

QZ_REGISTER_TEST(ZipTreeTest);
#include "ZipTreeTest.moc"
