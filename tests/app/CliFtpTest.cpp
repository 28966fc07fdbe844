#include <memory>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "../ftp/PyFtpServer.h"
#include "PathRules.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"

// upload, download and ftp-ls of the real executable against a real server:
// one computer uploads its project's archive, a second one downloads it.
class CliFtpTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void uploadThenDownloadOnSecondComputer();
    void downloadOfBrokenArchiveKeepsLocalFile();
    void failureNamesHostAndPort();
    void wrongUsage_data();
    void wrongUsage();

private:
    int Qorzip(const QStringList& arguments, QByteArray* out = nullptr, QByteArray* err = nullptr);
    QString WriteProject(const QString& path, const QString& relDir, const QString& machineDir);

    std::unique_ptr<PyFtpServer> m_server;
    QTemporaryDir m_dir;
};

void CliFtpTest::initTestCase()
{
    m_server = std::make_unique<PyFtpServer>();
    QVERIFY2(m_server->Start(), qPrintable(m_server->Error()));
    QVERIFY(QDir(m_server->Root()).mkpath(QStringLiteral("docs")));
    qputenv("QORZIP_FTP_PASSWORD", PyFtpServer::Password);
}

void CliFtpTest::cleanupTestCase()
{
    qunsetenv("QORZIP_FTP_PASSWORD");
}

int CliFtpTest::Qorzip(const QStringList& arguments, QByteArray* out, QByteArray* err)
{
    return TestUtil::Run(TestUtil::QorZipExecutable(), arguments, out, err);
}

// A project whose archive is RelDir/arch.zip; the password in the file is
// wrong, the one in the environment right.
QString CliFtpTest::WriteProject(const QString& path, const QString& relDir,
                                 const QString& machineDir)
{
    const QString text =
        QStringLiteral("[%1]\nRelDir=%2\n[Files]\nRelDir=%3\nLastZipFile=%3arch.zip\n"
                       "[FTP]\nFile=arch.zip\nHostname=%4\nUsername=%5\n"
                       "Password=wrong\nTargetPath= docs \n")
            .arg(PathRules::ComputerName(), machineDir, relDir,
                 QString::fromLatin1(m_server->HostAndPort()),
                 QString::fromLatin1(PyFtpServer::User));
    TestUtil::WriteFile(path, text.toUtf8());
    return path;
}

void CliFtpTest::uploadThenDownloadOnSecondComputer()
{
    const QString first = m_dir.filePath(QStringLiteral("first/"));
    QVERIFY(QDir().mkpath(first));
    TZipFile zip;
    zip.AddEntry("notes.txt", 0);
    zip.SetData(0, TestUtil::RandomBytes(20000, 9));
    zip.SaveToFile(first + QStringLiteral("arch.zip"));
    const QByteArray archive = TestUtil::ReadFile(first + QStringLiteral("arch.zip"));
    const QString project = WriteProject(first + QStringLiteral("p.qrz"), first, first);
    const QString remote = m_server->Root() + QStringLiteral("/docs/arch.zip");

    QByteArray out;
    QCOMPARE(Qorzip({QStringLiteral("upload"), project}, &out), 0);
    QCOMPARE(TestUtil::ReadFile(remote), archive);
    QVERIFY(out.startsWith("Uploaded "));

    TestUtil::WriteFile(remote, "server copy");
    QCOMPARE(Qorzip({QStringLiteral("upload"), project}), 1); // the question needs an answer
    QCOMPARE(Qorzip({QStringLiteral("upload"), project, QStringLiteral("--no")}), 1);
    QCOMPARE(TestUtil::ReadFile(remote), QByteArray("server copy"));
    QCOMPARE(Qorzip({QStringLiteral("upload"), project, QStringLiteral("--yes")}), 0);
    QCOMPARE(TestUtil::ReadFile(remote), archive);

    QCOMPARE(Qorzip({QStringLiteral("ftp-ls"), project, QStringLiteral("docs")}, &out), 0);
    QVERIFY(out.contains(" arch.zip"));

    // The second computer keeps the project's files elsewhere.
    const QString second = m_dir.filePath(QStringLiteral("second/"));
    QVERIFY(QDir().mkpath(second));
    const QString copy = WriteProject(m_dir.filePath(QStringLiteral("copy.qrz")),
                                      m_dir.filePath(QStringLiteral("gone/")), second);
    QCOMPARE(Qorzip({QStringLiteral("download"), copy}, &out), 0);
    QCOMPARE(TestUtil::ReadFile(second + QStringLiteral("arch.zip")), archive);
}

void CliFtpTest::downloadOfBrokenArchiveKeepsLocalFile()
{
    TestUtil::WriteFile(m_server->Root() + QStringLiteral("/docs/bad.zip"), "PK but no archive");
    const QString local = m_dir.filePath(QStringLiteral("keep.zip"));
    TestUtil::WriteFile(local, "local archive");
    const QString project = WriteProject(m_dir.filePath(QStringLiteral("b.qrz")),
                                         m_dir.path() + '/', m_dir.path() + '/');
    QByteArray err;
    QCOMPARE(Qorzip({QStringLiteral("download"), project, QStringLiteral("docs/bad.zip"),
                     QStringLiteral("--to"), local},
                    nullptr, &err),
             1);
    QVERIFY(err.contains("not a whole zip archive"));
    QCOMPARE(TestUtil::ReadFile(local), QByteArray("local archive"));
}

// Port 1 on the loopback refuses every connection.
void CliFtpTest::failureNamesHostAndPort()
{
    const QString project = m_dir.filePath(QStringLiteral("closed.qrz"));
    TestUtil::WriteFile(project,
                        "[Files]\nRelDir=/tmp/\n[FTP]\nFile=a.zip\nHostname=127.0.0.1:1\n");
    QByteArray err;
    QCOMPARE(Qorzip({QStringLiteral("ftp-ls"), project}, nullptr, &err), 1);
    QVERIFY2(err.contains("127.0.0.1:1"), err.constData());
}

void CliFtpTest::wrongUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("upload without project") << QStringList{QStringLiteral("upload")};
    QTest::newRow("upload yes and no")
        << QStringList{QStringLiteral("upload"), QStringLiteral("p.qrz"), QStringLiteral("--yes"),
                       QStringLiteral("--no")};
    QTest::newRow("ftp-ls too many")
        << QStringList{QStringLiteral("ftp-ls"), QStringLiteral("p.qrz"), QStringLiteral("a"),
                       QStringLiteral("b")};
}

void CliFtpTest::wrongUsage()
{
    QFETCH(QStringList, arguments);
    QCOMPARE(Qorzip(arguments), 2);
}

QZ_REGISTER_TEST(CliFtpTest);
#include "CliFtpTest.moc"
