#pragma once

#include <functional>
#include <memory>

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>

#include "FtpError.h"

class QAbstractSocket;
class QHostAddress;
class QIODevice;
class QTcpSocket;

enum class TFtpTransferType { ftASCII, ftBinary };
enum class TWorkMode { wmRead, wmWrite };
enum class TFtpMaxLineAction { maException, maSplit };

enum class TFtpStatus {
    hsResolving,
    hsConnecting,
    hsConnected,
    hsDisconnecting,
    hsDisconnected,
    hsStatusText,
    ftpTransfer,
    ftpReady,
    ftpAborted,
};

// One reply of the server: the numeric code, its three-character text and
// the lines, each without its first four characters.
struct TFtpReply {
    int ReplyCode = 0;
    QByteArray Code;
    QList<QByteArray> ReplyText;
};

// An FTP client for one server (RFC 959) in passive mode: one control
// connection, a data connection per listing or file transfer. Calls are
// synchronous; while one waits on the network it calls OnIdle at least every
// IdleIntervalMs while data flows, and after every slice of a quiet wait
// (250 ms for reads, 125 ms while connecting), where the window processes its
// events and the command line draws its progress. From OnIdle only Abort()
// may be called; any other call fails while Running().
class TFtpClient {
public:
    // Accepted reply codes; an empty list accepts any reply.
    using TCodes = QList<int>;

    static constexpr int MaxLineLength = 16384;
    static constexpr int ChunkSize = 32768;
    static constexpr int ConnectTimeoutMs = 120000;
    static constexpr int ReadSliceMs = 250;
    static constexpr int ConnectSliceMs = 125;
    // While data or replies keep arriving, the idle hook runs this often.
    static constexpr int IdleIntervalMs = 50;
    // How long a reply to ABOR is awaited after the transfer had ended anyway.
    static constexpr int LateAbortReplyMs = 3000;

    TFtpClient();
    ~TFtpClient();
    TFtpClient(const TFtpClient&) = delete;
    TFtpClient& operator=(const TFtpClient&) = delete;

    const QByteArray& Host() const { return m_host; }
    void SetHost(const QByteArray& host) { m_host = host; }
    int Port() const { return m_port; }
    void SetPort(int port) { m_port = port; }
    const QByteArray& Username() const { return m_username; }
    void SetUsername(const QByteArray& username) { m_username = username; }
    const QByteArray& Password() const { return m_password; }
    void SetPassword(const QByteArray& password) { m_password = password; }
    bool Passive() const { return m_passive; }
    void SetPassive(bool passive) { m_passive = passive; }
    TFtpTransferType TransferType() const { return m_transferType; }
    void SetTransferType(TFtpTransferType type);
    // Milliseconds to wait for incoming data; 0 waits without limit.
    int ReadTimeout() const { return m_readTimeout; }
    void SetReadTimeout(int milliseconds) { m_readTimeout = milliseconds; }
    TFtpMaxLineAction MaxLineAction() const { return m_maxLineAction; }
    void SetMaxLineAction(TFtpMaxLineAction action) { m_maxLineAction = action; }

    std::function<void(TFtpStatus status, const QString& text)> OnStatus;
    std::function<void(TWorkMode mode, qint64 countMax)> OnWorkBegin;
    std::function<void(TWorkMode mode, qint64 count)> OnWork;
    std::function<void(TWorkMode mode)> OnWorkEnd;
    std::function<void()> OnIdle;

    void Connect();
    bool Connected() const { return m_control != nullptr; }
    void Disconnect();

    void ChangeWorkingDirectory(const QByteArray& directory);
    void ChangeToParentDirectory();
    QList<QByteArray> List(const QByteArray& specifier);
    // Fetches a remote file into a local one, which is created or emptied first.
    void Retrieve(const QByteArray& remoteName, const QString& localPath);
    // Fetches a remote file into an open device.
    void Retrieve(const QByteArray& remoteName, QIODevice& destination);
    // Fetches a remote file chunk by chunk into `sink`.
    void Retrieve(const QByteArray& remoteName, const std::function<void(const QByteArray&)>& sink);
    // Sends a local file; an empty remote name lets the server choose (STOU).
    void Store(const QString& localPath, const QByteArray& remoteName);
    // In the data phase of a transfer: sends ABOR and drops the data
    // connection; the transfer then returns normally. Earlier in a call (log-in,
    // a command, PASV) the call ends with EFtpCancelled and the connection
    // closed, no ABOR sent. Does nothing when no call runs.
    void Abort();
    // True while a call is in progress (also while it returns after Abort).
    bool Running() const { return m_depth > 0; }

    int SendCommand(const QByteArray& command, const TCodes& accepted = {});
    int ReadReply(const TCodes& accepted = {});
    const TFtpReply& LastReply() const { return m_lastReply; }
    const TFtpReply& Greeting() const { return m_greeting; }
    // True when the server reported the last data transfer as aborted (426, 450).
    bool TransferAborted() const { return m_transferAborted; }

private:
    enum class TWait { Ready, Closed };
    friend class TCallScope;

    void Enter();
    void Leave() { --m_depth; }
    void IdleDue();
    void CheckCancelled();
    void Status(TFtpStatus status, const QString& text);
    void Idle();
    void LogIn();
    QHostAddress ResolveHost();
    void ConnectControl(const QHostAddress& address);
    void WaitConnected(QTcpSocket& socket);
    void CheckConnected() const;

    void WriteLine(const QByteArray& line);
    QByteArray ReadLine();
    QByteArray ReadNonEmptyLine();
    bool TakeBufferedLine(QByteArray& line);
    void ControlClosed();
    void CloseConnection();
    void ParseReply(const QList<QByteArray>& lines);
    void CheckReply(const TCodes& accepted) const;

    TWait WaitReadable(QTcpSocket& socket);
    TWait WaitWritten(QTcpSocket& socket, qint64 keepAtMost);
    [[noreturn]] void ThrowSocketError(const QAbstractSocket& socket) const;
    static EFtpSocketError SocketError(const QAbstractSocket& socket);
    bool ReadReplyWithin(int milliseconds, const TCodes& accepted);

    quint16 EnterPassiveMode();
    void OpenData(quint16 port);
    void CloseData();
    void ReceiveTransfer(const QByteArray& command,
                         const std::function<void(const QByteArray&)>& sink);
    void ReceiveData(const std::function<void(const QByteArray&)>& sink);
    void SendData(QIODevice& source);
    void SendChunks(QIODevice& source, const std::function<void(qint64)>& work);
    [[noreturn]] void ThrowStoreFailure(const EFtpSocketError& error);
    // Runs the data phase of a transfer between its set-up and its closing replies.
    void RunTransfer(const std::function<void()>& dataPhase);
    void BeginTransfer();
    void EndDataPhase();
    void FinishTransfer();
    void ReadLateAbortReply();

    QByteArray m_host;
    int m_port = 21;
    QByteArray m_username;
    QByteArray m_password;
    bool m_passive = false;
    TFtpTransferType m_transferType = TFtpTransferType::ftBinary;
    int m_readTimeout = 0;
    TFtpMaxLineAction m_maxLineAction = TFtpMaxLineAction::maException;

    std::unique_ptr<QTcpSocket> m_control;
    std::unique_ptr<QTcpSocket> m_data;
    QByteArray m_controlBuffer;
    TFtpReply m_lastReply;
    QList<QByteArray> m_lastReplyLines;
    TFtpReply m_greeting;
    bool m_transferRunning = false;
    bool m_dataPhase = false;
    bool m_abortRequested = false;
    bool m_transferAborted = false;
    bool m_cancelRequested = false;
    bool m_inEvents = false; // the idle hook or a connect wait is running events
    int m_depth = 0;
    QElapsedTimer m_idleClock;
};
