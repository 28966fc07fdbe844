// qorzip new PROJECT.qrz --rel-dir DIR [--archive FILE] [--row PATH [--filter MASKS]]... [--yes]:
// writes a new project file with exactly the given rows.
#include <QCommandLineParser>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include "CliUserInterface.h"
#include "Commands.h"
#include "Console.h"
#include "Exception.h"
#include "PathRules.h"
#include "RowArguments.h"
#include "Utils.h"
#include "ZipProject.h"

namespace {
const QString kCommand = QStringLiteral("new");

struct TNewOptions {
    QCommandLineOption RelDir{QStringLiteral("rel-dir"),
                              QStringLiteral("The folder the rows and entry names are relative "
                                             "to; it must exist."),
                              QStringLiteral("DIR")};
    QCommandLineOption Archive{QStringLiteral("archive"), QStringLiteral("The project's archive."),
                               QStringLiteral("FILE")};
    QCommandLineOption Row{QStringLiteral("row"),
                           QStringLiteral("A folder or file of the project; may be repeated."),
                           QStringLiteral("PATH")};
    QCommandLineOption Filter = RowArguments::FilterOption();
    QCommandLineOption Yes{QStringLiteral("yes"),
                           QStringLiteral("Replace the project file when it exists.")};
};

// Writes the project as a file of its own: an existing file is replaced
// whole (none of its keys survive), in one step.
void SaveReplacing(TZipProject& project, const QString& fileName)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw Exception(
            QStringLiteral("Cannot create a temporary folder. %1").arg(scratch.errorString()));
    const QString draft = scratch.filePath(QFileInfo(fileName).fileName());
    project.SaveProject(draft);
    QFile source(draft);
    if (!source.open(QIODevice::ReadOnly))
        throw Exception(
            QStringLiteral("Cannot open file \"%1\". %2").arg(draft, source.errorString()));
    QSaveFile target(fileName);
    if (!target.open(QIODevice::WriteOnly) || target.write(source.readAll()) < 0 ||
        !target.commit())
        throw Exception(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, target.errorString()));
}
} // namespace

int RunNew(const QStringList& arguments)
{
    QCommandLineParser parser;
    const TNewOptions options;
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("The project file."));
    parser.addOptions({options.RelDir, options.Archive, options.Row, options.Filter, options.Yes});
    if (const int result = Console::Parse(parser, kCommand, arguments); result >= 0)
        return result;
    if (parser.positionalArguments().size() != 1)
        return Console::UsageError(kCommand, QStringLiteral("one project file expected"));
    if (!parser.isSet(options.RelDir))
        return Console::UsageError(kCommand, QStringLiteral("--rel-dir is required"));
    const QString fileName = Console::AbsolutePath(parser.positionalArguments().first());
    if (QFileInfo::exists(fileName) && !parser.isSet(options.Yes))
        return Console::Failure(
            QStringLiteral("\"%1\" exists; give --yes to replace it").arg(fileName));
    const QString relDir = Console::AbsolutePath(parser.value(options.RelDir));
    if (!QFileInfo(relDir).isDir())
        return Console::Failure(QStringLiteral("No such folder: \"%1\"").arg(relDir));

    TCliUserInterface ui;
    TZipProject project(ui);
    project.SetCFGFileName(fileName);
    project.SetRelDir(PathRules::WithTrailingSeparator(PathRules::ToNative(relDir)));
    project.SetRootDir(PathRules::ToNative(relDir));
    if (parser.isSet(options.Archive))
        project.SetLastZipFile(
            PathRules::ToNative(Console::AbsolutePath(parser.value(options.Archive))));
    QString usage;
    const QList<TZipCommand> rows = RowArguments::RowsInOrder(parser, project, usage);
    if (!usage.isEmpty())
        return Console::UsageError(kCommand, usage);
    project.SetCommands(rows);
    SaveReplacing(project, fileName);
    Console::Out(RowArguments::NumberedRows(project.Commands()));
    return 0;
}
