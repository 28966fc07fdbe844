#include "Commands.h"

#include "Console.h"

const QList<TCommand>& Commands()
{
    static const QList<TCommand> commands{
        {"list", "List the entries of an archive.", RunList},
        {"test", "Check every entry of an archive and its structure.", RunTest},
        {"zip", "Build a project's archive from its files.", RunZip},
        {"new", "Write a new project file with the given rows.", RunNew},
        {"rows", "List a project's rows; add, delete or change one.", RunRows},
        {"show", "Show a project as this computer understands it, with warnings.", RunShow},
        {"files", "Print the files a project selects.", RunFiles},
        {"sync", "Compare a project's files with its archive; --apply carries it out.", RunSync},
        {"extract", "Extract entries or folders of an archive to a directory.", RunExtract},
        {"purge-versions", "Remove every version entry of an archive.", RunPurgeVersions},
        {"delete", "Remove entries or folders from an archive.", RunDelete},
        {"upload", "Upload a project's archive to its FTP server.", RunUpload},
        {"download", "Download a project's archive from its FTP server.", RunDownload},
        {"ftp-ls", "List a directory of a project's FTP server.", RunFtpLs},
    };
    return commands;
}

const TCommand* FindCommand(const QString& name)
{
    for (const TCommand& command : Commands())
        if (name == QLatin1String(command.Name))
            return &command;
    return nullptr;
}

void PrintOverview()
{
    QString text = QStringLiteral("Usage: qorzip [PROJECT.qrz]\n"
                                  "       qorzip SUBCOMMAND [ARGUMENTS] (--help for each)\n\n"
                                  "Subcommands:\n");
    for (const TCommand& command : Commands())
        text += QStringLiteral("  %1%2\n")
                    .arg(QLatin1String(command.Name), -16)
                    .arg(QLatin1String(command.Summary));
    text += QStringLiteral(
        "\nExit codes: 0 success; 1 failure, with a one-line reason on stderr (also when\n"
        "sync --apply --plan skipped a row that changed since the plan was written);\n"
        "2 wrong usage. See man qorzip.\n");
    Console::Out(text);
}
