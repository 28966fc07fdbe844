// qorzip delete ARCHIVE ENTRY...: removes the named entries (a folder stands
// for every file below it) from the archive; files on disk stay.
#include <QCommandLineParser>

#include "CliUserInterface.h"
#include "Commands.h"
#include "Console.h"
#include "CurrentZip.h"
#include "PathRules.h"
#include "ZipTree.h"
#include "ZipTreeCommands.h"

namespace {
const QString kCommand = QStringLiteral("delete");
} // namespace

int RunDelete(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("archive"), QStringLiteral("The zip archive."));
    parser.addPositionalArgument(QStringLiteral("entry"),
                                 QStringLiteral("Entries or folders to remove."),
                                 QStringLiteral("ENTRY..."));
    if (const int result = Console::Parse(parser, kCommand, arguments); result >= 0)
        return result;
    if (parser.positionalArguments().size() < 2)
        return Console::UsageError(kCommand, QStringLiteral("an archive and entries expected"));
    TCliUserInterface ui;
    TCurrentZip current;
    current.LoadZipTree(parser.positionalArguments().first(), &ui);
    QList<const TZipNode*> nodes;
    for (const QString& name : parser.positionalArguments().mid(1)) {
        const TZipNode* node =
            current.Tree().FindNodeByPath(PathRules::PathToEntryName(name).toLocal8Bit());
        if (!node)
            return Console::Failure(QStringLiteral("Entry not found: \"%1\"").arg(name));
        nodes.append(node);
    }
    TZipTreeCommands(current, QString(), ui).DeleteSelected(nodes, dtZipFile);
    return 0;
}
