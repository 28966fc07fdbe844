// qorzip show PROJECT.qrz [--rel-dir DIR] [--json]: the project as this
// computer understands it, with warnings for what would surprise a user.
#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include "CliUserInterface.h"
#include "Commands.h"
#include "Console.h"
#include "FileList.h"
#include "FileListBuilder.h"
#include "FtpSettings.h"
#include "MemIniFile.h"
#include "PathRules.h"
#include "Utils.h"
#include "ZipProject.h"

namespace {
const QString kCommand = QStringLiteral("show");
const QString kZipCommands = QStringLiteral("ZipCommands");
const QString kRelDir = QStringLiteral("RelDir");

// Reading a project for display: messages are kept for the warnings, and a
// missing RelDir is kept (with a warning) unless --rel-dir names one.
class TShowUserInterface : public TCliUserInterface {
public:
    explicit TShowUserInterface(QString relDir) : m_relDir(std::move(relDir))
    {
        SetShowProgress(false);
    }
    void ShowMessage(const QString& text) override { m_messages.append(TerminalText(text)); }
    QString DirectoryName(const TFileRequest&) override { return m_relDir; }
    const QStringList& Messages() const { return m_messages; }

private:
    QString m_relDir;
    QStringList m_messages;
};

struct TShownRow {
    TZipCommand Row;
    qsizetype Files = 0;
};

struct TProjectView {
    QString Project;
    QString RelDir;
    QString RelDirSource;
    QString Archive;
    bool ArchiveExists = false;
    int Mode = 0;
    QList<TShownRow> Rows;
    QString Host;
    QString User;
    QString Target;
    QString RemoteFile;
    QStringList Warnings;
};

QString RowKey(int index)
{
    return QStringLiteral("Row[%1]").arg(index);
}

bool SameFolder(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() &&
           PathRules::WithTrailingSeparator(Console::AbsolutePath(a)) ==
               PathRules::WithTrailingSeparator(Console::AbsolutePath(b));
}

QString RelDirSource(const TMemIniFile& ini, const QString& relDir)
{
    if (SameFolder(relDir, ini.ReadString(QStringLiteral("Files"), kRelDir, QString())))
        return QStringLiteral("the project");
    const QString computer = PathRules::ComputerName();
    if (!computer.isEmpty() && SameFolder(relDir, ini.ReadString(computer, kRelDir, QString())))
        return QStringLiteral("this computer's section [%1]").arg(computer);
    return QStringLiteral("--rel-dir");
}

// An unquoted blank ends an item: with the blanks hidden the row splits
// into fewer items exactly when a blank split it.
bool SplitByBlank(const QString& stored)
{
    QString hidden = stored;
    hidden.replace(QLatin1Char(' '), QChar(0xE000)).replace(QLatin1Char('\t'), QChar(0xE001));
    QStringList items;
    QStringList hiddenItems;
    SetDelimitedText(stored, QLatin1Char(','), QLatin1Char('\''), items);
    SetDelimitedText(hidden, QLatin1Char(','), QLatin1Char('\''), hiddenItems);
    return items.size() > hiddenItems.size();
}

// What the stored row keys hide: a missing header or gap drops rows silently.
QStringList StoredRowWarnings(const TMemIniFile& ini, int rowCount)
{
    QStringList warnings;
    int last = -1;
    for (const QString& key : ini.SectionKeys(kZipCommands))
        if (key.startsWith(QLatin1String("Row["), Qt::CaseInsensitive) && key.endsWith(u']'))
            last = qMax(last, key.mid(4, key.size() - 5).toInt());
    const int firstMissing = ini.ValueExists(kZipCommands, RowKey(0)) ? rowCount + 1 : 0;
    if (last > firstMissing)
        warnings.append(QStringLiteral("%1 is missing: the rows after it are ignored")
                            .arg(RowKey(firstMissing)));
    return warnings;
}

// The files one row selects, without the project file.
qsizetype CountFiles(const TZipProject& project, const TZipCommand& row)
{
    TShowUserInterface quiet{QString()};
    TZipProject single(quiet);
    single.SetCFGFileName(project.CFGFileName());
    single.SetRelDir(project.RelDir());
    single.SetCommands({row});
    TFileList list;
    BuildFileList(single, quiet, list);
    const QStringList paths = list.Paths();
    return paths.size() - paths.count(Console::AbsolutePath(project.CFGFileName()));
}

QList<TShownRow> ShownRows(const TZipProject& project, const TMemIniFile& ini,
                           QStringList& warnings)
{
    QList<TShownRow> rows;
    for (const TZipCommand& row : project.Commands()) {
        const int number = int(rows.size()) + 1;
        rows.append({row, CountFiles(project, row)});
        const QString stored = ini.ReadString(kZipCommands, RowKey(number), QString());
        if (SplitByBlank(stored))
            warnings.append(QStringLiteral("row %1: its text was split at an unquoted blank "
                                           "(put the path in apostrophes): %2")
                                .arg(number)
                                .arg(stored));
        const QString path =
            PathRules::IsAbsolute(row.Directory) ? row.Directory : project.RelDir() + row.Directory;
        if (row.Directory.trimmed().isEmpty())
            warnings.append(QStringLiteral("row %1: has no folder or file").arg(number));
        else if (!QFileInfo::exists(path))
            warnings.append(QStringLiteral("row %1: \"%2\" does not exist").arg(number).arg(path));
        else if (rows.last().Files == 0)
            warnings.append(QStringLiteral("row %1: selects no file").arg(number));
    }
    return rows;
}

void ReadFtp(const TMemIniFile& ini, const QString& fileName, TProjectView& view)
{
    TFtpSettings ftp;
    ftp.Load(fileName);
    const QString section = QLatin1String(TFtpSettings::Section);
    const auto value = [&](const QString& key, const QString& text) {
        return ini.ValueExists(section, key) ? text : QString();
    };
    view.Host = value(QStringLiteral("Hostname"), ftp.Hostname);
    view.User = value(QStringLiteral("Username"), ftp.Username);
    view.Target = value(QStringLiteral("TargetPath"), ftp.TargetPath);
    view.RemoteFile = value(QStringLiteral("File"), ftp.File);
}

TProjectView MakeView(const TZipProject& project)
{
    const TMemIniFile ini(project.CFGFileName());
    TProjectView view;
    view.Project = project.CFGFileName();
    view.RelDir = project.RelDir();
    view.RelDirSource = RelDirSource(ini, project.RelDir());
    view.Archive = project.LastZipFile();
    view.ArchiveExists = !view.Archive.isEmpty() && QFileInfo(view.Archive).isFile();
    view.Mode = project.ZipOperation();
    if (!QFileInfo(view.RelDir).isDir())
        view.Warnings.append(QStringLiteral("RelDir \"%1\" does not exist on this computer "
                                            "(give one with --rel-dir)")
                                 .arg(view.RelDir));
    if (view.Archive.isEmpty())
        view.Warnings.append(QStringLiteral("the project names no archive"));
    else if (!view.ArchiveExists)
        view.Warnings.append(QStringLiteral("the archive \"%1\" does not exist").arg(view.Archive));
    view.Warnings += StoredRowWarnings(ini, int(project.Commands().size()));
    view.Rows = ShownRows(project, ini, view.Warnings);
    ReadFtp(ini, project.CFGFileName(), view);
    return view;
}

QString ModeName(int mode)
{
    const QStringList names{QStringLiteral("replace"), QStringLiteral("add"),
                            QStringLiteral("newzip")};
    return names.value(mode);
}

QString ModeCaption(int mode)
{
    const QStringList captions{QStringLiteral("Replace File"), QStringLiteral("Add File"),
                               QStringLiteral("Create in new Zip")};
    return captions.value(mode);
}

QString Text(const TProjectView& view)
{
    const auto orNone = [](const QString& text) {
        return text.isEmpty() ? QStringLiteral("(not set)") : text;
    };
    QString text = QStringLiteral("Project:   %1\nRelDir:    %2 (from %3)\nArchive:   %4%5\n"
                                  "Sync mode: %6 (%7)\nRows:\n")
                       .arg(view.Project, view.RelDir, view.RelDirSource, orNone(view.Archive),
                            view.Archive.isEmpty() ? QString()
                            : view.ArchiveExists   ? QStringLiteral(" (exists)")
                                                   : QStringLiteral(" (missing)"),
                            ModeCaption(view.Mode), ModeName(view.Mode));
    qsizetype directoryWidth = 0;
    qsizetype filterWidth = 0;
    for (const TShownRow& row : view.Rows) {
        directoryWidth = qMax(directoryWidth, row.Row.Directory.size());
        filterWidth = qMax(filterWidth, row.Row.Filter.size());
    }
    for (qsizetype i = 0; i < view.Rows.size(); ++i)
        text += QStringLiteral("  %1  %2  %3  %4 files\n")
                    .arg(i + 1)
                    .arg(view.Rows[i].Row.Directory.leftJustified(directoryWidth),
                         view.Rows[i].Row.Filter.leftJustified(filterWidth))
                    .arg(view.Rows[i].Files);
    text += QStringLiteral("FTP:       host %1, user %2, target %3, file %4\n")
                .arg(orNone(view.Host), orNone(view.User), orNone(view.Target),
                     orNone(view.RemoteFile));
    for (const QString& warning : view.Warnings)
        text += QStringLiteral("Warning: %1\n").arg(warning);
    return text;
}

QJsonObject Json(const TProjectView& view)
{
    QJsonArray rows;
    for (qsizetype i = 0; i < view.Rows.size(); ++i)
        rows.append(QJsonObject{{QStringLiteral("number"), i + 1},
                                {QStringLiteral("directory"), view.Rows[i].Row.Directory},
                                {QStringLiteral("filter"), view.Rows[i].Row.Filter},
                                {QStringLiteral("files"), view.Rows[i].Files}});
    return {{QStringLiteral("project"), view.Project},
            {QStringLiteral("relDir"), view.RelDir},
            {QStringLiteral("relDirSource"), view.RelDirSource},
            {QStringLiteral("archive"), view.Archive},
            {QStringLiteral("archiveExists"), view.ArchiveExists},
            {QStringLiteral("syncMode"), ModeName(view.Mode)},
            {QStringLiteral("rows"), rows},
            {QStringLiteral("ftp"), QJsonObject{{QStringLiteral("host"), view.Host},
                                                {QStringLiteral("user"), view.User},
                                                {QStringLiteral("target"), view.Target},
                                                {QStringLiteral("file"), view.RemoteFile}}},
            {QStringLiteral("warnings"), QJsonArray::fromStringList(view.Warnings)}};
}
} // namespace

int RunShow(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("The project file."));
    const QCommandLineOption relDir = Console::RelDirOption();
    const QCommandLineOption json = Console::JsonOption();
    parser.addOptions({relDir, json});
    if (const int result = Console::Parse(parser, kCommand, arguments); result >= 0)
        return result;
    if (parser.positionalArguments().size() != 1)
        return Console::UsageError(kCommand, QStringLiteral("one project file expected"));

    TShowUserInterface ui(Console::AbsolutePath(parser.value(relDir)));
    TZipProject project(ui);
    if (!Console::LoadProject(project, parser.positionalArguments().first()))
        return Console::Failure(ui.Messages().join(u' '));
    const TProjectView view = MakeView(project);
    if (parser.isSet(json))
        Console::OutJson(Json(view));
    else
        Console::Out(Text(view));
    return 0;
}
