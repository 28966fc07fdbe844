#include <algorithm>
#include <memory>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "MemIniFile.h"
#include "PathRules.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"

namespace {
QDateTime Time(int minute)
{
    return QDateTime(QDate(2024, 3, 5), QTime(10, minute), Qt::LocalTime);
}
} // namespace

class CliSyncTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void planShowsEverySymbol();
    void applyInEachMode_data();
    void applyInEachMode();
    void questionsNeedAnAnswer();
    void noKeepsFilesAndOnlyFilters();
    void modeChangeIsSavedInTheProject();
    void twoComputersShareOneArchive();
    void extractPurgeAndDelete();
    void usageErrors_data();
    void usageErrors();
    void twoComputersInTwoTimeZones();
    void namesDifferingInCaseOnly();
    void archiveOfZipRestoredOntoEmptyFolder();

private:
    QString Path(const QString& name) const { return m_dir->filePath(name); }
    void WriteAt(const QString& name, const QByteArray& bytes, const QDateTime& time) const
    {
        TestUtil::WriteFile(Path(name), bytes);
        TestUtil::SetModified(Path(name), time);
    }
    // A project file with the given [computer] and [Files] directories.
    void WriteProject(const QString& name, const QString& machineDir, const QString& relDir,
                      const QString& lastZip, int operation) const;
    int Run(const QStringList& arguments);
    // Built archive, then: change.txt changed on disk, entry.txt changed in
    // the archive, gone.txt deleted, new.txt created.
    void PrepareChanges();
    QStringList PlanSymbols();
    QStringList EntryNames(const QString& archive) const;
    bool UnzipAccepts(const QString& archive) const;

    // Runs as computer `name` in time zone `zone` (environment of the child).
    int RunAs(const QByteArray& name, const QByteArray& zone, const QStringList& arguments);
    static QStringList PlanOf(const QString& output);

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_out;
    QByteArray m_err;
};

void CliSyncTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    WriteAt("a/work/files/keep.txt", "keep", Time(1));
    WriteAt("a/work/files/change.txt", "change v1", Time(1));
    WriteAt("a/work/files/entry.txt", "entry v1", Time(1));
    WriteAt("a/work/files/gone.txt", "gone", Time(1));
    WriteProject("a/work/p.qrz", Path("a/work/"), Path("a/work/"), Path("a/archive.zip"), 0);
}

void CliSyncTest::WriteProject(const QString& name, const QString& machineDir,
                               const QString& relDir, const QString& lastZip, int operation) const
{
    WriteAt(name,
            QStringLiteral("[%1]\nRelDir=%2\n[Files]\nRelDir=%3\nLastZipFile=%4\n"
                           "[SyncList]\nZipOperation=%5\n"
                           "[ZipCommands]\nRow[0]=Directory,Filter\nRow[1]=files\\,*.txt\n")
                .arg(PathRules::ComputerName(), machineDir, relDir, lastZip)
                .arg(operation)
                .toLocal8Bit(),
            Time(1));
}

int CliSyncTest::Run(const QStringList& arguments)
{
    m_out.clear();
    m_err.clear();
    return TestUtil::Run(TestUtil::QorZipExecutable(), arguments, &m_out, &m_err);
}

void CliSyncTest::PrepareChanges()
{
    QCOMPARE(Run({"zip", Path("a/work/p.qrz")}), 0);
    TestUtil::SetModified(Path("a/work/p.qrz"), Time(1)); // the build saved the project
    QCOMPARE(Run({"zip", Path("a/work/p.qrz")}), 0);
    QVERIFY(UnzipAccepts(Path("a/archive.zip")));
    WriteAt("a/work/files/change.txt", "change v2", Time(5));
    QFile::remove(Path("a/work/files/gone.txt"));
    WriteAt("a/work/files/new.txt", "new", Time(5));
    TZipFile zip;
    zip.LoadFromFile(Path("a/archive.zip"));
    const int entry = zip.FindExactEntry("files\\entry.txt");
    zip.SetData(entry, "entry v2");
    zip.SetDateTime(entry, Time(6));
    zip.SaveToFile(Path("a/archive.zip"));
}

QStringList CliSyncTest::PlanSymbols()
{
    if (Run({"sync", Path("a/work/p.qrz")}) != 0)
        return {QString::fromLocal8Bit(m_err)};
    return PlanOf(QString::fromLocal8Bit(m_out));
}

QStringList CliSyncTest::EntryNames(const QString& archive) const
{
    TZipFile zip;
    zip.LoadFromFile(archive);
    QStringList names;
    for (int i = 0; i < zip.Count(); ++i)
        names.append(QString::fromLocal8Bit(zip.GetName(i)));
    names.sort();
    return names;
}

bool CliSyncTest::UnzipAccepts(const QString& archive) const
{
    if (!TestUtil::HaveTool("unzip"))
        return true;
    return TestUtil::Run("unzip", {"-tq", archive}) == 0;
}

void CliSyncTest::planShowsEverySymbol()
{
    PrepareChanges();
    QCOMPARE(PlanSymbols(), QStringList({"!<= files/gone.txt", "<= files/entry.txt",
                                         "=> files/change.txt", "=>! files/new.txt"}));
    const QList<QByteArray> line = m_out.split('\n').first().split('\t');
    QCOMPARE(line.size(), 7);
}

void CliSyncTest::applyInEachMode_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("operation");
    QTest::addColumn<QStringList>("entries");
    const QStringList base{"files\\change.txt", "files\\entry.txt", "files\\gone.txt",
                           "files\\keep.txt",   "files\\new.txt",   "p.qrz"};
    QTest::newRow("replace") << "replace" << 0 << base;
    QStringList versions = base;
    versions.append("files\\change.txt.V001");
    versions.sort();
    QTest::newRow("add") << "add" << 1 << versions;
    QTest::newRow("newzip") << "newzip" << 2 << base;
}

void CliSyncTest::applyInEachMode()
{
    QFETCH(QString, mode);
    QFETCH(int, operation);
    QFETCH(QStringList, entries);
    WriteProject("a/work/p.qrz", Path("a/work/"), Path("a/work/"), Path("a/archive.zip"),
                 operation);
    PrepareChanges();
    const QByteArray before = TestUtil::ReadFile(Path("a/archive.zip"));
    QCOMPARE(Run({"sync", Path("a/work/p.qrz"), "--apply", "--mode", mode, "--yes"}), 0);
    QVERIFY(m_out.contains("File : "));
    QVERIFY(UnzipAccepts(Path("a/archive.zip")));
    // A new archive starts empty, so nothing comes out of it onto the disk.
    QCOMPARE(QFileInfo::exists(Path("a/work/files/gone.txt")), mode != "newzip");
    if (mode == "newzip") {
        // Only the copies into the archive went into a new dated archive.
        QCOMPARE(TestUtil::ReadFile(Path("a/archive.zip")), before);
        const QStringList dated = QDir(Path("a")).entryList({"archive *.zip"});
        QCOMPARE(dated.size(), 1);
        QVERIFY(UnzipAccepts(Path("a/") + dated.first()));
        QCOMPARE(EntryNames(Path("a/") + dated.first()),
                 QStringList({"files\\change.txt", "files\\new.txt"}));
        // A replace run then brings the folder and the archive in step.
        QCOMPARE(Run({"sync", Path("a/work/p.qrz"), "--apply", "--mode", "replace", "--yes"}), 0);
        TestUtil::SetModified(Path("a/work/p.qrz"), Time(1)); // the mode change saved it
        QVERIFY(UnzipAccepts(Path("a/archive.zip")));
    }
    QCOMPARE(EntryNames(Path("a/archive.zip")), entries);
    QCOMPARE(TestUtil::ReadFile(Path("a/work/files/entry.txt")), QByteArray("entry v2"));
    QCOMPARE(PlanSymbols(), QStringList({"Files are synchronized!"}));
}

void CliSyncTest::questionsNeedAnAnswer()
{
    PrepareChanges();
    QCOMPARE(Run({"sync", Path("a/work/p.qrz"), "--apply"}), 1);
    QVERIFY2(m_err.contains("--yes"), m_err.constData());
    // The run ended at the question: the archive file is untouched by it.
    QCOMPARE(PlanSymbols().size(), 4);
}

void CliSyncTest::noKeepsFilesAndOnlyFilters()
{
    PrepareChanges();
    QCOMPARE(Run({"sync", Path("a/work/p.qrz"), "--apply", "--only", "<=", "--no"}), 0);
    QCOMPARE(TestUtil::ReadFile(Path("a/work/files/entry.txt")), QByteArray("entry v1"));
    QCOMPARE(Run({"sync", Path("a/work/p.qrz"), "--apply", "--only", "=>", "--only", "=>!"}), 0);
    QCOMPARE(PlanSymbols(), QStringList({"!<= files/gone.txt", "<= files/entry.txt"}));
}

void CliSyncTest::modeChangeIsSavedInTheProject()
{
    PrepareChanges();
    QCOMPARE(Run({"sync", Path("a/work/p.qrz"), "--apply", "--mode", "add", "--yes"}), 0);
    QVERIFY(TestUtil::ReadFile(Path("a/work/p.qrz")).contains("ZipOperation=1"));
}

void CliSyncTest::twoComputersShareOneArchive()
{
    PrepareChanges();
    QCOMPARE(Run({"sync", Path("a/work/p.qrz"), "--apply", "--yes"}), 0);
    // Computer B: the project names A's folders, which B lacks, and B's own
    // folder in its computer section; the archive lies in that folder. B got
    // the project file with the archive, so it carries the entry's time.
    QVERIFY(QFile::copy(Path("a/archive.zip"), Path("b/work/archive.zip")) ||
            (QDir().mkpath(Path("b/work")) &&
             QFile::copy(Path("a/archive.zip"), Path("b/work/archive.zip"))));
    WriteProject("b/work/p.qrz", Path("b/work/"), "C:\\Users\\A\\Work\\",
                 "C:\\Users\\A\\archive.zip", 0);
    QCOMPARE(Run({"sync", Path("b/work/p.qrz"), "--apply", "--yes"}), 0);
    QCOMPARE(TestUtil::ReadFile(Path("b/work/files/entry.txt")), QByteArray("entry v2"));
    QCOMPARE(QFileInfo(Path("b/work/files/change.txt")).lastModified(), Time(5));
    QCOMPARE(Run({"sync", Path("b/work/p.qrz")}), 0);
    QCOMPARE(m_out.trimmed(), QByteArray("Files are synchronized!"));

    WriteAt("b/work/files/keep.txt", "keep from B", Time(30));
    QCOMPARE(Run({"sync", Path("b/work/p.qrz"), "--apply", "--yes"}), 0);
    QVERIFY(UnzipAccepts(Path("b/work/archive.zip")));
    QCOMPARE(Run({"sync", Path("a/work/p.qrz"), "--archive", Path("b/work/archive.zip"), "--apply",
                  "--yes"}),
             0);
    QCOMPARE(TestUtil::ReadFile(Path("a/work/files/keep.txt")), QByteArray("keep from B"));
}

void CliSyncTest::extractPurgeAndDelete()
{
    PrepareChanges();
    QCOMPARE(Run({"sync", Path("a/work/p.qrz"), "--apply", "--mode", "add", "--yes"}), 0);
    const QString archive = Path("a/archive.zip");
    QCOMPARE(Run({"extract", archive, "files", "p.qrz", "--to", Path("out")}), 0);
    QCOMPARE(TestUtil::ReadFile(Path("out/files/change.txt")), QByteArray("change v2"));
    QVERIFY(!QFileInfo::exists(Path("out/files/change.txt.V001")));
    QVERIFY(QFileInfo::exists(Path("out/p.qrz")));
    QCOMPARE(Run({"extract", archive, "files/keep.txt", "--to", Path("out")}), 1);
    QVERIFY2(m_err.contains("--yes"), m_err.constData());
    QCOMPARE(Run({"extract", archive, "missing.txt", "--to", Path("out")}), 1);

    QCOMPARE(Run({"purge-versions", archive}), 0);
    QCOMPARE(m_out.trimmed(), QByteArray("1 files were deleted in ZipFile"));
    QVERIFY(!EntryNames(archive).contains("files\\change.txt.V001"));
    QCOMPARE(Run({"delete", archive, "files"}), 0);
    QCOMPARE(EntryNames(archive), QStringList({"p.qrz"}));
    QVERIFY(QFileInfo::exists(Path("a/work/files/keep.txt")));
    QVERIFY(UnzipAccepts(archive));
}

void CliSyncTest::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no project") << QStringList{"sync"};
    QTest::newRow("bad mode") << QStringList{"sync", "p.qrz", "--mode", "move"};
    QTest::newRow("bad symbol") << QStringList{"sync", "p.qrz", "--only", "<>"};
    QTest::newRow("yes and no") << QStringList{"sync", "p.qrz", "--yes", "--no"};
    QTest::newRow("extract without --to") << QStringList{"extract", "a.zip", "x"};
    QTest::newRow("delete without entry") << QStringList{"delete", "a.zip"};
}

void CliSyncTest::usageErrors()
{
    QFETCH(QStringList, arguments);
    QCOMPARE(Run(arguments), 2);
}

int CliSyncTest::RunAs(const QByteArray& name, const QByteArray& zone, const QStringList& arguments)
{
    qputenv("QORZIP_COMPUTER_NAME", name);
    qputenv("TZ", zone);
    m_out.clear();
    m_err.clear();
    const int code =
        TestUtil::Run(TestUtil::QorZipExecutable(), arguments, &m_out, &m_err, m_dir->path());
    qunsetenv("QORZIP_COMPUTER_NAME");
    qunsetenv("TZ");
    return code;
}

// The plan's rows as "symbol name" (file name, else entry name, with '/').
QStringList CliSyncTest::PlanOf(const QString& output)
{
    QStringList rows;
    for (const QByteArray& line : output.toLocal8Bit().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 7)
            rows.append(QString::fromLocal8Bit(fields[0] + ' ' +
                                               (fields[1].isEmpty() ? fields[4] : fields[1]))
                            .replace('\\', '/'));
        else if (!line.isEmpty())
            rows.append(QString::fromLocal8Bit(line));
    }
    rows.sort();
    return rows;
}

// Computer A in Berlin and computer B in New York share one archive. B's
// folder is given with a relative --rel-dir and remembered in B's section;
// restored files get their true times, so neither side lists false rows,
// and a fresh edit on either side is proposed "=>".
void CliSyncTest::twoComputersInTwoTimeZones()
{
    const QByteArray berlin(":Europe/Berlin"), newYork(":America/New_York");
    const QString archive = Path("shared/archive.zip");
    QDir().mkpath(Path("shared"));
    QDir().mkpath(Path("b/work"));
    WriteAt("a/work/p.qrz",
            QStringLiteral("[COMPA]\nRelDir=%1\n[Files]\nRelDir=%1\nLastZipFile=%2\n"
                           "[SyncList]\nZipOperation=0\n[FTP]\nPassword=secret-a\n"
                           "[ZipCommands]\nRow[0]=Directory,Filter\nRow[1]=files\\,*.txt\n")
                .arg(Path("a/work/"), archive)
                .toLocal8Bit(),
            Time(1));
    const QString a = Path("a/work/p.qrz"), b = Path("b/work/p.qrz");
    QCOMPARE(RunAs("COMPA", berlin, {"zip", a}), 0);
    QVERIFY(UnzipAccepts(archive));
    QVERIFY(!TestUtil::ReadFile(archive).contains("secret-a"));
    QCOMPARE(RunAs("COMPA", berlin, {"sync", a}), 0);
    QCOMPARE(m_out.trimmed(), QByteArray("Files are synchronized!"));

    // B: A's folder does not exist there.
    QVERIFY(QDir().rename(Path("a"), Path("a-away")));
    QCOMPARE(RunAs("COMPB", newYork, {"extract", archive, "p.qrz", "--to", "b/work"}), 0);
    QCOMPARE(RunAs("COMPB", newYork, {"sync", b, "--archive", archive}), 1);
    QVERIFY2(m_err.contains("--rel-dir"), m_err.constData());
    QTest::qSleep(2100); // so that remembering the folder makes the project newer than its entry
    QCOMPARE(RunAs("COMPB", newYork, {"sync", b, "--archive", archive, "--rel-dir", "b/work"}), 0);
    QCOMPARE(TMemIniFile(b).ReadString("COMPB", "RelDir", {}), Path("b/work/"));
    QCOMPARE(PlanOf(QString::fromLocal8Bit(m_out)),
             QStringList({"!<= files/change.txt", "!<= files/entry.txt", "!<= files/gone.txt",
                          "!<= files/keep.txt", "=> p.qrz"}));
    QCOMPARE(RunAs("COMPB", newYork, {"sync", b, "--archive", archive, "--apply", "--yes"}), 0);
    QVERIFY(UnzipAccepts(archive));
    QCOMPARE(QFileInfo(Path("b/work/files/keep.txt")).lastModified(), Time(1));
    QCOMPARE(RunAs("COMPB", newYork, {"sync", b, "--archive", archive}), 0);
    QCOMPARE(m_out.trimmed(), QByteArray("Files are synchronized!"));
    WriteAt("b/work/files/keep.txt", "keep from B", QDateTime::currentDateTime());
    QCOMPARE(RunAs("COMPB", newYork, {"sync", b, "--archive", archive}), 0);
    QCOMPARE(PlanOf(QString::fromLocal8Bit(m_out)), QStringList({"=> files/keep.txt"}));
    QCOMPARE(RunAs("COMPB", newYork, {"sync", b, "--archive", archive, "--apply", "--yes"}), 0);
    QVERIFY(UnzipAccepts(archive));

    // Back on A (where B's folder does not exist): B's edit and B's project
    // copy come back; A keeps its section and password.
    QVERIFY(QDir().rename(Path("a-away"), Path("a")));
    QVERIFY(QDir().rename(Path("b"), Path("b-away")));
    QCOMPARE(RunAs("COMPA", berlin, {"sync", a}), 0);
    QCOMPARE(PlanOf(QString::fromLocal8Bit(m_out)), QStringList({"<= files/keep.txt", "<= p.qrz"}));
    QCOMPARE(RunAs("COMPA", berlin, {"sync", a, "--apply", "--yes"}), 0);
    QVERIFY(UnzipAccepts(archive));
    QCOMPARE(TestUtil::ReadFile(Path("a/work/files/keep.txt")), QByteArray("keep from B"));
    const TMemIniFile project(a);
    QCOMPARE(project.ReadString("COMPA", "RelDir", {}), Path("a/work/"));
    QCOMPARE(project.ReadString("COMPB", "RelDir", {}), Path("b/work/"));
    QCOMPARE(project.ReadString("FTP", "Password", {}), QStringLiteral("secret-a"));
    QCOMPARE(RunAs("COMPA", berlin, {"sync", a}), 0);
    QCOMPARE(m_out.trimmed(), QByteArray("Files are synchronized!"));
    WriteAt("a/work/files/change.txt", "change on A", QDateTime::currentDateTime());
    QCOMPARE(RunAs("COMPA", berlin, {"sync", a}), 0);
    QCOMPARE(PlanOf(QString::fromLocal8Bit(m_out)), QStringList({"=> files/change.txt"}));
}

// Where names keep their case, a.txt and A.txt travel as two files.
void CliSyncTest::namesDifferingInCaseOnly()
{
    if (!PathRules::CaseSensitiveNames())
        QSKIP("file names here do not keep their case");
    WriteAt("a/work/files/a.txt", "small a", Time(1));
    WriteAt("a/work/files/A.txt", "capital A", Time(1));
    const QString a = Path("a/work/p.qrz");
    QCOMPARE(Run({"zip", a}), 0);
    QVERIFY(UnzipAccepts(Path("a/archive.zip")));
    QCOMPARE(Run({"sync", a}), 0);
    QCOMPARE(m_out.trimmed(), QByteArray("Files are synchronized!"));
    WriteAt("a/work/files/A.txt", "capital A v2", Time(9));
    QCOMPARE(Run({"sync", a}), 0);
    QCOMPARE(PlanOf(QString::fromLocal8Bit(m_out)), QStringList({"=> files/A.txt"}));
    QCOMPARE(Run({"sync", a, "--apply", "--yes"}), 0);
    QVERIFY(UnzipAccepts(Path("a/archive.zip")));
    QFile::remove(Path("a/work/files/a.txt"));
    QFile::remove(Path("a/work/files/A.txt"));
    QCOMPARE(Run({"sync", a, "--apply", "--yes"}), 0);
    QCOMPARE(TestUtil::ReadFile(Path("a/work/files/a.txt")), QByteArray("small a"));
    QCOMPARE(TestUtil::ReadFile(Path("a/work/files/A.txt")), QByteArray("capital A v2"));
    QCOMPARE(Run({"sync", a}), 0);
    QCOMPARE(m_out.trimmed(), QByteArray("Files are synchronized!"));
}

// An archive of Info-ZIP's "zip -r" ('/' names, folder entries) restored onto
// an empty folder, changed there and synced back.
void CliSyncTest::archiveOfZipRestoredOntoEmptyFolder()
{
    if (!TestUtil::HaveTool("zip") || !TestUtil::HaveTool("unzip"))
        QSKIP("zip and unzip are needed");
    WriteAt("src/proj/docs/a.txt", "a", Time(1));
    WriteAt("src/proj/b.txt", "b", Time(2));
    QDir().mkpath(Path("src/proj/empty"));
    QCOMPARE(TestUtil::Run("zip", {"-qr", Path("z.zip"), "proj"}, nullptr, nullptr, Path("src")),
             0);
    QDir().mkpath(Path("c"));
    WriteAt("c/p.qrz",
            QStringLiteral("[Files]\nRelDir=%1\nLastZipFile=%2\n[SyncList]\nZipOperation=0\n"
                           "[ZipCommands]\nRow[0]=Directory,Filter\nRow[1]=proj\\,*.txt\n")
                .arg(Path("c/"), Path("z.zip"))
                .toLocal8Bit(),
            Time(1));
    QCOMPARE(Run({"sync", Path("c/p.qrz"), "--apply", "--yes"}), 0);
    QVERIFY(UnzipAccepts(Path("z.zip")));
    QCOMPARE(TestUtil::ReadFile(Path("c/proj/docs/a.txt")), QByteArray("a"));
    QVERIFY(QFileInfo(Path("c/proj/empty")).isDir());
    QCOMPARE(QFileInfo(Path("c/proj/b.txt")).lastModified(), Time(2));
    QCOMPARE(Run({"sync", Path("c/p.qrz")}), 0);
    QCOMPARE(m_out.trimmed(), QByteArray("Files are synchronized!"));
    WriteAt("c/proj/b.txt", "b changed", Time(30));
    QCOMPARE(Run({"sync", Path("c/p.qrz")}), 0);
    QCOMPARE(PlanOf(QString::fromLocal8Bit(m_out)), QStringList({"=> proj/b.txt"}));
    QCOMPARE(Run({"sync", Path("c/p.qrz"), "--apply", "--yes"}), 0);
    QVERIFY(UnzipAccepts(Path("z.zip")));
    QCOMPARE(TestUtil::Run("unzip", {"-o", "-q", Path("z.zip"), "-d", Path("out")}), 0);
    QCOMPARE(TestUtil::ReadFile(Path("out/proj/b.txt")), QByteArray("b changed"));
    QCOMPARE(QFileInfo(Path("out/proj/b.txt")).lastModified(), Time(30));
    QCOMPARE(Run({"sync", Path("c/p.qrz")}), 0);
    QCOMPARE(m_out.trimmed(), QByteArray("Files are synchronized!"));
}

QZ_REGISTER_TEST(CliSyncTest);
#include "CliSyncTest.moc"
