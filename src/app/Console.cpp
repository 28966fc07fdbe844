#include "Console.h"

#include <cstdio>

#include <unistd.h>

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include "Commands.h"
#include "ZipProject.h"

void Console::Out(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void Console::OutLine(const QString& line)
{
    Out(line + QLatin1Char('\n'));
}

void Console::Err(const QString& text)
{
    std::fflush(stdout);
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void Console::ErrLine(const QString& line)
{
    Err(line + QLatin1Char('\n'));
}

bool Console::ErrIsTerminal()
{
    return isatty(fileno(stderr)) != 0;
}

int Console::Parse(QCommandLineParser& parser, const QString& command, const QStringList& arguments)
{
    if (const TCommand* known = FindCommand(command))
        parser.setApplicationDescription(QLatin1String(known->Summary));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    if (!parser.parse(QStringList{QStringLiteral("qorzip ") + command} + arguments))
        return UsageError(command, parser.errorText());
    if (parser.isSet(help)) {
        // Qt names the executable's path in the usage line; name the subcommand instead.
        QString text = parser.helpText();
        const qsizetype usageEnd = text.indexOf(QLatin1String(" ["));
        if (text.startsWith(QLatin1String("Usage: ")) && usageEnd > 0)
            text.replace(7, usageEnd - 7, QStringLiteral("qorzip ") + command);
        Out(text);
        return 0;
    }
    return -1;
}

int Console::UsageError(const QString& command, const QString& message)
{
    ErrLine(QStringLiteral("qorzip %1: %2 (see qorzip %1 --help)").arg(command, message));
    return 2;
}

int Console::Failure(const QString& message)
{
    QString line = message;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    ErrLine(QStringLiteral("qorzip: %1").arg(line));
    return 1;
}

QCommandLineOption Console::RelDirOption()
{
    return QCommandLineOption(
        QStringLiteral("rel-dir"),
        QStringLiteral("Relative directory to use when the project's does not exist here."),
        QStringLiteral("DIR"));
}

QString Console::AbsolutePath(const QString& path)
{
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

QCommandLineOption Console::JsonOption()
{
    return QCommandLineOption(QStringLiteral("json"),
                              QStringLiteral("Print the result as JSON (see man qorzip)."));
}

void Console::OutJson(const QJsonObject& object)
{
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Indented);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

bool Console::LoadProject(TZipProject& project, const QString& argument)
{
    const QString fileName = AbsolutePath(argument);
    project.SetCFGFileName(fileName);
    return project.LoadProject(fileName);
}

bool Console::OpenProject(TZipProject& project, const QString& argument)
{
    if (!LoadProject(project, argument))
        return false;
    if (project.RelDirChosen())
        project.SaveProject(project.CFGFileName());
    return true;
}
