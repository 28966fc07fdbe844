// qorzip sync PROJECT.qrz [--archive FILE] [--apply [--mode M] [--only SYMBOL]... [--yes|--no]]:
// compares the project's files with its archive and prints the plan, or
// carries the plan out.
#include <QCommandLineParser>
#include <QFileInfo>

#include "CliUserInterface.h"
#include "Commands.h"
#include "Console.h"
#include "CurrentZip.h"
#include "SyncComparison.h"
#include "SyncExecution.h"
#include "SyncListModel.h"
#include "ZipProject.h"

namespace {
const QString kCommand = QStringLiteral("sync");
const QString kSynchronized = QStringLiteral("Files are synchronized!");

struct TSyncOptions {
    QCommandLineOption Archive{
        QStringLiteral("archive"),
        QStringLiteral("The archive to compare with (default: the project's archive, looked for "
                       "in this computer's folders when its path does not exist here)."),
        QStringLiteral("FILE")};
    QCommandLineOption Apply{QStringLiteral("apply"),
                             QStringLiteral("Carry the plan out instead of printing it.")};
    QCommandLineOption Mode{QStringLiteral("mode"),
                            QStringLiteral("What copying into the archive does with an existing "
                                           "entry: replace, add (keep versions) or newzip "
                                           "(default: the project's setting, which this changes)."),
                            QStringLiteral("MODE")};
    QCommandLineOption Only{QStringLiteral("only"),
                            QStringLiteral("Keep only rows of this operation symbol (<= => !<= "
                                           "=>! = X> X<); may be repeated."),
                            QStringLiteral("SYMBOL")};
    QCommandLineOption Yes{QStringLiteral("yes"), QStringLiteral("Answer every question yes.")};
    QCommandLineOption No{QStringLiteral("no"), QStringLiteral("Answer every question no.")};
    QCommandLineOption RelDir = Console::RelDirOption();
};

int ModeOf(const QString& text)
{
    const QStringList names{QStringLiteral("replace"), QStringLiteral("add"),
                            QStringLiteral("newzip")};
    return int(names.indexOf(text.toLower()));
}

QString PlanLine(const TSyncItem& item)
{
    return QStringList{item.Operation, item.FilePath,  item.FileDate, item.FileSize,
                       item.EntryName, item.EntryDate, item.EntrySize}
        .join(u'\t');
}

int PrintPlan(const TSyncListModel& list)
{
    const QList<TSyncItem> rows = list.ShownItems();
    if (rows.isEmpty())
        Console::OutLine(kSynchronized);
    for (const TSyncItem& item : rows)
        Console::OutLine(PlanLine(item));
    return 0;
}

} // namespace

int RunSync(const QStringList& arguments)
{
    QCommandLineParser parser;
    const TSyncOptions options;
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("The project file."));
    parser.addOptions({options.Archive, options.Apply, options.Mode, options.Only, options.Yes,
                       options.No, options.RelDir});
    if (const int result = Console::Parse(parser, kCommand, arguments); result >= 0)
        return result;
    if (parser.positionalArguments().size() != 1)
        return Console::UsageError(kCommand, QStringLiteral("one project file expected"));
    if (parser.isSet(options.Yes) && parser.isSet(options.No))
        return Console::UsageError(kCommand, QStringLiteral("--yes and --no exclude each other"));
    const int mode = parser.isSet(options.Mode) ? ModeOf(parser.value(options.Mode)) : -1;
    if (parser.isSet(options.Mode) && mode < 0)
        return Console::UsageError(kCommand, QStringLiteral("--mode is replace, add or newzip"));
    for (const QString& symbol : parser.values(options.Only))
        if (SyncOperations::Code(symbol) < 0)
            return Console::UsageError(
                kCommand, QStringLiteral("unknown operation symbol \"%1\"").arg(symbol));

    TCliUserInterface ui;
    if (parser.isSet(options.Yes) || parser.isSet(options.No))
        ui.SetAnswer(parser.isSet(options.Yes) ? TCliUserInterface::TAnswer::Yes
                                               : TCliUserInterface::TAnswer::No);
    ui.SetDirectoryAnswer(parser.value(options.RelDir), QStringLiteral("give it with --rel-dir"));
    TZipProject project(ui);
    if (!Console::OpenProject(project, parser.positionalArguments().first()))
        return 1;

    const QString archive = parser.isSet(options.Archive)
                                ? Console::AbsolutePath(parser.value(options.Archive))
                                : TCurrentZip::LocateProjectZip(project);
    if (archive.isEmpty() || !QFileInfo(archive).isFile())
        return Console::Failure(QStringLiteral("Archive not found: \"%1\"").arg(archive));
    TCurrentZip current;
    current.LoadZipTree(archive, &ui, false);
    TSyncListModel list;
    TSyncComparison(project, current, ui, list).Compare();
    list.SetOperationFilter(parser.values(options.Only));
    if (!parser.isSet(options.Apply))
        return PrintPlan(list);

    const QList<TSyncItem> rows = list.ShownItems();
    if (rows.isEmpty())
        Console::OutLine(kSynchronized);
    const int operation = mode >= 0 ? mode : project.ZipOperation();
    TSyncExecution execution(current, project.RelDir(), ui);
    execution.SetProjectFile(project.CFGFileName());
    if (!rows.isEmpty())
        execution.ExecuteSync(rows, TZipOperation(operation));
    // A project file restored from the archive is newer than this project.
    if (operation != project.ZipOperation() && !execution.ProjectFileRestored()) {
        project.SetZipOperation(operation);
        project.SaveProject(project.CFGFileName());
    }
    return 0;
}
