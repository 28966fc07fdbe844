// qorzip purge-versions ARCHIVE: removes every version entry (name.V001 ...)
// and prints how many were removed.
#include <QCommandLineParser>

#include "CliUserInterface.h"
#include "Commands.h"
#include "Console.h"
#include "CurrentZip.h"
#include "ZipTreeCommands.h"

namespace {
const QString kCommand = QStringLiteral("purge-versions");

// The count message is the command's result: it goes to stdout.
class TPurgeUserInterface : public TCliUserInterface {
public:
    void ShowMessage(const QString& text) override { Console::OutLine(text); }
};
} // namespace

int RunPurgeVersions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("archive"), QStringLiteral("The zip archive."));
    if (const int result = Console::Parse(parser, kCommand, arguments); result >= 0)
        return result;
    if (parser.positionalArguments().size() != 1)
        return Console::UsageError(kCommand, QStringLiteral("one archive expected"));
    TPurgeUserInterface ui;
    TCurrentZip current;
    current.LoadZipTree(parser.positionalArguments().first(), &ui);
    TZipTreeCommands(current, QString(), ui).DeleteVersionFiles();
    return 0;
}
