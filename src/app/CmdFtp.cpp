// qorzip ftp-ls PROJECT.qrz [REMOTE_DIR]
// qorzip upload PROJECT.qrz [--yes|--no]
// qorzip download PROJECT.qrz [REMOTE_PATH] [--to FILE]
// The FTP settings come from the project's FTP section; the password may
// instead come from QORZIP_FTP_PASSWORD. Nothing is written to the project.
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include "CliUserInterface.h"
#include "Commands.h"
#include "Console.h"
#include "Exception.h"
#include "CurrentZip.h"
#include "FtpTransfer.h"
#include "PathRules.h"
#include "ZipProject.h"

namespace {
const char* const PasswordVariable = "QORZIP_FTP_PASSWORD";

void LoadSettings(TFtpSettings& settings, const QString& projectFile)
{
    settings.Load(projectFile);
    if (qEnvironmentVariableIsSet(PasswordVariable))
        settings.Password = qEnvironmentVariable(PasswordVariable);
}

// Shows the transfer's progress through the terminal's progress bar.
void ShowProgress(TFtpTransfer& transfer, TCliUserInterface& ui)
{
    transfer.OnChanged = [&transfer, &ui, shown = false]() mutable {
        if (transfer.ProgressVisible() && !shown) {
            ui.SetProgressTitle(QStringLiteral("FTP"));
            ui.ShowProgress();
            shown = true;
        } else if (!transfer.ProgressVisible() && shown) {
            ui.CloseProgress();
            shown = false;
        }
        if (!shown)
            return;
        ui.SetProgressMaximum(int(qMax(transfer.TotalBytes(), transfer.DoneBytes()) / 1000));
        ui.SetProgressPosition(int(transfer.DoneBytes() / 1000));
        ui.SetProgressText(transfer.ProgressText());
    };
}

// The project and its archive's location on this computer.
struct TProjectFiles {
    QString ProjectFile;
    QString Archive; // where this computer keeps the project's archive
    QString RelDir;
};

bool LoadProject(const QString& argument, TCliUserInterface& ui, TProjectFiles& files)
{
    TZipProject project(ui);
    files.ProjectFile = Console::AbsolutePath(argument);
    project.SetCFGFileName(files.ProjectFile);
    if (!project.LoadProject(files.ProjectFile))
        return false;
    files.Archive = TCurrentZip::LocateProjectZip(project);
    files.RelDir = PathRules::WithTrailingSeparator(project.RelDir());
    return true;
}

void AddProjectArgument(QCommandLineParser& parser)
{
    parser.addPositionalArgument(QStringLiteral("PROJECT"), QStringLiteral("The project file."));
}

int Parse(QCommandLineParser& parser, const QString& command, const QStringList& arguments,
          int maxPositional)
{
    if (const int result = Console::Parse(parser, command, arguments); result >= 0)
        return result;
    const qsizetype count = parser.positionalArguments().size();
    if (count < 1 || count > maxPositional)
        return Console::UsageError(command, QStringLiteral("wrong number of arguments"));
    return -1;
}

// "a/b/c.zip" -> the directory "/a/b" (as RemotePath has it) and "c.zip".
void SplitRemotePath(const QString& path, QByteArray& directory, QByteArray& name)
{
    QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    name = parts.isEmpty() ? QByteArray() : parts.takeLast().toLocal8Bit();
    directory.clear();
    for (const QString& part : std::as_const(parts))
        directory += '/' + part.toLocal8Bit();
}
// Runs the part of a command that talks to the server; a failure names the
// server and port it concerns.
template <typename Run> auto AtServer(const TFtpSettings& settings, Run run) -> decltype(run())
{
    try {
        return run();
    } catch (const Exception& error) {
        const QString server = QStringLiteral("%1:%2")
                                   .arg(QString::fromLocal8Bit(settings.Host()))
                                   .arg(settings.Port());
        if (error.Message().contains(server))
            throw;
        throw Exception(QStringLiteral("%1 (FTP server %2)").arg(error.Message(), server));
    }
}
} // namespace

int RunFtpLs(const QStringList& arguments)
{
    const QString command = QStringLiteral("ftp-ls");
    QCommandLineParser parser;
    AddProjectArgument(parser);
    parser.addPositionalArgument(QStringLiteral("REMOTE_DIR"),
                                 QStringLiteral("Directory below the login directory."),
                                 QStringLiteral("[REMOTE_DIR]"));
    if (const int result = Parse(parser, command, arguments, 2); result >= 0)
        return result;
    const QStringList positional = parser.positionalArguments();
    TFtpSettings settings;
    LoadSettings(settings, Console::AbsolutePath(positional.first()));
    TFtpClient client;
    client.SetHost(settings.Host());
    client.SetPort(settings.Port());
    client.SetUsername(settings.Username.toLocal8Bit());
    client.SetPassword(settings.Password.toLocal8Bit());
    client.SetPassive(true);
    return AtServer(settings, [&] {
        client.Connect();
        try {
            if (positional.size() > 1)
                client.ChangeWorkingDirectory(positional.at(1).toLocal8Bit());
            for (const QByteArray& line : client.List(QByteArray()))
                Console::OutLine(QString::fromLocal8Bit(line));
        } catch (...) {
            client.Disconnect();
            throw;
        }
        client.Disconnect();
        return 0;
    });
}

int RunUpload(const QStringList& arguments)
{
    const QString command = QStringLiteral("upload");
    QCommandLineParser parser;
    AddProjectArgument(parser);
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("Replace a file on the server."));
    const QCommandLineOption no(QStringLiteral("no"), QStringLiteral("Never replace a file."));
    parser.addOptions({yes, no});
    if (const int result = Parse(parser, command, arguments, 1); result >= 0)
        return result;
    if (parser.isSet(yes) && parser.isSet(no))
        return Console::UsageError(command, QStringLiteral("--yes and --no exclude each other"));
    TCliUserInterface ui;
    if (parser.isSet(yes) || parser.isSet(no))
        ui.SetAnswer(parser.isSet(yes) ? TCliUserInterface::TAnswer::Yes
                                       : TCliUserInterface::TAnswer::No);
    TProjectFiles files;
    if (!LoadProject(parser.positionalArguments().first(), ui, files))
        return 1;
    if (files.Archive.isEmpty() || !QFileInfo(files.Archive).isFile())
        return Console::Failure(QStringLiteral("Archive not found: \"%1\"").arg(files.Archive));
    TFtpTransfer transfer(ui);
    transfer.SetFile(files.Archive);
    LoadSettings(transfer.Settings(), files.ProjectFile); // the project's File name wins
    ShowProgress(transfer, ui);
    const TTransferResult result = AtServer(transfer.Settings(), [&] { return transfer.Upload(); });
    switch (result) {
    case TTransferResult::Done:
        Console::OutLine(QStringLiteral("Uploaded \"%1\" as %2 (%3 bytes)")
                             .arg(files.Archive, transfer.Settings().File)
                             .arg(QFileInfo(files.Archive).size()));
        return 0;
    case TTransferResult::Declined:
        return Console::Failure(QStringLiteral("The file on the server was not replaced."));
    case TTransferResult::Cancelled:
        break;
    }
    return 1;
}

int RunDownload(const QStringList& arguments)
{
    const QString command = QStringLiteral("download");
    QCommandLineParser parser;
    AddProjectArgument(parser);
    parser.addPositionalArgument(
        QStringLiteral("REMOTE_PATH"),
        QStringLiteral("File below the login directory (default: TargetPath/File)."),
        QStringLiteral("[REMOTE_PATH]"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("The local file to write."),
                                QStringLiteral("FILE"));
    parser.addOption(to);
    if (const int result = Parse(parser, command, arguments, 2); result >= 0)
        return result;
    const QStringList positional = parser.positionalArguments();
    TCliUserInterface ui;
    TProjectFiles files;
    if (!LoadProject(positional.first(), ui, files))
        return 1;
    TFtpTransfer transfer(ui);
    LoadSettings(transfer.Settings(), files.ProjectFile);
    const TFtpSettings& settings = transfer.Settings();
    const QString remote = positional.size() > 1
                               ? positional.at(1)
                               : settings.TargetPath.trimmed() + '/' + settings.File;
    QByteArray directory;
    QByteArray name;
    SplitRemotePath(remote, directory, name);
    transfer.Browser().SetRemotePath(directory);
    transfer.Browser().SetPickedFile(name);

    QString target = Console::AbsolutePath(parser.value(to));
    if (target.isEmpty()) {
        const QFileInfo last(files.Archive);
        target = !files.Archive.isEmpty() && last.dir().exists()
                     ? files.Archive
                     : files.RelDir + (files.Archive.isEmpty() ? QString::fromLocal8Bit(name)
                                                               : last.fileName());
    }
    ui.SetSaveFileAnswer(target);
    ShowProgress(transfer, ui);
    QString saved;
    if (AtServer(settings, [&] { return transfer.Download(&saved); }) != TTransferResult::Done)
        return Console::Failure(QStringLiteral("The download was cancelled; nothing was saved."));
    Console::OutLine(QStringLiteral("Downloaded %1 to \"%2\" (%3 bytes)")
                         .arg(remote, saved)
                         .arg(QFileInfo(saved).size()));
    return 0;
}
