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
// Loads the project named on the command line as the current project; a
// folder given with --rel-dir for it is remembered in this computer's
// section at once. False (after the message) when the file does not exist.
bool OpenProject(TZipProject& project, const QString& argument);

// Prints a usage error with the subcommand's help hint; returns 2.
int UsageError(const QString& command, const QString& message);
// Prints the one-line reason of a failure; returns 1.
int Failure(const QString& message);
} // namespace Console
