#pragma once

#include <exception>

#include <QByteArray>
#include <QString>

// Base of every error the program raises. An operation that fails throws one
// of these with the message text the user sees; the window shows it in an
// error box, the command line prints it and exits 1.
class Exception : public std::exception {
public:
    explicit Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8())
    {}

    const QString& Message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A text that does not convert to the value a caller asked for.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};
