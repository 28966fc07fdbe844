#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include "Exception.h"
#include "FakeUserInterface.h"
#include "PathRules.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipBuild.h"
#include "ZipFile.h"
#include "ZipProject.h"

class ZipBuildTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void entryNamesFollowTheRelativeFolder();
    void entriesKeepContentAndTime();
    void oneThreadAndTwoGiveTheSameArchive_data();
    void oneThreadAndTwoGiveTheSameArchive();
    void cancelAfterThirdFileWritesThree();
    void progressCountsBytes();
    void unreadableFileWritesNoArchive();
    void timeWithoutDosFormWritesNoArchive();
    void nothingSelectedStillHoldsTheProject();
    void decliningTheNameChangesNothing();
    void saveRequest_data();
    void saveRequest();
    void reportLine_data();
    void reportLine();

private:
    // A project below "work/" with one row per command; saved as work/p.qrz.
    void MakeProject(const QList<TZipCommand>& commands);
    QStringList EntryNames(const QString& archive) const;
    bool RunBuild(int threads = 2);

    std::unique_ptr<TestUtil::TempTree> m_dir;
    FakeUserInterface m_ui;
    std::unique_ptr<TZipProject> m_project;
};

void ZipBuildTest::init()
{
    m_dir = std::make_unique<TestUtil::TempTree>();
    m_ui = FakeUserInterface();
    m_project = std::make_unique<TZipProject>(m_ui);
}

void ZipBuildTest::MakeProject(const QList<TZipCommand>& commands)
{
    QDir().mkpath(m_dir->filePath(QStringLiteral("work")));
    m_project->SetRelDir(PathRules::WithTrailingSeparator(m_dir->Path("work")));
    m_project->SetCFGFileName(m_dir->Path("work/p.qrz"));
    m_project->SetCommands(commands);
    m_project->SaveProject(m_project->CFGFileName());
}

QStringList ZipBuildTest::EntryNames(const QString& archive) const
{
    TZipFile zip;
    zip.LoadFromFile(archive);
    QStringList names;
    for (int i = 0; i < zip.Count(); ++i)
        names.append(QString::fromLocal8Bit(zip.GetName(i)));
    return names;
}

bool ZipBuildTest::RunBuild(int threads)
{
    TZipBuild build(*m_project, m_ui);
    build.SetThreads(threads);
    return build.Run();
}

void ZipBuildTest::entryNamesFollowTheRelativeFolder()
{
    m_dir->Write(QStringLiteral("work/src/main.cpp"), "int main() { return 0; }\n");
    m_dir->Write(QStringLiteral("work/src/deep/er/util.cpp"), "// util\n");
    m_dir->Write(QStringLiteral("work/src/.hidden.cpp"), "// hidden\n");
    m_dir->Write(QStringLiteral("work/src/notes.txt"), "not selected\n");
    m_dir->Write(QStringLiteral("outside/shared.cpp"), "// outside\n");
    MakeProject({{QDir::toNativeSeparators(QStringLiteral("src/")), QStringLiteral("*.cpp")},
                 {m_dir->Path("outside/shared.cpp"), QString()}});
    m_ui.AnswerFile(m_dir->Path("out.zip"));
    QVERIFY(RunBuild());
    const QStringList expected{"src\\.hidden.cpp", "src\\main.cpp", "src\\deep\\er\\util.cpp",
                               "..\\outside\\shared.cpp", "p.qrz"};
    QCOMPARE(EntryNames(m_dir->Path("out.zip")), expected);
    QCOMPARE(m_ui.Report.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY2(m_ui.Report[i].startsWith(expected[i] + QStringLiteral("  ")),
                 qPrintable(m_ui.Report[i]));
    QCOMPARE(m_project->LastZipFile(), m_dir->Path("out.zip"));
    QCOMPARE(m_ui.ProgressClosed, 1);
    if (TestUtil::HaveTool(QStringLiteral("unzip")))
        QCOMPARE(TestUtil::Run(QStringLiteral("unzip"),
                               {QStringLiteral("-tqq"), m_dir->Path("out.zip")}),
                 0);
}

void ZipBuildTest::entriesKeepContentAndTime()
{
    const QByteArray text = QByteArray("line of text\n").repeated(500);
    m_dir->Write(QStringLiteral("work/a.txt"), text);
    const QDateTime time(QDate(2021, 6, 7), QTime(8, 9, 10));
    TestUtil::SetModified(m_dir->filePath(QStringLiteral("work/a.txt")), time);
    MakeProject({{QStringLiteral("a.txt"), QString()}});
    m_ui.AnswerFile(m_dir->Path("out.zip"));
    QVERIFY(RunBuild());
    TZipFile zip;
    zip.LoadFromFile(m_dir->Path("out.zip"));
    QCOMPARE(zip.GetData(0), text);
    QCOMPARE(zip.GetDateTime(0), time);
    QCOMPARE(zip.Entries[0].CompressionMethod, quint16(8));
}

void ZipBuildTest::oneThreadAndTwoGiveTheSameArchive_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("two") << 2;
    QTest::newRow("five") << 5;
}

void ZipBuildTest::oneThreadAndTwoGiveTheSameArchive()
{
    QFETCH(int, threads);
    for (int i = 0; i < 12; ++i) {
        const QByteArray random = TestUtil::RandomBytes(1000 * (i + 1) * (i + 1), quint32(i));
        m_dir->Write(QStringLiteral("work/d/f%1.bin").arg(i, 2, 10, QLatin1Char('0')),
                     i % 2 ? random : random.toHex().repeated(3));
    }
    m_dir->Write(QStringLiteral("work/d/empty.bin"), QByteArray());
    // Enough tiny files to fill several batches.
    for (int i = 0; i < 150; ++i)
        m_dir->Write(QStringLiteral("work/d/t/%1.txt").arg(i, 3, 10, QLatin1Char('0')),
                     QByteArray("tiny ").repeated(i % 7));
    MakeProject({{QStringLiteral("d"), QStringLiteral("*")}});
    m_ui.AnswerFile(m_dir->Path("one.zip"));
    QVERIFY(RunBuild(1));
    const QStringList oneReport = m_ui.Report;
    m_ui.Report.clear();
    m_ui.AnswerFile(m_dir->Path("two.zip"));
    QVERIFY(RunBuild(threads));
    QCOMPARE(m_ui.Report, oneReport);
    QCOMPARE(TestUtil::ReadFile(m_dir->Path("two.zip")),
             TestUtil::ReadFile(m_dir->Path("one.zip")));
}

void ZipBuildTest::cancelAfterThirdFileWritesThree()
{
    for (int i = 1; i <= 5; ++i)
        m_dir->Write(QStringLiteral("work/f%1.txt").arg(i), QByteArray("data ").repeated(i));
    MakeProject({{QStringLiteral("."), QStringLiteral("*.txt")}});
    m_ui.AnswerFile(m_dir->Path("out.zip"));
    m_ui.CancelAfterEvents(3);
    QVERIFY(RunBuild());
    QCOMPARE(EntryNames(m_dir->Path("out.zip")), (QStringList{"f1.txt", "f2.txt", "f3.txt"}));
    QCOMPARE(m_ui.Report.size(), 3);
}

// A large file among small ones moves the byte count by its size.
void ZipBuildTest::progressCountsBytes()
{
    m_dir->Write(QStringLiteral("work/a.txt"), "a");
    m_dir->Write(QStringLiteral("work/b.txt"), QByteArray(300000, 'b'));
    m_dir->Write(QStringLiteral("work/c.txt"), "cc");
    MakeProject({{QStringLiteral("."), QStringLiteral("*.txt")}});
    m_ui.AnswerFile(m_dir->Path("out.zip"));
    QList<QPair<qint64, qint64>> steps;
    TZipBuild build(*m_project, m_ui);
    build.SetBytesDone([&](qint64 done, qint64 total) { steps.append({done, total}); });
    QVERIFY(build.Run());
    const qint64 total = 300003 + QFileInfo(m_project->CFGFileName()).size();
    QCOMPARE(steps.size(), m_ui.Report.size());
    QCOMPARE(steps.last(), qMakePair(total, total));
    QVERIFY(std::any_of(steps.cbegin(), steps.cend(),
                        [](const auto& step) { return step.first >= 300001; }));
}

void ZipBuildTest::unreadableFileWritesNoArchive()
{
    m_dir->Write(QStringLiteral("work/a.txt"), "first");
    m_dir->Write(QStringLiteral("work/b.txt"), "second");
    MakeProject({{QStringLiteral("."), QStringLiteral("*.txt")}});
    m_dir->Write(QStringLiteral("out.zip"), "previous archive");
    m_ui.AnswerFile(m_dir->Path("out.zip"));
    // The second file vanishes after the list was built.
    m_ui.OnProcessEvents = [this] {
        QFile::remove(m_dir->filePath(QStringLiteral("work/b.txt")));
    };
    try {
        RunBuild();
        QFAIL("a missing file did not end the build");
    } catch (const Exception& error) {
        QVERIFY2(error.Message().startsWith(
                     QStringLiteral("Cannot open file \"%1\"").arg(m_dir->Path("work/b.txt"))),
                 qPrintable(error.Message()));
    }
    QCOMPARE(TestUtil::ReadFile(m_dir->Path("out.zip")), QByteArray("previous archive"));
    QCOMPARE(m_ui.ProgressClosed, 1);
}

void ZipBuildTest::timeWithoutDosFormWritesNoArchive()
{
    m_dir->Write(QStringLiteral("work/old.txt"), "from 1970");
    TestUtil::SetModified(m_dir->filePath(QStringLiteral("work/old.txt")),
                          QDateTime(QDate(1970, 1, 2), QTime(0, 0)));
    MakeProject({{QStringLiteral("old.txt"), QString()}});
    m_ui.AnswerFile(m_dir->Path("out.zip"));
    QVERIFY_THROWS_EXCEPTION(Exception, RunBuild());
    QVERIFY(!QFile::exists(m_dir->Path("out.zip")));
}

void ZipBuildTest::nothingSelectedStillHoldsTheProject()
{
    m_dir->Write(QStringLiteral("work/a.doc"), "doc");
    MakeProject({{QStringLiteral("."), QStringLiteral("*.none")}});
    m_ui.AnswerFile(m_dir->Path("out.zip"));
    QVERIFY(RunBuild());
    QCOMPARE(EntryNames(m_dir->Path("out.zip")), QStringList{"p.qrz"});
}

void ZipBuildTest::decliningTheNameChangesNothing()
{
    MakeProject({});
    m_project->SetLastZipFile(m_dir->Path("old.zip"));
    m_ui.AnswerFile(QString());
    m_ui.ReportLine(QStringLiteral("a line of an earlier run"));
    QVERIFY(!RunBuild());
    QCOMPARE(m_project->LastZipFile(), m_dir->Path("old.zip"));
    QCOMPARE(m_ui.ReportCleared, 1); // cleared before the question, stays cleared
    QVERIFY(m_ui.Report.isEmpty());
    QVERIFY(!QFile::exists(m_dir->Path("old.zip")));
}

void ZipBuildTest::saveRequest_data()
{
    QTest::addColumn<bool>("lastExists");
    QTest::newRow("existing archive") << true;
    QTest::newRow("archive missing here") << false;
}

void ZipBuildTest::saveRequest()
{
    QFETCH(bool, lastExists);
    MakeProject({});
    if (lastExists)
        m_dir->Write(QStringLiteral("a/b.zip"), "zip");
    m_project->SetLastZipFile(m_dir->Path("a/b.zip"));
    m_project->SetMachineRelDir(PathRules::WithTrailingSeparator(m_dir->Path("machine")));
    m_ui.AnswerFile(QString());
    TZipBuild(*m_project, m_ui).AskZipFileName();
    QCOMPARE(m_ui.Asked(QStringLiteral("SaveFile")), 1);
    const TFileRequest& request = m_ui.Questions[0].Request;
    QCOMPARE(request.Title, QStringLiteral("Save As Zip File"));
    QCOMPARE(request.Filter, QStringLiteral("Zip Files(*.zip)|*.zip|All Files |*.*"));
    QCOMPARE(request.DefaultExt, QStringLiteral(".zip"));
    QVERIFY(request.Options.testFlag(TFileRequest::OverwritePrompt));
    QCOMPARE(request.Preset, lastExists ? m_dir->Path("a/b.zip") : m_dir->Path("machine/b.zip"));
}

void ZipBuildTest::reportLine_data()
{
    QTest::addColumn<qint64>("compressed");
    QTest::addColumn<qint64>("uncompressed");
    QTest::addColumn<QString>("ending");
    QTest::newRow("quarter") << qint64(250) << qint64(1000) << "250 1000 25.00 %";
    QTest::newRow("large sizes") << qint64(60000000) << qint64(100000000)
                                 << "60000000 100000000 60.00 %";
    QTest::newRow("rounding") << qint64(1520) << qint64(6043) << "1520 6043 25.15 %";
    QTest::newRow("grown") << qint64(13) << qint64(1) << "13 1 1300.00 %";
    QTest::newRow("empty file") << qint64(2) << qint64(0) << "2 0 0.00 %";
}

void ZipBuildTest::reportLine()
{
    QFETCH(qint64, compressed);
    QFETCH(qint64, uncompressed);
    QFETCH(QString, ending);
    ending.replace(QLatin1Char('.'), QLocale::system().decimalPoint());
    QCOMPARE(TZipBuild::ReportLine(QStringLiteral("Src\\a%1.pas"), compressed, uncompressed),
             QStringLiteral("Src\\a%1.pas  ") + ending);
}

QZ_REGISTER_TEST(ZipBuildTest);
#include "ZipBuildTest.moc"
