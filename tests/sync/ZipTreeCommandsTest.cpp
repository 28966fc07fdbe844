#include <QFileInfo>
#include <QTest>

#include "SyncFixture.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"
#include "ZipTree.h"
#include "ZipTreeCommands.h"

namespace {
// Entries and their files under RelDir, all with the same time.
void MakeBothSides(SyncFixture& f, const QList<QByteArray>& names)
{
    QList<SyncFixture::TEntry> entries;
    for (const QByteArray& name : names) {
        entries.append({name, "zip " + name, SyncFixture::Time(1)});
        if (!name.contains(".V0"))
            f.WriteFile(QString::fromLatin1(name), "disk " + name, SyncFixture::Time(1));
    }
    f.WriteZip(entries);
}

const TZipNode* Node(SyncFixture& f, const char* path)
{
    const TZipNode* node = f.Current.Tree().FindNodeByPath(path);
    if (!node)
        qFatal("no node %s", path);
    return node;
}

bool OnDisk(SyncFixture& f, const char* relative)
{
    return QFileInfo::exists(f.RelDir() + QString::fromLatin1(relative).replace('\\', '/'));
}
} // namespace

class ZipTreeCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deleteInZipRemovesFolderAtEveryDepthWithoutQuestion();
    void deleteInFileSystemAsksOnceAndKeepsEntries();
    void deleteCancelledChangesNothing();
    void deleteOnBothWithFolderAndFileInside();
    void deleteSelectsTheFollowingNode();
    void deleteInZipRemovesOneEntryPerFileNode();
    void deleteVersionFilesCountsAndKeepsFiles();
    void deleteVersionFilesReportsZero();
    void extractFolderKeepsItsNameBelowTheChosenDirectory();
    void extractFolderIntoNewDirectoryAsksToCreateIt();
    void extractFileAsksBeforeOverwriting();
    void extractVersionNodeWritesNothing();
    void extractRefusesNamesClimbingOutOfTheDirectory();
    void incompleteArchiveIsNeverWritten_data();
    void incompleteArchiveIsNeverWritten();
    void deleteNeverReachesOutsideRelDir();
};

void ZipTreeCommandsTest::deleteInZipRemovesFolderAtEveryDepthWithoutQuestion()
{
    SyncFixture f;
    MakeBothSides(f, {"docs\\a.txt", "docs\\sub\\c.txt", "b.txt"});
    TZipTreeCommands commands(f.Current, f.RelDir(), f.Ui);
    commands.DeleteSelected({Node(f, "docs")}, dtZipFile);
    QCOMPARE(f.Ui.Questions.size(), 0);
    QCOMPARE(f.ZipNames(), QList<QByteArray>({"b.txt"}));
    QVERIFY(!f.Current.Tree().FindNodeByPath("docs"));
    QVERIFY(OnDisk(f, "docs\\sub\\c.txt"));
    QVERIFY(f.UnzipAccepts());
}

void ZipTreeCommandsTest::deleteInFileSystemAsksOnceAndKeepsEntries()
{
    SyncFixture f;
    MakeBothSides(f, {"docs\\a.txt", "docs\\b.txt"});
    TZipTreeCommands commands(f.Current, f.RelDir(), f.Ui);
    f.Ui.AnswerConfirm(TMsgButton::Ok);
    commands.DeleteSelected({Node(f, "docs")}, dtFileSystem);
    QCOMPARE(f.Ui.Asked("Confirm"), 1);
    QCOMPARE(f.Ui.Questions.first().Text, QStringLiteral("Do you really want to delete files"));
    QVERIFY(!OnDisk(f, "docs\\a.txt"));
    QVERIFY(!OnDisk(f, "docs\\b.txt"));
    QCOMPARE(f.ZipNames(), QList<QByteArray>({"docs\\a.txt", "docs\\b.txt"}));
    QVERIFY(f.Current.Tree().FindNodeByPath("docs\\b.txt"));
}

void ZipTreeCommandsTest::deleteCancelledChangesNothing()
{
    SyncFixture f;
    MakeBothSides(f, {"a.txt"});
    TZipTreeCommands commands(f.Current, f.RelDir(), f.Ui);
    f.Ui.AnswerConfirm(TMsgButton::Cancel);
    QVERIFY(!commands.DeleteSelected({Node(f, "a.txt")}, dtBoth));
    QVERIFY(OnDisk(f, "a.txt"));
    QCOMPARE(f.ZipNames(), QList<QByteArray>({"a.txt"}));
}

void ZipTreeCommandsTest::deleteOnBothWithFolderAndFileInside()
{
    SyncFixture f;
    MakeBothSides(f, {"docs\\a.txt", "docs\\b.txt", "c.txt"});
    TZipTreeCommands commands(f.Current, f.RelDir(), f.Ui);
    f.Ui.AnswerConfirm(TMsgButton::Ok);
    commands.DeleteSelected({Node(f, "docs"), Node(f, "docs\\a.txt")}, dtBoth);
    QCOMPARE(f.ZipNames(), QList<QByteArray>({"c.txt"}));
    QVERIFY(!OnDisk(f, "docs\\a.txt"));
    QVERIFY(!OnDisk(f, "docs\\b.txt"));
    QCOMPARE(f.Ui.Messages, QStringList({"File " + f.RelDir() + "docs/a.txt does not exists"}));
}

void ZipTreeCommandsTest::deleteSelectsTheFollowingNode()
{
    SyncFixture f;
    MakeBothSides(f, {"a.txt", "b.txt", "c.txt"});
    TZipTreeCommands commands(f.Current, f.RelDir(), f.Ui);
    const TZipNode* next = commands.DeleteSelected({Node(f, "a.txt")}, dtZipFile);
    QCOMPARE(TZipTree::NodePath(next), QByteArray("b.txt"));
    QCOMPARE(next, f.Current.Tree().FindNodeByPath("b.txt"));         // a node of the rebuilt tree
    QVERIFY(!commands.DeleteSelected({Node(f, "c.txt")}, dtZipFile)); // nothing follows
}

void ZipTreeCommandsTest::deleteInZipRemovesOneEntryPerFileNode()
{
    SyncFixture f;
    // Two entries share one node; each time the node is met, the first
    // remaining entry of that name goes.
    f.WriteZip(
        {{"d\\a.txt", "1", f.Time(1)}, {"D\\A.TXT", "2", f.Time(1)}, {"d\\b.txt", "3", f.Time(1)}});
    TZipTreeCommands commands(f.Current, f.RelDir(), f.Ui);
    commands.DeleteSelected({Node(f, "d\\a.txt")}, dtZipFile);
    QCOMPARE(f.ZipNames(), QList<QByteArray>({"D\\A.TXT", "d\\b.txt"}));
    commands.DeleteSelected({Node(f, "d"), Node(f, "d\\a.txt")}, dtZipFile);
    QVERIFY(f.ZipNames().isEmpty());
}

void ZipTreeCommandsTest::deleteVersionFilesCountsAndKeepsFiles()
{
    SyncFixture f;
    MakeBothSides(f, {"a.txt.V001", "a.txt.V002", "a.txt", "b.txt.v3"});
    TZipTreeCommands commands(f.Current, f.RelDir(), f.Ui);
    QCOMPARE(commands.DeleteVersionFiles(), 3);
    QCOMPARE(f.Ui.Messages, QStringList({"3 files were deleted in ZipFile"}));
    QCOMPARE(f.ZipNames(), QList<QByteArray>({"a.txt"}));
    QCOMPARE(f.Current.Zip().Count(), 1);
    QVERIFY(f.UnzipAccepts());
}

void ZipTreeCommandsTest::deleteVersionFilesReportsZero()
{
    SyncFixture f;
    MakeBothSides(f, {"a.txt"});
    QCOMPARE(TZipTreeCommands(f.Current, f.RelDir(), f.Ui).DeleteVersionFiles(), 0);
    QCOMPARE(f.Ui.Messages, QStringList({"0 files were deleted in ZipFile"}));
}

void ZipTreeCommandsTest::extractFolderKeepsItsNameBelowTheChosenDirectory()
{
    SyncFixture f;
    f.WriteZip({{"docs\\sub\\c.txt", "c", f.Time(3)}, {"docs\\a.txt", "a", f.Time(4)}});
    const QString out = f.Root() + "out";
    QDir().mkpath(out);
    f.Ui.AnswerFile(out);
    TZipTreeCommands(f.Current, f.RelDir(), f.Ui).ExtractTo({Node(f, "docs")});
    QCOMPARE(f.Ui.Questions.first().Request.Preset, f.RelDir() + "docs");
    QCOMPARE(TestUtil::ReadFile(out + "/docs/sub/c.txt"), QByteArray("c"));
    QCOMPARE(TestUtil::ReadFile(out + "/docs/a.txt"), QByteArray("a"));
    QCOMPARE(QFileInfo(out + "/docs/a.txt").lastModified(), f.Time(4));
    QCOMPARE(f.Ui.Report, QStringList({"File : " + out + "/docs/sub/c.txt added",
                                       "File : " + out + "/docs/a.txt added"}));
}

void ZipTreeCommandsTest::extractFolderIntoNewDirectoryAsksToCreateIt()
{
    SyncFixture f;
    f.WriteZip({{"docs\\a.txt", "a", f.Time(4)}});
    const QString out = f.Root() + "new/deeper";
    f.Ui.AnswerFile(out);
    f.Ui.AnswerConfirm(TMsgButton::Yes);
    TZipTreeCommands(f.Current, f.RelDir(), f.Ui).ExtractTo({Node(f, "docs")});
    QCOMPARE(f.Ui.Questions.last().Text,
             QStringLiteral("The specified directory does not exist. Create it?"));
    QCOMPARE(TestUtil::ReadFile(out + "/docs/a.txt"), QByteArray("a"));
}

void ZipTreeCommandsTest::extractFileAsksBeforeOverwriting()
{
    SyncFixture f;
    f.WriteZip({{"docs\\a.txt", "zip", f.Time(4)}});
    const QString target = f.WriteFile("docs/a.txt", "disk", f.Time(1));
    TZipTreeCommands commands(f.Current, f.RelDir(), f.Ui);
    f.Ui.AnswerFile(target);
    f.Ui.AnswerConfirm(TMsgButton::No);
    commands.ExtractTo({Node(f, "docs\\a.txt")});
    QCOMPARE(f.Ui.Questions.first().Request.Title, QStringLiteral("Save File As"));
    QCOMPARE(f.Ui.Questions.first().Request.Preset, target);
    QCOMPARE(TestUtil::ReadFile(target), QByteArray("disk"));
    QVERIFY(f.Ui.Report.isEmpty());
    f.Ui.AnswerFile(target);
    f.Ui.AnswerConfirm(TMsgButton::Yes);
    commands.ExtractTo({Node(f, "docs\\a.txt")});
    QCOMPARE(TestUtil::ReadFile(target), QByteArray("zip"));
}

void ZipTreeCommandsTest::extractVersionNodeWritesNothing()
{
    SyncFixture f;
    f.WriteZip({{"a.txt.V001", "old", f.Time(1)}});
    const QString target = f.Root() + "version.txt";
    f.Ui.AnswerFile(target);
    TZipTreeCommands(f.Current, f.RelDir(), f.Ui).ExtractTo({Node(f, "a.txt.V001")});
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(f.Ui.Report.isEmpty());
}

void ZipTreeCommandsTest::extractRefusesNamesClimbingOutOfTheDirectory()
{
    SyncFixture f;
    f.WriteZip({{"docs\\..\\..\\escaped.txt", "evil", f.Time(1)}});
    const QString out = f.Root() + "out";
    QDir().mkpath(out);
    f.Ui.AnswerFile(out);
    TZipTreeCommands commands(f.Current, f.RelDir(), f.Ui);
    QVERIFY_THROWS_EXCEPTION(Exception, commands.ExtractTo({Node(f, "docs")}));
    QVERIFY(!QFileInfo::exists(f.Root() + "escaped.txt"));
}

void ZipTreeCommandsTest::incompleteArchiveIsNeverWritten_data()
{
    QTest::addColumn<bool>("versions");
    QTest::addColumn<bool>("purge");
    QTest::newRow("purge with versions") << true << true;
    QTest::newRow("purge without versions writes nothing") << false << true;
    QTest::newRow("delete in zip") << false << false;
}

// An archive with bytes after its end record is not read completely: a
// save over it is refused, the file stays as it was and the tree is read
// again from it.
void ZipTreeCommandsTest::incompleteArchiveIsNeverWritten()
{
    QFETCH(bool, versions);
    QFETCH(bool, purge);
    SyncFixture f;
    f.WriteZip({{"a.txt", "a", f.Time(1)}, {versions ? "a.txt.V001" : "b.txt", "b", f.Time(1)}});
    QByteArray bytes = TestUtil::ReadFile(f.ZipPath());
    bytes += "tail";
    TestUtil::WriteFile(f.ZipPath(), bytes);
    f.LoadZip();
    TZipTreeCommands commands(f.Current, f.RelDir(), f.Ui);
    try {
        if (purge)
            commands.DeleteVersionFiles();
        else
            commands.DeleteSelected({Node(f, "a.txt")}, dtZipFile);
        QVERIFY(purge && !versions);
    } catch (const Exception& error) {
        QVERIFY2(error.Message().contains(QStringLiteral("not read completely")),
                 qPrintable(error.Message()));
        QVERIFY(error.Message().contains(QStringLiteral("archive.zip")));
    }
    QCOMPARE(TestUtil::ReadFile(f.ZipPath()), bytes);
    QCOMPARE(f.Current.Zip().Count(), 2);
    QVERIFY(f.Current.Tree().FindNodeByPath("a.txt"));
}

void ZipTreeCommandsTest::deleteNeverReachesOutsideRelDir()
{
    SyncFixture f;
    f.WriteFile(QStringLiteral("../outside.txt"), "keep", f.Time(1));
    f.WriteZip({{"..\\outside.txt", "zip", f.Time(1)}});
    f.Ui.AnswerConfirm(TMsgButton::Ok);
    TZipTreeCommands(f.Current, f.RelDir(), f.Ui)
        .DeleteSelected({Node(f, "..\\outside.txt")}, dtBoth);
    QVERIFY(QFileInfo::exists(f.Root() + QStringLiteral("outside.txt")));
    QCOMPARE(f.Ui.Messages.size(), 1);
    QVERIFY(f.Ui.Messages.first().contains(QStringLiteral("was not deleted")));
    QCOMPARE(f.Current.Zip().Count(), 0);
}

QZ_REGISTER_TEST(ZipTreeCommandsTest);
#include "ZipTreeCommandsTest.moc"
