#pragma once

#include "Exception.h"

// Errors of the FTP client. Each carries the text the user sees.
class EFtpError : public Exception {
public:
    using Exception::Exception;
};

// A socket call failed (name resolution included): "Socket Error # n\r\ntext".
class EFtpSocketError : public EFtpError {
public:
    EFtpSocketError(int code, const QString& text);
    int ErrorCode() const { return m_code; }

private:
    int m_code;
};

class EFtpConnectTimeout : public EFtpError {
public:
    EFtpConnectTimeout() : EFtpError(QStringLiteral("Connect timed out.")) {}
};

class EFtpReadTimeout : public EFtpError {
public:
    EFtpReadTimeout() : EFtpError(QStringLiteral("Read timed out.")) {}
};

class EFtpConnClosedGracefully : public EFtpError {
public:
    EFtpConnClosedGracefully() : EFtpError(QStringLiteral("Connection Closed Gracefully.")) {}
};

// The server answered with a code the command does not accept.
class EFtpProtocolReplyError : public EFtpError {
public:
    EFtpProtocolReplyError(int replyCode, const QString& text)
        : EFtpError(text), m_replyCode(replyCode)
    {}
    int ReplyCode() const { return m_replyCode; }

private:
    int m_replyCode;
};

// The user cancelled a call before its data phase; the client has closed the
// connection. A cancel is no failure: callers end their operation quietly.
class EFtpCancelled : public EFtpError {
public:
    EFtpCancelled() : EFtpError(QStringLiteral("Operation cancelled.")) {}
};

class EFtpMaxLineLengthExceeded : public EFtpError {
public:
    EFtpMaxLineLengthExceeded() : EFtpError(QStringLiteral("Max line length exceeded.")) {}
};
