#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

// Text rules of the grids' CSV files and file dialogs.
namespace GridCsv {
// Tab, line feed, carriage return and backslash become \t, \n, \r and \\;
// other control characters are dropped.
QString EscapeText(const QString& text);
// The reverse of EscapeText; a backslash before any other character stays
// with it, a backslash at the very end is dropped.
QString UnescapeText(const QString& text);
// The locale's list separator: ";" where the decimal separator is ",", else ",".
QChar ListSeparator();
// Fields between separators, without regard to quotes; a single separator at
// the end of the line adds no field, an empty line gives one empty field.
QStringList SplitFields(const QString& line, QChar separator);
// A field starting with a double quote becomes its quoted content (doubled
// quotes standing for one); whatever follows the closing quote is dropped.
QString UnquoteField(const QString& field);
// Lines ending at a carriage return, a line feed or both.
QStringList SplitLines(const QString& text);
// Text of a file: a UTF-16 (LE/BE) or UTF-8 byte order mark chooses the
// encoding, anything else is the local 8-bit encoding.
QString DecodeText(const QByteArray& bytes);
// The extension of a file name: the text from the last dot of its name.
QString FileExtension(const QString& fileName);
} // namespace GridCsv
