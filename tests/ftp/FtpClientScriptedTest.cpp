#include <functional>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "FtpClient.h"
#include "FtpError.h"
#include "ScriptedServer.h"
#include "TestRegistry.h"
#include "TestUtil.h"

namespace {
// Runs a call that must fail with an error of type E and gives back its
// message, or a text that cannot match any message when nothing failed.
template <typename E> QString FailureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const E& error) {
        return error.Message();
    }
    return QStringLiteral("<no error>");
}
} // namespace

// The client against replies that real servers do not send on demand.
class FtpClientScriptedTest : public QObject {
    Q_OBJECT

private slots:
    void multiLineGreetingAndBlankLines();
    void userAnswered230SendsNoPass();
    void systNotImplementedLetsLoginGoOn();
    void refusedLoginLeavesClientClosed();
    void lineLength_data();
    void lineLength();
    void invalidReply_data();
    void invalidReply();
    void closedMidReply();
    void passiveDataGoesToControlPeer_data();
    void passiveDataGoesToControlPeer();
    void abortDuringRetrieve();
    void aborted426WithoutAbortNeedsNoSecondReply();
    void refusedRetrieveKeepsControlOpen();
    void storeWithEmptyNameSendsStou();
    void callsOutOfOrder();
    void connectionRefused();
    void idleHookRunsWhileWaiting();
    void idleHookRunsWhileDataTrickles();
    void cancelBeforeDataPhase_data();
    void cancelBeforeDataPhase();
    void multiLineRepliesToEveryCommand();
    void brokenStoreNamesTheCause();

private:
    void Configure(TFtpClient& client, const ScriptedServer& server);
    QStringList m_statuses;
};

void FtpClientScriptedTest::Configure(TFtpClient& client, const ScriptedServer& server)
{
    m_statuses.clear();
    client.SetHost("127.0.0.1");
    client.SetPort(server.Port());
    client.SetUsername("user");
    client.SetPassword("secret");
    client.SetPassive(true);
    client.OnStatus = [this](TFtpStatus, const QString& text) {
        m_statuses.append(text);
    };
}

void FtpClientScriptedTest::multiLineGreetingAndBlankLines()
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Send("220-Welcome\r\n\r\n220-second line\r\n  \r\n220 ready\r\n\r\n");
        s.Expect("USER user");
        s.Reply("331-Password\r\n331 please");
        s.Expect("PASS secret");
        s.Reply("230 ok");
        s.Expect("TYPE I");
        s.Reply("200 ok");
        s.Expect("SYST");
        s.Reply("215 UNIX");
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    client.Connect();
    QVERIFY(client.Connected());
    QCOMPARE(client.Greeting().ReplyCode, 220);
    QCOMPARE(client.Greeting().ReplyText, (QByteArrayList{"Welcome", "second line", "ready"}));
    client.Disconnect();
    QVERIFY(!client.Connected());
    QCOMPARE(server.Finish(), QString());
    QVERIFY(!server.Commands().contains("QUIT"));
    QCOMPARE(m_statuses,
             (QStringList{"Connecting to 127.0.0.1.", "Connected.", "Connection established",
                          "Disconnecting.", "Disconnected."}));
}

void FtpClientScriptedTest::userAnswered230SendsNoPass()
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Reply("220 ready");
        s.Expect("USER user");
        s.Reply("230 no password needed");
        s.Expect("TYPE I");
        s.Reply("200 ok");
        s.Expect("SYST");
        s.Reply("215 UNIX");
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    client.Connect();
    client.Disconnect();
    QCOMPARE(server.Finish(), QString());
}

void FtpClientScriptedTest::systNotImplementedLetsLoginGoOn()
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Reply("220 ready");
        s.Expect("USER user");
        s.Reply("331 password please");
        s.Expect("PASS secret");
        s.Reply("230 ok");
        s.Expect("TYPE I");
        s.Reply("200 ok");
        s.Expect("SYST");
        s.Reply("502 Command not implemented.");
        s.Expect("CWD docs");
        s.Reply("250 ok");
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    client.Connect();
    QVERIFY(client.Connected());
    client.ChangeWorkingDirectory("docs");
    client.Disconnect();
    QCOMPARE(server.Finish(), QString());
}

void FtpClientScriptedTest::refusedLoginLeavesClientClosed()
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Reply("220 ready");
        s.Expect("USER user");
        s.Reply("331 password please");
        s.Expect("PASS secret");
        s.Reply("530-Login incorrect.\r\n530 Go away.");
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    try {
        client.Connect();
        QFAIL("no error");
    } catch (const EFtpProtocolReplyError& error) {
        QCOMPARE(error.ReplyCode(), 530);
        QCOMPARE(error.Message(), QStringLiteral("Login incorrect.\r\nGo away.\r\n"));
    }
    QVERIFY(!client.Connected());
    QCOMPARE(m_statuses.mid(m_statuses.size() - 2),
             (QStringList{"Disconnecting.", "Disconnected."}));
    QCOMPARE(server.Finish(), QString());
}

void FtpClientScriptedTest::lineLength_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("at the limit") << 16384 << true;
    QTest::newRow("one over") << 16385 << false;
    QTest::newRow("far over") << 100000 << false;
}

void FtpClientScriptedTest::lineLength()
{
    QFETCH(int, length);
    QFETCH(bool, accepted);
    const QByteArray greeting = "220 " + QByteArray(length - 4, 'x');
    ScriptedServer server([&](ScriptedSession& s) {
        if (accepted)
            s.LogIn(greeting);
        else
            s.Reply(greeting);
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    try {
        client.Connect();
        QVERIFY(accepted);
        QCOMPARE(client.Greeting().ReplyText.first().size(), length - 4);
        client.Disconnect();
    } catch (const EFtpMaxLineLengthExceeded& error) {
        QVERIFY(!accepted);
        QCOMPARE(error.Message(), QStringLiteral("Max line length exceeded."));
    }
    QVERIFY(!client.Connected());
    QCOMPARE(server.Finish(), QString());
}

void FtpClientScriptedTest::invalidReply_data()
{
    QTest::addColumn<QByteArray>("greeting");
    QTest::addColumn<QString>("message");
    QTest::newRow("garbage") << QByteArray("hello there")
                             << QStringLiteral("Invalid reply from the server: \"hello there\".");
    QTest::newRow("code out of range")
        << QByteArray("999 odd") << QStringLiteral("Invalid reply from the server: \"999 odd\".");
    QTest::newRow("other code") << QByteArray("421 Too many users")
                                << QStringLiteral("Too many users\r\n");
}

void FtpClientScriptedTest::invalidReply()
{
    QFETCH(QByteArray, greeting);
    QFETCH(QString, message);
    ScriptedServer server([&](ScriptedSession& s) {
        s.Reply(greeting);
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    QCOMPARE(FailureOf<EFtpProtocolReplyError>([&] { client.Connect(); }), message);
    QVERIFY(!client.Connected());
    QCOMPARE(server.Finish(), QString());
}

void FtpClientScriptedTest::closedMidReply()
{
    ScriptedServer server([](ScriptedSession& s) { s.Send("220-first line of many\r\n"); });
    TFtpClient client;
    Configure(client, server);
    QCOMPARE(FailureOf<EFtpConnClosedGracefully>([&] { client.Connect(); }),
             QStringLiteral("Connection Closed Gracefully."));
    QVERIFY(!client.Connected());
    QCOMPARE(server.Finish(), QString());
}

void FtpClientScriptedTest::passiveDataGoesToControlPeer_data()
{
    // The data server listens on 127.0.0.1 only; a reply naming 127.0.0.2
    // would fail if the client went there.
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QByteArray>("host");
    QTest::newRow("parentheses") << QByteArray("227 Entering Passive Mode (%1).")
                                 << QByteArray("127,0,0,1");
    QTest::newRow("no parentheses")
        << QByteArray("227 Entering Passive Mode %1") << QByteArray("127,0,0,1");
    QTest::newRow("another host") << QByteArray("227 Entering Passive Mode (%1)")
                                  << QByteArray("127,0,0,2");
}

void FtpClientScriptedTest::passiveDataGoesToControlPeer()
{
    QFETCH(QByteArray, format);
    QFETCH(QByteArray, host);
    ScriptedServer server([&](ScriptedSession& s) {
        s.LogIn();
        s.Expect("PASV");
        s.Reply(
            QString::fromLatin1(format).arg(QString::fromLatin1(s.ListenData(host))).toLatin1());
        s.Expect("LIST *");
        s.AcceptData();
        s.Reply("150 here it comes");
        s.SendData("total 1\r\n-rw-r--r-- 1 u g 3 Jan 1 2020 a b.zip\r\n");
        s.CloseData();
        s.Reply("226 done");
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    client.Connect();
    QCOMPARE(client.List("*"),
             (QByteArrayList{"total 1", "-rw-r--r-- 1 u g 3 Jan 1 2020 a b.zip"}));
    client.Disconnect();
    QCOMPARE(server.Finish(), QString());
    QVERIFY(m_statuses.contains("Starting FTP transfer"));
    QVERIFY(m_statuses.contains("Transfer complete"));
}

void FtpClientScriptedTest::abortDuringRetrieve()
{
    const QByteArray content = TestUtil::RandomBytes(256 * 1024, 5);
    ScriptedServer server([&](ScriptedSession& s) {
        s.LogIn();
        s.Expect("PASV");
        s.Reply("227 Entering Passive Mode (" + s.ListenData() + ")");
        s.Expect("RETR big.zip");
        s.AcceptData();
        s.Reply("150 sending");
        s.SendData(content.left(64 * 1024));
        s.Expect("ABOR");
        s.Reply("426 Connection closed; transfer aborted.");
        s.Reply("226 ABOR command successful.");
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    client.OnWork = [&client](TWorkMode, qint64 count) {
        if (count > 0)
            client.Abort();
    };
    client.Connect();
    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("big.zip"));
    client.Retrieve("big.zip", local);
    QVERIFY(client.TransferAborted());
    QCOMPARE(m_statuses.last(), QStringLiteral("Transfer aborted"));
    const QByteArray received = TestUtil::ReadFile(local);
    QVERIFY(!received.isEmpty());
    QVERIFY(content.startsWith(received));
    client.Disconnect();
    QCOMPARE(server.Finish(), QString());
}

void FtpClientScriptedTest::aborted426WithoutAbortNeedsNoSecondReply()
{
    ScriptedServer server([](ScriptedSession& s) {
        s.LogIn();
        s.Expect("PASV");
        s.Reply("227 Entering Passive Mode (" + s.ListenData() + ")");
        s.Expect("RETR a.zip");
        s.AcceptData();
        s.Reply("150 sending");
        s.SendData("PK");
        s.CloseData();
        s.Reply("426 Connection reset.");
        s.Expect("CWD x");
        s.Reply("250 ok");
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    client.Connect();
    QTemporaryDir dir;
    client.Retrieve("a.zip", dir.filePath(QStringLiteral("a.zip")));
    QVERIFY(client.TransferAborted());
    client.ChangeWorkingDirectory("x");
    client.Disconnect();
    QCOMPARE(server.Finish(), QString());
}

void FtpClientScriptedTest::refusedRetrieveKeepsControlOpen()
{
    ScriptedServer server([](ScriptedSession& s) {
        s.LogIn();
        s.Expect("PASV");
        s.Reply("227 Entering Passive Mode (" + s.ListenData() + ")");
        s.Expect("RETR none.zip");
        s.AcceptData();
        s.Reply("550 No such file or directory.");
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    client.Connect();
    QTemporaryDir dir;
    QCOMPARE(FailureOf<EFtpProtocolReplyError>(
                 [&] { client.Retrieve("none.zip", dir.filePath(QStringLiteral("none.zip"))); }),
             QStringLiteral("No such file or directory.\r\n"));
    QCOMPARE(m_statuses.last(), QStringLiteral("Transfer complete"));
    QVERIFY(client.Connected());
    client.Disconnect();
    QCOMPARE(server.Finish(), QString());
}

void FtpClientScriptedTest::storeWithEmptyNameSendsStou()
{
    const QByteArray content = TestUtil::RandomBytes(100000, 7);
    QByteArray stored;
    ScriptedServer server([&](ScriptedSession& s) {
        s.LogIn();
        s.Expect("PASV");
        s.Reply("227 Entering Passive Mode (" + s.ListenData() + ")");
        s.Expect("STOU ");
        s.AcceptData();
        s.Reply("150 FILE: unique.1");
        stored = s.ReceiveData();
        s.Reply("226 done");
        s.WaitClosed();
    });
    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("up.zip"));
    TestUtil::WriteFile(local, content);
    TFtpClient client;
    Configure(client, server);
    qint64 begin = -1;
    qint64 last = 0;
    client.OnWorkBegin = [&](TWorkMode, qint64 countMax) {
        begin = countMax;
    };
    client.OnWork = [&](TWorkMode, qint64 count) {
        last = count;
    };
    client.Connect();
    client.Store(local, QByteArray());
    QVERIFY(!client.TransferAborted());
    client.Disconnect();
    QCOMPARE(server.Finish(), QString());
    QCOMPARE(stored, content);
    QCOMPARE(begin, content.size());
    QCOMPARE(last, content.size());
}

void FtpClientScriptedTest::callsOutOfOrder()
{
    TFtpClient client;
    QCOMPARE(FailureOf<EFtpError>([&] { client.List("*"); }), QStringLiteral("Not Connected"));
    QTemporaryDir dir;
    try {
        client.Store(dir.filePath(QStringLiteral("missing.zip")), "x");
        QFAIL("no error");
    } catch (const EFtpError& error) {
        QVERIFY(error.Message().startsWith(QStringLiteral("Cannot open file \"")));
    }
    ScriptedServer server([](ScriptedSession& s) {
        s.LogIn();
        s.WaitClosed();
    });
    Configure(client, server);
    client.Connect();
    QCOMPARE(FailureOf<EFtpError>([&] { client.Connect(); }), QStringLiteral("Already connected."));
    QVERIFY(client.Connected());
    client.Disconnect();
    QCOMPARE(server.Finish(), QString());
}

void FtpClientScriptedTest::connectionRefused()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    TFtpClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(port);
    try {
        client.Connect();
        QFAIL("no error");
    } catch (const EFtpSocketError& error) {
        QVERIFY(error.Message().startsWith(QStringLiteral("Socket Error # ")));
        QVERIFY(error.Message().endsWith(QStringLiteral("\r\nConnection refused.")));
    }
    QVERIFY(!client.Connected());
}

void FtpClientScriptedTest::idleHookRunsWhileWaiting()
{
    ScriptedServer server([](ScriptedSession& s) {
        QThread::msleep(600);
        s.LogIn();
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    int idle = 0;
    client.OnIdle = [&idle] {
        ++idle;
    };
    client.Connect();
    client.Disconnect();
    QVERIFY(idle >= 1);
    QCOMPARE(server.Finish(), QString());
}

// Data arriving every few milliseconds never lets a wait time out; the hook
// still runs by the clock, a timer's Abort ends the transfer, and a second
// call from the hook is refused.
void FtpClientScriptedTest::idleHookRunsWhileDataTrickles()
{
    ScriptedServer server([](ScriptedSession& s) {
        s.LogIn();
        s.Expect("PASV");
        s.Reply("227 Entering Passive Mode (" + s.ListenData() + ")");
        s.Expect("RETR slow.zip");
        s.AcceptData();
        s.Reply("150 sending");
        s.Trickle(QByteArray(512, 'x'), 10, 8000);
        s.Expect("ABOR");
        s.Reply("426 Transfer aborted.");
        s.Reply("226 ABOR command successful.");
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    client.Connect();
    int idle = 0;
    QString refused;
    client.OnIdle = [&] {
        if (idle++ == 0)
            refused = FailureOf<EFtpError>([&] { client.ChangeWorkingDirectory("x"); });
        QCoreApplication::processEvents();
    };
    constexpr int AbortAfterMs = 400;
    QTimer::singleShot(AbortAfterMs, [&client] { client.Abort(); });
    QElapsedTimer clock;
    clock.start();
    QTemporaryDir dir;
    client.Retrieve("slow.zip", dir.filePath(QStringLiteral("slow.zip")));
    QVERIFY2(clock.elapsed() < AbortAfterMs + 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(client.TransferAborted());
    QVERIFY(idle >= 3);
    QCOMPARE(refused, QStringLiteral("Another FTP operation is still running."));
    QVERIFY(!client.Running());
    client.Disconnect();
    QCOMPARE(server.Finish(), QString());
}

void FtpClientScriptedTest::cancelBeforeDataPhase_data()
{
    QTest::addColumn<QByteArray>("phase");
    QTest::newRow("log-in") << QByteArray("log-in");
    QTest::newRow("CWD") << QByteArray("CWD");
    QTest::newRow("PASV") << QByteArray("PASV");
}

// The server never answers; a cancel ends the call quietly, closes the
// connection and sends no ABOR, whose reply would be taken for another's.
void FtpClientScriptedTest::cancelBeforeDataPhase()
{
    QFETCH(QByteArray, phase);
    ScriptedServer server([&](ScriptedSession& s) {
        if (phase != "log-in") {
            s.LogIn();
            s.Expect(phase == "CWD" ? "CWD docs" : "PASV");
        }
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    client.OnIdle = [] {
        QCoreApplication::processEvents();
    };
    if (phase != "log-in")
        client.Connect();
    QTimer::singleShot(300, [&client] { client.Abort(); });
    QCOMPARE(FailureOf<EFtpCancelled>([&] {
                 if (phase == "log-in")
                     client.Connect();
                 else if (phase == "CWD")
                     client.ChangeWorkingDirectory("docs");
                 else
                     client.List(QByteArray());
             }),
             QStringLiteral("Operation cancelled."));
    QVERIFY(!client.Connected());
    QVERIFY(!client.Running());
    QVERIFY(m_statuses.contains(QStringLiteral("Disconnected.")));
    QCOMPARE(server.Finish(), QString());
    QVERIFY(!server.Commands().contains("ABOR"));
}

void FtpClientScriptedTest::multiLineRepliesToEveryCommand()
{
    ScriptedServer server([](ScriptedSession& s) {
        s.Send("220-Hello\r\n220 ready\r\n");
        s.Expect("USER user");
        s.Reply("331-User ok\r\n331 password please");
        s.Expect("PASS secret");
        s.Reply("230-Welcome\r\n230 logged in");
        s.Expect("TYPE I");
        s.Reply("200-Type\r\n200 I");
        s.Expect("SYST");
        s.Reply("215-UNIX\r\n215 Type: L8");
        s.Expect("CWD docs");
        s.Reply("250-Directory\r\n250 changed");
        s.Expect("CDUP");
        s.Reply("200-Directory\r\n200 changed");
        s.Expect("PASV");
        s.Reply("227-Entering Passive Mode\r\n227 (" + s.ListenData() + ")");
        s.Expect("LIST");
        s.AcceptData();
        s.Reply("150-Here\r\n150 it comes");
        s.SendData("a.zip\r\n");
        s.CloseData();
        s.Reply("226-Done\r\n226 closing");
        s.WaitClosed();
    });
    TFtpClient client;
    Configure(client, server);
    client.Connect();
    client.ChangeWorkingDirectory("docs");
    client.ChangeToParentDirectory();
    QCOMPARE(client.List(QByteArray()), QByteArrayList{"a.zip"});
    QCOMPARE(client.LastReply().ReplyText, (QByteArrayList{"Done", "closing"}));
    client.Disconnect();
    QCOMPARE(server.Finish(), QString());
}

// The server drops the data connection and says why; that reason is the
// error, not a bare socket failure.
void FtpClientScriptedTest::brokenStoreNamesTheCause()
{
    ScriptedServer server([](ScriptedSession& s) {
        s.LogIn();
        s.Expect("PASV");
        s.Reply("227 Entering Passive Mode (" + s.ListenData() + ")");
        s.Expect("STOR full.zip");
        s.AcceptData();
        s.Reply("150 ok");
        s.CloseData();
        s.Reply("452 Insufficient storage space.");
        s.WaitClosed();
    });
    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("full.zip"));
    TestUtil::WriteFile(local, TestUtil::RandomBytes(1024 * 1024, 9).repeated(32));
    TFtpClient client;
    Configure(client, server);
    client.Connect();
    QCOMPARE(FailureOf<EFtpProtocolReplyError>([&] { client.Store(local, "full.zip"); }),
             QStringLiteral("Insufficient storage space.\r\n"));
    QVERIFY(client.Connected());
    client.Disconnect();
    QCOMPARE(server.Finish(), QString());
}

QZ_REGISTER_TEST(FtpClientScriptedTest);
#include "FtpClientScriptedTest.moc"
