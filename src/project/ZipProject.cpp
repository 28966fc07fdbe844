#include "ZipProject.h"

#include <QFileDevice>
#include <QFileInfo>

#include "MemIniFile.h"
#include "PathRules.h"
#include "UserInterface.h"
#include "Utils.h"

namespace {
const QString kFiles = QStringLiteral("Files");
const QString kSyncList = QStringLiteral("SyncList");
const QString kFilter = QStringLiteral("Filter");
const QString kZipCommands = QStringLiteral("ZipCommands");
const QString kFtp = QStringLiteral("FTP");
const QString kRelDir = QStringLiteral("RelDir");
const QChar kRowDelimiter = QLatin1Char(',');
const QChar kRowQuote = QLatin1Char('\'');
// Saving deletes the row keys up to this index before writing the rows.
constexpr int kLastClearedRow = 100;
constexpr int kLastZipOperation = 2;

QString RowKey(int index)
{
    return QStringLiteral("Row[%1]").arg(index);
}

QString DocumentsDirectory()
{
    QString folder = PathRules::DocumentsFolder();
    folder.chop(1);
    return folder;
}

QString RowText(const QStringList& cells)
{
    return DelimitedText(cells, kRowDelimiter, kRowQuote);
}

// Splits a stored row into the two cells the way the grid's row view does:
// the cells are emptied first, an empty item becomes a single blank and items
// beyond the second are dropped.
TZipCommand RowFromText(const QString& text)
{
    QStringList items;
    SetDelimitedText(text, kRowDelimiter, kRowQuote, items);
    QStringList cells(2);
    for (int i = 0; i < items.size() && i < cells.size(); ++i)
        cells[i] = items[i].isEmpty() ? QStringLiteral(" ") : items[i];
    return {PathRules::FromStoredRow(cells[0]), cells[1]};
}

bool HoldsPassword(const TMemIniFile& ini)
{
    return !ini.ReadString(kFtp, QStringLiteral("Password"), QString()).isEmpty();
}
} // namespace

TZipProject::TZipProject(TUserInterface& ui, QObject* parent)
    : QObject(parent), m_ui(ui), m_cfgFileName(DefaultProjectName()),
      m_relDir(PathRules::DocumentsFolder()), m_rootDir(DocumentsDirectory()),
      m_loadLastFile(m_rootDir + PathRules::NativeSeparator() + QStringLiteral("*.*")),
      m_filterText(QStringLiteral("*.*"))
{
    NewProjectDefaults();
}

void TZipProject::SetCFGFileName(const QString& fileName)
{
    m_cfgFileName = fileName;
    emit CFGFileNameChanged(fileName);
}

QString TZipProject::Caption() const
{
    return QStringLiteral("Qor Zip:") + AbbreviatePath(m_cfgFileName, 1, false, false);
}

void TZipProject::SetRelDir(const QString& directory)
{
    m_relDir = PathRules::CleanDirectory(directory);
    emit RelDirChanged(m_relDir);
}

void TZipProject::SetMachineRelDir(const QString& directory)
{
    m_machineRelDir = PathRules::CleanDirectory(directory);
}

void TZipProject::SetLastZipFile(const QString& fileName)
{
    m_lastZipFile = fileName;
    emit LastZipFileChanged(fileName);
}

QString TZipProject::ZipFileLabel() const
{
    return AbbreviatePath(m_lastZipFile, 2, false, true);
}

void TZipProject::SetZipOperation(int operation)
{
    m_zipOperation = operation;
    emit ZipOperationChanged(operation);
}

void TZipProject::SetCommands(const QList<TZipCommand>& commands)
{
    m_commands = commands;
    emit CommandsChanged();
}

void TZipProject::NewProjectDefaults()
{
    const QString documents = DocumentsDirectory();
    SetCommands({{documents, QStringLiteral("*.doc;*.xsl;*.pps;*.txt")},
                 {documents, QStringLiteral("*.pas;*.dfm;*.dpr")},
                 {documents, QStringLiteral("*.cpp;*.hpp;")}});
}

bool TZipProject::LoadProject(const QString& fileName)
{
    if (!QFileInfo(fileName).isFile()) {
        m_ui.ShowMessage(QStringLiteral("Sorry File:\r\n\r\n%1\r\ndoes not exists.").arg(fileName));
        return false;
    }
    const TMemIniFile ini(fileName);
    m_relDirChosen = false;
    ReadFields(ini);
    ReadRows(ini);
    CheckRelDir();
    return true;
}

void TZipProject::ReadFields(const TMemIniFile& ini)
{
    const QString computer = PathRules::ComputerName();
    SetMachineRelDir(computer.isEmpty() ? QString() : ini.ReadString(computer, kRelDir, QString()));
    m_rootDir = ini.ReadString(kFiles, QStringLiteral("RootDir"), m_rootDir);
    const QString relDir = ini.ReadString(kFiles, kRelDir, QString());
    SetRelDir(relDir.trimmed().isEmpty() ? m_relDir : relDir);
    m_loadLastFile = ini.ReadString(kFiles, QStringLiteral("LoadLastFile"), m_loadLastFile);
    SetLastZipFile(ini.ReadString(kFiles, QStringLiteral("LastZipFile"), m_lastZipFile));
    // A value outside the three known operations keeps the current one, as an
    // unreadable number does.
    const int operation =
        ini.ReadInteger(kSyncList, QStringLiteral("ZipOperation"), m_zipOperation);
    SetZipOperation(operation >= 0 && operation <= kLastZipOperation ? operation : m_zipOperation);
    m_filterText = ini.ReadString(kFiles, QStringLiteral("cbFilter"), m_filterText);
    ReadIniList(ini, kFilter, kFilter, m_filterList);
}

// Rows are read from Row[0] on up to the first missing key; Row[0] is the
// grid's header and is replaced by the fixed header text.
void TZipProject::ReadRows(const TMemIniFile& ini)
{
    QList<TZipCommand> commands;
    if (ini.ValueExists(kZipCommands, RowKey(0)))
        for (int i = 1; ini.ValueExists(kZipCommands, RowKey(i)); ++i)
            commands.append(RowFromText(ini.ReadString(kZipCommands, RowKey(i), QString())));
    SetCommands(commands);
}

// A relative directory that does not exist here falls back silently to the
// one recorded for this computer; without that the user is asked.
void TZipProject::CheckRelDir()
{
    if (QFileInfo(m_relDir).isDir())
        return;
    if (!m_machineRelDir.isEmpty() && QFileInfo(m_machineRelDir).isDir()) {
        SetRelDir(m_machineRelDir);
        return;
    }
    m_ui.ShowMessage(QStringLiteral("Rel Dir :\r\n\"%1\"\r\ndoes not exists on this computer "
                                    "\"%2\"\r\nPlease set it manually")
                         .arg(m_relDir, PathRules::ComputerName()));
    if (AskRelDir()) {
        m_machineRelDir = m_relDir;
        m_relDirChosen = true;
    }
}

bool TZipProject::AskRelDir()
{
    TFileRequest request;
    request.Title = QStringLiteral("Set Rel Dir to :");
    request.Preset = QFileInfo(m_relDir).isDir() ? m_relDir : PathRules::DocumentsFolder();
    request.Options = TFileRequest::CreateDirectories;
    const QString chosen = m_ui.DirectoryName(request);
    if (chosen.isEmpty())
        return false;
    SetRelDir(chosen);
    return true;
}

bool TZipProject::SaveProject(const QString& fileName)
{
    TMemIniFile ini(fileName);
    WriteFields(ini);
    WriteRows(ini);
    // A file that holds the FTP password is kept readable by its owner only.
    const int ownerOnly = int(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadUser | QFileDevice::WriteUser);
    ini.UpdateFile(HoldsPassword(ini) ? ownerOnly : -1);
    return true;
}

void TZipProject::WriteFields(TMemIniFile& ini) const
{
    const QString computer = PathRules::ComputerName();
    if (!computer.isEmpty())
        ini.WriteString(computer, kRelDir, m_relDir);
    ini.WriteString(kFiles, QStringLiteral("RootDir"), m_rootDir);
    ini.WriteString(kFiles, kRelDir, m_relDir);
    ini.WriteInteger(kSyncList, QStringLiteral("ZipOperation"), m_zipOperation);
    ini.WriteString(kFiles, QStringLiteral("LoadLastFile"), m_loadLastFile);
    ini.WriteString(kFiles, QStringLiteral("LastZipFile"), m_lastZipFile);
    ini.WriteString(kFiles, QStringLiteral("cbFilter"), m_filterText);
    WriteIniList(ini, kFilter, kFilter, m_filterList);
}

void TZipProject::WriteRows(TMemIniFile& ini) const
{
    for (int i = 0; i <= kLastClearedRow; ++i)
        ini.DeleteKey(kZipCommands, RowKey(i));
    ini.WriteString(kZipCommands, RowKey(0), RowText(HeaderRow()));
    for (int i = 0; i < m_commands.size(); ++i) {
        const TZipCommand& command = m_commands[i];
        ini.WriteString(kZipCommands, RowKey(i + 1),
                        RowText({PathRules::ToStoredRow(command.Directory), command.Filter}));
    }
}
