#include "AppSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "MemIniFile.h"
#include "PathRules.h"
#include "Utils.h"
#include "ZipProject.h"

namespace {
const QString kSection = QStringLiteral("QorZip");
const QString kSettingsName = QStringLiteral("QorZip.ini");

QString ConfigKey(int k)
{
    return QStringLiteral("ConfigFile%1").arg(k);
}
} // namespace

TAppSettings::TAppSettings(TZipProject& project, QString fileName)
    : m_project(project), m_fileName(std::move(fileName))
{}

QString TAppSettings::DefaultFileName()
{
    const QString exeDirectory = ExeDirectory();
    if (QFileInfo(exeDirectory).isWritable())
        return exeDirectory + kSettingsName;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return PathRules::WithTrailingSeparator(QDir::toNativeSeparators(config)) + kSettingsName;
}

QString TAppSettings::ConfigFile(int k) const
{
    return m_configFiles.value(k - 1);
}

void TAppSettings::SetConfigFile(int k, const QString& fileName)
{
    if (k >= 1 && k <= m_configFiles.size())
        m_configFiles[k - 1] = fileName;
}

QStringList TAppSettings::RecentCaptions() const
{
    if (!m_settingsRead)
        return {QStringLiteral("File1"), QStringLiteral("File 2"), QStringLiteral("File3")};
    QStringList captions;
    for (const QString& file : m_configFiles)
        captions.append(file.isEmpty() ? QString() : AbbreviatePath(file, 2, true, true));
    return captions;
}

void TAppSettings::ReadSettings()
{
    const TMemIniFile ini(m_fileName);
    m_project.SetCFGFileName(
        ini.ReadString(kSection, QStringLiteral("ConfigFile"), m_project.CFGFileName()));
    for (int k = 1; k <= m_configFiles.size(); ++k)
        SetConfigFile(k, ini.ReadString(kSection, ConfigKey(k), ConfigFile(k)));
    m_masterList.SetCommaText(
        ini.ReadString(kSection, QStringLiteral("FullFilter"), m_masterList.CommaText()));
    m_settingsRead = true;
    m_project.LoadProject(m_project.CFGFileName());
}

void TAppSettings::WriteSettings()
{
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    TMemIniFile ini(m_fileName);
    ini.WriteString(kSection, QStringLiteral("ConfigFile"), m_project.CFGFileName());
    for (int k = 1; k <= m_configFiles.size(); ++k)
        ini.WriteString(kSection, ConfigKey(k), ConfigFile(k));
    ini.WriteString(kSection, QStringLiteral("FullFilter"), m_masterList.CommaText());
    ini.UpdateFile();
    m_project.SaveProject(m_project.CFGFileName());
}

// Project names compare by the file system's case rule: on a system where
// letter case tells files apart, two such projects are two projects.
bool TAppSettings::IsCurrentProject(const QString& fileName) const
{
    return fileName.compare(m_project.CFGFileName(), PathRules::FileNameCase()) == 0;
}

bool TAppSettings::OpenProject(const QString& fileName)
{
    if (IsCurrentProject(fileName))
        return false;
    m_configFiles.prepend(fileName);
    m_configFiles.removeLast();
    m_project.SetCFGFileName(fileName);
    m_project.LoadProject(fileName);
    WriteSettings();
    return true;
}

bool TAppSettings::LoadLast(int k)
{
    if (m_loadingLast)
        return false;
    const QString fileName = ConfigFile(k);
    if (!QFileInfo(fileName).isFile() || IsCurrentProject(fileName))
        return false;
    m_loadingLast = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{m_loadingLast};
    m_project.LoadProject(fileName);
    m_project.SetCFGFileName(fileName);
    m_configFiles.removeAt(k - 1);
    m_configFiles.prepend(fileName);
    WriteSettings();
    return true;
}
