#pragma once

#include <QString>

// Registers the project file type for the user: on Linux the freedesktop MIME
// type of files with the extension and a desktop entry that opens them with
// this executable, written into the user's data folder only when missing or
// naming another executable. Every failure is ignored: a start without the
// right to write there goes on as usual.
//
// dataHome defaults to $XDG_DATA_HOME (or ~/.local/share); executable to the
// running program. True when something was written.
bool RegisterFileType(const QString& name, const QString& extension,
                      const QString& dataHome = QString(), const QString& executable = QString());

// The user-level files RegisterFileType writes, below dataHome.
QString MimeFilePath(const QString& dataHome, const QString& name);
QString DesktopFilePath(const QString& dataHome, const QString& name);
