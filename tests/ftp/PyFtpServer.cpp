#include "PyFtpServer.h"

namespace {
const char* const ServerScript = R"(
import logging, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
root, user, password = sys.argv[1:4]
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")
FTPHandler.authorizer = authorizer
FTPHandler.auth_failed_timeout = 0.1
logging.basicConfig(level=logging.DEBUG)
server = FTPServer(("127.0.0.1", 0), FTPHandler)
print(server.socket.getsockname()[1], flush=True)
server.serve_forever()
)";
} // namespace

PyFtpServer::PyFtpServer() = default;

PyFtpServer::~PyFtpServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool PyFtpServer::Start()
{
    m_process.setStandardErrorFile(qEnvironmentVariable("QZ_FTP_LOG", QProcess::nullDevice()));
    m_process.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral("-c"), QString::fromUtf8(ServerScript), m_root.path(),
                     QString::fromLatin1(User), QString::fromLatin1(Password)});
    while (!m_process.canReadLine())
        if (!m_process.waitForReadyRead(10000)) {
            m_error = QStringLiteral("pyftpdlib did not start: %1").arg(m_process.errorString());
            return false;
        }
    m_port = quint16(m_process.readLine().trimmed().toUInt());
    return m_port != 0;
}

QByteArray PyFtpServer::HostAndPort() const
{
    return "127.0.0.1:" + QByteArray::number(m_port);
}
