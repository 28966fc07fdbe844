#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

#include "ZipProject.h"

// Command rows given on the command line, as the window's row commands make
// them: the path (relative to the current directory, or absolute) becomes the
// path relative to the project's RelDir; a folder takes the filter given with
// it or the project's filter text, a file an empty filter.
namespace RowArguments {
QCommandLineOption FilterOption();

// The row for `path`. Raises an error when the path names nothing; sets
// `usage` (and returns an empty row) when a filter is given for a file.
TZipCommand MakeRow(const TZipProject& project, const QString& path, const QString* filter,
                    QString& usage);

// The --row PATH [--filter MASKS] pairs in the order given; each --filter
// belongs to the --row before it. Sets `usage` on a --filter without its row.
QList<TZipCommand> RowsInOrder(const QCommandLineParser& parser, const TZipProject& project,
                               QString& usage);

// "  1  docs/  *.txt" lines, numbered from 1, directories padded.
QString NumberedRows(const QList<TZipCommand>& rows);
} // namespace RowArguments
