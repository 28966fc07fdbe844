#include <QCoreApplication>

#include "Commands.h"
#include "Console.h"
#include "Exception.h"

namespace {
// Runs one subcommand without a display. Errors that escape it end the run
// with exit code 1 and their message on stderr.
int RunHeadless(int argc, char** argv, const TCommand& command)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("QorZip"));
    QStringList arguments = QCoreApplication::arguments().mid(2);
    try {
        return command.Run(arguments);
    } catch (const Exception& error) {
        return Console::Failure(error.Message());
    } catch (const std::exception& error) {
        return Console::Failure(QString::fromLocal8Bit(error.what()));
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2) {
        const QString first = QString::fromLocal8Bit(argv[1]);
        if (const TCommand* command = FindCommand(first))
            return RunHeadless(argc, argv, *command);
        if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
            PrintOverview();
            return 0;
        }
        if (first.startsWith(QLatin1Char('-')) ||
            !first.endsWith(QLatin1String(".qrz"), Qt::CaseInsensitive)) {
            Console::ErrLine(QStringLiteral("qorzip: unknown subcommand \"%1\"").arg(first));
            PrintOverview();
            return 2;
        }
    }
    // The main window comes later; until then the program explains its command line.
    PrintOverview();
    return 0;
}
