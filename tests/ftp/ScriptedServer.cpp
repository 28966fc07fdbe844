#include "ScriptedServer.h"

#include <stdexcept>

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
constexpr int WaitMs = 10000;

void Fail(const QByteArray& what)
{
    throw std::runtime_error(what.toStdString());
}
} // namespace

ScriptedSession::ScriptedSession(QTcpSocket& control, std::function<void(const QByteArray&)> record)
    : m_control(control), m_record(std::move(record))
{}

ScriptedSession::~ScriptedSession() = default;

void ScriptedSession::Send(const QByteArray& bytes)
{
    m_control.write(bytes);
    while (m_control.bytesToWrite() > 0)
        if (!m_control.waitForBytesWritten(WaitMs))
            Fail("cannot send to the client");
}

QByteArray ScriptedSession::ReadLine()
{
    while (!m_control.canReadLine())
        if (!m_control.waitForReadyRead(WaitMs))
            Fail("no command from the client");
    QByteArray line = m_control.readLine();
    if (line.endsWith("\r\n"))
        line.chop(2);
    m_record(line);
    return line;
}

void ScriptedSession::Expect(const QByteArray& line)
{
    const QByteArray got = ReadLine();
    if (got != line)
        Fail("expected \"" + line + "\", got \"" + got + "\"");
}

void ScriptedSession::LogIn(const QByteArray& greeting)
{
    Reply(greeting);
    Expect("USER user");
    Reply("331 password please");
    Expect("PASS secret");
    Reply("230 logged in");
    Expect("TYPE I");
    Reply("200 type set");
    Expect("SYST");
    Reply("215 UNIX Type: L8");
}

QByteArray ScriptedSession::ListenData(const QByteArray& hostNumbers)
{
    m_dataServer = std::make_unique<QTcpServer>();
    if (!m_dataServer->listen(QHostAddress::LocalHost, 0))
        Fail("cannot listen for data");
    const quint16 port = m_dataServer->serverPort();
    return hostNumbers + ',' + QByteArray::number(port / 256) + ',' +
           QByteArray::number(port % 256);
}

void ScriptedSession::AcceptData()
{
    if (!m_dataServer->waitForNewConnection(WaitMs))
        Fail("no data connection");
    m_data.reset(m_dataServer->nextPendingConnection());
    m_data->setParent(nullptr);
}

void ScriptedSession::SendData(const QByteArray& bytes)
{
    m_data->write(bytes);
    while (m_data->bytesToWrite() > 0)
        if (!m_data->waitForBytesWritten(WaitMs))
            Fail("cannot send data");
}

qint64 ScriptedSession::Trickle(const QByteArray& chunk, int intervalMs, int limitMs)
{
    qint64 sent = 0;
    for (int waited = 0; waited < limitMs; waited += intervalMs) {
        if (m_control.canReadLine() || m_control.waitForReadyRead(intervalMs) ||
            m_control.state() != QAbstractSocket::ConnectedState)
            break;
        if (m_data->state() != QAbstractSocket::ConnectedState)
            continue;
        m_data->write(chunk);
        m_data->flush();
        sent += chunk.size();
    }
    return sent;
}

QByteArray ScriptedSession::ReceiveData()
{
    QByteArray bytes;
    while (m_data->state() == QAbstractSocket::ConnectedState)
        if (m_data->waitForReadyRead(WaitMs))
            bytes += m_data->readAll();
        else if (m_data->state() == QAbstractSocket::ConnectedState)
            Fail("data connection stays open");
    return bytes + m_data->readAll();
}

void ScriptedSession::CloseData()
{
    m_data->disconnectFromHost();
    if (m_data->state() != QAbstractSocket::UnconnectedState)
        m_data->waitForDisconnected(WaitMs);
    m_data.reset();
}

void ScriptedSession::WaitClosed()
{
    while (m_control.state() == QAbstractSocket::ConnectedState)
        if (!m_control.waitForReadyRead(WaitMs) &&
            m_control.state() == QAbstractSocket::ConnectedState)
            Fail("the client keeps the connection open");
    // Lines sent before closing count as commands too (an ABOR, say).
    while (m_control.canReadLine())
        m_record(m_control.readLine().trimmed());
}

ScriptedServer::ScriptedServer(Script script)
{
    std::promise<quint16> ready;
    std::future<quint16> port = ready.get_future();
    m_thread = std::thread([this, script = std::move(script), &ready] { Run(script, ready); });
    m_port = port.get();
}

ScriptedServer::~ScriptedServer()
{
    Finish();
}

QByteArray ScriptedServer::HostAndPort() const
{
    return "127.0.0.1:" + QByteArray::number(m_port);
}

void ScriptedServer::Run(Script script, std::promise<quint16>& ready)
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    ready.set_value(server.serverPort());
    try {
        if (!server.waitForNewConnection(WaitMs))
            Fail("no client connected");
        std::unique_ptr<QTcpSocket> control(server.nextPendingConnection());
        control->setParent(nullptr);
        ScriptedSession session(*control, [this](const QByteArray& line) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_commands.append(line);
        });
        script(session);
    } catch (const std::exception& error) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_failure = QString::fromUtf8(error.what());
    }
}

QString ScriptedServer::Finish()
{
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failure;
}

QList<QByteArray> ScriptedServer::Commands() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commands;
}
