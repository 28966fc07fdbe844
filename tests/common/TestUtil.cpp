#include "TestUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

void TestUtil::WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
}

QByteArray TestUtil::ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read test file %s", qPrintable(path));
    return file.readAll();
}

void TestUtil::SetModified(const QString& path, const QDateTime& time)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) ||
        !file.setFileTime(time, QFileDevice::FileModificationTime))
        qFatal("cannot set the time of %s", qPrintable(path));
}

int TestUtil::Run(const QString& program, const QStringList& arguments, QByteArray* out,
                  QByteArray* err, const QString& workingDir)
{
    QProcess process;
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return -1;
    process.closeWriteChannel();
    process.waitForFinished(300000);
    if (out)
        *out = process.readAllStandardOutput();
    if (err)
        *err = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool TestUtil::HaveTool(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

QByteArray TestUtil::RandomBytes(int size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = char(generator.generate() & 0xFF);
    return bytes;
}

QString TestUtil::QorZipExecutable()
{
    return qEnvironmentVariable("QORZIP_BINARY_DIR") + QStringLiteral("/src/app/qorzip");
}

QString TestUtil::TempTree::Path(const QString& name) const
{
    return QDir::toNativeSeparators(filePath(name));
}

void TestUtil::TempTree::Write(const QString& name, const QByteArray& bytes) const
{
    WriteFile(filePath(name), bytes);
}
