#include <QTest>

#include "SyncComparison.h"
#include "Exception.h"
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

QZ_REGISTER_TEST(SyncComparisonTest);
#include "SyncComparisonTest.moc"
