#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "AppSettings.h"
#include "FakeUserInterface.h"
#include "MemIniFile.h"
#include "PathRules.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipProject.h"

class AppSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void recentItemMovesToTheTop_data();
    void recentItemMovesToTheTop();
    void openingShiftsTheList();
    void currentProjectChangesNothing();
    void missingRecentFileDoesNothing();
    void readingKeepsDefaultsAndDoesNotWrite();
    void writingSavesSettingsAndProject();
    void fullFilterRoundTrips();
    void captionsBeforeAndAfterReading();

private:
    QString Path(const QString& name) const { return m_dir->filePath(name); }
    // A project file named `name` whose archive is `name`.zip.
    QString MakeProject(const QString& name) const;
    void SetRecent(TAppSettings& settings, const QStringList& files) const;
    QStringList Recent(const TAppSettings& settings) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeUserInterface m_ui;
};

void AppSettingsTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_ui = FakeUserInterface();
}

QString AppSettingsTest::MakeProject(const QString& name) const
{
    const QString path = Path(name);
    TestUtil::WriteFile(path, QStringLiteral("[Files]\nRelDir=%1\nLastZipFile=%2.zip\n")
                                  .arg(PathRules::WithTrailingSeparator(m_dir->path()), name)
                                  .toLocal8Bit());
    return path;
}

void AppSettingsTest::SetRecent(TAppSettings& settings, const QStringList& files) const
{
    for (int k = 1; k <= 3; ++k)
        settings.SetConfigFile(k, files.value(k - 1));
}

QStringList AppSettingsTest::Recent(const TAppSettings& settings) const
{
    return {settings.ConfigFile(1), settings.ConfigFile(2), settings.ConfigFile(3)};
}

void AppSettingsTest::recentItemMovesToTheTop_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("expected");
    QTest::newRow("third") << 3 << "C,A,B";
    QTest::newRow("second") << 2 << "B,A,C";
    QTest::newRow("first, not current") << 1 << "A,B,C";
}

void AppSettingsTest::recentItemMovesToTheTop()
{
    QFETCH(int, k);
    QFETCH(QString, expected);
    TZipProject project(m_ui);
    project.SetCFGFileName(MakeProject(QStringLiteral("current.qrz")));
    TAppSettings settings(project, Path("QorZip.ini"));
    SetRecent(settings, {MakeProject("A"), MakeProject("B"), MakeProject("C")});
    QVERIFY(settings.LoadLast(k));
    QStringList names;
    for (const QString& file : Recent(settings))
        names.append(QFileInfo(file).fileName());
    QCOMPARE(names.join(QLatin1Char(',')), expected);
    QCOMPARE(project.CFGFileName(), Path(expected.left(1)));
    QCOMPARE(project.LastZipFile(), expected.left(1) + QStringLiteral(".zip"));
    QVERIFY(QFileInfo::exists(Path("QorZip.ini")));
}

void AppSettingsTest::openingShiftsTheList()
{
    TZipProject project(m_ui);
    TAppSettings settings(project, Path("QorZip.ini"));
    const QString a = MakeProject("A");
    SetRecent(settings, {a, MakeProject("B"), MakeProject("C")});
    const QString d = MakeProject("D");
    QVERIFY(settings.OpenProject(d));
    QCOMPARE(Recent(settings), (QStringList{d, a, Path("B")}));
    QVERIFY(settings.OpenProject(a));
    QCOMPARE(Recent(settings), (QStringList{a, d, a}));
    QCOMPARE(project.CFGFileName(), a);
}

void AppSettingsTest::currentProjectChangesNothing()
{
    TZipProject project(m_ui);
    TAppSettings settings(project, Path("QorZip.ini"));
    const QString a = MakeProject("A");
    SetRecent(settings, {MakeProject("B"), a, MakeProject("C")});
    project.SetCFGFileName(a);
    QVERIFY(!settings.OpenProject(a));
    QVERIFY(!settings.LoadLast(2));
    QCOMPARE(Recent(settings), (QStringList{Path("B"), a, Path("C")}));
    QVERIFY(!QFileInfo::exists(Path("QorZip.ini")));
}

void AppSettingsTest::missingRecentFileDoesNothing()
{
    TZipProject project(m_ui);
    TAppSettings settings(project, Path("QorZip.ini"));
    SetRecent(settings, {MakeProject("A"), Path("gone.qrz"), QString()});
    QVERIFY(!settings.LoadLast(2));
    QVERIFY(!settings.LoadLast(3));
    QCOMPARE(Recent(settings), (QStringList{Path("A"), Path("gone.qrz"), QString()}));
    QVERIFY(m_ui.Messages.isEmpty());
}

void AppSettingsTest::readingKeepsDefaultsAndDoesNotWrite()
{
    const QString project1 = MakeProject("one.qrz");
    TestUtil::WriteFile(Path("QorZip.ini"),
                        QStringLiteral("[qorzip]\nConfigFile=%1\nConfigFile2=/two.qrz\n")
                            .arg(project1)
                            .toLocal8Bit());
    const QByteArray before = TestUtil::ReadFile(Path("QorZip.ini"));
    TZipProject project(m_ui);
    TAppSettings settings(project, Path("QorZip.ini"));
    settings.SetConfigFile(1, QStringLiteral("/kept.qrz"));
    settings.ReadSettings();
    QCOMPARE(project.CFGFileName(), project1);
    QCOMPARE(project.LastZipFile(), QStringLiteral("one.qrz.zip"));
    QCOMPARE(Recent(settings), (QStringList{"/kept.qrz", "/two.qrz", QString()}));
    QCOMPARE(settings.MasterList().CommaText(), TMasterList().CommaText());
    QCOMPARE(TestUtil::ReadFile(Path("QorZip.ini")), before);
}

void AppSettingsTest::writingSavesSettingsAndProject()
{
    TestUtil::WriteFile(Path("QorZip.ini"), "[Other]\nKey=kept\n");
    TZipProject project(m_ui);
    project.SetCFGFileName(Path("p.qrz"));
    TAppSettings settings(project, Path("QorZip.ini"));
    SetRecent(settings, {"/a.qrz", "/b.qrz", "/c.qrz"});
    settings.WriteSettings();
    const TMemIniFile ini(Path("QorZip.ini"));
    QCOMPARE(
        ini.SectionKeys(QStringLiteral("QorZip")),
        (QStringList{"ConfigFile", "ConfigFile1", "ConfigFile2", "ConfigFile3", "FullFilter"}));
    QCOMPARE(ini.ReadString(QStringLiteral("QorZip"), QStringLiteral("ConfigFile"), {}),
             Path("p.qrz"));
    QCOMPARE(ini.ReadString(QStringLiteral("QorZip"), QStringLiteral("ConfigFile3"), {}),
             QStringLiteral("/c.qrz"));
    QCOMPARE(ini.ReadString(QStringLiteral("Other"), QStringLiteral("Key"), {}),
             QStringLiteral("kept"));
    QVERIFY(QFileInfo(Path("p.qrz")).isFile());
}

void AppSettingsTest::fullFilterRoundTrips()
{
    TestUtil::WriteFile(Path("QorZip.ini"), "[QorZip]\nFullFilter=\"My Docs\",*.pas\n");
    TZipProject project(m_ui);
    project.SetCFGFileName(MakeProject("p.qrz"));
    TAppSettings settings(project, Path("QorZip.ini"));
    settings.ReadSettings();
    QCOMPARE(settings.MasterList().Items(), (QStringList{"*.pas", "My Docs"}));
    settings.MasterList().Add(QStringLiteral("*.PAS"));
    settings.WriteSettings();
    QCOMPARE(TMemIniFile(Path("QorZip.ini"))
                 .ReadString(QStringLiteral("QorZip"), QStringLiteral("FullFilter"), {}),
             QStringLiteral("*.pas,\"My Docs\""));
}

void AppSettingsTest::captionsBeforeAndAfterReading()
{
    TZipProject project(m_ui);
    project.SetCFGFileName(MakeProject("p.qrz"));
    TAppSettings settings(project, Path("QorZip.ini"));
    QCOMPARE(settings.RecentCaptions(), (QStringList{"File1", "File 2", "File3"}));
    settings.ReadSettings();
    settings.SetConfigFile(1, QStringLiteral("/home/u/Projects/Web/Main.qrz"));
    QCOMPARE(settings.RecentCaptions(), (QStringList{"/../Projects/Web/Main.qrz", "", ""}));
}

QZ_REGISTER_TEST(AppSettingsTest);
#include "AppSettingsTest.moc"
