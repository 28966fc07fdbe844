// qorzip sync PROJECT.qrz [--archive FILE] [--only SYMBOL]... [--json | --plan-out FILE]
// qorzip sync PROJECT.qrz --apply [--plan FILE] [--mode M] [--only SYMBOL]... [--yes|--no]:
// compares the project's files with its archive and prints (or writes) the
// plan, or carries out the plan it found or the one the user edited.
#include <QCommandLineParser>
#include <QFileInfo>

#include "CliUserInterface.h"
#include "Commands.h"
#include "Console.h"
#include "CurrentZip.h"
#include "SyncComparison.h"
#include "SyncExecution.h"
#include "SyncListModel.h"
#include "SyncPlan.h"
#include "SyncPlanFile.h"
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
    QCommandLineOption PlanOut{
        QStringLiteral("plan-out"),
        QStringLiteral("Write the plan to FILE (\"-\": stdout) for editing."),
        QStringLiteral("FILE")};
    QCommandLineOption Plan{QStringLiteral("plan"),
                            QStringLiteral("With --apply: carry out this edited plan (\"-\": "
                                           "stdin); rows changed since it was written are "
                                           "skipped, and the exit code is then 1."),
                            QStringLiteral("FILE")};
    QCommandLineOption Json = Console::JsonOption();
};

// The combinations of the plan options that make no sense; empty when fine.
QString PlanUsage(const QCommandLineParser& parser, const TSyncOptions& options)
{
    if (parser.isSet(options.Apply) &&
        (parser.isSet(options.PlanOut) || parser.isSet(options.Json)))
        return QStringLiteral("--plan-out and --json print a plan; --apply carries one out");
    if (parser.isSet(options.PlanOut) && parser.isSet(options.Json))
        return QStringLiteral("--plan-out and --json exclude each other");
    if (parser.isSet(options.Plan) && !parser.isSet(options.Apply))
        return QStringLiteral("--plan needs --apply");
    if (parser.isSet(options.Plan) && parser.isSet(options.Only))
        return QStringLiteral("--only does not filter a --plan; delete its lines instead");
    return QString();
}

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

// --json prints the plan, --plan-out writes it for editing.
int WritePlan(const QCommandLineParser& parser, const TSyncOptions& options, const TSyncPlan& plan)
{
    if (parser.isSet(options.Json)) {
        Console::OutJson(plan.Json());
        return 0;
    }
    SyncPlanFile::Write(plan, parser.value(options.PlanOut));
    Console::ErrLine(plan.Rows().isEmpty() ? kSynchronized
                                           : QStringLiteral("Plan of %1 rows written to %2")
                                                 .arg(plan.Rows().size())
                                                 .arg(parser.value(options.PlanOut)));
    return 0;
}

} // namespace

int RunSync(const QStringList& arguments)
{
    QCommandLineParser parser;
    const TSyncOptions options;
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("The project file."));
    parser.addOptions({options.Archive, options.Apply, options.Mode, options.Only, options.Yes,
                       options.No, options.RelDir, options.PlanOut, options.Plan, options.Json});
    if (const int result = Console::Parse(parser, kCommand, arguments); result >= 0)
        return result;
    if (parser.positionalArguments().size() != 1)
        return Console::UsageError(kCommand, QStringLiteral("one project file expected"));
    if (parser.isSet(options.Yes) && parser.isSet(options.No))
        return Console::UsageError(kCommand, QStringLiteral("--yes and --no exclude each other"));
    const int mode = parser.isSet(options.Mode) ? ModeOf(parser.value(options.Mode)) : -1;
    if (parser.isSet(options.Mode) && mode < 0)
        return Console::UsageError(kCommand, QStringLiteral("--mode is replace, add or newzip"));
    if (const QString usage = PlanUsage(parser, options); !usage.isEmpty())
        return Console::UsageError(kCommand, usage);
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
    TSyncListModel list;
    TSyncComparison(project, current, ui, list).CompareWithArchive(archive);
    list.SetOperationFilter(parser.values(options.Only));
    if (parser.isSet(options.PlanOut) || parser.isSet(options.Json))
        return WritePlan(
            parser, options,
            TSyncPlan::FromComparison(list.ShownItems(), project.RelDir(), current.Zip(), archive));
    if (!parser.isSet(options.Apply))
        return PrintPlan(list);

    QList<TSyncItem> rows = list.ShownItems();
    QStringList skipped;
    if (parser.isSet(options.Plan))
        rows = SyncPlanFile::Read(parser.value(options.Plan), archive)
                   .Check(TSyncPlan::FromComparison(list.Items(), project.RelDir(), current.Zip(),
                                                    archive),
                          skipped);
    for (const QString& line : skipped)
        Console::ErrLine(line);
    if (rows.isEmpty() && !parser.isSet(options.Plan))
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
    return skipped.isEmpty() ? 0 : 1;
}
