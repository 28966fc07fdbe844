#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "FStringGrid.h"
#include "FakeUserInterface.h"
#include "PanelButton.h"
#include "PanelPopup.h"
#include "SyncList.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipProject.h"

namespace {
// A sync list over a project that is not stored.
struct ListWindow {
    FakeUserInterface Ui;
    TZipProject Project{Ui};
    TSyncList List{Project};
};

// Shows the list and waits until it is on screen.
bool ShowList(TSyncList& list)
{
    list.show();
    return QTest::qWaitForWindowExposed(&list);
}

// Row r holds file r.txt, entry r.txt and the operation of its code.
void Fill(TSyncList& list, const QList<int>& codes)
{
    list.ClearItems();
    list.SetFileHeader(QStringLiteral("/home/u/work/"));
    list.SetZipHeader(QStringLiteral("Zip:/home/u/archive"));
    for (int i = 0; i < codes.size(); ++i) {
        const QString name = QStringLiteral("%1.txt").arg(i + 1);
        list.AddItem({name, "2024-03-05 10:01", "12", {}, name, "2024-03-05 10:00", "11"},
                     codes.at(i));
    }
}

QStringList Operations(const TSyncList& list)
{
    QStringList symbols;
    for (int row = 1; row < list.sgSync()->RowCount(); ++row)
        symbols.append(list.sgSync()->Cells(3, row));
    return symbols;
}

QStringList ModelOperations(TSyncList& list)
{
    QStringList symbols;
    for (const TSyncItem& item : list.Model().Items())
        symbols.append(item.Operation);
    return symbols;
}

void SelectRows(TSyncList& list, int top, int bottom)
{
    list.sgSync()->SetRow(top);
    list.sgSync()->SetSelection({0, top, 6, bottom});
}

QPoint CellCentre(const TSyncList& list, int col, int row)
{
    TFStringGrid* grid = list.sgSync();
    return grid->CellRect(col, row).translated(-grid->viewport()->geometry().topLeft()).center();
}

void MoveMouse(QWidget* widget, const QPoint& pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}
} // namespace

class SyncListTest : public QObject {
    Q_OBJECT

private slots:
    void addItemFillsRowOneThenAppends_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("rows");
        QTest::newRow("none") << 0 << 2;
        QTest::newRow("one difference, one data row") << 1 << 2;
        QTest::newRow("second appends") << 2 << 3;
    }
    void addItemFillsRowOneThenAppends()
    {
        QFETCH(int, items);
        QFETCH(int, rows);
        ListWindow window;
        TSyncList& list = window.List;
        Fill(list, {soCopyToZip, soCopyToFileSystem, soNoSync});
        Fill(list, QList<int>(items, soCopyMissingToZip));
        QCOMPARE(list.ItemCount(), items);
        QCOMPARE(list.sgSync()->RowCount(), rows);
        QCOMPARE(list.sgSync()->Rows(0).CommaText(),
                 QStringLiteral("/home/u/work/,Date,Size,,Zip:/home/u/archive,Date,Size"));
        QCOMPARE(list.sgSync()->Cells(0, 1), items ? QStringLiteral("1.txt") : QStringLiteral(" "));
        QCOMPARE(list.sgSync()->Cells(3, rows - 1), items ? QStringLiteral("=>!") : " ");
        QCOMPARE(list.ShownItems().size(), items);
        list.LoadItems(); // the comparison's road: the same rows in one step
        QCOMPARE(list.sgSync()->RowCount(), rows);
        QCOMPARE(list.sgSync()->Cells(6, 1), items ? QStringLiteral("11") : QString());
    }

    void spaceCyclesTheSelection()
    {
        ListWindow window;
        TSyncList& list = window.List;
        Fill(list, {soCopyToZip, soCopyMissingToZip, soCopyToZip, soDeleteInZip, soCopyToZip,
                    soCopyToFileSystem});
        QVERIFY(ShowList(list));
        list.sgSync()->setFocus();
        SelectRows(list, 2, 5);
        QTest::keyClick(list.sgSync(), Qt::Key_Space);
        QCOMPARE(Operations(list), (QStringList{"=>", "=", "=", "=", "=", "<="}));
        QCOMPARE(list.sgSync()->Selection().Bottom, 5); // space leaves the selection alone
        QTest::keyClick(list.sgSync(), Qt::Key_Space);
        QCOMPARE(Operations(list), (QStringList{"=>", "<=", "<=", "<=", "<=", "<="}));
        QCOMPARE(ModelOperations(list), Operations(list));
        QCOMPARE(list.bnOp()->State(), int(soCopyToFileSystem));
    }

    void popupChoiceWritesEverySelectedRow()
    {
        ListWindow window;
        TSyncList& list = window.List;
        Fill(list, {soCopyToZip, soCopyToZip, soCopyToZip, soCopyToZip});
        QVERIFY(ShowList(list));
        list.AdjustWidths();
        SelectRows(list, 1, 3);
        TPanelButton* button = list.bnOp();
        QVERIFY(button->isVisible());
        QCOMPARE(button->geometry().size(), list.sgSync()->CellRect(3, 3).size());
        // Column 3 is widened so the button shows its caption whole.
        QCOMPARE_GE(button->width(),
                    button->fontMetrics().horizontalAdvance(button->Caption()) + 8);
        button->click();
        TPanelPopup* panel = button->PopupPanel();
        QVERIFY(panel);
        QCOMPARE(panel->Entries().size(), 7);
        QCOMPARE(panel->EntrySize().width(), 170);
        QVERIFY(panel->Entries()[soCopyToZip]->Pressed());
        panel->Entries()[soDeleteInZip]->click();
        QTRY_COMPARE(Operations(list), (QStringList{"X>", "X>", "X>", "=>"}));
        QCOMPARE(ModelOperations(list), Operations(list));
        QCOMPARE(button->Caption(), QStringLiteral("X> Delete in Zip File"));
    }

    void buttonChoiceThenOtherRowLeavesTheSymbol()
    {
        ListWindow window;
        TSyncList& list = window.List;
        Fill(list, {soCopyToZip, soCopyToZip, soCopyToZip, soCopyToZip});
        QVERIFY(ShowList(list));
        QTest::mouseClick(list.sgSync()->viewport(), Qt::LeftButton, {}, CellCentre(list, 0, 2));
        TPanelButton* button = list.bnOp();
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(button->IsPopupOpen());
        QTest::mouseClick(button->PopupPanel()->Entries()[soDeleteInFileSystem], Qt::LeftButton);
        QTRY_COMPARE(list.sgSync()->Cells(3, 2), QStringLiteral("X<"));
        QTest::mouseClick(list.sgSync()->viewport(), Qt::LeftButton, {}, CellCentre(list, 0, 4));
        QCOMPARE(Operations(list), (QStringList{"=>", "X<", "=>", "=>"}));
        TFStringGrid* grid = list.sgSync();
        QCOMPARE(button->geometry(),
                 grid->CellRect(3, 4).translated(-grid->viewport()->geometry().topLeft()));
        QCOMPARE(button->State(), int(soCopyToZip));
    }

    void zipOperationSavedAtOnceAndShownAfterReopening()
    {
        TestUtil::TempTree tree;
        FakeUserInterface ui;
        const QString file = tree.Path(QStringLiteral("p.qrz"));
        {
            TZipProject project(ui);
            project.SetRelDir(tree.Path(QString()));
            project.SetCFGFileName(file);
            TSyncList list(project);
            list.findChild<QRadioButton*>("rbgZipOperationItem0")->click();
            QCOMPARE(list.ZipOperation(), int(zoReplaceFile));
            QCOMPARE(project.ZipOperation(), int(zoReplaceFile));
            QVERIFY(TestUtil::ReadFile(file).contains("ZipOperation=0"));
        }
        TZipProject project(ui);
        TSyncList list(project);
        QVERIFY(list.findChild<QRadioButton*>("rbgZipOperationItem1")->isChecked());
        QVERIFY(project.LoadProject(file));
        QCOMPARE(list.ZipOperation(), int(zoReplaceFile));
        QVERIFY(list.findChild<QRadioButton*>("rbgZipOperationItem0")->isChecked());
    }

    void hintShowsLongPathAndNoneOverTheHeader()
    {
        ListWindow window;
        TSyncList& list = window.List;
        Fill(list, {soCopyToZip});
        const QString path =
            QStringLiteral("docs\\projects\\2026\\reports\\quarterly\\summary.txt");
        list.sgSync()->SetCells(0, 1, path);
        QVERIFY(ShowList(list));
        QWidget* viewport = list.sgSync()->viewport();
        const QPoint over = CellCentre(list, 0, 1);
        MoveMouse(viewport, over);
        QLabel* hint = list.HintWindow();
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->text().remove(QChar(0x200B)), path);
        QCOMPARE(hint->width(), 150);
        QCOMPARE_GE(hint->height(), 2 * hint->fontMetrics().height()); // wrapped, not cut
        QCOMPARE(hint->pos(), viewport->mapToGlobal(over) + QPoint(10, 10));
        MoveMouse(list.sgSync()->horizontalHeader(), QPoint(20, 5));
        QVERIFY(!hint->isVisible());
        MoveMouse(viewport, over);
        QVERIFY(hint->isVisible());
        list.findChild<QPushButton*>("bnCancel")->click();
        QVERIFY(!hint->isVisible());
        QVERIFY(!list.isVisible());
    }

    void filterLeavesOnlyShownRowsToRun()
    {
        ListWindow window;
        TSyncList& list = window.List;
        Fill(list, {soCopyToZip, soCopyToFileSystem, soCopyToZip, soCopyMissingToZip});
        list.LoadItems();
        TPanelButton* filter = list.sgSync()->FilterButton(3);
        QVERIFY(filter);
        QCOMPARE(filter->Selection(), fsSingle);
        QCOMPARE(filter->CaptionItems().size(), 8); // the title and every operation
        QCOMPARE(filter->CaptionItems().at(soCopyToZip + 1), QStringLiteral("\"->=>\",-1"));
        QSignalSpy changed(list.sgSync(), &TFStringGridBase::OnChanged);
        filter->Choose(soCopyToZip + 1);
        QTRY_COMPARE(changed.count(), 1);
        QStringList shown;
        for (const TSyncItem& item : list.ShownItems())
            shown.append(item.FilePath + ' ' + item.Operation);
        QCOMPARE(shown, (QStringList{"1.txt =>", "3.txt =>"}));
        // A change on a filtered row reaches its own row of the list.
        SelectRows(list, 2, 2);
        QTest::keyClick(list.sgSync(), Qt::Key_Space);
        QCOMPARE(ModelOperations(list), (QStringList{"=>", "<=", "!<=", "=>!"}));
        filter->Choose(soCopyMissingToFileSystem + 1); // set after filling, listed all the same
        QTRY_COMPARE(changed.count(), 2);
        QCOMPARE(list.ShownItems().size(), 1);
    }

    void pictures()
    {
        ListWindow window;
        TSyncList& list = window.List;
        list.ClearItems();
        list.SetFileHeader(QStringLiteral("/home/anna/Projects/Web/"));
        list.SetZipHeader(QStringLiteral("Zip:/home/anna/../Backup/Web"));
        // FilePath|FileDate|FileSize|operation code|EntryName|EntryDate|EntrySize
        const QStringList rows{
            "index.html|05.03.2026 10:12|4210|1|index.html|01.03.2026 08:00|4102",
            "css\\site.css|02.03.2026 11:40|1833|0|css\\site.css|04.03.2026 17:05|1840",
            "img\\logo.png|15.01.2026 09:00|20480|3|||",
            "|||2|docs\\old-notes.txt|01.12.2025 14:22|412",
            "js\\app.js|06.03.2026 09:45|8812|1|js\\app.js|03.03.2026 16:10|8790",
            "about.html|06.03.2026 12:30|2933|1|about.html|02.03.2026 08:00|2901",
            "img\\banner.jpg|20.02.2026 10:00|51200|3|||",
            "|||2|drafts\\plan.txt|11.11.2025 09:30|733"};
        for (const QString& row : rows) {
            const QStringList f = row.split(u'|');
            list.AddItem({f[0], f[1], f[2], {}, f[4], f[5], f[6]}, f[3].toInt());
        }
        QVERIFY(ShowList(list));
        list.AdjustWidths();
        SelectRows(list, 3, 3);
        list.bnOp()->click();
        TPanelPopup* panel = list.bnOp()->PopupPanel();
        QVERIFY(panel);
        TestPictures::SavePicture(TestPictures::WithPopup(list, *panel),
                                  QStringLiteral("synclist-popup.png"));
        list.bnOp()->ClosePopup();
        QTRY_VERIFY(!list.bnOp()->IsPopupOpen());
        TPanelButton* filter = list.sgSync()->FilterButton(3);
        QSignalSpy changed(list.sgSync(), &TFStringGridBase::OnChanged);
        filter->Choose(int(filter->CaptionItems().indexOf("\"->=>\",-1")));
        QTRY_COMPARE(changed.count(), 1);
        QCOMPARE(list.sgSync()->RowCount(), 4);
        QTest::qWait(50);
        TestPictures::SavePicture(list.grab(), QStringLiteral("synclist-filter.png"));
    }
};

QZ_REGISTER_TEST(SyncListTest);
#include "SyncListTest.moc"
