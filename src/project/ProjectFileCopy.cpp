#include "ProjectFileCopy.h"

#include <QFile>
#include <QFileDevice>

#include "Exception.h"
#include "MemIniFile.h"
#include "PathRules.h"

namespace {
const QString kFtp = QStringLiteral("FTP");
const QString kPassword = QStringLiteral("Password");

QString PasswordOf(const TMemIniFile& ini)
{
    return ini.ReadString(kFtp, kPassword, QString());
}

void CopySection(const TMemIniFile& from, TMemIniFile& to, const QString& section)
{
    to.EraseSection(section);
    for (const QString& key : from.SectionKeys(section))
        to.WriteString(section, key, from.ReadString(section, key, QString()));
}
} // namespace

QByteArray TProjectFileCopy::ForArchive(const QString& projectFile)
{
    QFile file(projectFile);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(
            QStringLiteral("Cannot open file \"%1\". %2").arg(projectFile, file.errorString()));
    const QByteArray bytes = file.readAll();
    TMemIniFile ini(projectFile);
    if (PasswordOf(ini).isEmpty())
        return bytes;
    ini.WriteString(kFtp, kPassword, QString());
    return ini.Text().toLocal8Bit();
}

void TProjectFileCopy::Restore(const QByteArray& archived, const QString& projectFile)
{
    const TMemIniFile local(projectFile);
    TMemIniFile restored(projectFile);
    restored.SetText(QString::fromLocal8Bit(archived));
    const QString computer = PathRules::ComputerName();
    if (!computer.isEmpty() && local.SectionExists(computer))
        CopySection(local, restored, computer);
    const QString password = PasswordOf(local);
    if (!password.isEmpty())
        restored.WriteString(kFtp, kPassword, password);
    const int ownerOnly = int(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadUser | QFileDevice::WriteUser);
    restored.UpdateFile(PasswordOf(restored).isEmpty() ? -1 : ownerOnly);
}
