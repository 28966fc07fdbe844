#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real FTP server for the tests: pyftpdlib run by Debian's interpreter on
// 127.0.0.1 at a free port, with one user whose home is a temporary folder.
// It stops when the object goes.
class PyFtpServer {
public:
    static constexpr const char* User = "qzuser";
    static constexpr const char* Password = "qzpass";

    PyFtpServer();
    ~PyFtpServer();

    // False (with the reason in Error()) when the server could not start.
    bool Start();
    QString Error() const { return m_error; }
    quint16 Port() const { return m_port; }
    // "127.0.0.1:port", the form a project's Hostname takes.
    QByteArray HostAndPort() const;
    // The user's home folder on the server.
    QString Root() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
