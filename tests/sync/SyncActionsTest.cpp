#include <QDir>
#include <QFileInfo>
#include <QTest>

#include "SyncActions.h"
#include "SyncFixture.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"

class SyncActionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addFileKeepsVersionsAtTheirPlace();
    void replaceFileKeepsPlaceAndName();
    void replaceWithoutFileOrEntryReportsNotFound();
    void extractCreatesFoldersAndSetsEntryTime();
    void extractAsksBeforeOverwriting_data();
    void extractAsksBeforeOverwriting();
    void extractSkipsVersionEntries();
    void extractRefusesControlCharacters();
    void extractFailureNamesFileAndReason_data();
    void extractFailureNamesFileAndReason();
    void deleteFileResolvesRelativePathsBelowRelDir();
    void deleteFileFailureIsShown();
    void deleteEntryRemovesOnlyTheExactName();
};

void SyncActionsTest::addFileKeepsVersionsAtTheirPlace()
{
    SyncFixture f;
    f.WriteZip({{"docs\\plan.txt", "old", f.Time(1)}, {"other.txt", "o", f.Time(1)}});
    f.WriteFile("docs/plan.txt", "new", f.Time(5));
    TSyncActions actions(f.Current.Zip(), f.RelDir(), f.Ui);
    actions.AddFileToZip("docs/plan.txt");
    TZipFile& zip = f.Current.Zip();
    QCOMPARE(zip.GetName(0), QByteArray("docs\\plan.txt.V001"));
    QCOMPARE(zip.GetData(0), QByteArray("old"));
    QCOMPARE(zip.GetName(2), QByteArray("docs\\plan.txt"));
    QCOMPARE(zip.GetData(2), QByteArray("new"));
    QCOMPARE(zip.GetDateTime(2), f.Time(5));
    QCOMPARE(f.Ui.Report, QStringList({"File : " + f.RelDir() + "docs/plan.txt added"}));
    f.WriteFile("docs/plan.txt", "newer", f.Time(7));
    actions.AddFileToZip(f.RelDir() + "docs/plan.txt"); // absolute works alike
    QCOMPARE(zip.GetName(2), QByteArray("docs\\plan.txt.V002"));
    QCOMPARE(zip.GetName(3), QByteArray("docs\\plan.txt"));
}

void SyncActionsTest::replaceFileKeepsPlaceAndName()
{
    SyncFixture f;
    f.WriteZip({{"docs\\plan.txt", "old", f.Time(1)}, {"z.txt", "z", f.Time(1)}});
    f.WriteFile("docs/plan.txt", "new", f.Time(5));
    TSyncActions(f.Current.Zip(), f.RelDir(), f.Ui)
        .ReplaceFileInZip("docs/plan.txt", "DOCS\\PLAN.TXT");
    TZipFile& zip = f.Current.Zip();
    QCOMPARE(zip.Count(), 2);
    QCOMPARE(zip.GetName(0), QByteArray("docs\\plan.txt"));
    QCOMPARE(zip.GetData(0), QByteArray("new"));
    QCOMPARE(zip.GetDateTime(0), f.Time(5));
    QCOMPARE(f.Ui.Report, QStringList({"File : docs/plan.txt replaced"}));
}

void SyncActionsTest::replaceWithoutFileOrEntryReportsNotFound()
{
    SyncFixture f;
    f.WriteZip({{"a.txt.V001", "old", f.Time(1)}});
    f.WriteFile("a.txt", "new", f.Time(5));
    TSyncActions actions(f.Current.Zip(), f.RelDir(), f.Ui);
    actions.ReplaceFileInZip("missing.txt", "a.txt");
    actions.ReplaceFileInZip("a.txt", "a.txt"); // only a version entry: not found
    QCOMPARE(f.Ui.Report, QStringList({"File : " + f.RelDir() + "missing.txt not found",
                                       "File : a.txt not found"}));
    QCOMPARE(f.Current.Zip().GetData(0), QByteArray("old"));
}

void SyncActionsTest::extractCreatesFoldersAndSetsEntryTime()
{
    SyncFixture f;
    f.WriteZip({{"deep\\er\\x.txt", "x", f.Time(9, 58)}});
    QVERIFY(TSyncActions(f.Current.Zip(), f.RelDir(), f.Ui).ExtractEntry("deep\\er\\x.txt", true));
    const QString file = f.RelDir() + "deep/er/x.txt";
    QCOMPARE(TestUtil::ReadFile(file), QByteArray("x"));
    QCOMPARE(QFileInfo(file).lastModified(), f.Time(9, 58));
    QCOMPARE(f.Ui.Report, QStringList({"File : " + file + " added"}));
}

void SyncActionsTest::extractAsksBeforeOverwriting_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("yes") << int(TMsgButton::Yes) << QByteArray("zip");
    QTest::newRow("no") << int(TMsgButton::No) << QByteArray("disk");
    QTest::newRow("cancel") << int(TMsgButton::Cancel) << QByteArray("disk");
}

void SyncActionsTest::extractAsksBeforeOverwriting()
{
    QFETCH(int, answer);
    QFETCH(QByteArray, content);
    SyncFixture f;
    f.WriteZip({{"a.txt", "zip", f.Time(1)}});
    const QString file = f.WriteFile("a.txt", "disk", f.Time(2));
    f.Ui.AnswerConfirm(TMsgButton(answer));
    TSyncActions(f.Current.Zip(), f.RelDir(), f.Ui).ExtractEntry("a.txt", true);
    QCOMPARE(f.Ui.Questions.first().Text,
             "File :\r\n" + file + "\r\nalready exists.\r\nDo you really want to overide it?");
    QCOMPARE(f.Ui.Questions.first().Buttons, TMsgButton::Yes | TMsgButton::No | TMsgButton::Cancel);
    QCOMPARE(TestUtil::ReadFile(file), content);
    QCOMPARE(f.Ui.Report.size(), content == "zip" ? 1 : 0);
}

void SyncActionsTest::extractSkipsVersionEntries()
{
    SyncFixture f;
    f.WriteZip({{"a.txt.V001", "old", f.Time(1)}});
    QVERIFY(!TSyncActions(f.Current.Zip(), f.RelDir(), f.Ui).ExtractEntry("a.txt.V001", true));
    QVERIFY(!QFileInfo::exists(f.RelDir() + "a.txt.V001"));
}

void SyncActionsTest::extractRefusesControlCharacters()
{
    SyncFixture f;
    f.WriteZip({{QByteArray("bad\nname.txt"), "x", f.Time(1)}});
    TSyncActions actions(f.Current.Zip(), f.RelDir(), f.Ui);
    QVERIFY_THROWS_EXCEPTION(Exception, actions.ExtractEntry(QByteArray("bad\nname.txt"), false));
    QVERIFY(QDir(f.RelDir()).entryList(QDir::Files).isEmpty());
}

void SyncActionsTest::extractFailureNamesFileAndReason_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("reason");
    // "plain" is a file, "folder" a folder: neither can take the extracted file.
    QTest::newRow("folder cannot be created") << "plain/sub/a.txt"
                                              << "Unable to create directory"
                                              << "Not a directory";
    QTest::newRow("file cannot be written") << "folder"
                                            << "Cannot create file"
                                            << "directory";
}

void SyncActionsTest::extractFailureNamesFileAndReason()
{
    QFETCH(QString, target);
    QFETCH(QString, named);
    QFETCH(QString, reason);
    SyncFixture f;
    f.WriteZip({{"a.txt", "a", f.Time(1)}});
    f.WriteFile("plain", "x", f.Time(1));
    QDir().mkpath(f.RelDir() + "folder/inner");
    try {
        TSyncActions(f.Current.Zip(), f.RelDir(), f.Ui)
            .ExtractEntry("a.txt", false, f.RelDir() + target);
        QFAIL("the extraction did not fail");
    } catch (const Exception& error) {
        QVERIFY2(error.Message().startsWith(named), qPrintable(error.Message()));
        QVERIFY2(error.Message().contains(f.RelDir()), qPrintable(error.Message()));
        QVERIFY2(error.Message().contains(reason, Qt::CaseInsensitive),
                 qPrintable(error.Message()));
    }
}

void SyncActionsTest::deleteFileResolvesRelativePathsBelowRelDir()
{
    SyncFixture f;
    f.WriteZip({});
    // A file of the same relative name in the current directory must survive.
    const QString saved = QDir::currentPath();
    QDir::setCurrent(f.Root());
    TestUtil::WriteFile(f.Root() + "a.txt", "cwd");
    const QString file = f.WriteFile("a.txt", "rel", f.Time(1));
    f.Ui.AnswerConfirm(TMsgButton::Yes);
    const TMsgButton answer =
        TSyncActions(f.Current.Zip(), f.RelDir(), f.Ui).DeleteFileAsk("a.txt", true);
    QDir::setCurrent(saved);
    QCOMPARE(answer, TMsgButton::Yes);
    QCOMPARE(f.Ui.Questions.first().Text, "Do you want to delete file:\r\n" + file);
    QVERIFY(!QFileInfo::exists(file));
    QVERIFY(QFileInfo::exists(f.Root() + "a.txt"));
}

void SyncActionsTest::deleteFileFailureIsShown()
{
    SyncFixture f;
    f.WriteZip({});
    const TMsgButton answer =
        TSyncActions(f.Current.Zip(), f.RelDir(), f.Ui).DeleteFileAsk("gone.txt", false);
    QCOMPARE(answer, TMsgButton::None);
    QCOMPARE(f.Ui.Messages, QStringList({"Error deleting file:\r\n" + f.RelDir() + "gone.txt"}));
}

void SyncActionsTest::deleteEntryRemovesOnlyTheExactName()
{
    SyncFixture f;
    // a.txt occurs inside docs\data.txt; only the exact name may go.
    f.WriteZip({{"a.txt", "a", f.Time(1)}, {"docs\\data.txt", "d", f.Time(1)}});
    TSyncActions actions(f.Current.Zip(), f.RelDir(), f.Ui);
    f.Ui.AnswerConfirm(TMsgButton::YesToAll);
    QCOMPARE(actions.DeleteEntryAsk("docs\\data.txt", true), TMsgButton::YesToAll);
    QCOMPARE(f.Ui.Questions.first().Text,
             QStringLiteral("Do you want to delete zip file:\r\ndocs\\data.txt"));
    QCOMPARE(f.Current.Zip().Count(), 1);
    QCOMPARE(f.Current.Zip().GetName(0), QByteArray("a.txt"));
    QCOMPARE(actions.DeleteEntryAsk("nothing", false), TMsgButton::None);
    QCOMPARE(f.Current.Zip().Count(), 1);
}

QZ_REGISTER_TEST(SyncActionsTest);
#include "SyncActionsTest.moc"
