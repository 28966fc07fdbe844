// qorzip zip PROJECT.qrz [--output ARCHIVE] [--threads N] [--rel-dir DIR]:
// builds the project's archive ("Zip them") and saves the project.
#include <QCommandLineParser>
#include <QFileInfo>

#include "CliUserInterface.h"
#include "Commands.h"
#include "Console.h"
#include "ZipBuild.h"
#include "ZipProject.h"

namespace {
const QString kCommand = QStringLiteral("zip");

struct TZipOptions {
    QCommandLineOption Output{{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("The archive to write; it becomes the project's "
                                             "archive (default: the project's archive)."),
                              QStringLiteral("ARCHIVE")};
    QCommandLineOption Threads{QStringLiteral("threads"),
                               QStringLiteral("Threads that compress (default: one per core)."),
                               QStringLiteral("N")};
    QCommandLineOption RelDir = Console::RelDirOption();
};

} // namespace

int RunZip(const QStringList& arguments)
{
    QCommandLineParser parser;
    const TZipOptions options;
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("The project file."));
    parser.addOptions({options.Output, options.Threads, options.RelDir});
    if (const int result = Console::Parse(parser, kCommand, arguments); result >= 0)
        return result;
    if (parser.positionalArguments().size() != 1)
        return Console::UsageError(kCommand, QStringLiteral("one project file expected"));
    bool threadsOk = true;
    const int threads = parser.isSet(options.Threads)
                            ? parser.value(options.Threads).toInt(&threadsOk)
                            : TZipBuildPipeline::DefaultThreads();
    if (!threadsOk || threads < 1)
        return Console::UsageError(kCommand, QStringLiteral("--threads needs a number from 1 up"));

    TCliUserInterface ui;
    ui.SetDirectoryAnswer(parser.value(options.RelDir), QStringLiteral("give it with --rel-dir"));
    TZipProject project(ui);
    const QString fileName = Console::AbsolutePath(parser.positionalArguments().first());
    project.SetCFGFileName(fileName);
    if (!project.LoadProject(fileName))
        return 1;

    const QString output =
        parser.isSet(options.Output) ? parser.value(options.Output) : project.LastZipFile();
    ui.SetSaveFileAnswer(Console::AbsolutePath(output),
                         QStringLiteral("give the archive with --output"));
    TZipBuild build(project, ui);
    build.SetThreads(threads);
    build.SetBytesDone([&ui](qint64 done, qint64 total) { ui.SetBytesProgress(done, total); });
    build.Run();
    project.SaveProject(project.CFGFileName());
    return 0;
}
