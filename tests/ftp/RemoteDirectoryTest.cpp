#include <memory>

#include <QAbstractItemModelTester>
#include <QDir>
#include <QTest>

#include "FtpClient.h"
#include "PyFtpServer.h"
#include "RemoteDirectory.h"
#include "ScriptedServer.h"
#include "TestRegistry.h"
#include "TestUtil.h"

class RemoteDirectoryTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void fillGridPlacesFields();
    void doubleClickOnRows_data();
    void doubleClickOnRows();
    void movesThroughDirectories();
    void refusedDirectoryKeepsRows();
    void pickAboveLoginDirectoryIsReplayed();
    void remoteFileExists_data();
    void remoteFileExists();

private:
    std::unique_ptr<PyFtpServer> m_server;
    TFtpClient m_client;
};

void RemoteDirectoryTest::initTestCase()
{
    m_server = std::make_unique<PyFtpServer>();
    QVERIFY2(m_server->Start(), qPrintable(m_server->Error()));
    QVERIFY(QDir(m_server->Root()).mkpath(QStringLiteral("docs/sub")));
    TestUtil::WriteFile(m_server->Root() + QStringLiteral("/My Archive.zip"), "12345");
    TestUtil::WriteFile(m_server->Root() + QStringLiteral("/docs/inner.zip"), "PK");
    m_client.SetHost("127.0.0.1");
    m_client.SetPort(m_server->Port());
    m_client.SetUsername(PyFtpServer::User);
    m_client.SetPassword(PyFtpServer::Password);
}

void RemoteDirectoryTest::fillGridPlacesFields()
{
    TRemoteDirectory browser;
    QAbstractItemModelTester tester(&browser);
    browser.FillGrid({"total 8", "drwxr-xr-x 2 u g 4096 Jan 1 2020 docs",
                      "-rw-r--r-- 1 u g 12 Feb 3 12:00 a  b.zip"},
                     true);
    QCOMPARE(browser.rowCount(), 4);
    QCOMPARE(browser.Cell(0, 1), QByteArray("[..]"));
    QCOMPARE(browser.Cell(0, 9), QByteArray());
    QCOMPARE(browser.Cell(1, 9), QByteArray("total"));
    QCOMPARE(browser.Cell(1, 8), QByteArray("8"));
    QCOMPARE(browser.Cell(1, 1), QByteArray());
    QCOMPARE(browser.Cell(2, 1), QByteArray("[docs]"));
    QCOMPARE(browser.Cell(3, 1), QByteArray("a  b.zip"));
    QCOMPARE(browser.Cell(3, 2), QByteArray("12:00"));
    QCOMPARE(browser.Cell(3, 5), QByteArray("12"));
    QCOMPARE(browser.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Files"));
    QCOMPARE(browser.headerData(5, Qt::Horizontal).toString(), QStringLiteral("Size"));
    browser.FillGrid({"total 8"}, false);
    QCOMPARE(browser.rowCount(), 1);
    QCOMPARE(browser.Cell(0, 9), QByteArray("total"));
}

void RemoteDirectoryTest::doubleClickOnRows_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("pickMode");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QByteArray>("picked");
    QTest::addColumn<qint64>("size");

    QTest::newRow("file, pick mode") << QByteArray("-rw-r--r-- 1 u g 2048 Jan 1 2020 a.zip") << true
                                     << true << QByteArray("a.zip") << qint64(2048);
    QTest::newRow("file, view mode") << QByteArray("-rw-r--r-- 1 u g 2048 Jan 1 2020 a.zip")
                                     << false << false << QByteArray("a.zip") << qint64(2048);
    QTest::newRow("link target not in the name")
        << QByteArray("lrwxrwxrwx 1 u g 5 Jan 1 2020 a b.zip -> c.zip") << true << true
        << QByteArray("a b.zip") << qint64(5);
    QTest::newRow("symbolic link is a file") << QByteArray("lrwxrwxrwx 1 u g 5 Jan 1 2020 link")
                                             << true << true << QByteArray("link") << qint64(5);
    QTest::newRow("summary line picks an empty name")
        << QByteArray("total 12") << true << true << QByteArray() << qint64(0);
    QTest::newRow("size not a number") << QByteArray("-rw-r--r-- 1 u g 2k Jan 1 2020 b.zip") << true
                                       << true << QByteArray("b.zip") << qint64(0);
}

void RemoteDirectoryTest::doubleClickOnRows()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, pickMode);
    QFETCH(bool, closes);
    QFETCH(QByteArray, picked);
    QFETCH(qint64, size);
    TRemoteDirectory browser;
    browser.SetPickMode(pickMode);
    browser.FillGrid({line}, false);
    QCOMPARE(browser.DoubleClick(0), closes);
    QCOMPARE(browser.PickedFile(), picked);
    QCOMPARE(browser.PickedSize(), size);
}

void RemoteDirectoryTest::movesThroughDirectories()
{
    TRemoteDirectory browser;
    browser.SetClient(&m_client);
    browser.Open();
    QCOMPARE(browser.Caption(), QStringLiteral("FTP: 127.0.0.1"));
    QVERIFY(browser.rowCount() >= 2);
    QVERIFY(browser.Cell(0, 1) != "[..]");
    int docs = -1;
    for (int row = 0; row < browser.rowCount(); ++row)
        if (browser.Cell(row, 1) == "[docs]")
            docs = row;
    QVERIFY(docs >= 0);
    QVERIFY(!browser.DoubleClick(docs));
    QCOMPARE(browser.RemotePath(), QByteArray("/docs"));
    QCOMPARE(browser.Caption(), QStringLiteral("ftp://127.0.0.1/docs"));
    QCOMPARE(browser.Cell(0, 1), QByteArray("[..]"));
    QCOMPARE(browser.Cell(1, 1), QByteArray("inner.zip"));
    QCOMPARE(browser.Cell(2, 1), QByteArray("[sub]"));
    QVERIFY(!browser.DoubleClick(0));
    QCOMPARE(browser.RemotePath(), QByteArray());
    QCOMPARE(browser.Cell(0, 1), QByteArray("[..]")); // also at the login directory
    QVERIFY(!browser.DoubleClick(0));                 // CDUP there keeps RemotePath empty
    QCOMPARE(browser.RemotePath(), QByteArray());
    browser.Close();
    QVERIFY(!m_client.Connected());
}

void RemoteDirectoryTest::refusedDirectoryKeepsRows()
{
    TRemoteDirectory browser;
    browser.SetClient(&m_client);
    browser.Open();
    browser.ShowDirectory("docs");
    const int rows = browser.rowCount();
    browser.ShowDirectory("no such directory");
    QVERIFY(!m_client.Connected());
    QCOMPARE(browser.rowCount(), rows);
    QCOMPARE(browser.RemotePath(), QByteArray("/docs"));
    // The next move reconnects and finds its way back into /docs first.
    browser.ShowDirectory("sub");
    QVERIFY(m_client.Connected());
    QCOMPARE(browser.RemotePath(), QByteArray("/docs/sub"));
    QCOMPARE(browser.rowCount(), 1); // only the up entry: sub is empty
    browser.Close();
}

// "[..]" at the login directory moves the server up while RemotePath stays
// empty; the way to the picked file is the moves, replayed as they were.
void RemoteDirectoryTest::pickAboveLoginDirectoryIsReplayed()
{
    const auto list = [](ScriptedSession& s, const QByteArray& listing) {
        s.Expect("PASV");
        s.Reply("227 Entering Passive Mode (" + s.ListenData() + ")");
        s.Expect("LIST");
        s.AcceptData();
        s.Reply("150 here");
        s.SendData(listing);
        s.CloseData();
        s.Reply("226 done");
    };
    ScriptedServer server([&](ScriptedSession& s) {
        s.LogIn();
        list(s, "drwxr-xr-x 2 u g 0 Jan 1 2020 docs\r\n");
        s.Expect("CDUP");
        s.Reply("250 up");
        list(s, "-rw-r--r-- 1 u g 7 Jan 1 2020 top.zip\r\n");
        s.Expect("CWD docs"); // a move that did not last: down and up again
        s.Reply("250 ok");
        list(s, QByteArray());
        s.Expect("CDUP");
        s.Reply("250 up");
        list(s, "-rw-r--r-- 1 u g 7 Jan 1 2020 top.zip\r\n");
        s.Expect("CDUP"); // the replay before the retrieval
        s.Reply("250 up");
        s.WaitClosed();
    });
    TFtpClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(server.Port());
    client.SetUsername("user");
    client.SetPassword("secret");
    TRemoteDirectory browser;
    browser.SetClient(&client);
    browser.SetPickMode(true);
    browser.Open();
    browser.ShowDirectory("[..]");
    browser.ShowDirectory("docs");
    browser.ShowDirectory("[..]");
    QCOMPARE(browser.RemotePath(), QByteArray());
    QCOMPARE(browser.Cell(1, 1), QByteArray("top.zip"));
    QVERIFY(browser.DoubleClick(1));
    QCOMPARE(browser.PickedFile(), QByteArray("top.zip"));
    browser.EnterPickedDirectory(); // on a new connection this would be the only move
    client.Disconnect();
    QCOMPARE(server.Finish(), QString());
}

void RemoteDirectoryTest::remoteFileExists_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("exists");
    QTest::newRow("same name") << QByteArray("My Archive.zip") << true;
    QTest::newRow("other letter case") << QByteArray("MY ARCHIVE.ZIP") << true;
    QTest::newRow("directory") << QByteArray("docs") << false;
    QTest::newRow("up entry") << QByteArray("[..]") << false;
    QTest::newRow("missing") << QByteArray("none.zip") << false;
}

void RemoteDirectoryTest::remoteFileExists()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, exists);
    TRemoteDirectory browser;
    browser.SetClient(&m_client);
    m_client.Connect();
    QCOMPARE(browser.RemoteFileExists(name), exists);
    QVERIFY(m_client.Connected());
    m_client.Disconnect();
}

QZ_REGISTER_TEST(RemoteDirectoryTest);
#include "RemoteDirectoryTest.moc"
