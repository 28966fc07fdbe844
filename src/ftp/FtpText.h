#pragma once

#include <QByteArray>
#include <QList>

// Text rules of the FTP client that need no connection.

// The text without the characters of codes 0 to 32 at both ends.
QByteArray TrimControls(const QByteArray& text);

// One line of a directory listing split into up to nine fields after the
// UNIX long listing layout: permissions, links, owner, group, size, month,
// day, time or year, name. Blanks separate the first eight fields; the ninth
// takes the rest of the line, inner blanks included.
struct TListingLine {
    QList<QByteArray> Fields;
    bool IsDirectory = false; // the first field begins with a lower-case "d"
};
TListingLine ParseListingLine(const QByteArray& line);

// The received listing as lines: a line ends at CR LF, LF or CR; a final line
// end adds no empty line.
QList<QByteArray> SplitListingText(const QByteArray& text);

// The data port of a PASV reply's first line: the six numbers in parentheses,
// or after the last blank when there are none. The four host numbers are
// checked (0 to 255) but not returned: the data connection always goes to the
// peer of the control connection.
quint16 ParsePassiveReply(const QByteArray& line);
