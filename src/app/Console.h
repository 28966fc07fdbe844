#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

class TZipProject;

// Output and argument handling shared by the subcommands.
namespace Console {
// stdout, written as UTF-8 (the local 8-bit encoding on Linux).
void Out(const QString& text);
void OutLine(const QString& line);
// stderr.
void Err(const QString& text);
void ErrLine(const QString& line);
bool ErrIsTerminal();

// Parses the arguments of a subcommand; prints the help and returns 0 for
// --help, prints the error and returns 2 for wrong usage, and returns -1 when
// the command should go on. Positional counts are checked by the caller.
int Parse(QCommandLineParser& parser, const QString& command, const QStringList& arguments);
// The option --rel-dir DIR: the project's folder on this computer when the
// stored one does not exist here.
QCommandLineOption RelDirOption();
// A path made absolute against the current directory; empty stays empty.
QString AbsolutePath(const QString& path);
// LoadProject, and a folder given with --rel-dir (or asked for) is
// remembered in this computer's section at once. For commands that work on
// the project; commands that only look at it use LoadProject.
bool OpenProject(TZipProject& project, const QString& argument);

// Prints a usage error with the subcommand's help hint; returns 2.
int UsageError(const QString& command, const QString& message);
// Prints the one-line reason of a failure; returns 1.
int Failure(const QString& message);
} // namespace Console

class QJsonObject;
namespace Console {
// The option --json: results as one JSON document on stdout.
QCommandLineOption JsonOption();
// A JSON document on stdout, indented, ending in a line break.
void OutJson(const QJsonObject& object);
} // namespace Console

class TZipProject;
namespace Console {
// Loads the project named by a command's argument (made absolute first);
// false after the project's message when the file does not exist.
bool LoadProject(TZipProject& project, const QString& argument);
} // namespace Console
