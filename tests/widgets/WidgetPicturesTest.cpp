#include <QSignalSpy>
#include <QTest>

#include "FStringGrid.h"
#include "PanelButton.h"
#include "PanelPopup.h"
#include "TestPictures.h"
#include "TestRegistry.h"

using TestPictures::SavePicture;
using TestPictures::WithPopup;

namespace {
const QStringList Operations{
    "\"<=  Copy to FileSystem\",-1", "\"=>  Copy to Zip\",-1", "\"!<= Delete in FileSystem\",-1",
    "\"=>! Delete in Zip\",-1",      "\"=   Nothing\",-1",     "\"X>  Delete File only\",-1",
    "\"X<  Delete Entry only\",-1"};

} // namespace

// The sync list's use of the widgets: a seven-column grid with a single-choice
// filter on the operation column, and the operation chooser.
class WidgetPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void sevenColumnGridWithOperationFilter()
    {
        TFStringGrid grid;
        grid.setObjectName(QStringLiteral("sgSync"));
        grid.SetColCount(7);
        grid.SetRowCount(1);
        grid.SetFixedCols(0);
        grid.SetRows(
            0, {"Entry", "Zip Time", "File Time", "Operation", "Zip Size", "File Size", "Folder"});
        const QStringList rows{"Readme.txt|2026-03-01 10:12|2026-03-04 08:00|=>|1204|1311|docs",
                               "Main.cpp|2026-03-02 11:40|2026-02-28 17:05|<=|8812|8790|src",
                               "Logo.png|2026-01-15 09:00||<=|20480||art",
                               "Notes.md||2026-03-05 12:30|=>||933|docs",
                               "Old.h|2025-12-01 14:22||X<|412||src",
                               "Build.cmake|2026-03-03 16:10|2026-03-06 09:45|=>|702|716|",
                               "Data.csv|2026-03-02 08:00|2026-03-02 08:00|=|5120|5120|data"};
        for (const QString& row : rows) {
            grid.SetRowCount(grid.RowCount() + 1);
            grid.SetRows(grid.RowCount() - 1, row.split(QLatin1Char('|')));
        }
        grid.OnHasFilter = [](int col, TSelection& hasFilter, bool& sorted) {
            hasFilter = col == 3 ? fsSingle : fsNone;
            sorted = false;
        };
        grid.OnGetAlignment = [](int col, int) {
            return col >= 4 ? taRightJustify : taLeftJustify;
        };
        grid.OnDrawCell = [&grid](QPainter& painter, int col, int row, TGridDrawState state,
                                  const QRect& rect) {
            grid.DefaultDrawCell(painter, col, row, state, rect);
        };
        grid.resize(760, 260);
        grid.show();
        grid.BuildFilterButtons();
        grid.AdjustWidths(true);
        TPanelButton* filter = grid.FilterButton(3);
        QVERIFY(filter);
        QCOMPARE(filter->CaptionItems().size(), 5); // title, =>, <=, X<, =
        QCOMPARE(filter->Selection(), fsSingle);

        QSignalSpy changed(&grid, &TFStringGridBase::OnChanged);
        filter->Choose(1);
        QTRY_COMPARE(changed.count(), 1);
        QCOMPARE(grid.RowCount(), 4);
        QCOMPARE(filter->Caption(), QStringLiteral("->=>"));
        QCOMPARE(grid.RowMap(), (QList<int>{1, 4, 6}));
        grid.SetRow(2);
        filter->click();
        QVERIFY(filter->IsPopupOpen());
        QCOMPARE(filter->PopupPanel()->Entries().size(), 5);
        QVERIFY(filter->PopupPanel()->Entries()[1]->Pressed());
        SavePicture(WithPopup(grid, *filter->PopupPanel()), QStringLiteral("fstringgrid.png"));
        filter->ClosePopup();
    }

    void operationChooserPanel()
    {
        QWidget window;
        window.setObjectName(QStringLiteral("SyncList"));
        window.resize(320, 80);
        TPanelButton button(&window);
        button.setObjectName(QStringLiteral("bnOp"));
        button.setGeometry(12, 12, 170, 28);
        button.SetCaptionItems(Operations);
        button.SetPopup(true);
        button.SetPopupWidth(170);
        button.SetState(1);
        window.show();
        button.click();
        TPanelPopup* panel = button.PopupPanel();
        QVERIFY(panel);
        QCOMPARE(panel->Entries().size(), 7);
        QCOMPARE(panel->EntrySize(), QSize(170, 28));
        QVERIFY(panel->Entries()[1]->Pressed());
        QVERIFY(panel->Entries()[1]->hasFocus() || panel->Entries()[1]->isDefault());
        SavePicture(WithPopup(window, *panel), QStringLiteral("panelbutton.png"));
        panel->Entries()[4]->click();
        QCOMPARE(button.Caption(), QStringLiteral("=   Nothing"));
    }
};

QZ_REGISTER_TEST(WidgetPicturesTest);
#include "WidgetPicturesTest.moc"
