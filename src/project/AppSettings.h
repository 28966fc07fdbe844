#pragma once

#include <QString>
#include <QStringList>

#include "MasterList.h"

class TZipProject;

// The application settings: the current project, the three most recently
// opened projects and the known filter masks. They live in "QorZip.ini",
// beside the executable when that folder is writable (a portable install),
// otherwise in the user's configuration folder. Writing the settings also
// saves the current project, so callers use WriteSettings as their one way
// of persisting everything.
class TAppSettings {
public:
    explicit TAppSettings(TZipProject& project, QString fileName = DefaultFileName());

    static QString DefaultFileName();
    const QString& FileName() const { return m_fileName; }

    TMasterList& MasterList() { return m_masterList; }
    const TMasterList& MasterList() const { return m_masterList; }

    // The recent projects, k = 1 (most recent) to 3.
    QString ConfigFile(int k) const;
    void SetConfigFile(int k, const QString& fileName);
    // The captions of the three recent-project menu items.
    QStringList RecentCaptions() const;

    // Reads the settings file (a missing file or key keeps the current
    // value) and loads the project it names.
    void ReadSettings();
    // Writes the settings file, then saves the current project.
    void WriteSettings();

    // A project chosen with "Open...": it goes to the top of the recent list
    // and is loaded; the settings are written. False when it is the current
    // project already, which changes nothing.
    bool OpenProject(const QString& fileName);
    // The recent item k clicked: an existing project other than the current
    // one is loaded and moves to the top, the ones above it move down one
    // place, and the settings are written. False when nothing happened.
    bool LoadLast(int k);

private:
    bool IsCurrentProject(const QString& fileName) const;

    TZipProject& m_project;
    QString m_fileName;
    QStringList m_configFiles{QString(), QString(), QString()};
    TMasterList m_masterList;
    bool m_settingsRead = false;
    bool m_loadingLast = false;
};
