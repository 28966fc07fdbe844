#include <QHeaderView>
#include <QTest>

#include "FStringGrid.h"
#include "TestRegistry.h"
#include "WideFStringGrid.h"

// The header row is the grid's fixed row 0: it paints through the same cell
// painter as the other rows and a click on it never selects a column.
class GridHeaderTest : public QObject {
    Q_OBJECT

private:
    template <class Grid> void Fill(Grid& grid)
    {
        grid.SetColCount(3);
        grid.SetRowCount(3);
        grid.SetFixedCols(0);
        grid.SetRows(0, {"Entry", "Size", "Folder"});
        grid.SetRows(1, {"a.txt", "12", "docs"});
        grid.SetRows(2, {"b.txt", "7", "src"});
        grid.resize(300, 120);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
    }

private slots:
    void headerRowDrawnThroughOnDrawCell_data()
    {
        QTest::addColumn<bool>("wide");
        QTest::newRow("narrow") << false;
        QTest::newRow("wide") << true;
    }
    void headerRowDrawnThroughOnDrawCell()
    {
        QFETCH(bool, wide);
        TFStringGrid narrow;
        TWideFStringGrid wideGrid;
        TFStringGridBase& grid = wide ? static_cast<TFStringGridBase&>(wideGrid) : narrow;
        wide ? Fill(wideGrid) : Fill(narrow);
        QSet<QPair<int, int>> drawn;
        QList<TGridDrawState> headerStates;
        grid.OnDrawCell = [&](QPainter& painter, int col, int row, TGridDrawState state,
                              const QRect& rect) {
            drawn.insert({col, row});
            if (row == 0)
                headerStates.append(state);
            grid.DefaultDrawCell(painter, col, row, state, rect);
        };
        int aligned = 0;
        grid.OnGetAlignment = [&](int, int row) {
            aligned += row == 0 ? 1 : 0;
            return taCenter;
        };
        const QImage picture = grid.grab().toImage();
        for (int col = 0; col < 3; ++col) {
            QVERIFY(drawn.contains({col, 0}));
            QVERIFY(drawn.contains({col, 1}));
        }
        QVERIFY(aligned >= 3);
        for (TGridDrawState state : headerStates)
            QVERIFY(state.testFlag(gdFixed));
        // The default painter fills the header cell with the fixed-cell colour.
        const QRect header = grid.CellRect(1, 0);
        QVERIFY(picture.pixelColor(header.left() + 2, header.top() + 2) !=
                picture.pixelColor(grid.CellRect(1, 1).left() + 2, grid.CellRect(1, 1).top() + 2));
    }

    void clickOnHeaderSelectsNoColumn()
    {
        TWideFStringGrid grid;
        Fill(grid);
        grid.SetSelection({1, 2, 1, 2});
        const TGridRect before = grid.Selection();
        QHeaderView* header = grid.horizontalHeader();
        QVERIFY(!header->sectionsClickable());
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 10, header->height() / 2));
        QCOMPARE(grid.Selection(), before);
        QCOMPARE(grid.selectionModel()->selectedColumns().size(), 0);
    }
};

QZ_REGISTER_TEST(GridHeaderTest);
#include "GridHeaderTest.moc"
