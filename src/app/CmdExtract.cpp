// qorzip extract ARCHIVE ENTRY... --to DIR [--yes|--no]: writes the named
// entries (a folder stands for every file below it) under DIR with their
// full names and times.
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include "CliUserInterface.h"
#include "Commands.h"
#include "Console.h"
#include "CurrentZip.h"
#include "Exception.h"
#include "PathRules.h"
#include "SyncActions.h"
#include "ZipTree.h"

namespace {
const QString kCommand = QStringLiteral("extract");

// The tree nodes the arguments name; throws for a name the archive lacks.
QList<const TZipNode*> NamedNodes(const TZipTree& tree, const QStringList& names)
{
    QList<const TZipNode*> nodes;
    for (const QString& name : names) {
        const TZipNode* node = tree.FindNodeByPath(PathRules::PathToEntryName(name).toLocal8Bit());
        if (!node)
            throw Exception(QStringLiteral("Entry not found: \"%1\"").arg(name));
        nodes.append(node);
    }
    return nodes;
}
} // namespace

int RunExtract(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("archive"), QStringLiteral("The zip archive."));
    parser.addPositionalArgument(QStringLiteral("entry"),
                                 QStringLiteral("Entries or folders to extract."),
                                 QStringLiteral("ENTRY..."));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("The target directory."),
                                QStringLiteral("DIR"));
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("Replace existing files without asking."));
    const QCommandLineOption no(QStringLiteral("no"), QStringLiteral("Keep existing files."));
    parser.addOptions({to, yes, no});
    if (const int result = Console::Parse(parser, kCommand, arguments); result >= 0)
        return result;
    if (parser.positionalArguments().size() < 2)
        return Console::UsageError(kCommand, QStringLiteral("an archive and entries expected"));
    if (!parser.isSet(to))
        return Console::UsageError(kCommand, QStringLiteral("--to DIR is required"));
    if (parser.isSet(yes) && parser.isSet(no))
        return Console::UsageError(kCommand, QStringLiteral("--yes and --no exclude each other"));

    TCliUserInterface ui;
    if (parser.isSet(yes) || parser.isSet(no))
        ui.SetAnswer(parser.isSet(yes) ? TCliUserInterface::TAnswer::Yes
                                       : TCliUserInterface::TAnswer::No);
    TCurrentZip current;
    current.LoadZipTree(parser.positionalArguments().first(), &ui);
    const QList<const TZipNode*> nodes =
        NamedNodes(current.Tree(), parser.positionalArguments().mid(1));
    const QString directory =
        PathRules::WithTrailingSeparator(QFileInfo(parser.value(to)).absoluteFilePath());
    TSyncActions actions(current.Zip(), directory, ui);
    for (const TZipNode* node : nodes) {
        for (const TZipNode* file : TZipTree::FileNodes(node)) {
            const QByteArray name = TZipTree::NodePath(file);
            // Nothing lands outside the chosen directory.
            if (PathRules::EntryEscapesBase(QString::fromLocal8Bit(name)))
                throw Exception(
                    QStringLiteral("Invalid entry name \"%1\"").arg(QString::fromLocal8Bit(name)));
            actions.ExtractEntry(name, true);
        }
    }
    return 0;
}
