#pragma once

#include <QStringList>

// One subcommand of the command line. Run receives the arguments after the
// subcommand's name and returns the exit code: 0 success, 1 failure, 2 wrong
// usage. Results go to stdout, messages and progress to stderr.
struct TCommand {
    const char* Name;
    const char* Summary;
    int (*Run)(const QStringList& arguments);
};

// Every subcommand, in the order the help lists them.
const QList<TCommand>& Commands();
const TCommand* FindCommand(const QString& name);
void PrintOverview();

// The subcommands; each lives in its own Cmd*.cpp file.
int RunList(const QStringList& arguments);
int RunTest(const QStringList& arguments);
int RunZip(const QStringList& arguments);
int RunFiles(const QStringList& arguments);
int RunNew(const QStringList& arguments);
int RunRows(const QStringList& arguments);
int RunShow(const QStringList& arguments);
int RunSync(const QStringList& arguments);
int RunExtract(const QStringList& arguments);
int RunPurgeVersions(const QStringList& arguments);
int RunDelete(const QStringList& arguments);
int RunFtpLs(const QStringList& arguments);
int RunUpload(const QStringList& arguments);
int RunDownload(const QStringList& arguments);
