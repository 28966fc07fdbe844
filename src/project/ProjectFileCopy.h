#pragma once

#include <QByteArray>
#include <QString>

// The project file travels inside every archive it belongs to, from one
// computer to the next. The archived copy never holds the FTP password, and
// a copy restored from an archive keeps what belongs to this computer: its
// own section (named after the computer) and its local password.
class TProjectFileCopy {
public:
    // The bytes that go into the archive: the file as it is, or, when it
    // holds an FTP password, the same settings with the password empty.
    static QByteArray ForArchive(const QString& projectFile);
    // Writes the archived copy over the project file, keeping this
    // computer's section and the FTP password of the file it replaces.
    static void Restore(const QByteArray& archived, const QString& projectFile);
};
