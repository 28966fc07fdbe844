#include <QTest>

#include <QFileInfo>

#include "PathRules.h"
#include "SyncActions.h"
#include "SyncComparison.h"
#include "Exception.h"
#include "SyncExecution.h"
#include "ZipFile.h"
#include "SyncFixture.h"
#include "SyncListModel.h"
#include "TestRegistry.h"

namespace {
// Runs the comparison; the rows as "symbol file | entry" texts.
QStringList Compare(SyncFixture& f, TSyncListModel& list,
                    const TSyncDates& dates = TSyncDates(QStringLiteral("dd.MM.yyyy")))
{
    TSyncComparison comparison(*f.Project, f.Current, f.Ui, list);
    comparison.SetDates(dates);
    comparison.CompareZipWithFiles();
    QStringList rows;
    for (const TSyncItem& item : list.Items())
        rows.append(item.Operation + ' ' + item.FilePath + " | " + item.EntryName);
    return rows;
}

QStringList Compare(SyncFixture& f)
{
    TSyncListModel list;
    return Compare(f, list);
}
} // namespace

class SyncComparisonTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void timesDecide_data();
    void timesDecide();
    void rowsCarryAllSevenFields();
    void timesBefore1980CompareAsTheArchiveStoresThem();
    void fileWithoutEntryAndEntryWithoutFile();
    void versionsAndDateFoldersYieldNoRows();
    void fileNeverPairsWithAnotherFilesEntry();
    void slashEntriesOfOtherToolsPair();
    void foreignNamesAreProposedNoSync();
    void synchronizedShowsMessage();
    void failureClosesTheProgress();
    void noArchiveDoesNothing();
    void cancelShortensOnlyTheFirstPass();
    void headers();
    void timesSurviveTimeZones_data();
    void timesSurviveTimeZones();
    void lettercaseNamesPairExactlyFirst_data();
    void lettercaseNamesPairExactlyFirst();
    void folderEntriesStandForFolders();
    void equalTimeOtherSizeIsListed();
    void unreadableEntryTimeIsNeverOverwriting();
    void duplicateNamesPairWithTheFirst();
    void manyFilesAcrossStampBlocks();
    void failedLoadFailsTheComparison();
};

void SyncComparisonTest::timesDecide_data()
{
    QTest::addColumn<QDateTime>("fileTime");
    QTest::addColumn<QString>("expected");
    QTest::newRow("equal") << SyncFixture::Time(10) << "";
    QTest::newRow("one odd second later") << SyncFixture::Time(10, 1) << "";
    QTest::newRow("two seconds later")
        << SyncFixture::Time(10, 2) << "=> files/a.txt | files\\a.txt";
    QTest::newRow("file newer") << SyncFixture::Time(20) << "=> files/a.txt | files\\a.txt";
    QTest::newRow("entry newer") << SyncFixture::Time(5) << "<= files/a.txt | files\\a.txt";
}

void SyncComparisonTest::timesDecide()
{
    QFETCH(QDateTime, fileTime);
    QFETCH(QString, expected);
    SyncFixture f;
    f.WriteZip({{"files\\a.txt", "same size", f.Time(10)}});
    f.WriteFile("files/a.txt", "same size", fileTime);
    QCOMPARE(Compare(f), expected.isEmpty() ? QStringList() : QStringList{expected});
}

void SyncComparisonTest::rowsCarryAllSevenFields()
{
    SyncFixture f;
    f.WriteZip({{"files\\a.txt", "12345", f.Time(10)}});
    f.WriteFile("files/a.txt", "123", f.Time(20));
    TSyncListModel list;
    Compare(f, list);
    QCOMPARE(list.ItemCount(), 1);
    const TSyncItem& item = list.Item(0);
    QCOMPARE(item.Fields(),
             QStringList({"files/a.txt", TSyncDates::DisplayDateTime(f.Time(20)), "3", "=>",
                          "files\\a.txt", TSyncDates::DisplayDateTime(f.Time(10)), "5"}));
}

void SyncComparisonTest::timesBefore1980CompareAsTheArchiveStoresThem()
{
    SyncFixture f;
    const QDateTime old(QDate(1975, 6, 1), QTime(8, 0), Qt::LocalTime);
    f.WriteZip({{"files\\old.txt", "o", old}}); // stored as the earliest MS-DOS time
    f.WriteFile("files/old.txt", "o", old);
    QCOMPARE(Compare(f), QStringList());
}

void SyncComparisonTest::fileWithoutEntryAndEntryWithoutFile()
{
    SyncFixture f;
    f.WriteZip({{"files\\old.txt", "o", f.Time(1)}});
    f.WriteFile("files/new.txt", "n", f.Time(1));
    TSyncListModel list;
    QCOMPARE(Compare(f, list), QStringList({"=>! files/new.txt | ", "!<=  | files\\old.txt"}));
    QVERIFY(list.Item(0).EntryDate.isEmpty() && list.Item(0).EntrySize.isEmpty());
    QVERIFY(list.Item(1).FileDate.isEmpty() && list.Item(1).FileSize.isEmpty());
}

void SyncComparisonTest::versionsAndDateFoldersYieldNoRows()
{
    SyncFixture f;
    f.WriteZip({{"files\\old.txt.V002", "v", f.Time(1)},
                {"24.12.2008\\notes.txt", "n", f.Time(1)},
                {"notes.txt", "n", f.Time(1)}});
    QCOMPARE(Compare(f), QStringList({"!<=  | notes.txt"}));
}

void SyncComparisonTest::fileNeverPairsWithAnotherFilesEntry()
{
    SyncFixture f;
    f.Project->SetCommands({{"docs", "*.*"}});
    f.WriteZip({{"plan.txt", "root", f.Time(1)}, {"docs\\plan.txt", "docs", f.Time(1)}});
    f.WriteFile("docs/plan.txt", "docs", f.Time(1));
    f.WriteFile("plan.txt", "root", f.Time(1));
    QCOMPARE(Compare(f), QStringList()); // each pairs with its own entry
    f.WriteFile("docs/plan.txt", "docs", f.Time(30));
    QCOMPARE(Compare(f), QStringList({"=> docs/plan.txt | docs\\plan.txt"}));
}

void SyncComparisonTest::slashEntriesOfOtherToolsPair()
{
    SyncFixture f;
    f.WriteZip({{"FILES/A.TXT", "a", f.Time(1)}});
    f.WriteFile("files/a.txt", "a", f.Time(1));
    QCOMPARE(Compare(f), QStringList());
}

void SyncComparisonTest::foreignNamesAreProposedNoSync()
{
    SyncFixture f;
    f.WriteZip({{"..\\..\\outside.txt", "x", f.Time(1)},
                {"/etc/absolute.txt", "x", f.Time(1)},
                {"C:\\Windows\\x.txt", "x", f.Time(1)},
                {"ctl\x01.txt", "x", f.Time(1)}});
    QCOMPARE(Compare(f), QStringList({"=  | ..\\..\\outside.txt", "=  | /etc/absolute.txt",
                                      "=  | C:\\Windows\\x.txt", "=  | ctl\x01.txt"}));
}

void SyncComparisonTest::synchronizedShowsMessage()
{
    SyncFixture f;
    f.WriteZip({{"files\\a.txt", "a", f.Time(1)}});
    f.WriteFile("files/a.txt", "a", f.Time(1));
    TSyncListModel list;
    TSyncComparison comparison(*f.Project, f.Current, f.Ui, list);
    QVERIFY(!comparison.CompareZipWithFiles());
    QCOMPARE(f.Ui.Messages, QStringList({"Files are synchronized!"}));
    QCOMPARE(f.Ui.ProgressTexts.first(), QStringLiteral("Building List ..."));
    QCOMPARE(f.Ui.ProgressShown, f.Ui.ProgressClosed);
}

// Nine pending "*" in a mask end the file list with an error.
void SyncComparisonTest::failureClosesTheProgress()
{
    SyncFixture f;
    f.WriteZip({{"files\\a.txt", "a", f.Time(1)}});
    f.WriteFile("files/abcdefghi", "a", f.Time(1));
    f.Project->SetCommands({{"files", "*a*b*c*d*e*f*g*h*i"}});
    TSyncListModel list;
    TSyncComparison comparison(*f.Project, f.Current, f.Ui, list);
    QVERIFY_THROWS_EXCEPTION(Exception, comparison.CompareZipWithFiles());
    QVERIFY(f.Ui.ProgressShown > 0);
    QCOMPARE(f.Ui.ProgressShown, f.Ui.ProgressClosed);
}

void SyncComparisonTest::noArchiveDoesNothing()
{
    SyncFixture f;
    TSyncListModel list;
    QVERIFY(!TSyncComparison(*f.Project, f.Current, f.Ui, list).CompareZipWithFiles());
    QVERIFY(f.Ui.Messages.isEmpty());
    QCOMPARE(f.Ui.ProgressShown, 0);
}

void SyncComparisonTest::cancelShortensOnlyTheFirstPass()
{
    SyncFixture f;
    f.WriteZip({{"files\\gone1.txt", "g", f.Time(1)}, {"files\\gone2.txt", "g", f.Time(1)}});
    f.WriteFile("files/new1.txt", "n", f.Time(1));
    f.WriteFile("files/new2.txt", "n", f.Time(1));
    int processed = 0;
    f.Ui.OnProcessEvents = [&] {
        // Cancel once the list is built, when the first file is about to be compared.
        if (f.Ui.ProgressText.endsWith(QStringLiteral("new1.txt")) ||
            f.Ui.ProgressText.endsWith(QStringLiteral("new2.txt")))
            f.Ui.SetCancelled(++processed > 0);
    };
    QCOMPARE(Compare(f), QStringList({"!<=  | files\\gone1.txt", "!<=  | files\\gone2.txt"}));
}

void SyncComparisonTest::headers()
{
    SyncFixture f;
    f.WriteZip({{"x.txt", "x", f.Time(1)}});
    TSyncListModel list;
    Compare(f, list);
    QCOMPARE(list.FileHeader(), f.RelDir());
    QVERIFY2(list.ZipHeader().startsWith(QStringLiteral("Zip:")), qPrintable(list.ZipHeader()));
    QVERIFY(list.ZipHeader().endsWith(QStringLiteral("archive")));
}

// An archive written in one zone and compared (and restored) in another, or
// after a change of daylight saving: no false rows, and a fresh edit is
// proposed "=>", an older file "<=".
void SyncComparisonTest::timesSurviveTimeZones_data()
{
    QTest::addColumn<QByteArray>("writtenIn");
    QTest::addColumn<QByteArray>("comparedIn");
    QTest::newRow("Berlin to New York")
        << QByteArray(":Europe/Berlin") << QByteArray(":America/New_York");
    QTest::newRow("summer time, then none")
        << QByteArray("CET-1CEST,M3.5.0,M10.5.0/3") << QByteArray("CET-1");
    QTest::newRow("half-hour zone to UTC") << QByteArray(":Asia/Kolkata") << QByteArray("UTC0");
    QTest::newRow("Lord Howe to Kathmandu")
        << QByteArray(":Australia/Lord_Howe") << QByteArray(":Asia/Kathmandu");
}

void SyncComparisonTest::timesSurviveTimeZones()
{
    QFETCH(QByteArray, writtenIn);
    QFETCH(QByteArray, comparedIn);
    SyncFixture f;
    const QDateTime moment(QDate(2024, 7, 5), QTime(10, 0, 7), Qt::UTC);
    {
        const TimeZoneScope zone(writtenIn);
        f.WriteZip({{"files\\a.txt", "a", moment}, {"files\\b.txt", "b", moment}});
        f.WriteFile("files/a.txt", "a", moment);
    }
    const TimeZoneScope zone(comparedIn);
    f.LoadZip();
    QCOMPARE(Compare(f), QStringList({"!<=  | files\\b.txt"}));
    TSyncActions(f.Current.Zip(), f.RelDir(), f.Ui).ExtractEntry("files\\b.txt", false);
    QCOMPARE(QFileInfo(f.RelDir() + "files/b.txt").lastModified().toUTC(), moment);
    QCOMPARE(Compare(f), QStringList());
    f.WriteFile("files/a.txt", "a", moment.addSecs(60));
    f.WriteFile("files/b.txt", "b", moment.addSecs(-60));
    QCOMPARE(Compare(f),
             QStringList({"=> files/a.txt | files\\a.txt", "<= files/b.txt | files\\b.txt"}));
}

// Where file names keep their case, a.txt and A.txt are two files; a name
// differing in case only pairs when nobody else has it exactly.
void SyncComparisonTest::lettercaseNamesPairExactlyFirst_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("both on both sides")
        << QStringList{"a.txt", "A.txt"} << QStringList{"a.txt", "A.txt"} << QStringList();
    QTest::newRow("entry from a case-blind system")
        << QStringList{"a.txt"} << QStringList{"A.TXT"} << QStringList();
    QTest::newRow("second file is new") << QStringList{"a.txt", "A.txt"} << QStringList{"a.txt"}
                                        << QStringList{"=>! files/A.txt | "};
    QTest::newRow("second entry is new") << QStringList{"a.txt"} << QStringList{"a.txt", "A.txt"}
                                         << QStringList{"!<=  | files\\A.txt"};
    QTest::newRow("two entries fold to one file")
        << QStringList{"a.txt"} << QStringList{"A.txt", "A.TXT"}
        << QStringList{"=>! files/a.txt | ", "!<=  | files\\A.txt", "!<=  | files\\A.TXT"};
}

void SyncComparisonTest::lettercaseNamesPairExactlyFirst()
{
    if (!PathRules::CaseSensitiveNames())
        QSKIP("file names here do not keep their case");
    QFETCH(QStringList, files);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, rows);
    SyncFixture f;
    QList<SyncFixture::TEntry> zip;
    for (const QString& entry : entries)
        zip.append({"files\\" + entry.toLocal8Bit(), entry.toLocal8Bit(), f.Time(1)});
    f.WriteZip(zip);
    for (const QString& file : files)
        f.WriteFile("files/" + file, file.toLocal8Bit(), f.Time(1));
    QCOMPARE(Compare(f), rows);
}

void SyncComparisonTest::folderEntriesStandForFolders()
{
    SyncFixture f;
    f.WriteZip({{"files/", "", f.Time(1)}, {"files/empty/", "", f.Time(1)}});
    f.WriteFile("files/x.txt", "x", f.Time(1));
    QCOMPARE(Compare(f), QStringList({"=>! files/x.txt | ", "!<=  | files/empty/"}));
    TSyncListModel list;
    Compare(f, list);
    TSyncExecution execution(f.Current, f.RelDir(), f.Ui);
    execution.ExecuteSync({list.Item(1)}, zoReplaceFile);
    QVERIFY(QFileInfo(f.RelDir() + "files/empty").isDir());
    QCOMPARE(Compare(f), QStringList({"=>! files/x.txt | "}));
    QVERIFY(f.UnzipAccepts());
}

void SyncComparisonTest::equalTimeOtherSizeIsListed()
{
    SyncFixture f;
    f.WriteZip({{"files\\a.txt", "12345", f.Time(1)}});
    f.WriteFile("files/a.txt", "123", f.Time(1));
    QCOMPARE(Compare(f), QStringList({"= files/a.txt | files\\a.txt"}));
}

// An MS-DOS time without a valid date (another tool's fault) is listed with
// "=" and no date, never proposed to overwrite the file.
void SyncComparisonTest::unreadableEntryTimeIsNeverOverwriting()
{
    SyncFixture f;
    f.WriteZip({{"files\\a.txt", "a", f.Time(1)}, {"files\\gone.txt", "g", f.Time(1)}});
    f.Current.Zip().SetDosDateTime(0, (44u << 9 | 13u << 5 | 1u) << 16);
    f.Current.Zip().SetDosDateTime(1, (44u << 9 | 13u << 5 | 1u) << 16);
    f.WriteFile("files/a.txt", "a", f.Time(1));
    TSyncListModel list;
    QCOMPARE(Compare(f, list),
             QStringList({"= files/a.txt | files\\a.txt", "!<=  | files\\gone.txt"}));
    QVERIFY(list.Item(0).EntryDate.isEmpty());
}

// The comparison tries the entry after the last one found before it looks
// the name up; a later duplicate there is not the entry of that name.
void SyncComparisonTest::duplicateNamesPairWithTheFirst()
{
    SyncFixture f;
    f.WriteZip({{"files\\b.txt", "b", f.Time(1)},
                {"files\\a.txt", "a", f.Time(1)},
                {"files\\b.txt", "b", f.Time(30)}});
    f.WriteFile("files/a.txt", "a", f.Time(1));
    f.WriteFile("files/b.txt", "b", f.Time(1));
    TSyncListModel list;
    TSyncComparison comparison(*f.Project, f.Current, f.Ui, list);
    QCOMPARE(comparison.CompareWithArchive(f.ZipPath()), 0);
    QCOMPARE(f.Current.Zip().Count(), 3); // loaded as the current archive
}

// More files than one block of stamps, read on several threads: each file
// keeps its own stamp at the blocks' edges too.
void SyncComparisonTest::manyFilesAcrossStampBlocks()
{
    SyncFixture f;
    QList<SyncFixture::TEntry> entries;
    QStringList changed;
    for (int i = 0; i < 4200; ++i) {
        const QString name = QStringLiteral("files/d%1/f%2.txt")
                                 .arg(i / 100, 2, 10, QLatin1Char('0'))
                                 .arg(i % 100, 2, 10, QLatin1Char('0'));
        const bool touched = i == 0 || i == 4095 || i == 4096 || i == 4199;
        f.WriteFile(name, "x", f.Time(touched ? 20 : 1));
        entries.append({QString(name).replace('/', '\\').toLocal8Bit(), "x", f.Time(1)});
        if (touched)
            changed.append("=> " + name + " | " + QString(name).replace('/', '\\'));
    }
    f.WriteZip(entries);
    QCOMPARE(Compare(f), changed);
}

void SyncComparisonTest::failedLoadFailsTheComparison()
{
    SyncFixture f;
    f.WriteFile("files/a.txt", "a", f.Time(1));
    TSyncListModel list;
    TSyncComparison comparison(*f.Project, f.Current, f.Ui, list);
    QVERIFY_THROWS_EXCEPTION(Exception, comparison.CompareWithArchive(f.Root() + "missing.zip"));
    QVERIFY(!f.Current.HasZip());
    QCOMPARE(f.Ui.ProgressShown, f.Ui.ProgressClosed);
}

QZ_REGISTER_TEST(SyncComparisonTest);
#include "SyncComparisonTest.moc"
