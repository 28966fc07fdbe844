#include <QFileInfo>
#include <QTest>

#include "MemIniFile.h"
#include "PathRules.h"
#include "SyncExecution.h"
#include "SyncFixture.h"
#include "SyncListModel.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"
#include "ZipTree.h"

namespace {
TSyncItem Row(const char* symbol, const char* file, const char* entry)
{
    TSyncItem item;
    item.Operation = QString::fromLatin1(symbol);
    item.FilePath = QString::fromLatin1(file);
    item.EntryName = QString::fromLatin1(entry);
    return item;
}

void Execute(SyncFixture& f, const QList<TSyncItem>& rows, TZipOperation operation)
{
    TSyncExecution execution(f.Current, f.RelDir(), f.Ui);
    execution.SetDates(TSyncDates(QStringLiteral("dd/MM/yyyy")));
    execution.SetToday(QDate(2008, 12, 24));
    execution.ExecuteSync(rows, operation);
}

// The standard case: a.txt changed on disk, b.txt newer in the archive.
void ChangedOnBothSides(SyncFixture& f)
{
    f.WriteZip({{"a.txt", "old a", f.Time(1)}, {"b.txt", "new b", f.Time(9)}});
    f.WriteFile("a.txt", "new a", f.Time(8));
    f.WriteFile("b.txt", "old b", f.Time(2));
}

QList<TSyncItem> ChangedRows()
{
    return {Row("=>", "a.txt", "a.txt"), Row("<=", "b.txt", "b.txt")};
}
} // namespace

class SyncExecutionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addFileKeepsVersions();
    void replaceFileReplacesInPlace();
    void createInNewZipWritesOnlyCopiedFiles();
    void writesTheArchiveItLoaded();
    void overwriteQuestionNoLeavesFile();
    void deleteQuestionsRememberYesToAllPerKind();
    void deleteQuestionYesAsksAgain();
    void filteredRowsAreNotCarriedOut();
    void unknownSymbolDoesNothing();
    void errorReloadsArchiveAndKeepsDiskChanges();
    void cancelSkipsRemainingRowsButWritesArchive();
    void extractedFileComparesEqual();
    void copyToFileSystemWritesThePairedFile();
    void restoredProjectKeepsThisComputersSection();
};

void SyncExecutionTest::addFileKeepsVersions()
{
    SyncFixture f;
    ChangedOnBothSides(f);
    f.Ui.AnswerConfirm(TMsgButton::Yes);
    Execute(f, ChangedRows(), zoAddFile);
    QCOMPARE(f.ZipNames(), QList<QByteArray>({"a.txt.V001", "b.txt", "a.txt"}));
    QCOMPARE(f.ZipData("a.txt"), QByteArray("new a"));
    QCOMPARE(f.ZipData("a.txt.V001"), QByteArray("old a"));
    QCOMPARE(TestUtil::ReadFile(f.RelDir() + "b.txt"), QByteArray("new b"));
    QCOMPARE(f.Ui.Asked("Confirm"), 1);   // b.txt exists: the overwrite question
    QCOMPARE(f.Current.Zip().Count(), 3); // reloaded
    QVERIFY(f.Current.Tree().FindNodeByPath("a.txt.V001"));
    QVERIFY(f.UnzipAccepts());
}

void SyncExecutionTest::replaceFileReplacesInPlace()
{
    SyncFixture f;
    ChangedOnBothSides(f);
    f.Ui.AnswerConfirm(TMsgButton::Yes);
    Execute(f, ChangedRows(), zoReplaceFile);
    QCOMPARE(f.ZipNames(), QList<QByteArray>({"a.txt", "b.txt"}));
    QCOMPARE(f.ZipData("a.txt"), QByteArray("new a"));
    QCOMPARE(f.Ui.Report,
             QStringList({"File : a.txt replaced", "File : " + f.RelDir() + "b.txt added"}));
    QVERIFY(f.UnzipAccepts());
}

void SyncExecutionTest::createInNewZipWritesOnlyCopiedFiles()
{
    SyncFixture f;
    ChangedOnBothSides(f);
    const QByteArray before = TestUtil::ReadFile(f.ZipPath());
    Execute(f, ChangedRows(), zoCreateInNewZip);
    const QString newZip = f.Root() + "archive 24-12-2008.zip"; // '/' cannot stand in a name
    QVERIFY(QFileInfo::exists(newZip));
    QCOMPARE(f.ZipNames(newZip), QList<QByteArray>({"a.txt"}));
    QCOMPARE(TestUtil::ReadFile(f.ZipPath()), before);
    QCOMPARE(TestUtil::ReadFile(f.RelDir() + "b.txt"), QByteArray("old b"));
    QCOMPARE(f.Ui.Asked("Confirm"), 0);
    // The current archive is the old one again, and its tree agrees with it.
    QCOMPARE(f.Current.FileName(), f.ZipPath());
    QCOMPARE(f.Current.Zip().Count(), 2);
    QCOMPARE(f.Current.Tree().Roots().size(), size_t(2));
    QVERIFY(f.UnzipAccepts(newZip));
    // A second run that day takes the next free name; no archive is replaced.
    const QByteArray first = TestUtil::ReadFile(newZip);
    f.WriteFile("a.txt", "newer a", f.Time(20));
    Execute(f, ChangedRows(), zoCreateInNewZip);
    Execute(f, ChangedRows(), zoCreateInNewZip);
    QCOMPARE(TestUtil::ReadFile(newZip), first);
    QCOMPARE(f.ZipData("a.txt", f.Root() + "archive 24-12-2008 (2).zip"), QByteArray("newer a"));
    QVERIFY(QFileInfo::exists(f.Root() + "archive 24-12-2008 (3).zip"));
}

void SyncExecutionTest::writesTheArchiveItLoaded()
{
    SyncFixture f;
    ChangedOnBothSides(f);
    const QString downloaded = f.Root() + "downloaded.zip";
    QFile::copy(f.ZipPath(), downloaded);
    const QByteArray before = TestUtil::ReadFile(f.ZipPath());
    f.LoadZip(downloaded);
    Execute(f, {ChangedRows().first()}, zoReplaceFile);
    QCOMPARE(TestUtil::ReadFile(f.ZipPath()), before);
    QCOMPARE(f.ZipData("a.txt", downloaded), QByteArray("new a"));
}

void SyncExecutionTest::overwriteQuestionNoLeavesFile()
{
    SyncFixture f;
    ChangedOnBothSides(f);
    f.Ui.AnswerConfirm(TMsgButton::No);
    Execute(f, {ChangedRows().last()}, zoAddFile);
    QCOMPARE(TestUtil::ReadFile(f.RelDir() + "b.txt"), QByteArray("old b"));
    QVERIFY(f.Ui.Report.isEmpty());
}

void SyncExecutionTest::deleteQuestionsRememberYesToAllPerKind()
{
    SyncFixture f;
    f.WriteZip({{"x.txt", "x", f.Time(1)}, {"y.txt", "y", f.Time(1)}, {"z.txt", "z", f.Time(1)}});
    for (const char* name : {"1.txt", "2.txt", "3.txt"})
        f.WriteFile(name, "d", f.Time(1));
    f.Ui.AnswerConfirm(TMsgButton::YesToAll); // first file
    f.Ui.AnswerConfirm(TMsgButton::No);       // first entry: its own kind still asks
    f.Ui.AnswerConfirm(TMsgButton::Yes);      // second entry
    Execute(f,
            {Row("X<", "1.txt", ""), Row("X>", "", "x.txt"), Row("X<", "2.txt", ""),
             Row("X>", "", "y.txt"), Row("X<", "3.txt", "")},
            zoAddFile);
    QCOMPARE(f.Ui.Asked("Confirm"), 3);
    for (const char* name : {"1.txt", "2.txt", "3.txt"})
        QVERIFY(!QFileInfo::exists(f.RelDir() + name));
    QCOMPARE(f.ZipNames(), QList<QByteArray>({"x.txt", "z.txt"}));
}

void SyncExecutionTest::deleteQuestionYesAsksAgain()
{
    SyncFixture f;
    f.WriteZip({});
    f.WriteFile("1.txt", "d", f.Time(1));
    f.WriteFile("2.txt", "d", f.Time(1));
    f.Ui.AnswerConfirm(TMsgButton::Yes);
    f.Ui.AnswerConfirm(TMsgButton::Cancel);
    Execute(f, {Row("X<", "1.txt", ""), Row("x<", "2.txt", "")}, zoAddFile);
    QCOMPARE(f.Ui.Asked("Confirm"), 2);
    QVERIFY(!QFileInfo::exists(f.RelDir() + "1.txt"));
    QVERIFY(QFileInfo::exists(f.RelDir() + "2.txt"));
}

void SyncExecutionTest::filteredRowsAreNotCarriedOut()
{
    SyncFixture f;
    ChangedOnBothSides(f);
    TSyncListModel list;
    for (const TSyncItem& row : ChangedRows())
        list.AddItem(row, SyncOperations::Code(row.Operation));
    list.SetOperationFilter({"=>"});
    Execute(f, list.ShownItems(), zoReplaceFile);
    QCOMPARE(f.ZipData("a.txt"), QByteArray("new a"));
    QCOMPARE(TestUtil::ReadFile(f.RelDir() + "b.txt"), QByteArray("old b"));
}

void SyncExecutionTest::unknownSymbolDoesNothing()
{
    SyncFixture f;
    ChangedOnBothSides(f);
    const QByteArray before = f.ZipData("a.txt");
    Execute(f, {Row(" => Copy to Zip File", "a.txt", "a.txt"), Row("=", "b.txt", "b.txt")},
            zoAddFile);
    QCOMPARE(f.ZipNames(), QList<QByteArray>({"a.txt", "b.txt"}));
    QCOMPARE(f.ZipData("a.txt"), before);
    QVERIFY(f.Ui.Report.isEmpty());
}

void SyncExecutionTest::errorReloadsArchiveAndKeepsDiskChanges()
{
    SyncFixture f;
    ChangedOnBothSides(f);
    f.Ui.AnswerConfirm(TMsgButton::Yes);
    QVERIFY_THROWS_EXCEPTION(Exception,
                             Execute(f,
                                     {Row("<=", "b.txt", "b.txt"), Row("=>", "a.txt", "a.txt"),
                                      Row("=>!", "missing.txt", "")},
                                     zoAddFile));
    QCOMPARE(TestUtil::ReadFile(f.RelDir() + "b.txt"), QByteArray("new b")); // stays on disk
    QCOMPARE(f.ZipNames(), QList<QByteArray>({"a.txt", "b.txt"}));           // not written
    QCOMPARE(f.Current.Zip().Count(), 2); // the in-memory a.txt.V001 was dropped
    QVERIFY(!f.Current.Tree().FindNodeByPath("a.txt.V001"));
    QCOMPARE(f.Ui.ProgressShown, f.Ui.ProgressClosed);
}

void SyncExecutionTest::cancelSkipsRemainingRowsButWritesArchive()
{
    SyncFixture f;
    ChangedOnBothSides(f);
    f.Ui.OnProcessEvents = [&] {
        f.Ui.SetCancelled(f.Ui.ProgressPosition() == 2);
    };
    Execute(f, ChangedRows(), zoReplaceFile);
    QCOMPARE(f.ZipData("a.txt"), QByteArray("new a"));
    QCOMPARE(TestUtil::ReadFile(f.RelDir() + "b.txt"), QByteArray("old b"));
}

void SyncExecutionTest::extractedFileComparesEqual()
{
    SyncFixture f;
    f.WriteZip({{"files\\n.txt", "n", f.Time(3, 58)}});
    Execute(f, {Row("!<=", "", "files\\n.txt")}, zoAddFile);
    QCOMPARE(QFileInfo(f.RelDir() + "files/n.txt").lastModified(), f.Time(3, 58));
}

// A file paired with an entry that differs in case only: "<=" overwrites
// that file, never writes a second one beside it.
void SyncExecutionTest::copyToFileSystemWritesThePairedFile()
{
    SyncFixture f;
    f.WriteZip({{"A.TXT", "archive", f.Time(9)}});
    f.WriteFile("a.txt", "disk", f.Time(1));
    f.Ui.AnswerConfirm(TMsgButton::Yes);
    Execute(f, {Row("<=", "a.txt", "A.TXT")}, zoReplaceFile);
    QCOMPARE(TestUtil::ReadFile(f.RelDir() + "a.txt"), QByteArray("archive"));
    QCOMPARE(QFileInfo::exists(f.RelDir() + "A.TXT"), !PathRules::CaseSensitiveNames());
}

// The project file restored from the archive keeps this computer's section
// and password; the run says so, so nobody saves an older project over it.
void SyncExecutionTest::restoredProjectKeepsThisComputersSection()
{
    SyncFixture f;
    const QString computer = PathRules::ComputerName();
    const QByteArray archived = QStringLiteral("[%1]\nRelDir=/other/\n[Files]\nLastZipFile=/b.zip\n"
                                               "[FTP]\nPassword=\n")
                                    .arg(computer)
                                    .toLocal8Bit();
    f.WriteZip({{"files\\project.qrz", archived, f.Time(9)}});
    f.WriteFile("files/project.qrz",
                QStringLiteral("[%1]\nRelDir=%2\n[FTP]\nPassword=local\n")
                    .arg(computer, f.RelDir())
                    .toLocal8Bit(),
                f.Time(1));
    TSyncExecution execution(f.Current, f.RelDir(), f.Ui);
    execution.SetProjectFile(f.Project->CFGFileName());
    f.Ui.AnswerConfirm(TMsgButton::Yes);
    execution.ExecuteSync({Row("<=", "files/project.qrz", "files\\project.qrz")}, zoReplaceFile);
    QVERIFY(execution.ProjectFileRestored());
    const TMemIniFile restored(f.Project->CFGFileName());
    QCOMPARE(restored.ReadString("Files", "LastZipFile", {}), QStringLiteral("/b.zip"));
    QCOMPARE(restored.ReadString(computer, "RelDir", {}), f.RelDir());
    QCOMPARE(restored.ReadString("FTP", "Password", {}), QStringLiteral("local"));
    // Copied back, the archive gets it without the password.
    execution.ExecuteSync({Row("=>", "files/project.qrz", "files\\project.qrz")}, zoReplaceFile);
    QVERIFY(!f.ZipData("files\\project.qrz").contains("local"));
}

QZ_REGISTER_TEST(SyncExecutionTest);
#include "SyncExecutionTest.moc"
