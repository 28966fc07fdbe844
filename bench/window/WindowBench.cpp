// Opens an archive in the main window as "Load Zip" does: the archive is
// read, its tree built and sorted and the tree view painted on the "Sync Zip"
// panel. Prints the time that took and the longest pause between two ticks
// of a 5 ms timer meanwhile (how long the window did not answer).
#include <cstdio>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "QorApplication.h"
#include "ZipDlg.h"
#include "ZipGlobal.h"
#include "ZipTreeView.h"

namespace {
// A project in the folder, so the window starts without a question.
void WriteProject(const QTemporaryDir& dir)
{
    QFile project(dir.filePath(QStringLiteral("QorZip.qrz")));
    if (!project.open(QIODevice::WriteOnly))
        qFatal("cannot write the project");
    project.write(QStringLiteral("[Files]\nRelDir=%1/\n").arg(dir.path()).toUtf8());
}
} // namespace

int main(int argc, char** argv)
{
    TQorApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_window ARCHIVE\n");
        return 2;
    }
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    WriteProject(dir);
    TZipGlobal global;
    TZipDlgOptions options;
    options.SettingsFile = dir.filePath(QStringLiteral("QorZip.ini"));
    options.RegisterFileType = false;
    TZipDlg dlg(global, options);
    dlg.show();
    dlg.findChild<QToolButton*>(QStringLiteral("bnSyncZip"))->click();
    QCoreApplication::processEvents();

    QElapsedTimer sinceTick;
    qint64 longestPause = 0;
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestPause = qMax(longestPause, sinceTick.restart());
        ++ticks;
    });
    ticker.start();
    sinceTick.start();
    QElapsedTimer elapsed;
    elapsed.start();
    dlg.LoadZipTree(QString::fromLocal8Bit(argv[1]));
    auto* tree = dlg.findChild<TZipTreeView*>(QStringLiteral("tvZip"));
    tree->repaint();
    const qint64 loaded = elapsed.elapsed();
    longestPause = qMax(longestPause, sinceTick.elapsed());
    std::printf("%.3f %lld %d %d\n", loaded / 1000.0, static_cast<long long>(longestPause), ticks,
                tree->model()->rowCount());
    return 0;
}
