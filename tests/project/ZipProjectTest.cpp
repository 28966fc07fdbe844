#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "Exception.h"
#include "FakeUserInterface.h"
#include "MemIniFile.h"
#include "PathRules.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipProject.h"

namespace {
QString Dir(const QString& path)
{
    return PathRules::WithTrailingSeparator(QDir::toNativeSeparators(path));
}
} // namespace

class ZipProjectTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void roundTripKeepsEveryField();
    void savingWritesHeaderAndDeletesStaleRows();
    void loadingStopsAtFirstMissingRow();
    void rowText_data();
    void rowText();
    void relativeRowsAreStoredWithBackslashes();
    void missingFileLeavesProjectAlone();
    void otherComputerUsesItsOwnFolderSilently();
    void missingRelDirAsksForOne_data();
    void missingRelDirAsksForOne();
    void garbageLoadsWhatItCan_data();
    void garbageLoadsWhatItCan();
    void ftpSectionSurvivesAndPasswordIsPrivate();
    void unchangedSaveKeepsTheFile();
    void failedSaveNamesTheFileAndKeepsTheOld();
    void newProjectDefaultsReplaceRows();
    void relDirIsCleanFromEverySource_data();
    void relDirIsCleanFromEverySource();

private:
    QString Path(const QString& name) const { return m_dir->filePath(name); }
    void WriteIni(const QString& name, const QString& text) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeUserInterface m_ui;
};

void ZipProjectTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_ui = FakeUserInterface();
}

void ZipProjectTest::WriteIni(const QString& name, const QString& text) const
{
    TestUtil::WriteFile(Path(name), text.toLocal8Bit());
}

void ZipProjectTest::roundTripKeepsEveryField()
{
    TZipProject saved(m_ui);
    saved.SetRelDir(Dir(m_dir->path()));
    saved.SetRootDir(QStringLiteral("/root dir"));
    saved.SetLoadLastFile(QStringLiteral("/x/*.*"));
    saved.SetLastZipFile(QStringLiteral("/archives/My Backup.zip"));
    saved.SetZipOperation(2);
    saved.SetFilterText(QStringLiteral("*.doc; *.txt"));
    saved.SetFilterList({QStringLiteral("*.pas"), QStringLiteral("say \"hi\"")});
    saved.SetCommands(
        {{QStringLiteral("src") + PathRules::NativeSeparator(), QStringLiteral("*.cpp;*.h")},
         {QStringLiteral("My Files"), QStringLiteral("it's, odd")},
         {QStringLiteral("/abs/file.txt"), QStringLiteral(" ")}});
    QVERIFY(saved.SaveProject(Path("p.qrz")));

    TZipProject loaded(m_ui);
    QVERIFY(loaded.LoadProject(Path("p.qrz")));
    QCOMPARE(loaded.RelDir(), saved.RelDir());
    QCOMPARE(loaded.RootDir(), saved.RootDir());
    QCOMPARE(loaded.LoadLastFile(), saved.LoadLastFile());
    QCOMPARE(loaded.LastZipFile(), saved.LastZipFile());
    QCOMPARE(loaded.ZipOperation(), 2);
    QCOMPARE(loaded.FilterText(), saved.FilterText());
    QCOMPARE(loaded.FilterList(), saved.FilterList());
    QCOMPARE(loaded.Commands(), saved.Commands());
    QVERIFY(m_ui.Messages.isEmpty());
}

void ZipProjectTest::savingWritesHeaderAndDeletesStaleRows()
{
    QString text = QStringLiteral("[ZipCommands]\n");
    for (int i = 0; i <= 101; ++i)
        text += QStringLiteral("Row[%1]=old%1,*\n").arg(i);
    WriteIni(QStringLiteral("p.qrz"), text);
    TZipProject project(m_ui);
    project.SetRelDir(Dir(m_dir->path()));
    project.SetCommands({{QStringLiteral("a"), QStringLiteral("*.a")},
                         {QStringLiteral("b"), QStringLiteral("*.b")}});
    project.SaveProject(Path("p.qrz"));

    const TMemIniFile ini(Path("p.qrz"));
    const QString rows = QStringLiteral("ZipCommands");
    QCOMPARE(ini.ReadString(rows, QStringLiteral("Row[0]"), {}),
             QStringLiteral("Directory,Filter"));
    QCOMPARE(ini.ReadString(rows, QStringLiteral("Row[2]"), {}), QStringLiteral("b,*.b"));
    QVERIFY(!ini.ValueExists(rows, QStringLiteral("Row[3]")));
    QVERIFY(!ini.ValueExists(rows, QStringLiteral("Row[100]")));
    // Beyond the cleared range an old key survives, and is never read again.
    QVERIFY(ini.ValueExists(rows, QStringLiteral("Row[101]")));
    TZipProject loaded(m_ui);
    loaded.LoadProject(Path("p.qrz"));
    QCOMPARE(loaded.Commands().size(), 2);
}

void ZipProjectTest::loadingStopsAtFirstMissingRow()
{
    WriteIni(QStringLiteral("p.qrz"), QStringLiteral("[Files]\nRelDir=%1\n[ZipCommands]\n"
                                                     "Row[0]=Directory,Filter\nRow[1]=one,*\n"
                                                     "Row[3]=three,*\n")
                                          .arg(Dir(m_dir->path())));
    TZipProject project(m_ui);
    QVERIFY(project.LoadProject(Path("p.qrz")));
    QCOMPARE(project.Commands(),
             (QList<TZipCommand>{{QStringLiteral("one"), QStringLiteral("*")}}));
}

void ZipProjectTest::rowText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("storedAgain");
    QTest::newRow("bare") << "docs\\,*.txt"
                          << "docs/"
                          << "*.txt"
                          << "docs\\,*.txt";
    QTest::newRow("quoted blank") << "'My Files',*.doc;*.txt"
                                  << "My Files"
                                  << "*.doc;*.txt"
                                  << "'My Files',*.doc;*.txt";
    QTest::newRow("empty filter reads as blank") << "src\\,"
                                                 << "src/"
                                                 << " "
                                                 << "src\\,' '";
    QTest::newRow("apostrophe doubled") << "'it''s',*"
                                        << "it's"
                                        << "*"
                                        << "'it''s',*";
    QTest::newRow("unquoted blank ends the item") << "a b,c"
                                                  << "a"
                                                  << "b"
                                                  << "a,b";
    QTest::newRow("directory only") << "lonely"
                                    << "lonely"
                                    << ""
                                    << "lonely,";
}

void ZipProjectTest::rowText()
{
    QFETCH(QString, stored);
    QFETCH(QString, directory);
    QFETCH(QString, filter);
    QFETCH(QString, storedAgain);
    WriteIni(
        QStringLiteral("p.qrz"),
        QStringLiteral("[Files]\nRelDir=%1\n[ZipCommands]\nRow[0]=Directory,Filter\nRow[1]=%2\n")
            .arg(Dir(m_dir->path()), stored));
    TZipProject project(m_ui);
    project.LoadProject(Path("p.qrz"));
    QCOMPARE(project.Commands().size(), 1);
    QCOMPARE(project.Commands()[0].Directory, QDir::toNativeSeparators(directory));
    QCOMPARE(project.Commands()[0].Filter, filter);
    project.SaveProject(Path("p.qrz"));
    QCOMPARE(TMemIniFile(Path("p.qrz"))
                 .ReadString(QStringLiteral("ZipCommands"), QStringLiteral("Row[1]"), {}),
             storedAgain);
}

void ZipProjectTest::relativeRowsAreStoredWithBackslashes()
{
    TZipProject project(m_ui);
    const QString absolute = Dir(m_dir->path()) + QStringLiteral("abs");
    project.SetCommands(
        {{QDir::toNativeSeparators(QStringLiteral("sub/dir/")), QStringLiteral("*")},
         {absolute, QStringLiteral("*")}});
    project.SaveProject(Path("p.qrz"));
    const TMemIniFile ini(Path("p.qrz"));
    QCOMPARE(ini.ReadString(QStringLiteral("ZipCommands"), QStringLiteral("Row[1]"), {}),
             QStringLiteral("sub\\dir\\,*"));
    QCOMPARE(ini.ReadString(QStringLiteral("ZipCommands"), QStringLiteral("Row[2]"), {}),
             absolute + QStringLiteral(",*"));
}

void ZipProjectTest::missingFileLeavesProjectAlone()
{
    TZipProject project(m_ui);
    project.SetLastZipFile(QStringLiteral("/keep.zip"));
    const QList<TZipCommand> rows = project.Commands();
    QVERIFY(!project.LoadProject(Path("none.qrz")));
    QCOMPARE(
        m_ui.Messages,
        QStringList{
            QStringLiteral("Sorry File:\r\n\r\n%1\r\ndoes not exists.").arg(Path("none.qrz"))});
    QCOMPARE(project.LastZipFile(), QStringLiteral("/keep.zip"));
    QCOMPARE(project.Commands(), rows);
}

// A project saved on computer A, whose folder does not exist here, and that
// holds this computer's own folder in its section.
void ZipProjectTest::otherComputerUsesItsOwnFolderSilently()
{
    const QString here = Dir(m_dir->path() + QStringLiteral("/here"));
    QDir().mkpath(here);
    WriteIni(QStringLiteral("p.qrz"),
             QStringLiteral("[COMPUTER-A]\nRelDir=/nowhere/on/a/\n[%1]\nRelDir=%2\n"
                            "[Files]\nRelDir=/nowhere/on/a/\n")
                 .arg(PathRules::ComputerName(), here));
    TZipProject project(m_ui);
    QVERIFY(project.LoadProject(Path("p.qrz")));
    QCOMPARE(project.RelDir(), here);
    QCOMPARE(project.MachineRelDir(), here);
    QVERIFY(m_ui.Messages.isEmpty());
    QVERIFY(m_ui.Questions.isEmpty());
}

void ZipProjectTest::missingRelDirAsksForOne_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("chosen") << true;
    QTest::newRow("cancelled keeps the missing folder") << false;
}

void ZipProjectTest::missingRelDirAsksForOne()
{
    QFETCH(bool, accept);
    WriteIni(QStringLiteral("p.qrz"), QStringLiteral("[Files]\nRelDir=/nowhere/at/all/\n"));
    m_ui.AnswerFile(accept ? m_dir->path() : QString());
    TZipProject project(m_ui);
    QVERIFY(project.LoadProject(Path("p.qrz")));
    QCOMPARE(m_ui.Messages.size(), 1);
    QCOMPARE(m_ui.Messages[0],
             QStringLiteral("Rel Dir :\r\n\"/nowhere/at/all/\"\r\ndoes not exists on this computer "
                            "\"%1\"\r\nPlease set it manually")
                 .arg(PathRules::ComputerName()));
    QCOMPARE(m_ui.Asked(QStringLiteral("Directory")), 1);
    QCOMPARE(m_ui.Questions[0].Text, QStringLiteral("Set Rel Dir to :"));
    QCOMPARE(project.RelDir(), accept ? Dir(m_dir->path()) : QStringLiteral("/nowhere/at/all/"));
}

void ZipProjectTest::garbageLoadsWhatItCan_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("lastZip");
    QTest::newRow("unreadable operation") << "[SyncList]\nZipOperation=abc\n" << 1 << "";
    QTest::newRow("operation out of range") << "[SyncList]\nZipOperation=7\n" << 1 << "";
    QTest::newRow("valid operation") << "[SyncList]\nZipOperation=0\n" << 0 << "";
    QTest::newRow("garbage lines") << "junk\n=\nno equals sign\nLastZipFile=/b.zip\n"
                                   << 1 << "/b.zip";
    QTest::newRow("empty file") << "" << 1 << "";
}

void ZipProjectTest::garbageLoadsWhatItCan()
{
    QFETCH(QString, text);
    QFETCH(int, operation);
    QFETCH(QString, lastZip);
    WriteIni(QStringLiteral("p.qrz"),
             QStringLiteral("[Files]\nRelDir=%1\n").arg(Dir(m_dir->path())) + text);
    TZipProject project(m_ui);
    QVERIFY(project.LoadProject(Path("p.qrz")));
    QCOMPARE(project.ZipOperation(), operation);
    QCOMPARE(project.LastZipFile(), lastZip);
}

void ZipProjectTest::ftpSectionSurvivesAndPasswordIsPrivate()
{
    WriteIni(QStringLiteral("p.qrz"), QStringLiteral("[FTP]\nHostname=example\nPassword=secret\n"));
    QFile::setPermissions(Path("p.qrz"), QFileDevice::Permissions(0x6644));
    TZipProject project(m_ui);
    project.SetLastZipFile(QStringLiteral("/new.zip"));
    project.SaveProject(Path("p.qrz"));
    const TMemIniFile ini(Path("p.qrz"));
    QCOMPARE(ini.ReadString(QStringLiteral("FTP"), QStringLiteral("Hostname"), {}),
             QStringLiteral("example"));
    QCOMPARE(ini.ReadString(QStringLiteral("FTP"), QStringLiteral("Password"), {}),
             QStringLiteral("secret"));
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    QCOMPARE(QFileInfo(Path("p.qrz")).permissions() & others, QFileDevice::Permissions());
}

void ZipProjectTest::unchangedSaveKeepsTheFile()
{
    TZipProject project(m_ui);
    project.SaveProject(Path("p.qrz"));
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    TestUtil::SetModified(Path("p.qrz"), old);
    project.SaveProject(Path("p.qrz"));
    QCOMPARE(QFileInfo(Path("p.qrz")).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
    project.SetZipOperation(0);
    project.SaveProject(Path("p.qrz"));
    QVERIFY(QFileInfo(Path("p.qrz")).lastModified() > old);
}

void ZipProjectTest::failedSaveNamesTheFileAndKeepsTheOld()
{
    TestUtil::WriteFile(Path("blocker"), "a file where a folder should be");
    TZipProject project(m_ui);
    const QString target = Path("blocker/p.qrz");
    try {
        project.SaveProject(target);
        QFAIL("saving into a file as folder succeeded");
    } catch (const Exception& error) {
        QVERIFY2(error.Message().contains(target), qPrintable(error.Message()));
    }
    QCOMPARE(TestUtil::ReadFile(Path("blocker")), QByteArray("a file where a folder should be"));
}

void ZipProjectTest::newProjectDefaultsReplaceRows()
{
    TZipProject project(m_ui);
    project.SetCommands({{QStringLiteral("only"), QStringLiteral("*")}});
    project.NewProjectDefaults();
    QString documents = PathRules::DocumentsFolder();
    documents.chop(1);
    QCOMPARE(project.Commands(),
             (QList<TZipCommand>{{documents, QStringLiteral("*.doc;*.xsl;*.pps;*.txt")},
                                 {documents, QStringLiteral("*.pas;*.dfm;*.dpr")},
                                 {documents, QStringLiteral("*.cpp;*.hpp;")}}));
}

// RelDir is absolute, clean and ends with the separator, whether it comes
// from the project's keys or the answer to "Set Rel Dir to :" (which is how
// --rel-dir arrives; a relative one counts from the current directory).
// MachineRelDir has no default: without this computer's section a missing
// folder is asked for, whether or not a documents folder exists.
void ZipProjectTest::relDirIsCleanFromEverySource_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no trailing slash") << "%1/work"
                                       << ""
                                       << "%1/work/";
    QTest::newRow("dots and doubled slashes") << "%1//work/./x/../"
                                              << ""
                                              << "%1/work/";
    QTest::newRow("answer without slash") << "/nowhere"
                                          << "%1/work"
                                          << "%1/work/";
    QTest::newRow("relative answer") << "/nowhere"
                                     << "work"
                                     << "%1/work/";
}

void ZipProjectTest::relDirIsCleanFromEverySource()
{
    QFETCH(QString, stored);
    QFETCH(QString, answer);
    QFETCH(QString, expected);
    QDir().mkpath(Path("work/x"));
    const QString root = m_dir->path();
    WriteIni(QStringLiteral("p.qrz"), QStringLiteral("[Files]\nRelDir=%1\n").arg(stored.arg(root)));
    if (!answer.isEmpty())
        m_ui.AnswerFile(answer.arg(root));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(root);
    TZipProject project(m_ui);
    const bool loaded = project.LoadProject(Path("p.qrz"));
    QDir::setCurrent(previous);
    QVERIFY(loaded);
    QCOMPARE(project.RelDir(), QDir::toNativeSeparators(expected.arg(root)));
    QCOMPARE(m_ui.Asked(QStringLiteral("Directory")), answer.isEmpty() ? 0 : 1);
    QCOMPARE(project.RelDirChosen(), !answer.isEmpty());
    QCOMPARE(project.MachineRelDir(), answer.isEmpty() ? QString() : project.RelDir());
}

QZ_REGISTER_TEST(ZipProjectTest);
#include "ZipProjectTest.moc"
