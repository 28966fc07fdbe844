#include "FtpClient.h"

#include <cerrno>

#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QHostInfo>
#include <QTcpSocket>
#include <QTimer>

#include "FtpError.h"
#include "FtpText.h"

#ifdef Q_OS_WIN
static constexpr int HostNotFoundCode = 11001;
#else
#include <netdb.h>
static constexpr int HostNotFoundCode = HOST_NOT_FOUND;
#endif

namespace {
// A transfer keeps at most this much unsent data in the socket's buffer, so
// memory does not grow with the file.
constexpr qint64 SendBacklog = 4 * TFtpClient::ChunkSize;

struct TSocketErrorText {
    int Code;
    const char* Text;
};

TSocketErrorText DescribeSocketError(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        return {HostNotFoundCode, "Host not found."};
    case QAbstractSocket::ConnectionRefusedError:
        return {ECONNREFUSED, "Connection refused."};
    case QAbstractSocket::SocketTimeoutError:
        return {ETIMEDOUT, "Connection timed out."};
    case QAbstractSocket::RemoteHostClosedError:
        return {ECONNRESET, "Connection reset by peer."};
    case QAbstractSocket::NetworkError:
        return {ENETUNREACH, "Network is unreachable."};
    case QAbstractSocket::SocketAccessError:
        return {EACCES, "Permission denied."};
    case QAbstractSocket::SocketResourceError:
        return {EMFILE, "Too many open files."};
    default:
        return {EIO, nullptr};
    }
}

bool IsDottedIPv4(const QString& host)
{
    QHostAddress address;
    return host.count(QLatin1Char('.')) == 3 && address.setAddress(host) &&
           address.protocol() == QAbstractSocket::IPv4Protocol;
}

// Reports the end of a data phase however it ends.
class TWorkScope {
public:
    TWorkScope(TFtpClient& client, TWorkMode mode, qint64 countMax) : m_client(client), m_mode(mode)
    {
        if (m_client.OnWorkBegin)
            m_client.OnWorkBegin(mode, countMax);
    }
    ~TWorkScope()
    {
        if (m_client.OnWorkEnd)
            m_client.OnWorkEnd(m_mode);
    }
    TWorkScope(const TWorkScope&) = delete;
    TWorkScope& operator=(const TWorkScope&) = delete;

    void Work(qint64 count)
    {
        if (m_client.OnWork)
            m_client.OnWork(m_mode, count);
    }

private:
    TFtpClient& m_client;
    TWorkMode m_mode;
};
} // namespace

// Marks a call in progress: one started from an event handler while another
// runs is refused, and the outermost call clears an earlier cancel request.
class TCallScope {
public:
    explicit TCallScope(TFtpClient& client) : m_client(client) { m_client.Enter(); }
    ~TCallScope() { m_client.Leave(); }
    TCallScope(const TCallScope&) = delete;
    TCallScope& operator=(const TCallScope&) = delete;

private:
    TFtpClient& m_client;
};

TFtpClient::TFtpClient() = default;

TFtpClient::~TFtpClient() = default;

void TFtpClient::SetTransferType(TFtpTransferType type)
{
    if (type == m_transferType || m_transferRunning)
        return;
    const TCallScope call(*this);
    m_transferType = type;
    if (Connected())
        SendCommand(type == TFtpTransferType::ftBinary ? "TYPE I" : "TYPE A", {200});
}

void TFtpClient::Status(TFtpStatus status, const QString& text)
{
    if (OnStatus)
        OnStatus(status, text);
}

void TFtpClient::Enter()
{
    if (m_inEvents)
        throw EFtpError(QStringLiteral("Another FTP operation is still running."));
    if (m_depth++ == 0) {
        m_cancelRequested = false;
        m_idleClock.start();
    }
}

// Runs the idle hook; a cancel it requested ends the call here.
void TFtpClient::Idle()
{
    m_idleClock.start();
    if (OnIdle) {
        m_inEvents = true;
        try {
            OnIdle();
        } catch (...) {
            m_inEvents = false;
            throw;
        }
        m_inEvents = false;
    }
    CheckCancelled();
}

// While data keeps arriving no wait times out, so the hook runs by the clock.
void TFtpClient::IdleDue()
{
    if (m_idleClock.elapsed() >= IdleIntervalMs)
        Idle();
}

// A cancel before the data phase: nothing to send ABOR for, and a reply may
// be pending that could be taken for the next command's, so the connection
// goes.
void TFtpClient::CheckCancelled()
{
    if (!m_cancelRequested)
        return;
    CloseConnection();
    throw EFtpCancelled();
}

// Connecting and logging in.

void TFtpClient::Connect()
{
    const TCallScope call(*this);
    if (Connected())
        throw EFtpError(QStringLiteral("Already connected."));
    try {
        ConnectControl(ResolveHost());
        LogIn();
    } catch (const EFtpCancelled&) {
        throw;
    } catch (...) {
        Disconnect();
        throw;
    }
}

QHostAddress TFtpClient::ResolveHost()
{
    const QString host = QString::fromLocal8Bit(m_host);
    if (IsDottedIPv4(host))
        return QHostAddress(host);
    Status(TFtpStatus::hsResolving, QStringLiteral("Resolving hostname %1.").arg(host));
    const QHostInfo info = QHostInfo::fromName(host);
    const QList<QHostAddress> addresses = info.addresses();
    if (info.error() != QHostInfo::NoError || addresses.isEmpty())
        throw EFtpSocketError(HostNotFoundCode, QStringLiteral("Host not found."));
    for (const QHostAddress& address : addresses)
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address;
    return addresses.first();
}

void TFtpClient::ConnectControl(const QHostAddress& address)
{
    Status(TFtpStatus::hsConnecting, QStringLiteral("Connecting to %1.").arg(address.toString()));
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(address, quint16(m_port));
    WaitConnected(*socket);
    m_control = std::move(socket);
    m_controlBuffer.clear();
    Status(TFtpStatus::hsConnected, QStringLiteral("Connected."));
}

// Waits for the connect in slices, calling the idle hook after each, up to
// the connect time limit.
void TFtpClient::WaitConnected(QTcpSocket& socket)
{
    QEventLoop loop;
    QTimer slice;
    slice.setSingleShot(true);
    QObject::connect(&slice, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::connected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    while (socket.state() != QAbstractSocket::ConnectedState) {
        if (socket.state() == QAbstractSocket::UnconnectedState)
            ThrowSocketError(socket);
        if (timer.elapsed() >= ConnectTimeoutMs) {
            socket.abort();
            throw EFtpConnectTimeout();
        }
        slice.start(ConnectSliceMs);
        m_inEvents = true;
        loop.exec();
        m_inEvents = false;
        Idle();
    }
}

void TFtpClient::LogIn()
{
    ReadReply({220});
    m_greeting = m_lastReply;
    if (SendCommand("USER " + m_username, {230, 331}) == 331)
        SendCommand("PASS " + m_password, {230});
    SendCommand(m_transferType == TFtpTransferType::ftBinary ? "TYPE I" : "TYPE A", {200});
    // The system type is never used, so any answer (also "not implemented") will do.
    SendCommand("SYST");
    Status(TFtpStatus::ftpReady, QStringLiteral("Connection established"));
}

void TFtpClient::Disconnect()
{
    if (m_inEvents)
        throw EFtpError(QStringLiteral("Another FTP operation is still running."));
    Status(TFtpStatus::hsDisconnecting, QStringLiteral("Disconnecting."));
    CloseConnection();
}

void TFtpClient::CheckConnected() const
{
    if (!Connected())
        throw EFtpError(QStringLiteral("Not Connected"));
}

// Commands and replies.

void TFtpClient::ChangeWorkingDirectory(const QByteArray& directory)
{
    SendCommand("CWD " + directory, {200, 250});
}

void TFtpClient::ChangeToParentDirectory()
{
    SendCommand("CDUP", {200, 250});
}

int TFtpClient::SendCommand(const QByteArray& command, const TCodes& accepted)
{
    const TCallScope call(*this);
    WriteLine(command);
    return ReadReply(accepted);
}

void TFtpClient::WriteLine(const QByteArray& line)
{
    CheckConnected();
    m_control->write(line + "\r\n");
    if (WaitWritten(*m_control, 0) == TWait::Closed)
        ControlClosed();
}

int TFtpClient::ReadReply(const TCodes& accepted)
{
    const TCallScope call(*this);
    CheckConnected();
    QList<QByteArray> lines{ReadNonEmptyLine()};
    const QByteArray first = lines.first();
    if (first.size() > 3 && first.at(3) == '-') {
        const QByteArray marker = first.left(3) + ' ';
        for (;;) {
            const QByteArray line = ReadNonEmptyLine();
            lines.append(line);
            if (line.size() < 4 || line.left(4).compare(marker, Qt::CaseInsensitive) == 0)
                break;
        }
    }
    ParseReply(lines);
    CheckReply(accepted);
    return m_lastReply.ReplyCode;
}

void TFtpClient::ParseReply(const QList<QByteArray>& lines)
{
    QByteArray code = TrimControls(lines.first().left(4));
    if (code.size() == 4 && code.at(3) == '-')
        code.chop(1);
    bool ok = code.size() == 3;
    for (const char c : code)
        ok = ok && c >= '0' && c <= '9';
    const int value = ok ? code.toInt() : 0;
    m_lastReply.ReplyCode = value >= 100 && value <= 599 ? value : 0;
    m_lastReply.Code = code;
    m_lastReply.ReplyText.clear();
    for (const QByteArray& line : lines)
        m_lastReply.ReplyText.append(line.mid(4));
    m_lastReplyLines = lines;
}

void TFtpClient::CheckReply(const TCodes& accepted) const
{
    const int code = m_lastReply.ReplyCode;
    if (accepted.isEmpty() || accepted.contains(code))
        return;
    if (code == 0)
        throw EFtpProtocolReplyError(0,
                                     QStringLiteral("Invalid reply from the server: \"%1\".")
                                         .arg(QString::fromLocal8Bit(m_lastReplyLines.value(0))));
    QString text;
    for (const QByteArray& line : m_lastReply.ReplyText)
        text += QString::fromLocal8Bit(line) + QStringLiteral("\r\n");
    throw EFtpProtocolReplyError(code, text);
}

QByteArray TFtpClient::ReadNonEmptyLine()
{
    for (;;) {
        const QByteArray line = TrimControls(ReadLine());
        if (!line.isEmpty())
            return line;
    }
}

QByteArray TFtpClient::ReadLine()
{
    QByteArray line;
    while (!TakeBufferedLine(line)) {
        if (WaitReadable(*m_control) == TWait::Closed)
            ControlClosed();
        IdleDue();
    }
    return line;
}

// Takes the next line (without its CR LF) from what the control connection
// has received; false when no whole line is there yet.
bool TFtpClient::TakeBufferedLine(QByteArray& line)
{
    m_controlBuffer += m_control->readAll();
    const qsizetype end = m_controlBuffer.indexOf('\n');
    qsizetype length = end >= 0 ? end : m_controlBuffer.size();
    if (end >= 0 && length > 0 && m_controlBuffer.at(length - 1) == '\r')
        --length;
    if (length > MaxLineLength && (end >= 0 || length > MaxLineLength + 1)) {
        if (m_maxLineAction == TFtpMaxLineAction::maException) {
            // The rest of the reply cannot be told apart from the next one.
            Disconnect();
            throw EFtpMaxLineLengthExceeded();
        }
        line = m_controlBuffer.left(MaxLineLength);
        m_controlBuffer.remove(0, MaxLineLength);
        return true;
    }
    if (end < 0)
        return false;
    line = m_controlBuffer.left(length);
    m_controlBuffer.remove(0, end + 1);
    return true;
}

void TFtpClient::ControlClosed()
{
    CloseConnection();
    throw EFtpConnClosedGracefully();
}

void TFtpClient::CloseConnection()
{
    CloseData();
    if (m_control) {
        m_control->abort();
        m_control.reset();
    }
    m_controlBuffer.clear();
    Status(TFtpStatus::hsDisconnected, QStringLiteral("Disconnected."));
}

// Waiting on sockets.

TFtpClient::TWait TFtpClient::WaitReadable(QTcpSocket& socket)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (socket.bytesAvailable() > 0)
            return TWait::Ready;
        if (socket.state() != QAbstractSocket::ConnectedState) {
            const auto error = socket.error();
            if (m_abortRequested || error == QAbstractSocket::RemoteHostClosedError ||
                error == QAbstractSocket::SocketTimeoutError ||
                error == QAbstractSocket::UnknownSocketError)
                return TWait::Closed;
            ThrowSocketError(socket);
        }
        if (socket.waitForReadyRead(ReadSliceMs))
            return TWait::Ready;
        if (socket.state() != QAbstractSocket::ConnectedState)
            continue;
        if (m_readTimeout > 0 && timer.elapsed() >= m_readTimeout)
            throw EFtpReadTimeout();
        Idle();
    }
}

TFtpClient::TWait TFtpClient::WaitWritten(QTcpSocket& socket, qint64 keepAtMost)
{
    while (socket.bytesToWrite() > keepAtMost) {
        if (socket.state() != QAbstractSocket::ConnectedState) {
            if (m_abortRequested || socket.error() == QAbstractSocket::RemoteHostClosedError)
                return TWait::Closed;
            ThrowSocketError(socket);
        }
        if (!socket.waitForBytesWritten(ReadSliceMs) &&
            socket.state() == QAbstractSocket::ConnectedState)
            Idle();
        else
            IdleDue();
    }
    return TWait::Ready;
}

void TFtpClient::ThrowSocketError(const QAbstractSocket& socket) const
{
    throw SocketError(socket);
}

EFtpSocketError TFtpClient::SocketError(const QAbstractSocket& socket)
{
    const TSocketErrorText error = DescribeSocketError(socket.error());
    return EFtpSocketError(error.Code, error.Text ? QString::fromLatin1(error.Text)
                                                  : socket.errorString() + QLatin1Char('.'));
}

// Data transfers.

quint16 TFtpClient::EnterPassiveMode()
{
    SendCommand("PASV", {227});
    // The numbers are on the first line; a multi-line reply may carry them
    // on a later one.
    const QByteArray first = m_lastReply.ReplyText.value(0);
    if (first.count(',') < 5)
        for (qsizetype i = 1; i < m_lastReplyLines.size(); ++i)
            if (m_lastReplyLines.at(i).count(',') >= 5)
                return ParsePassiveReply(m_lastReplyLines.at(i));
    return ParsePassiveReply(first);
}

void TFtpClient::OpenData(quint16 port)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(m_control->peerAddress(), port);
    WaitConnected(*socket);
    m_data = std::move(socket);
}

void TFtpClient::CloseData()
{
    if (!m_data)
        return;
    m_data->abort();
    m_data.reset();
}

void TFtpClient::BeginTransfer()
{
    Status(TFtpStatus::ftpTransfer, QStringLiteral("Starting FTP transfer"));
    m_transferRunning = true;
    m_abortRequested = false;
    m_transferAborted = false;
}

void TFtpClient::EndDataPhase()
{
    m_dataPhase = false;
    CloseData();
    Status(TFtpStatus::ftpReady, QStringLiteral("Transfer complete"));
}

// The closing replies of a transfer. Without an ABOR of ours a 426 or 450 is
// the only reply. After an ABOR, 426 (or 450) is followed by the ABOR's own
// reply; a lone 225 means the server ended the command before any data
// moved; a normal end (226, 250) means the transfer had finished first, and
// the ABOR's reply may still follow, which is waited for only briefly. A
// transfer that we aborted counts as aborted whatever the server says: the
// server cannot tell a store cut short from a complete one.
void TFtpClient::FinishTransfer()
{
    const int code = ReadReply({225, 226, 250, 426, 450});
    m_transferRunning = false;
    const bool cut = code == 426 || code == 450;
    if (!m_abortRequested && !cut)
        return;
    if (m_abortRequested && cut)
        ReadReply({226, 225});
    else if (m_abortRequested && code != 225)
        ReadLateAbortReply();
    m_transferAborted = true;
    Status(TFtpStatus::ftpAborted, QStringLiteral("Transfer aborted"));
}

void TFtpClient::ReadLateAbortReply()
{
    ReadReplyWithin(LateAbortReplyMs, {225, 226});
}

// Reads a reply that may never come; false when none arrived in time.
bool TFtpClient::ReadReplyWithin(int milliseconds, const TCodes& accepted)
{
    const int readTimeout = m_readTimeout;
    m_readTimeout = milliseconds;
    try {
        ReadReply(accepted);
    } catch (const EFtpReadTimeout&) {
        m_readTimeout = readTimeout;
        return false;
    } catch (...) {
        m_readTimeout = readTimeout;
        throw;
    }
    m_readTimeout = readTimeout;
    return true;
}

void TFtpClient::ReceiveTransfer(const QByteArray& command,
                                 const std::function<void(const QByteArray&)>& sink)
{
    RunTransfer([&] {
        OpenData(EnterPassiveMode());
        WriteLine(command);
        ReadReply({125, 150, 154});
        ReceiveData(sink);
    });
}

void TFtpClient::RunTransfer(const std::function<void()>& dataPhase)
{
    const TCallScope call(*this);
    CheckConnected();
    BeginTransfer();
    try {
        dataPhase();
    } catch (...) {
        m_transferRunning = false;
        EndDataPhase();
        throw;
    }
    EndDataPhase();
    FinishTransfer();
}

void TFtpClient::ReceiveData(const std::function<void(const QByteArray&)>& sink)
{
    TWorkScope work(*this, TWorkMode::wmRead, 0);
    m_dataPhase = true;
    qint64 count = 0;
    while (!m_abortRequested && WaitReadable(*m_data) == TWait::Ready) {
        const QByteArray chunk = m_data->read(ChunkSize);
        sink(chunk);
        count += chunk.size();
        work.Work(count);
        IdleDue();
    }
}

QList<QByteArray> TFtpClient::List(const QByteArray& specifier)
{
    QByteArray text;
    ReceiveTransfer(("LIST " + specifier).trimmed(),
                    [&](const QByteArray& chunk) { text += chunk; });
    return SplitListingText(text);
}

void TFtpClient::Retrieve(const QByteArray& remoteName, const QString& localPath)
{
    QFile file(localPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EFtpError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(localPath, file.errorString()));
    Retrieve(remoteName, file);
}

void TFtpClient::Retrieve(const QByteArray& remoteName, QIODevice& destination)
{
    Retrieve(remoteName, [&](const QByteArray& chunk) {
        if (destination.write(chunk) != chunk.size())
            throw EFtpError(QStringLiteral("Cannot write the received file. %1")
                                .arg(destination.errorString()));
    });
}

void TFtpClient::Retrieve(const QByteArray& remoteName,
                          const std::function<void(const QByteArray&)>& sink)
{
    ReceiveTransfer("RETR " + remoteName, sink);
}

void TFtpClient::Store(const QString& localPath, const QByteArray& remoteName)
{
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly))
        throw EFtpError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(localPath, file.errorString()));
    RunTransfer([&] {
        const quint16 port = EnterPassiveMode();
        WriteLine(remoteName.isEmpty() ? QByteArray("STOU ") : "STOR " + remoteName);
        OpenData(port);
        ReadReply({110, 125, 150});
        SendData(file);
    });
}

void TFtpClient::SendData(QIODevice& source)
{
    TWorkScope work(*this, TWorkMode::wmWrite, source.size());
    m_dataPhase = true;
    try {
        SendChunks(source, [&work](qint64 sent) { work.Work(sent); });
    } catch (const EFtpSocketError& error) {
        // A data socket closed by Abort ends the sending without failure.
        if (!m_abortRequested)
            ThrowStoreFailure(error);
    }
}

void TFtpClient::SendChunks(QIODevice& source, const std::function<void(qint64)>& work)
{
    QByteArray buffer(ChunkSize, Qt::Uninitialized);
    qint64 sent = 0;
    while (!m_abortRequested) {
        const qint64 read = source.read(buffer.data(), ChunkSize);
        if (read < 0)
            throw EFtpError(QStringLiteral("Cannot read file. %1").arg(source.errorString()));
        if (read == 0)
            break;
        if (m_data->write(buffer.constData(), read) != read ||
            WaitWritten(*m_data, SendBacklog) == TWait::Closed)
            throw SocketError(*m_data);
        sent += read;
        work(sent);
        IdleDue();
    }
    if (m_abortRequested)
        return;
    if (WaitWritten(*m_data, 0) == TWait::Closed)
        throw SocketError(*m_data);
    m_data->disconnectFromHost();
}

// The data connection broke during a store. The server's reply usually names
// the cause (no space left, no permission), so it is waited for briefly; the
// socket's own error is the answer when none comes or the server saw no fault.
void TFtpClient::ThrowStoreFailure(const EFtpSocketError& error)
{
    CloseData();
    ReadReplyWithin(LateAbortReplyMs, {225, 226, 250});
    throw error;
}

void TFtpClient::Abort()
{
    // Only a running data phase has something to abort; an ABOR at any other
    // time would leave its reply to be taken for the next command's.
    if (!Running())
        return;
    if (!m_dataPhase) {
        m_cancelRequested = true;
        return;
    }
    m_abortRequested = true;
    if (m_control && m_control->state() == QAbstractSocket::ConnectedState) {
        m_control->write("ABOR\r\n");
        m_control->flush();
    }
    if (m_data)
        m_data->abort();
}
