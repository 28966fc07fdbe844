#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "MemIniFile.h"
#include "PathRules.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"

class CliProjectTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void filesPrintsOnePathALine();
    void zipWritesArchiveReportAndProject();
    void zipDefaultsToTheProjectsArchive();
    void failures_data();
    void failures();
    void missingRelDirTakesTheOption();

private:
    // A project file made by hand, as in an INI editor.
    void WriteProject(const QString& relDir, const QString& lastZip) const;
    int Run(const QStringList& arguments);
    QStringList EntryNames(const QString& archive) const;

    std::unique_ptr<TestUtil::TempTree> m_dir;
    QByteArray m_out;
    QByteArray m_err;
};

void CliProjectTest::init()
{
    m_dir = std::make_unique<TestUtil::TempTree>();
    m_dir->Write(QStringLiteral("work/src/a.txt"), "alpha\n");
    m_dir->Write(QStringLiteral("work/src/sub/b.txt"), QByteArray("beta\n").repeated(100));
    m_dir->Write(QStringLiteral("work/src/c.doc"), "not selected\n");
    WriteProject(PathRules::WithTrailingSeparator(m_dir->Path("work")), QString());
}

void CliProjectTest::WriteProject(const QString& relDir, const QString& lastZip) const
{
    m_dir->Write(QStringLiteral("work/p.qrz"),
                 QStringLiteral("[Files]\nRelDir=%1\nLastZipFile=%2\n"
                                "[ZipCommands]\nRow[0]=Directory,Filter\n"
                                "Row[1]=src\\,*.txt\n[FTP]\nHostname=h\n")
                     .arg(relDir, lastZip)
                     .toLocal8Bit());
}

int CliProjectTest::Run(const QStringList& arguments)
{
    return TestUtil::Run(TestUtil::QorZipExecutable(), arguments, &m_out, &m_err, m_dir->path());
}

QStringList CliProjectTest::EntryNames(const QString& archive) const
{
    TZipFile zip;
    zip.LoadFromFile(archive);
    QStringList names;
    for (int i = 0; i < zip.Count(); ++i)
        names.append(QString::fromLocal8Bit(zip.GetName(i)));
    return names;
}

void CliProjectTest::filesPrintsOnePathALine()
{
    QCOMPARE(Run({QStringLiteral("files"), QStringLiteral("work/p.qrz")}), 0);
    const QStringList lines =
        QString::fromLocal8Bit(m_out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines, (QStringList{m_dir->Path("work/src/a.txt"), m_dir->Path("work/src/sub/b.txt"),
                                 m_dir->Path("work/p.qrz")}));
}

void CliProjectTest::zipWritesArchiveReportAndProject()
{
    QCOMPARE(Run({QStringLiteral("zip"), QStringLiteral("work/p.qrz"), QStringLiteral("--output"),
                  QStringLiteral("out.zip")}),
             0);
    QCOMPARE(EntryNames(m_dir->Path("out.zip")),
             (QStringList{"src\\a.txt", "src\\sub\\b.txt", "p.qrz"}));
    const QStringList report =
        QString::fromLocal8Bit(m_out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(report.size(), 3);
    QVERIFY2(report[1].startsWith(QStringLiteral("src\\sub\\b.txt  ")), qPrintable(report[1]));
    QVERIFY(report[1].endsWith(QStringLiteral(" 500 ") + report[1].section(QLatin1Char(' '), -2)));
    // Not a terminal: no progress bar.
    QVERIFY2(m_err.isEmpty(), m_err.constData());
    const TMemIniFile project(m_dir->Path("work/p.qrz"));
    QCOMPARE(project.ReadString(QStringLiteral("Files"), QStringLiteral("LastZipFile"), {}),
             m_dir->Path("out.zip"));
    QCOMPARE(project.ReadString(QStringLiteral("FTP"), QStringLiteral("Hostname"), {}),
             QStringLiteral("h"));
    if (TestUtil::HaveTool(QStringLiteral("unzip")))
        QCOMPARE(TestUtil::Run(QStringLiteral("unzip"),
                               {QStringLiteral("-tqq"), m_dir->Path("out.zip")}),
                 0);
}

void CliProjectTest::zipDefaultsToTheProjectsArchive()
{
    WriteProject(PathRules::WithTrailingSeparator(m_dir->Path("work")), m_dir->Path("default.zip"));
    QCOMPARE(Run({QStringLiteral("zip"), QStringLiteral("work/p.qrz")}), 0);
    QCOMPARE(EntryNames(m_dir->Path("default.zip")).size(), 3);
}

void CliProjectTest::failures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing project")
        << QStringList{"zip", "none.qrz", "-o", "x.zip"} << 1 << "does not exists.";
    QTest::newRow("no archive name") << QStringList{"zip", "work/p.qrz"} << 1 << "--output";
    QTest::newRow("no project given") << QStringList{"files"} << 2 << "one project file expected";
    QTest::newRow("bad thread count")
        << QStringList{"zip", "work/p.qrz", "--threads", "0"} << 2 << "--threads";
}

void CliProjectTest::failures()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QCOMPARE(Run(arguments), exitCode);
    QVERIFY2(QString::fromLocal8Bit(m_err).contains(message), m_err.constData());
}

void CliProjectTest::missingRelDirTakesTheOption()
{
    WriteProject(QStringLiteral("/no/such/folder/"), QString());
    QCOMPARE(Run({QStringLiteral("files"), QStringLiteral("work/p.qrz")}), 1);
    QVERIFY2(m_err.contains("--rel-dir"), m_err.constData());
    QCOMPARE(Run({QStringLiteral("files"), QStringLiteral("work/p.qrz"),
                  QStringLiteral("--rel-dir"), m_dir->Path("work")}),
             0);
    QVERIFY(m_out.contains("sub"));
}

QZ_REGISTER_TEST(CliProjectTest);
#include "CliProjectTest.moc"
