// qorzip rows PROJECT.qrz [--add PATH | --delete N | --set N [PATH]] [--filter MASKS]:
// lists the project's rows, numbered; a change is saved before the list is printed.
#include <QCommandLineParser>

#include "CliUserInterface.h"
#include "Commands.h"
#include "Console.h"
#include "RowArguments.h"
#include "ZipProject.h"

namespace {
const QString kCommand = QStringLiteral("rows");

struct TRowsOptions {
    QCommandLineOption Add{QStringLiteral("add"),
                           QStringLiteral("Append a row for this folder or file."),
                           QStringLiteral("PATH")};
    QCommandLineOption Delete{QStringLiteral("delete"), QStringLiteral("Delete row N."),
                              QStringLiteral("N")};
    QCommandLineOption Set{QStringLiteral("set"),
                           QStringLiteral("Change row N: its path to the second argument, "
                                          "its filter to --filter."),
                           QStringLiteral("N")};
    QCommandLineOption Filter = RowArguments::FilterOption();
    QCommandLineOption RelDir = Console::RelDirOption();
};

// Row number N (from 1) as an index, or -1 when it names no row.
qsizetype RowIndex(const QString& text, qsizetype count)
{
    bool ok = false;
    const qsizetype number = text.toLongLong(&ok);
    return ok && number >= 1 && number <= count ? number - 1 : -1;
}

// The changed row of --set: a new path makes a new row (its filter kept for a
// folder unless --filter is given); --filter alone changes only the filter.
TZipCommand SetRow(const TZipProject& project, TZipCommand row, const QStringList& positional,
                   const QString* filter, QString& usage)
{
    if (positional.size() < 2) {
        if (!filter)
            usage = QStringLiteral("--set N needs a PATH, --filter or both");
        else
            row.Filter = *filter;
        return row;
    }
    const QString kept = row.Filter;
    row = RowArguments::MakeRow(project, positional[1], filter, usage);
    if (!filter && !row.Filter.isEmpty())
        row.Filter = kept.trimmed().isEmpty() ? row.Filter : kept;
    return row;
}

// Applies the one change the options ask for; an empty text when it was valid.
QString ChangeRows(const QCommandLineParser& parser, const TRowsOptions& options,
                   TZipProject& project)
{
    QList<TZipCommand> rows = project.Commands();
    const QStringList positional = parser.positionalArguments();
    const QString filterText = parser.value(options.Filter);
    const QString* filter = parser.isSet(options.Filter) ? &filterText : nullptr;
    QString usage;
    if (parser.isSet(options.Add)) {
        rows.append(RowArguments::MakeRow(project, parser.value(options.Add), filter, usage));
    } else {
        const QCommandLineOption& which =
            parser.isSet(options.Delete) ? options.Delete : options.Set;
        const qsizetype index = RowIndex(parser.value(which), rows.size());
        if (index < 0)
            return QStringLiteral("no row %1 (the project has %2)")
                .arg(parser.value(which))
                .arg(rows.size());
        if (parser.isSet(options.Delete))
            rows.removeAt(index);
        else
            rows[index] = SetRow(project, rows[index], positional, filter, usage);
    }
    if (usage.isEmpty()) {
        project.SetCommands(rows);
        project.SaveProject(project.CFGFileName());
    }
    return usage;
}

QString CheckUsage(const QCommandLineParser& parser, const TRowsOptions& options)
{
    const int changes = int(parser.isSet(options.Add)) + int(parser.isSet(options.Delete)) +
                        int(parser.isSet(options.Set));
    const qsizetype positional = parser.positionalArguments().size();
    if (changes > 1)
        return QStringLiteral("give one of --add, --delete and --set");
    if (positional < 1 || positional > (parser.isSet(options.Set) ? 2 : 1))
        return QStringLiteral("one project file expected");
    if (parser.isSet(options.Filter) && !parser.isSet(options.Add) && !parser.isSet(options.Set))
        return QStringLiteral("--filter goes with --add or --set");
    return QString();
}
} // namespace

int RunRows(const QStringList& arguments)
{
    QCommandLineParser parser;
    const TRowsOptions options;
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("The project file."));
    parser.addPositionalArgument(QStringLiteral("path"),
                                 QStringLiteral("With --set: the row's new folder or file."),
                                 QStringLiteral("[PATH]"));
    parser.addOptions({options.Add, options.Delete, options.Set, options.Filter, options.RelDir});
    if (const int result = Console::Parse(parser, kCommand, arguments); result >= 0)
        return result;
    if (const QString usage = CheckUsage(parser, options); !usage.isEmpty())
        return Console::UsageError(kCommand, usage);

    TCliUserInterface ui;
    ui.SetDirectoryAnswer(parser.value(options.RelDir), QStringLiteral("give it with --rel-dir"));
    TZipProject project(ui);
    if (!Console::LoadProject(project, parser.positionalArguments().first()))
        return 1;
    if (parser.isSet(options.Add) || parser.isSet(options.Delete) || parser.isSet(options.Set))
        if (const QString usage = ChangeRows(parser, options, project); !usage.isEmpty())
            return Console::UsageError(kCommand, usage);
    Console::Out(RowArguments::NumberedRows(project.Commands()));
    return 0;
}
