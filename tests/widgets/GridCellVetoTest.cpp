#include <QSignalSpy>
#include <QTest>

#include "TestRegistry.h"
#include "WideFStringGrid.h"

// A window refuses a cell before the current cell moves there: by the mouse,
// by the keys and by the program, the current cell and the selection stay.
class GridCellVetoTest : public QObject {
    Q_OBJECT

private slots:
    void refusedCellIsNeverCurrent_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("refusedRow"); // the rows whose column 1 is refused
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("click refused") << "click" << 2 << QPoint(0, 1);
        QTest::newRow("click allowed") << "click" << 3 << QPoint(1, 2);
        QTest::newRow("key refused") << "key" << 1 << QPoint(0, 1);
        QTest::newRow("key allowed") << "key" << 2 << QPoint(1, 1);
        QTest::newRow("program refused") << "program" << 1 << QPoint(0, 1);
        QTest::newRow("program allowed") << "program" << 2 << QPoint(1, 1);
    }

    void refusedCellIsNeverCurrent()
    {
        QFETCH(QString, how);
        QFETCH(int, refusedRow);
        QFETCH(QPoint, expected);
        TWideFStringGrid grid;
        grid.SetColCount(2);
        grid.SetRowCount(4);
        grid.SetFixedCols(0);
        grid.resize(300, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.SetRow(1);
        grid.SetCol(0);
        QList<QPoint> asked;
        grid.OnCanSelectCell = [&](int col, int row) {
            asked.append({col, row});
            return !(col == 1 && row == refusedRow);
        };
        QSignalSpy moved(&grid, &TFStringGridBase::OnSelectCell);
        const QPoint target = how == "click" ? QPoint(1, 2) : QPoint(1, 1);
        if (how == "click")
            QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                              grid.viewport()->mapFrom(&grid, grid.CellRect(1, 2).center()));
        else if (how == "key")
            QTest::keyClick(&grid, Qt::Key_Right);
        else
            grid.SetCol(1);
        QVERIFY(asked.contains(target));
        QCOMPARE(QPoint(grid.Col(), grid.Row()), expected);
        QCOMPARE(moved.isEmpty(), expected == QPoint(0, 1));
        const TGridRect selection = grid.Selection();
        QCOMPARE(QPoint(selection.Left, selection.Top), expected);
    }
};

QZ_REGISTER_TEST(GridCellVetoTest);
#include "GridCellVetoTest.moc"
