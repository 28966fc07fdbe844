#include <memory>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "FtpClient.h"
#include "FtpError.h"
#include "FtpText.h"
#include "PyFtpServer.h"
#include "TestRegistry.h"
#include "TestUtil.h"

// The client against a real FTP server on the loopback interface.
class FtpClientServerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void directoriesAndListing();
    void storeAndRetrieveByteForByte();
    void storeUnique();
    void abortDuringTransfer_data();
    void abortDuringTransfer();
    void refusedLogin();
    void refusedDirectory();

private:
    void Configure(TFtpClient& client, const QByteArray& password = PyFtpServer::Password);
    QByteArrayList Names(const QList<QByteArray>& listing, bool directories);

    std::unique_ptr<PyFtpServer> m_server;
    QTemporaryDir m_local;
};

void FtpClientServerTest::initTestCase()
{
    m_server = std::make_unique<PyFtpServer>();
    QVERIFY2(m_server->Start(), qPrintable(m_server->Error()));
    QVERIFY(QDir(m_server->Root()).mkpath(QStringLiteral("docs/sub")));
}

void FtpClientServerTest::Configure(TFtpClient& client, const QByteArray& password)
{
    client.SetHost("127.0.0.1");
    client.SetPort(m_server->Port());
    client.SetUsername(PyFtpServer::User);
    client.SetPassword(password);
    client.SetPassive(true);
}

QByteArrayList FtpClientServerTest::Names(const QList<QByteArray>& listing, bool directories)
{
    QByteArrayList names;
    for (const QByteArray& line : listing) {
        const TListingLine parsed = ParseListingLine(line);
        if (parsed.Fields.size() == 9 && parsed.IsDirectory == directories)
            names.append(parsed.Fields.at(8));
    }
    return names;
}

void FtpClientServerTest::directoriesAndListing()
{
    TestUtil::WriteFile(m_server->Root() + QStringLiteral("/docs/my old file.zip"), "PK");
    TFtpClient client;
    Configure(client);
    client.Connect();
    QCOMPARE(client.Greeting().ReplyCode, 220);
    client.ChangeWorkingDirectory("docs");
    const QList<QByteArray> listing = client.List(QByteArray());
    QCOMPARE(Names(listing, true), QByteArrayList{"sub"});
    QCOMPARE(Names(listing, false), QByteArrayList{"my old file.zip"});
    client.ChangeToParentDirectory();
    QVERIFY(Names(client.List(QByteArray()), true).contains("docs"));
    client.Disconnect();
    QVERIFY(!client.Connected());
}

void FtpClientServerTest::storeAndRetrieveByteForByte()
{
    const QByteArray content = TestUtil::RandomBytes(300000, 11);
    const QString up = m_local.filePath(QStringLiteral("up.zip"));
    const QString down = m_local.filePath(QStringLiteral("down.zip"));
    TestUtil::WriteFile(up, content);
    TestUtil::WriteFile(down, QByteArray(500000, 'x')); // emptied before the retrieval
    TFtpClient client;
    Configure(client);
    client.Connect();
    client.ChangeWorkingDirectory("docs");
    client.Store(up, "stored.zip");
    QCOMPARE(TestUtil::ReadFile(m_server->Root() + QStringLiteral("/docs/stored.zip")), content);
    client.Retrieve("stored.zip", down);
    QVERIFY(!client.TransferAborted());
    client.Disconnect();
    QCOMPARE(TestUtil::ReadFile(down), content);
}

void FtpClientServerTest::storeUnique()
{
    const QByteArray content = TestUtil::RandomBytes(1000, 12);
    const QString up = m_local.filePath(QStringLiteral("unique.zip"));
    TestUtil::WriteFile(up, content);
    QDir root(m_server->Root() + QStringLiteral("/docs/sub"));
    TFtpClient client;
    Configure(client);
    client.Connect();
    client.ChangeWorkingDirectory("docs/sub");
    client.Store(up, QByteArray());
    client.Disconnect();
    const QStringList files = root.entryList(QDir::Files);
    QCOMPARE(files.size(), 1);
    QCOMPARE(TestUtil::ReadFile(root.filePath(files.first())), content);
}

void FtpClientServerTest::abortDuringTransfer_data()
{
    QTest::addColumn<bool>("store");
    QTest::newRow("retrieve") << false;
    QTest::newRow("store") << true;
}

void FtpClientServerTest::abortDuringTransfer()
{
    QFETCH(bool, store);
    const QByteArray content = TestUtil::RandomBytes(64 * 1024, 13).repeated(128);
    const QString local = m_local.filePath(QStringLiteral("big-local.zip"));
    const QString remote = m_server->Root() + QStringLiteral("/big.zip");
    TestUtil::WriteFile(store ? local : remote, content);
    TFtpClient client;
    Configure(client);
    QStringList statuses;
    client.OnStatus = [&](TFtpStatus, const QString& text) {
        statuses.append(text);
    };
    client.OnWork = [&client](TWorkMode, qint64 count) {
        if (count > 0)
            client.Abort();
    };
    client.Connect();
    if (store)
        client.Store(local, "big.zip");
    else
        client.Retrieve("big.zip", local);
    QVERIFY(client.TransferAborted());
    QCOMPARE(statuses.last(), QStringLiteral("Transfer aborted"));
    const QByteArray partial = TestUtil::ReadFile(store ? remote : local);
    QVERIFY(partial.size() < content.size());
    QVERIFY(content.startsWith(partial));
    client.ChangeWorkingDirectory("docs"); // the control connection is still in step
    client.Disconnect();
    QFile::remove(local);
    QFile::remove(remote);
}

void FtpClientServerTest::refusedLogin()
{
    TFtpClient client;
    Configure(client, "wrong");
    try {
        client.Connect();
        QFAIL("no error");
    } catch (const EFtpProtocolReplyError& error) {
        QCOMPARE(error.ReplyCode(), 530);
        QVERIFY(error.Message().endsWith(QStringLiteral("\r\n")));
    }
    QVERIFY(!client.Connected());
}

void FtpClientServerTest::refusedDirectory()
{
    TFtpClient client;
    Configure(client);
    client.Connect();
    try {
        client.ChangeWorkingDirectory("no such dir");
        QFAIL("no error");
    } catch (const EFtpProtocolReplyError& error) {
        QCOMPARE(error.ReplyCode(), 550);
    }
    QVERIFY(client.Connected());
    client.ChangeWorkingDirectory("docs");
    client.Disconnect();
}

QZ_REGISTER_TEST(FtpClientServerTest);
#include "FtpClientServerTest.moc"
