#include <memory>

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "Exception.h"
#include "FStringGrid.h"
#include "TestRegistry.h"
#include "WideFStringGrid.h"

Q_DECLARE_METATYPE(TGridVariant)

namespace {
std::unique_ptr<TFStringGridBase> MakeGrid(TGridVariant variant)
{
    if (variant == gvNarrow)
        return std::make_unique<TFStringGrid>();
    return std::make_unique<TWideFStringGrid>();
}

// Header row, then one row per text of "a,b,c" form.
void Fill(TFStringGridBase& grid, const QStringList& header, const QStringList& rows)
{
    grid.SetColCount(int(header.size()));
    grid.SetRowCount(int(rows.size()) + 1);
    grid.SetRows(0, header);
    for (int row = 0; row < rows.size(); ++row)
        grid.SetRows(row + 1, rows[row].split(QLatin1Char(',')));
}

QStringList Column(const TStringTable& table, int col)
{
    QStringList cells;
    for (int row = 1; row < table.RowCount(); ++row)
        cells.append(table.Cell(col, row));
    return cells;
}

QStringList VisibleColumn(const TFStringGridBase& grid, int col)
{
    QStringList cells;
    for (int row = 1; row < grid.RowCount(); ++row)
        cells.append(grid.Cells(col, row));
    return cells;
}

// Column `col` gets a filter button of the given kind; the others none.
void FilterOn(TFStringGridBase& grid, int col, TSelection kind)
{
    grid.OnHasFilter = [col, kind](int c, TSelection& hasFilter, bool& sorted) {
        hasFilter = c == col ? kind : fsNone;
        sorted = false;
    };
    grid.BuildFilterButtons();
}

const QStringList SyncHeader{"Name", "Size", "Time", "Op"};
const QStringList SyncRows{"a.txt,1,t1,Copy", "b.txt,2,t2,Delete", "c.txt,3,t3,copy",
                           "d.txt,4,t4,Skip", "e.txt,5,t5,Copy"};
} // namespace

class FStringGridTest : public QObject {
    Q_OBJECT

private slots:
    void variants_data()
    {
        QTest::addColumn<TGridVariant>("variant");
        QTest::newRow("narrow") << gvNarrow;
        QTest::newRow("wide") << gvWide;
    }

    void defaults_data() { variants_data(); }
    void defaults()
    {
        QFETCH(TGridVariant, variant);
        auto grid = MakeGrid(variant);
        QCOMPARE(grid->RowCount(), 5);
        QCOMPARE(grid->ColCount(), 5);
        QCOMPARE(grid->FixedRows(), 1);
        QCOMPARE(grid->FixedCols(), 1);
        QCOMPARE(grid->FileName(), QStringLiteral(".CSV"));
        QVERIFY(!grid->Modified());
        QCOMPARE(grid->MasterGrid().RowCount(), 5);
        QVERIFY(grid->RowMap().isEmpty());
    }

    void sameRowCountRaisesOnlyRowColChange()
    {
        TFStringGrid grid;
        QSignalSpy rowCol(&grid, &TFStringGridBase::OnRowColChange);
        QSignalSpy changed(&grid, &TFStringGridBase::OnChanged);
        grid.SetRowCount(5);
        QCOMPARE(rowCol.count(), 1);
        QCOMPARE(rowCol.first(), (QList<QVariant>{5, 5}));
        QCOMPARE(changed.count(), 0);
        grid.SetRowCount(7);
        QCOMPARE(rowCol.count(), 2);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(grid.MasterGrid().RowCount(), 7);
    }

    void dimensionSettersEmptyStaleCells_data() { variants_data(); }
    void dimensionSettersEmptyStaleCells()
    {
        QFETCH(TGridVariant, variant);
        auto grid = MakeGrid(variant);
        Fill(*grid, {"A", "B", "C"}, {"1,2,3", "4,5,6", "7,8,9"});
        grid->SetRowCount(2);
        grid->SetRowCount(4);
        QCOMPARE(VisibleColumn(*grid, 0), (QStringList{"1", "", ""}));
        QCOMPARE(Column(grid->MasterGrid(), 0), (QStringList{"1", "", ""}));
        grid->SetColCount(1);
        grid->SetColCount(3);
        QCOMPARE(grid->Cells(2, 1), QString());
        QCOMPARE(grid->Cells(1, 0), QString());
        QCOMPARE(grid->MasterGrid().Cell(2, 1), QString());
    }

    void cellWriteReachesMappedMasterRow_data()
    {
        QTest::addColumn<TGridVariant>("variant");
        QTest::addColumn<int>("visibleRow");
        QTest::addColumn<int>("masterRow");
        // Rows with "Copy" (any case) are master rows 1, 3 and 5.
        QTest::newRow("narrow first") << gvNarrow << 1 << 1;
        QTest::newRow("narrow middle") << gvNarrow << 2 << 3;
        QTest::newRow("narrow last") << gvNarrow << 3 << 5;
        QTest::newRow("wide last") << gvWide << 3 << 5;
    }

    void cellWriteReachesMappedMasterRow()
    {
        QFETCH(TGridVariant, variant);
        QFETCH(int, visibleRow);
        QFETCH(int, masterRow);
        auto grid = MakeGrid(variant);
        Fill(*grid, SyncHeader, SyncRows);
        FilterOn(*grid, 3, fsSingle);
        TPanelButton* button = grid->FilterButton(3);
        QVERIFY(button);
        button->Choose(1); // "->Copy"
        QTRY_COMPARE(grid->RowCount(), 4);
        QCOMPARE(grid->RowMap(), (QList<int>{1, 3, 5}));
        QCOMPARE(grid->MasterGrid().RowCount(), 6);
        grid->SetCells(1, visibleRow, QStringLiteral("X"));
        QCOMPARE(grid->Cells(1, visibleRow), QStringLiteral("X"));
        QCOMPARE(grid->MasterGrid().Cell(1, masterRow), QStringLiteral("X"));
        for (int row = 1; row < 6; ++row)
            QCOMPARE(grid->MasterGrid().Cell(1, row) == "X", row == masterRow);
    }

    void editedCellReachesMappedMasterRow()
    {
        TFStringGrid grid;
        Fill(grid, SyncHeader, SyncRows);
        FilterOn(grid, 3, fsSingle);
        grid.FilterButton(3)->Choose(2); // "->Delete"
        QTRY_COMPARE(grid.RowCount(), 2);
        QSignalSpy edits(&grid, &TFStringGridBase::OnSetEditText);
        grid.model()->setData(grid.model()->index(0, 0), QStringLiteral("z.txt"));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(edits.first().mid(1), (QList<QVariant>{0, 1, QStringLiteral("z.txt")}));
        QCOMPARE(grid.MasterGrid().Cell(0, 2), QStringLiteral("z.txt"));
    }

    void filterEntriesIgnoreCase()
    {
        TFStringGrid grid;
        Fill(grid, SyncHeader, SyncRows);
        FilterOn(grid, 3, fsMulti);
        const TPanelButton* button = grid.FilterButton(3);
        QCOMPARE(button->CaptionItems(),
                 (QStringList{"\"Op\",-1", "\"->Copy\",-1", "\"->Delete\",-1", "\"->Skip\",-1"}));
        QVERIFY(button->Selected(0));
        QCOMPARE(button->Caption(), QStringLiteral("Op"));
        grid.FilterButton(3)->Choose(1);
        QTRY_COMPARE(VisibleColumn(grid, 0), (QStringList{"a.txt", "c.txt", "e.txt"}));
    }

    void blankTitleAndBlankColumn()
    {
        TFStringGrid grid;
        Fill(grid, {"A", " "}, {"x, ", "y,"});
        FilterOn(grid, 1, fsMulti);
        QCOMPARE(grid.FilterButton(1)->CaptionItems(), QStringList{QString()});
        QCOMPARE(grid.FilterButton(1)->Caption(), QString());
    }

    void emptySelectionShowsNoRow_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("choices");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("caption");
        QTest::newRow("multi cleared") << int(fsMulti) << QList<int>{2, 2} << 1 << "[..]";
        QTest::newRow("single chosen again") << int(fsSingle) << QList<int>{2, 2} << 1 << "[..]";
        QTest::newRow("title chosen") << int(fsMulti) << QList<int>{2, 0} << 6 << "Op";
        QTest::newRow("two values") << int(fsMulti) << QList<int>{2, 3} << 3 << "->Delete, ->Skip";
    }

    void emptySelectionShowsNoRow()
    {
        QFETCH(int, kind);
        QFETCH(QList<int>, choices);
        QFETCH(int, rows);
        QFETCH(QString, caption);
        TFStringGrid grid;
        Fill(grid, SyncHeader, SyncRows);
        FilterOn(grid, 3, TSelection(kind));
        QSignalSpy changed(&grid, &TFStringGridBase::OnChanged);
        for (int choice : choices)
            grid.FilterButton(3)->Choose(choice);
        QTRY_COMPARE(changed.count(), choices.size());
        QCOMPARE(changed.last().first().value<QObject*>(), grid.FilterButton(3));
        QCOMPARE(grid.RowCount(), rows);
        QCOMPARE(grid.FixedRows(), rows < 2 ? 0 : 1);
        QCOMPARE(grid.FilterButton(3)->Caption(), caption);
        QCOMPARE(grid.MasterGrid().RowCount(), 6);
    }

    void adjustWidthsResetsButtonButKeepsRows()
    {
        TFStringGrid grid;
        Fill(grid, SyncHeader, SyncRows);
        FilterOn(grid, 3, fsSingle);
        grid.FilterButton(3)->Choose(3);
        QTRY_COMPARE(grid.RowCount(), 2);
        grid.AdjustWidths(true);
        QCOMPARE(grid.FilterButton(3)->Caption(), QStringLiteral("Op"));
        QCOMPARE(grid.RowCount(), 2);
        QCOMPARE(grid.Cells(0, 1), QStringLiteral("d.txt"));
    }

    void addingRowWhileFilteredKeepsRowsOnShow()
    {
        TFStringGrid grid;
        Fill(grid, SyncHeader, SyncRows);
        FilterOn(grid, 3, fsSingle);
        grid.FilterButton(3)->Choose(2);
        QTRY_COMPARE(grid.RowCount(), 2);
        grid.SetRowCount(grid.RowCount() + 1);
        QCOMPARE(grid.MasterGrid().RowCount(), 3);
        QCOMPARE(Column(grid.MasterGrid(), 0), (QStringList{"b.txt", ""}));
        QVERIFY(grid.RowMap().isEmpty());
    }

    void deleteSelectedRows_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("bottom");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("only data row") << QStringList{"x,1"} << 1 << 1 << QStringList{""};
        QTest::newRow("middle") << QStringList{"x,1", "y,2", "z,3"} << 2 << 2
                                << QStringList{"x", "z"};
        QTest::newRow("two rows") << QStringList{"x,1", "y,2", "z,3"} << 1 << 2 << QStringList{"z"};
        QTest::newRow("all rows") << QStringList{"x,1", "y,2"} << 1 << 2 << QStringList{""};
        QTest::newRow("row like header") << QStringList{"A,B", "y,2"} << 1 << 1 << QStringList{"y"};
    }

    void deleteSelectedRows()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, top);
        QFETCH(int, bottom);
        QFETCH(QStringList, left);
        TWideFStringGrid grid;
        Fill(grid, {"A", "B"}, rows);
        grid.SetSelection({0, top, 1, bottom});
        QSignalSpy changed(&grid, &TFStringGridBase::OnChanged);
        grid.DeleteSelectedRows();
        QCOMPARE(VisibleColumn(grid, 0), left);
        QCOMPARE(Column(grid.MasterGrid(), 0), left);
        QCOMPARE(grid.Cells(0, 0), QStringLiteral("A"));
        QVERIFY(grid.Modified());
        QCOMPARE(changed.count(), 1);
    }

    void deleteInFilteredGridRemovesRightMasterRow()
    {
        TFStringGrid grid;
        Fill(grid, SyncHeader, SyncRows);
        FilterOn(grid, 3, fsSingle);
        grid.FilterButton(3)->Choose(1);
        QTRY_COMPARE(grid.RowCount(), 4);
        grid.SetSelection({0, 2, 3, 2}); // c.txt
        grid.DeleteSelectedRows();
        QCOMPARE(Column(grid.MasterGrid(), 0), (QStringList{"a.txt", "b.txt", "d.txt", "e.txt"}));
        QCOMPARE(grid.RowCount(), 5); // the whole table is on show again
    }

    void insertRowKeepsMasterInStep()
    {
        TWideFStringGrid grid;
        Fill(grid, {"A", "B"}, {"x,1", "y,2"});
        QSignalSpy changed(&grid, &TFStringGridBase::OnChanged);
        grid.InsertRow(2);
        QCOMPARE(VisibleColumn(grid, 0), (QStringList{"x", "", "y"}));
        QCOMPARE(Column(grid.MasterGrid(), 0), (QStringList{"x", "", "y"}));
        QCOMPARE(changed.count(), 2);
    }

    void rowText_data()
    {
        QTest::addColumn<int>("cols");
        QTest::addColumn<QString>("quote");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("one empty item") << 1 << "\""
                                        << "\"\"" << QStringList{" "} << "\" \"";
        QTest::newRow("empty middle item") << 3 << "\""
                                           << "a,,b" << QStringList{"a", " ", "b"} << "a,\" \",b";
        QTest::newRow("extra items dropped") << 2 << "\""
                                             << "a,b,c,d" << QStringList{"a", "b"} << "a,b";
        QTest::newRow("quoted blank item")
            << 2 << "\""
            << "\"my file\",x" << QStringList{"my file", "x"} << "\"my file\",x";
        QTest::newRow("project row")
            << 2 << "'"
            << "'C:\\My Files\\',*.doc;*.txt" << QStringList{"C:\\My Files\\", "*.doc;*.txt"}
            << "'C:\\My Files\\',*.doc;*.txt";
        QTest::newRow("project row ending in delimiter")
            << 2 << "'"
            << "C:\\Src\\," << QStringList{"C:\\Src\\", " "} << "C:\\Src\\,' '";
    }

    void rowText()
    {
        QFETCH(int, cols);
        QFETCH(QString, quote);
        QFETCH(QString, text);
        QFETCH(QStringList, cells);
        QFETCH(QString, readBack);
        TWideFStringGrid grid;
        grid.SetColCount(cols);
        grid.SetRowCount(2);
        TGridRowView& view = grid.Rows(1);
        view.SetQuoteChar(quote[0]);
        view.SetDelimitedText(text);
        QCOMPARE(view.Items(), cells);
        QCOMPARE(grid.MasterGrid().Row(1), cells);
        QCOMPARE(grid.Rows(1).DelimitedText(), readBack); // the view keeps its quote
    }

    void emptyRowReadsAsTwoQuotes()
    {
        TFStringGrid grid;
        grid.SetColCount(1);
        QCOMPARE(grid.Rows(1).CommaText(), QStringLiteral("\"\""));
        grid.Rows(1).SetQuoteChar(QLatin1Char('\''));
        QCOMPARE(grid.Rows(1).DelimitedText(), QStringLiteral("''"));
        QCOMPARE(grid.Rows(1).CommaText(), QStringLiteral("\"\""));
        QCOMPARE(grid.Rows(1).QuoteChar(), QLatin1Char('\'')); // reading keeps the settings
    }

    void formatFilterEntry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("arrow");
        QTest::addColumn<QString>("entry");
        QTest::newRow("value") << "Copy" << true << "\"->Copy\",-1";
        QTest::newRow("title") << "Operation" << false << "\"Operation\",-1";
        QTest::newRow("trimmed") << "\t x \r\n" << true << "\"->x\",-1";
        QTest::newRow("ampersand doubled once") << "a&b&c" << true << "\"->a&&b&c\",-1";
        QTest::newRow("blank") << "  " << true << "";
    }

    void formatFilterEntry()
    {
        QFETCH(QString, text);
        QFETCH(bool, arrow);
        QFETCH(QString, entry);
        QCOMPARE(TFStringGridBase::FormatFilterEntry(text, arrow), entry);
    }

    void ampersandValuesFilter()
    {
        TFStringGrid grid;
        Fill(grid, {"A", "B"}, {"R&D,1", "Sales,2"});
        FilterOn(grid, 0, fsSingle);
        grid.FilterButton(0)->Choose(1);
        QTRY_COMPARE(VisibleColumn(grid, 0), QStringList{"R&D"});
    }

    void wideColumnZeroRuns()
    {
        TWideFStringGrid grid;
        Fill(grid, {"Group", "Item"}, {"G1,a", "G1b,b", " ,c", "G2,d", "G2,e", " ,f", "G1,g"});
        FilterOn(grid, 0, fsMulti);
        QCOMPARE(grid.FilterButton(0)->CaptionItems(),
                 (QStringList{"\"Group\",-1", "\"->G1\",-1", "\"->G2\",-1"}));
        grid.FilterButton(0)->Choose(1);
        QTRY_COMPARE(VisibleColumn(grid, 1), (QStringList{"a", "b", "c", "g"}));
    }

    void ownerDecidesRows()
    {
        TFStringGrid grid;
        Fill(grid, SyncHeader, SyncRows);
        FilterOn(grid, 3, fsSingle);
        grid.OnGetFilterEntries = [](int, QStringList& list) {
            list << "Even"
                 << "Odd";
        };
        grid.OnIsInList = [](const QStringList& values, int, int row) {
            return values.contains(row % 2 == 0 ? "Even" : "Odd");
        };
        grid.BuildFilterButtons();
        QCOMPARE(grid.FilterButton(3)->CaptionItems().size(), 3);
        grid.FilterButton(3)->Choose(1);
        QTRY_COMPARE(grid.RowMap(), (QList<int>{2, 4}));
    }

    void hiddenColumnsGetNoWideButton()
    {
        TWideFStringGrid grid;
        Fill(grid, SyncHeader, SyncRows);
        grid.SetColWidths(3, -1);
        FilterOn(grid, 3, fsSingle);
        QVERIFY(!grid.FilterButton(3));
        TFStringGrid narrow;
        Fill(narrow, SyncHeader, SyncRows);
        narrow.SetColWidths(3, 0);
        FilterOn(narrow, 3, fsSingle);
        QVERIFY(narrow.FilterButton(3));
        QVERIFY(!narrow.FilterButton(3)->isVisibleTo(&narrow));
    }

    void buttonsCoverHeaderCells_data() { variants_data(); }
    void buttonsCoverHeaderCells()
    {
        QFETCH(TGridVariant, variant);
        auto grid = MakeGrid(variant);
        Fill(*grid, SyncHeader, SyncRows);
        grid->resize(400, 200);
        grid->show();
        FilterOn(*grid, 2, fsMulti);
        const QHeaderView* header = grid->horizontalHeader();
        const QRect expected(header->sectionViewportPosition(2), 0, header->sectionSize(2),
                             header->height());
        const QRect actual = grid->FilterButton(2)->geometry();
        QCOMPARE(actual.left(), expected.left() + (variant == gvNarrow ? 1 : 0));
        QCOMPARE(actual.width(), expected.width() - (variant == gvNarrow ? 1 : 0));
        QCOMPARE(actual.height(), expected.height() + 1);
        grid->SetColWidths(0, 120);
        QCOMPARE(grid->FilterButton(2)->geometry().left(),
                 header->sectionViewportPosition(2) + (variant == gvNarrow ? 1 : 0));
    }

    void assignChecksVariant_data()
    {
        QTest::addColumn<TGridVariant>("target");
        QTest::addColumn<TGridVariant>("source");
        QTest::addColumn<QString>("message");
        QTest::newRow("narrow from wide")
            << gvNarrow << gvWide << "TFStringGrid Assign not possible";
        QTest::newRow("wide from narrow")
            << gvWide << gvNarrow << "TWideFStringGrid Assign not possible";
    }

    void assignChecksVariant()
    {
        QFETCH(TGridVariant, target);
        QFETCH(TGridVariant, source);
        QFETCH(QString, message);
        auto grid = MakeGrid(target);
        auto other = MakeGrid(source);
        try {
            grid->Assign(other.get());
            QFAIL("no error raised");
        } catch (const EConvertError& error) {
            QCOMPARE(error.Message(), message);
        }
        QObject plain;
        QVERIFY_THROWS_EXCEPTION(EConvertError, grid->Assign(&plain));
        QCOMPARE(grid->ColCount(), 5);
    }

    void assignCopiesRows()
    {
        TWideFStringGrid source;
        Fill(source, {"A", "B", "C"}, {"1,2,3", "4,5,6"});
        TWideFStringGrid grid;
        QSignalSpy changed(&grid, &TFStringGridBase::OnChanged);
        grid.Assign(&source);
        QCOMPARE(grid.ColCount(), 3);
        QCOMPARE(grid.RowCount(), 3);
        QCOMPARE(grid.MasterGrid(), source.MasterGrid());
        QVERIFY(changed.count() >= 1);
    }

    void cellGeometry()
    {
        TFStringGrid grid;
        Fill(grid, SyncHeader, SyncRows);
        grid.resize(400, 300);
        grid.show();
        grid.SetRowHeights(2, 20);
        const QRect cell = grid.CellRect(3, 2);
        QCOMPARE(grid.RowHeights(2), 20);
        QVERIFY(cell.height() >= 19); // less the grid line
        int col = -1;
        int row = -1;
        QVERIFY(grid.MouseToCell(cell.center(), col, row));
        QCOMPARE(QPoint(col, row), QPoint(3, 2));
        QCOMPARE(grid.CellRect(3, 0).bottom() + 1, grid.CellRect(3, 1).top());
        QSignalSpy selected(&grid, &TFStringGridBase::OnSelectCell);
        grid.SetRow(4);
        QCOMPARE(selected.value(0).value(1).toInt(), 4);
    }

    void scrollingRaisesEvents_data() { variants_data(); }
    void scrollingRaisesEvents()
    {
        QFETCH(TGridVariant, variant);
        auto grid = MakeGrid(variant);
        grid->SetRowCount(60);
        grid->resize(300, 150);
        grid->show();
        QSignalSpy scrolled(grid.get(), &TFStringGridBase::OnScroll);
        QSignalSpy topLeft(grid.get(), &TFStringGridBase::OnTopLeftChanged);
        grid->verticalScrollBar()->setValue(7);
        QCOMPARE(topLeft.count(), 1);
        if (variant == gvWide)
            QCOMPARE(scrolled.value(0).mid(1), (QList<QVariant>{0, 7}));
        else
            QCOMPARE(scrolled.count(), 0);
    }

    void adjustWidthsFitsTexts()
    {
        TWideFStringGrid grid;
        Fill(grid, {"A", "B", "C"}, {"short,a much longer text than the rest of it,x", "s,t,u"});
        grid.resize(100, 100);
        grid.show();
        grid.SetColWidths(2, -1);
        grid.AdjustWidths(true);
        QVERIFY(grid.ColWidths(1) > grid.ColWidths(0));
        QCOMPARE(grid.ColWidths(1), 150); // capped, no room to stretch
        QCOMPARE(grid.ColWidths(2), -1);  // hidden columns stay hidden
        grid.resize(800, 100);
        QTRY_VERIFY(grid.viewport()->width() > 700);
        const int client = grid.viewport()->width();
        grid.AdjustWidths(true, true);
        // Stretched to the client width, less one pixel of grid line per column.
        const int total = grid.ColWidths(0) + grid.ColWidths(1);
        QCOMPARE_LE(total, client);
        QCOMPARE_GE(total, client - 10);
    }

    // Fitted columns fill the area inside the frame and beside the vertical
    // scroll bar, so a list taller than the grid never scrolls sideways.
    void adjustWidthsFitsVisibleArea_data() { variants_data(); }
    void adjustWidthsFitsVisibleArea()
    {
        QFETCH(TGridVariant, variant);
        auto grid = MakeGrid(variant);
        QStringList rows;
        for (int i = 0; i < 40; ++i)
            rows.append(QStringLiteral("file%1.txt,%1,2026-03-01 10:00,=>").arg(i));
        Fill(*grid, SyncHeader, rows);
        grid->resize(420, 200);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        if (variant == gvWide)
            static_cast<TWideFStringGrid&>(*grid).AdjustWidths(true, true);
        else
            static_cast<TFStringGrid&>(*grid).AdjustWidths(true);
        int total = 0;
        for (int col = 0; col < grid->ColCount(); ++col)
            total += grid->ColWidths(col);
        QTRY_VERIFY(grid->verticalScrollBar()->isVisible());
        QCOMPARE_LE(total, grid->viewport()->width());
        QCOMPARE_GE(total, grid->viewport()->width() - 10);
        QTest::qWait(20);
        QVERIFY(!grid->horizontalScrollBar()->isVisible());
    }

    void rebuildWhileListOpenKeepsSelection()
    {
        TFStringGrid grid;
        Fill(grid, SyncHeader, SyncRows);
        FilterOn(grid, 3, fsMulti);
        grid.show();
        TPanelButton* button = grid.FilterButton(3);
        button->click();
        QVERIFY(button->IsPopupOpen());
        button->Choose(2);                           // ->Delete
        grid.SetCells(3, 5, QStringLiteral("Move")); // a new value: one entry more
        grid.BuildFilterButtons();
        QCOMPARE(button->CaptionItems().size(), 5);
        QVERIFY(!button->Selected(0));
        QVERIFY(button->Selected(2));
        QCOMPARE(button->SelectedCount(), 1);
        button->ClosePopup();
        QTRY_VERIFY(!button->IsPopupOpen());
        grid.BuildFilterButtons(); // closed: back to the title
        QVERIFY(button->Selected(0));
        QCOMPARE(button->SelectedCount(), 1);
    }

    // An entry and the rows it selects follow one trimming rule: characters
    // of code 32 or less go at both ends, nothing else.
    void entriesAndRowsTrimAlike_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("plain value") << 1 << QStringList{"a", "b", "c"};
        QTest::newRow("no-break space kept") << 2 << QStringList{"d"};
    }
    void entriesAndRowsTrimAlike()
    {
        QFETCH(int, entry);
        QFETCH(QStringList, shown);
        TFStringGrid grid;
        Fill(grid, {"Name", "Op"}, {"a,x", "b,x", "c,x", "d,x"});
        grid.SetCells(1, 1, QStringLiteral("=>"));
        grid.SetCells(1, 2, QStringLiteral(" =>\t"));
        grid.SetCells(1, 3, QStringLiteral("\x01=>\x1f"));
        grid.SetCells(1, 4, QStringLiteral("=>\u00a0"));
        FilterOn(grid, 1, fsSingle);
        TPanelButton* button = grid.FilterButton(1);
        QCOMPARE(button->CaptionItems(),
                 (QStringList{"\"Op\",-1", "\"->=>\",-1", "\"->=>\u00a0\",-1"}));
        QSignalSpy changed(&grid, &TFStringGridBase::OnChanged);
        button->Choose(entry);
        QTRY_COMPARE(changed.count(), 1);
        QCOMPARE(VisibleColumn(grid, 0), shown);
    }
};

QZ_REGISTER_TEST(FStringGridTest);
#include "FStringGridTest.moc"
