#include "FileTypeRegistration.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
QString MimeType(const QString& name)
{
    return QStringLiteral("application/x-%1-project").arg(name.toLower());
}

QString DefaultDataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString MimeXml(const QString& name, const QString& extension)
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"%1\">\n"
               "    <comment>Qor Zip project</comment>\n"
               "    <glob pattern=\"*%2\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n")
        .arg(MimeType(name), extension);
}

// A desktop entry's Exec value: the path quoted, then the file argument.
QString ExecLine(const QString& executable)
{
    QString quoted = executable;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), "\\\"");
    return QStringLiteral("Exec=\"%1\" %f").arg(quoted);
}

QString DesktopEntry(const QString& name, const QString& executable)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Qor Zip\n"
                          "Comment=Keeps working files in step with one zip archive\n"
                          "%1\n"
                          "Icon=qorzip\n"
                          "Terminal=false\n"
                          "NoDisplay=true\n"
                          "MimeType=%2;\n"
                          "Categories=Utility;Archiving;\n")
        .arg(ExecLine(executable), MimeType(name));
}

bool WriteIfDifferent(const QString& path, const QString& content)
{
    QFile present(path);
    if (present.open(QIODevice::ReadOnly) && present.readAll() == content.toUtf8())
        return false;
    present.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content.toUtf8());
    return file.commit();
}

// The entry is missing or opens another executable.
bool DesktopEntryNeeded(const QString& path, const QString& executable)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    return !QString::fromUtf8(file.readAll()).contains(ExecLine(executable) + QLatin1Char('\n'));
}

// Tells the desktop about the new files; a missing tool is no failure.
void RefreshDatabases(const QString& dataHome)
{
    QProcess::startDetached(QStringLiteral("update-mime-database"),
                            {QDir(dataHome).filePath(QStringLiteral("mime"))});
    QProcess::startDetached(QStringLiteral("update-desktop-database"),
                            {QDir(dataHome).filePath(QStringLiteral("applications"))});
}
} // namespace

QString MimeFilePath(const QString& dataHome, const QString& name)
{
    return QDir(dataHome).filePath(QStringLiteral("mime/packages/%1.xml").arg(name.toLower()));
}

QString DesktopFilePath(const QString& dataHome, const QString& name)
{
    return QDir(dataHome).filePath(
        QStringLiteral("applications/%1-project.desktop").arg(name.toLower()));
}

bool RegisterFileType(const QString& name, const QString& extension, const QString& dataHome,
                      const QString& executable)
{
#ifdef Q_OS_WIN
    Q_UNUSED(name);
    Q_UNUSED(extension);
    Q_UNUSED(dataHome);
    Q_UNUSED(executable);
    return false;
#else
    const QString home = dataHome.isEmpty() ? DefaultDataHome() : dataHome;
    const QString program =
        executable.isEmpty() ? QCoreApplication::applicationFilePath() : executable;
    if (home.isEmpty() || program.isEmpty())
        return false;
    const QString desktop = DesktopFilePath(home, name);
    bool written = false;
    if (DesktopEntryNeeded(desktop, program)) {
        written = WriteIfDifferent(desktop, DesktopEntry(name, program));
        written = WriteIfDifferent(MimeFilePath(home, name), MimeXml(name, extension)) || written;
    } else if (!QFile::exists(MimeFilePath(home, name))) {
        written = WriteIfDifferent(MimeFilePath(home, name), MimeXml(name, extension));
    }
    if (written)
        RefreshDatabases(home);
    return written;
#endif
}
