#include <QCoreApplication>

#include "Commands.h"
#include "Console.h"
#include "Exception.h"
#include "QorApplication.h"
#include "QorBase.h"
#include "ZipDlg.h"
#include "ZipGlobal.h"

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

// True when a window can be shown: a platform was chosen, or an X11 or
// Wayland display is there. Without one Qt would abort with a long message.
bool HaveDisplay()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

// The main window: the icons, the window (whose creation reads the settings
// and loads the project and its archive), then the language manager, which
// the about box is linked to; then the message loop until the window closes.
int RunWindow(int argc, char** argv)
{
    TQorApplication app(argc, argv);
    TZipGlobal global;
    TZipDlgOptions options;
    options.Arguments = QCoreApplication::arguments().mid(1);
    TZipDlg window(global, options);
    TQorBase qorBase;
    window.SetLanguageManager(qorBase.LanMan());
    window.show();
    return app.exec();
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
    if (!HaveDisplay()) {
        Console::ErrLine(QStringLiteral(
            "qorzip: no display to show the window on (DISPLAY is not set); run a subcommand "
            "to work without one (qorzip --help lists them), or start it under xvfb-run"));
        return 1;
    }
    return RunWindow(argc, argv);
}
