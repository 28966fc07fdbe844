#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include "PathRules.h"
#include "SyncComparison.h"
#include "SyncExecution.h"
#include "SyncFixture.h"
#include "SyncListModel.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipBuild.h"
#include "ZipFile.h"

namespace {
// The rows of a comparison as "symbol name", the name being the file's
// relative path or, for a missing file, the entry name (with '/').
QStringList Compare(TZipProject& project, TCurrentZip& current, FakeUserInterface& ui,
                    TSyncListModel& list)
{
    TSyncComparison comparison(project, current, ui, list);
    comparison.CompareZipWithFiles();
    QStringList rows;
    for (const TSyncItem& item : list.Items()) {
        const QString name = item.FilePath.isEmpty() ? item.EntryName : item.FilePath;
        rows.append(item.Operation + ' ' + QString(name).replace('\\', '/'));
    }
    rows.sort();
    return rows;
}

void Execute(TZipProject& project, TCurrentZip& current, FakeUserInterface& ui,
             const TSyncListModel& list, TZipOperation operation)
{
    TSyncExecution execution(current, project.RelDir(), ui);
    execution.SetToday(QDate(2024, 6, 1));
    execution.SetDates(TSyncDates(QStringLiteral("yyyy-MM-dd")));
    execution.ExecuteSync(list.ShownItems(), operation);
}

// Built archive with four files, then: change.txt changed on disk, the entry
// of entry.txt changed in the archive, gone.txt deleted, new.txt created.
void Prepare(SyncFixture& f)
{
    f.WriteFile("files/keep.txt", "keep", f.Time(1));
    f.WriteFile("files/change.txt", "change v1", f.Time(1));
    f.WriteFile("files/entry.txt", "entry v1", f.Time(1));
    f.WriteFile("files/gone.txt", "gone", f.Time(1));
    f.Project->SetCFGFileName(f.RelDir() + "project.qrz");
    f.Project->SaveProject(f.Project->CFGFileName());
    TestUtil::SetModified(f.Project->CFGFileName(), f.Time(1));
    f.Ui.AnswerFile(f.ZipPath());
    QVERIFY(TZipBuild(*f.Project, f.Ui).Run());
    QVERIFY(f.UnzipAccepts());

    f.WriteFile("files/change.txt", "change v2", f.Time(5));
    QFile::remove(f.RelDir() + "files/gone.txt");
    f.WriteFile("files/new.txt", "new", f.Time(5));
    TZipFile zip;
    zip.LoadFromFile(f.ZipPath());
    const int entry = zip.FindExactEntry("files\\entry.txt");
    zip.SetData(entry, "entry v2");
    zip.SetDateTime(entry, f.Time(6));
    zip.SaveToFile(f.ZipPath());
    f.LoadZip();
    QVERIFY(f.UnzipAccepts());
}

const QStringList AllSymbols{"!<= files/gone.txt", "<= files/entry.txt", "=> files/change.txt",
                             "=>! files/new.txt"};
} // namespace

class SyncRoundTripTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void twoComputersShareOneArchive();
};

void SyncRoundTripTest::roundTrip_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QList<QByteArray>>("entries");
    QTest::newRow("replace") << int(zoReplaceFile)
                             << QList<QByteArray>{"files\\keep.txt",  "files\\change.txt",
                                                  "files\\entry.txt", "files\\gone.txt",
                                                  "project.qrz",      "files\\new.txt"};
    QTest::newRow("add") << int(zoAddFile)
                         << QList<QByteArray>{"files\\keep.txt",  "files\\change.txt.V001",
                                              "files\\entry.txt", "files\\gone.txt",
                                              "project.qrz",      "files\\change.txt",
                                              "files\\new.txt"};
}

void SyncRoundTripTest::roundTrip()
{
    QFETCH(int, operation);
    QFETCH(QList<QByteArray>, entries);
    SyncFixture f;
    Prepare(f);
    TSyncListModel list;
    QCOMPARE(Compare(*f.Project, f.Current, f.Ui, list), AllSymbols);
    f.Ui.AnswerConfirm(TMsgButton::Yes); // entry.txt replaces the file on disk
    Execute(*f.Project, f.Current, f.Ui, list, TZipOperation(operation));
    QVERIFY(f.UnzipAccepts());
    QList<QByteArray> names = f.ZipNames();
    std::sort(names.begin(), names.end());
    std::sort(entries.begin(), entries.end());
    QCOMPARE(names, entries);
    QCOMPARE(f.ZipData("files\\change.txt"), QByteArray("change v2"));
    QCOMPARE(TestUtil::ReadFile(f.RelDir() + "files/entry.txt"), QByteArray("entry v2"));
    QCOMPARE(TestUtil::ReadFile(f.RelDir() + "files/gone.txt"), QByteArray("gone"));
    QCOMPARE(Compare(*f.Project, f.Current, f.Ui, list), QStringList());
    QCOMPARE(f.Ui.Messages.last(), QStringLiteral("Files are synchronized!"));
    QVERIFY(f.Ui.AllAnswersUsed());
}

void SyncRoundTripTest::twoComputersShareOneArchive()
{
    SyncFixture a;
    Prepare(a);
    TSyncListModel list;
    Compare(*a.Project, a.Current, a.Ui, list);
    a.Ui.AnswerConfirm(TMsgButton::Yes);
    Execute(*a.Project, a.Current, a.Ui, list, zoReplaceFile);

    // Computer B keeps the files elsewhere; the project names A's paths,
    // which do not exist on B, and B's own folder for this computer.
    SyncFixture b;
    QFile::copy(a.ZipPath(), b.RelDir() + "archive.zip");
    b.Project->SetLastZipFile(QStringLiteral("C:\\Users\\A\\archive.zip"));
    b.Project->SetMachineRelDir(b.RelDir());
    b.LoadZip(TCurrentZip::LocateProjectZip(*b.Project));
    QCOMPARE(b.Current.FileName(), b.RelDir() + "archive.zip");
    QCOMPARE(Compare(*b.Project, b.Current, b.Ui, list),
             QStringList({"!<= files/change.txt", "!<= files/entry.txt", "!<= files/gone.txt",
                          "!<= files/keep.txt", "!<= files/new.txt", "!<= project.qrz"}));
    Execute(*b.Project, b.Current, b.Ui, list, zoReplaceFile);
    QCOMPARE(TestUtil::ReadFile(b.RelDir() + "files/entry.txt"), QByteArray("entry v2"));
    QCOMPARE(Compare(*b.Project, b.Current, b.Ui, list), QStringList());

    // B changes a file and syncs; A gets it back from the same archive.
    b.WriteFile("files/keep.txt", "keep from B", b.Time(30));
    QCOMPARE(Compare(*b.Project, b.Current, b.Ui, list), QStringList({"=> files/keep.txt"}));
    Execute(*b.Project, b.Current, b.Ui, list, zoReplaceFile);
    QVERIFY(b.UnzipAccepts(b.RelDir() + "archive.zip"));
    QVERIFY(QFile::remove(a.ZipPath()) && QFile::copy(b.RelDir() + "archive.zip", a.ZipPath()));
    a.LoadZip();
    QCOMPARE(Compare(*a.Project, a.Current, a.Ui, list), QStringList({"<= files/keep.txt"}));
    a.Ui.AnswerConfirm(TMsgButton::Yes);
    Execute(*a.Project, a.Current, a.Ui, list, zoReplaceFile);
    QCOMPARE(TestUtil::ReadFile(a.RelDir() + "files/keep.txt"), QByteArray("keep from B"));
    QCOMPARE(Compare(*a.Project, a.Current, a.Ui, list), QStringList());
}

QZ_REGISTER_TEST(SyncRoundTripTest);
#include "SyncRoundTripTest.moc"
