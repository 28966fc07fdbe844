#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Small helpers the tests of every layer share.
namespace TestUtil {
// A temporary folder that tests fill with files by relative name.
class TempTree : public QTemporaryDir {
public:
    // The native path of a name inside the folder.
    QString Path(const QString& name) const;
    // Writes a file inside the folder, creating its folders.
    void Write(const QString& name, const QByteArray& bytes) const;
};

// Writes bytes to a file, creating its folders; fails the process on error.
void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);
void SetModified(const QString& path, const QDateTime& time);

// Runs a program and returns its exit code (-1 when it could not start);
// stdout and stderr are handed back when asked for.
int Run(const QString& program, const QStringList& arguments, QByteArray* out = nullptr,
        QByteArray* err = nullptr, const QString& workingDir = QString());
// True when the program is on the PATH (used for the interoperability peers).
bool HaveTool(const QString& program);
// Deterministic pseudo-random bytes.
QByteArray RandomBytes(int size, quint32 seed);
// The built qorzip executable.
QString QorZipExecutable();
} // namespace TestUtil
