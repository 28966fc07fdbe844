#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

class TMemIniFile;

// Short display form of a path: the root, "..", the last `levels` directory
// names and the base name, with the extension when keepExtension is set.
// Windows paths (with a drive) keep "C:\" as their root:
//   C:\Projects\Web\Zip\Backup.zip, 2 levels -> C:\..\Web\Zip\Backup.zip
// POSIX paths follow the same rule with "/" as the root:
//   /home/u/Projects/Web/Zip/Backup.zip, 2 levels -> /../Web/Zip/Backup.zip
// With expand set, a relative path is first made absolute.
QString AbbreviatePath(const QString& path, int levels, bool expand, bool keepExtension);
QByteArray AbbreviatePath(const QByteArray& path, int levels, bool expand, bool keepExtension);

// The file name of a path without its extension; the name is cut before the
// first place where the extension's text occurs (report.txt.txt -> report).
QString FileBaseName(const QString& path, bool expand);
QByteArray FileBaseName(const QByteArray& path, bool expand);

// The directory of the running executable, ending in the native separator.
QString ExeDirectory();

// Creates a directory and its missing parents; throws "Unable to create
// directory" with the directory and the system's reason when that fails.
void ForceDirectories(const QString& directory);

// Lines for the system debug output (the logging category "qorzip.debug").
void DebugOutput(const QString& text);
void DebugOutputFmt(const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(1, 2);

// A list of texts stored under the keys "Name.List[0]", "Name.List[1]", ...
void WriteIniList(TMemIniFile& ini, const QString& section, const QString& name,
                  const QStringList& list);
void ReadIniList(const TMemIniFile& ini, const QString& section, const QString& name,
                 QStringList& list);

// The delimited text form of a list of texts. DelimitedText joins, quoting
// items that hold a blank, a control character, the quote or the delimiter;
// SetDelimitedText splits, where an unquoted blank also ends an item.
QString DelimitedText(const QStringList& items, QChar delimiter, QChar quoteChar);
void SetDelimitedText(const QString& text, QChar delimiter, QChar quoteChar, QStringList& items);
QByteArray DelimitedText(const QList<QByteArray>& items, char delimiter, char quoteChar);
void SetDelimitedText(const QByteArray& text, char delimiter, char quoteChar,
                      QList<QByteArray>& items);
// DelimitedText with ',' and '"'.
QString CommaText(const QStringList& items);
void SetCommaText(const QString& text, QStringList& items);
