#include "FtpError.h"

EFtpSocketError::EFtpSocketError(int code, const QString& text)
    : EFtpError(QStringLiteral("Socket Error # %1\r\n%2").arg(code).arg(text)), m_code(code)
{}
