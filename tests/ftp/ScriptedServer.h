#pragma once

#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include <QByteArray>
#include <QList>
#include <QString>

class QTcpServer;
class QTcpSocket;

// The server side of one scripted FTP session, used from the script thread.
// Every wait has a time limit; a broken expectation throws, which ends the
// script and is reported by ScriptedServer::Failure().
class ScriptedSession {
public:
    explicit ScriptedSession(QTcpSocket& control, std::function<void(const QByteArray&)> record);
    ~ScriptedSession();

    void Send(const QByteArray& bytes);
    void Reply(const QByteArray& line) { Send(line + "\r\n"); }
    QByteArray ReadLine();
    // Reads a command line and checks that it is exactly `line`.
    void Expect(const QByteArray& line);
    // Greets and answers the log-in sequence (USER, PASS, TYPE, SYST).
    void LogIn(const QByteArray& greeting = "220 ready");
    // Listens for a data connection on 127.0.0.1; returns "h1,h2,h3,h4,p1,p2"
    // with the given host numbers in front of the port.
    QByteArray ListenData(const QByteArray& hostNumbers = "127,0,0,1");
    void AcceptData();
    void SendData(const QByteArray& bytes);
    // Sends `chunk` on the data connection every `intervalMs` until the client
    // sends a command (or closes) or `limitMs` passed; returns the bytes sent.
    qint64 Trickle(const QByteArray& chunk, int intervalMs, int limitMs);
    QByteArray ReceiveData();
    void CloseData();
    // Waits until the client closes the control connection.
    void WaitClosed();

private:
    QTcpSocket& m_control;
    std::function<void(const QByteArray&)> m_record;
    std::unique_ptr<QTcpServer> m_dataServer;
    std::unique_ptr<QTcpSocket> m_data;
};

// A one-connection FTP server on 127.0.0.1 that runs a script on its own
// thread, so the client under test can block on the test's thread.
class ScriptedServer {
public:
    using Script = std::function<void(ScriptedSession&)>;

    explicit ScriptedServer(Script script);
    ~ScriptedServer();

    quint16 Port() const { return m_port; }
    QByteArray HostAndPort() const;
    // Waits for the script to end; returns what went wrong, empty when nothing.
    QString Finish();
    QList<QByteArray> Commands() const;

private:
    void Run(Script script, std::promise<quint16>& ready);

    quint16 m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    QList<QByteArray> m_commands;
    QString m_failure;
};
