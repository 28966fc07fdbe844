#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class TMemIniFile;
class TUserInterface;

// One zip command row: a directory searched with its subdirectories for
// files matching the filter, or a single file (then the filter is unused).
// A directory without an absolute form is relative to the project's RelDir.
struct TZipCommand {
    QString Directory;
    QString Filter;

    bool operator==(const TZipCommand&) const = default;
};

// The project: which files belong together, the relative directory they and
// the archive's entry names are resolved against, the archive, the filters
// and the sync mode. It is stored in an INI file (".qrz"); the FTP section of
// that file belongs to the transfer settings and is never touched here.
//
// Messages and questions go through the TUserInterface given at creation.
// The window observes the signals to update its caption and labels.
class TZipProject : public QObject {
    Q_OBJECT
public:
    explicit TZipProject(TUserInterface& ui, QObject* parent = nullptr);

    static QString DefaultProjectName() { return QStringLiteral("QorZip.qrz"); }
    static QStringList HeaderRow()
    {
        return {QStringLiteral("Directory"), QStringLiteral("Filter")};
    }

    const QString& CFGFileName() const { return m_cfgFileName; }
    void SetCFGFileName(const QString& fileName);
    // "Qor Zip:" and the short form of the project file name.
    QString Caption() const;

    // Always absolute and clean, ending with the native separator, wherever
    // it comes from (PathRules::CleanDirectory).
    const QString& RelDir() const { return m_relDir; }
    void SetRelDir(const QString& directory);
    // This computer's folder from its own section; empty when the project
    // has none, so a missing RelDir is asked for, never silently replaced.
    const QString& MachineRelDir() const { return m_machineRelDir; }
    void SetMachineRelDir(const QString& directory);
    // True when the last load asked for the folder and got one; it is then
    // this computer's folder too, and the project wants saving to keep it.
    bool RelDirChosen() const { return m_relDirChosen; }
    const QString& RootDir() const { return m_rootDir; }
    void SetRootDir(const QString& directory) { m_rootDir = directory; }
    const QString& LoadLastFile() const { return m_loadLastFile; }
    void SetLoadLastFile(const QString& fileName) { m_loadLastFile = fileName; }

    const QString& LastZipFile() const { return m_lastZipFile; }
    void SetLastZipFile(const QString& fileName);
    // The short form of the archive name the window's label shows.
    QString ZipFileLabel() const;

    // The current filter text and the list of filter texts offered with it.
    const QString& FilterText() const { return m_filterText; }
    void SetFilterText(const QString& text) { m_filterText = text; }
    const QStringList& FilterList() const { return m_filterList; }
    void SetFilterList(const QStringList& list) { m_filterList = list; }

    // 0 replace the entry, 1 keep versions, 2 create a new dated archive.
    int ZipOperation() const { return m_zipOperation; }
    void SetZipOperation(int operation);

    // The command rows (the grid's rows 1.., below its header row).
    const QList<TZipCommand>& Commands() const { return m_commands; }
    void SetCommands(const QList<TZipCommand>& commands);

    // The header and the three default rows on the documents folder.
    void NewProjectDefaults();
    // Reads the project file; false (after a message) when it does not exist.
    bool LoadProject(const QString& fileName);
    // Writes the project file; raises the INI file's error when that fails.
    bool SaveProject(const QString& fileName);
    // Asks for the relative directory; false when the user cancelled.
    bool AskRelDir();

signals:
    void CFGFileNameChanged(const QString& fileName);
    void RelDirChanged(const QString& directory);
    void LastZipFileChanged(const QString& fileName);
    void ZipOperationChanged(int operation);
    void CommandsChanged();

private:
    void ReadFields(const TMemIniFile& ini);
    void ReadRows(const TMemIniFile& ini);
    void WriteFields(TMemIniFile& ini) const;
    void WriteRows(TMemIniFile& ini) const;
    void CheckRelDir();

    TUserInterface& m_ui;
    QString m_cfgFileName;
    QString m_relDir;
    QString m_machineRelDir;
    QString m_rootDir;
    QString m_loadLastFile;
    QString m_lastZipFile;
    QString m_filterText;
    QStringList m_filterList;
    int m_zipOperation = 1;
    bool m_relDirChosen = false;
    QList<TZipCommand> m_commands;
};
