// qorzip files PROJECT.qrz [--rel-dir DIR]: the files the project's command
// rows select, one full path a line, the project file last.
#include <QCommandLineParser>
#include <QFileInfo>

#include "CliUserInterface.h"
#include "Commands.h"
#include "Console.h"
#include "FileList.h"
#include "FileListBuilder.h"
#include "ZipProject.h"

namespace {
const QString kCommand = QStringLiteral("files");
} // namespace

int RunFiles(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("The project file."));
    const QCommandLineOption relDir = Console::RelDirOption();
    parser.addOption(relDir);
    if (const int result = Console::Parse(parser, kCommand, arguments); result >= 0)
        return result;
    if (parser.positionalArguments().size() != 1)
        return Console::UsageError(kCommand, QStringLiteral("one project file expected"));

    TCliUserInterface ui;
    ui.SetDirectoryAnswer(parser.value(relDir), QStringLiteral("give it with --rel-dir"));
    TZipProject project(ui);
    if (!Console::OpenProject(project, parser.positionalArguments().first()))
        return 1;

    TFileList list;
    ui.ShowProgress();
    BuildFileList(project, ui, list);
    ui.CloseProgress();
    for (const QString& path : list.Paths())
        Console::OutLine(path);
    return 0;
}
