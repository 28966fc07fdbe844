#include "FtpSettings.h"

#include <QFileDevice>

#include "MemIniFile.h"

namespace {
constexpr int DefaultPort = 21;

// The position of the colon before a port, or -1. A host with more than one
// colon is an IPv6 address, which carries a port only in brackets.
qsizetype PortColon(const QString& hostname)
{
    const qsizetype colon = hostname.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return -1;
    if (hostname.count(QLatin1Char(':')) > 1 && !hostname.startsWith(QLatin1Char('[')))
        return -1;
    bool ok = false;
    const int port = hostname.mid(colon + 1).toInt(&ok, 10);
    return ok && port > 0 && port <= 65535 ? colon : -1;
}
} // namespace

void TFtpSettings::Load(const QString& projectFile)
{
    const TMemIniFile ini(projectFile);
    const QString section = QString::fromLatin1(Section);
    File = ini.ReadString(section, QStringLiteral("File"), File);
    Hostname = ini.ReadString(section, QStringLiteral("Hostname"), Hostname);
    Username = ini.ReadString(section, QStringLiteral("Username"), Username);
    Password = ini.ReadString(section, QStringLiteral("Password"), Password);
    TargetPath = ini.ReadString(section, QStringLiteral("TargetPath"), TargetPath);
}

void TFtpSettings::Save(const QString& projectFile) const
{
    TMemIniFile ini(projectFile);
    const QString section = QString::fromLatin1(Section);
    ini.WriteString(section, QStringLiteral("File"), File);
    ini.WriteString(section, QStringLiteral("Hostname"), Hostname);
    ini.WriteString(section, QStringLiteral("Username"), Username);
    ini.WriteString(section, QStringLiteral("Password"), Password);
    ini.WriteString(section, QStringLiteral("TargetPath"), TargetPath);
    const int ownerOnly = int(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ini.UpdateFile(Password.isEmpty() ? -1 : ownerOnly);
}

QByteArray TFtpSettings::Host() const
{
    const qsizetype colon = PortColon(Hostname);
    QString host = colon < 0 ? Hostname : Hostname.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    return host.toLocal8Bit();
}

int TFtpSettings::Port() const
{
    const qsizetype colon = PortColon(Hostname);
    return colon < 0 ? DefaultPort : Hostname.mid(colon + 1).toInt();
}
