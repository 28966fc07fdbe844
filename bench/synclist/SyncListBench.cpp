// The sync list window with the rows of one comparison: the comparison, the
// rows put into the grid, the widths fitted and the window shown (painted),
// then scrolling and the space key on a selection of all rows.
// Usage: bench_synclist PROJECT.qrz   (prints "name milliseconds" lines)
#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWindow>

#include "CurrentZip.h"
#include "FStringGrid.h"
#include "PanelButton.h"
#include "SyncComparison.h"
#include "SyncList.h"
#include "../BenchUserInterface.h"
#include "ZipProject.h"

namespace {

QElapsedTimer g_clock;

void Report(const char* name, double ms)
{
    std::printf("%-22s %9.1f\n", name, ms);
    std::fflush(stdout);
}

double Lap()
{
    const double ms = double(g_clock.nsecsElapsed()) / 1e6;
    g_clock.restart();
    return ms;
}

// Until every pending paint has been done.
void Settle(QWidget& window)
{
    QApplication::processEvents();
    window.repaint();
    QApplication::processEvents();
}

void PressSpace(QWidget* widget)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_synclist PROJECT.qrz\n");
        return 2;
    }
    TBenchUserInterface ui(TMsgButton::No, QString()); // the comparison only reports progress
    TZipProject project(ui);
    const QString fileName = QString::fromLocal8Bit(argv[1]);
    project.SetCFGFileName(fileName);
    g_clock.start();
    if (!project.LoadProject(fileName))
        return 1;
    TCurrentZip current;
    current.LoadZipTree(TCurrentZip::LocateProjectZip(project), &ui);
    Report("load_archive", Lap());

    TSyncList list(project);
    TSyncComparison(project, current, ui, list.Model()).Compare();
    Report("compare", Lap());
    list.LoadItems();
    Report("fill", Lap());
    list.AdjustWidths();
    Report("fit_widths", Lap());
    list.show();
    QElapsedTimer exposing;
    exposing.start();
    while (!(list.windowHandle() && list.windowHandle()->isExposed()) && exposing.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    Settle(list);
    Report("show", Lap());
    std::printf("%-22s %9d\n", "rows", list.ItemCount());

    TFStringGrid* grid = list.sgSync();
    QScrollBar* bar = grid->verticalScrollBar();
    const int steps = 20;
    for (int step = 1; step <= steps; ++step) {
        bar->setValue(bar->maximum() * step / steps);
        Settle(list);
    }
    Report("scroll_step_avg", Lap() / steps);

    grid->setFocus();
    grid->SetRow(1);
    grid->SetSelection({0, 1, 6, grid->RowCount() - 1});
    Settle(list);
    Report("select_all", Lap());
    PressSpace(grid);
    Settle(list);
    Report("space_all_rows", Lap());
    list.bnOp()->Choose(soNoSync);
    QApplication::processEvents();
    Settle(list);
    Report("button_all_rows", Lap());
    const QString check = grid->Cells(3, grid->RowCount() - 1);
    return check == QStringLiteral("=") ? 0 : 1;
}
