#include <QSignalSpy>
#include <QTest>

#include "PanelButton.h"
#include "PanelPopup.h"
#include "TestRegistry.h"

namespace {
QStringList Lines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(QStringLiteral("\"S%1\",-1").arg(i));
    return lines;
}

QList<int> SelectedStates(const TPanelButton& button)
{
    QList<int> states;
    for (int i = 0; i < button.CaptionItems().size(); ++i) {
        if (button.Selected(i))
            states.append(i);
    }
    return states;
}
} // namespace

class PanelButtonTest : public QObject {
    Q_OBJECT

private slots:
    void clicksStepThroughStates()
    {
        TPanelButton button;
        button.SetCaptionItems(Lines(4));
        button.show();
        QSignalSpy clicks(&button, &TPanelButton::OnClick);
        QList<int> states;
        for (int i = 0; i < 5; ++i) {
            button.click();
            states.append(button.State());
        }
        QCOMPARE(states, (QList<int>{1, 2, 3, 0, 1}));
        QCOMPARE(clicks.count(), 5);
        QCOMPARE(button.Caption(), QStringLiteral("S1"));
    }

    void clickWithoutLinesGivesNoState()
    {
        TPanelButton button;
        button.show();
        button.click();
        QCOMPARE(button.State(), -1);
    }

    void stateOutsideLinesKeepsCaption()
    {
        TPanelButton button;
        button.SetCaptionItems(Lines(7));
        button.SetState(2);
        button.SetState(7);
        QCOMPARE(button.State(), 7);
        QCOMPARE(button.Caption(), QStringLiteral("S2"));
    }

    void stateRangeWriteRules()
    {
        TPanelButton button;
        button.SetCaptionItems(Lines(5));
        button.SetStateMax(9); // outside the lines: ignored
        QCOMPARE(button.StateMax(), 4);
        button.SetStateMin(3); // state 0 lies outside 3..4 now
        QCOMPARE(button.State(), 3);
        QCOMPARE(button.Caption(), QStringLiteral("S3"));
        button.show();
        button.click();
        button.click();
        QCOMPARE(button.State(), 3); // 3 -> 4 -> back to StateMin
    }

    void lineFormat_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("image");
        QTest::newRow("no quotes") << "Title"
                                   << "" << -1;
        QTest::newRow("caption only") << "\"A\""
                                      << "A" << -1;
        QTest::newRow("leading blanks and index") << "   \"B c\", 3"
                                                  << "B c" << 3;
        QTest::newRow("index not a number") << "\"C\",x"
                                            << "C" << -1;
        QTest::newRow("unclosed caption") << "\"D,4"
                                          << "D,4" << -1;
        QTest::newRow("further comma") << "\"E\",2,5"
                                       << "E" << 2;
        QTest::newRow("sync list line") << "\"<=  Copy to FileSystem\",-1"
                                        << "<=  Copy to FileSystem" << -1;
    }

    void lineFormat()
    {
        QFETCH(QString, line);
        QFETCH(QString, caption);
        QFETCH(int, image);
        QCOMPARE(TPanelButton::LineCaption(line), caption);
        QCOMPARE(TPanelButton::LineImageIndex(line), image);
    }

    void choices_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("choices");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("caption");
        QTest::newRow("single: last choice wins")
            << int(fsSingle) << QList<int>{2, 3} << QList<int>{3} << "S3";
        QTest::newRow("single: same again clears")
            << int(fsSingle) << QList<int>{2, 3, 3} << QList<int>{} << "[..]";
        QTest::newRow("multi: two values")
            << int(fsMulti) << QList<int>{1, 2} << QList<int>{1, 2} << "S1, S2";
        QTest::newRow("multi: title afterwards")
            << int(fsMulti) << QList<int>{1, 2, 0} << QList<int>{0, 1, 2} << "S0";
        QTest::newRow("multi: value clears title")
            << int(fsMulti) << QList<int>{0, 2} << QList<int>{2} << "S2";
        QTest::newRow("multi: toggled off")
            << int(fsMulti) << QList<int>{1, 1} << QList<int>{} << "[..]";
    }

    void choices()
    {
        QFETCH(int, kind);
        QFETCH(QList<int>, choices);
        QFETCH(QList<int>, selected);
        QFETCH(QString, caption);
        TPanelButton button;
        button.SetCaptionItems(Lines(5));
        button.SetSelection(TSGSelection(kind));
        QSignalSpy clicks(&button, &TPanelButton::OnClick);
        for (int state : choices)
            button.Choose(state);
        QCOMPARE(SelectedStates(button), selected);
        QCOMPARE(button.Caption(), caption);
        QCOMPARE(clicks.count(), 0); // raised after the choice's own event
        QTRY_COMPARE(clicks.count(), choices.size());
    }

    void changedLineCountResetsFlags()
    {
        TPanelButton button;
        button.SetSelection(fsMulti);
        button.SetCaptionItems(Lines(3));
        button.Choose(1);
        button.SetCaptionItems(Lines(3));
        QCOMPARE(SelectedStates(button), QList<int>{1});
        button.SetCaptionItems(Lines(4));
        QCOMPARE(SelectedStates(button), QList<int>{});
    }

    void panelShowsStatesWithCurrentPushed()
    {
        QWidget window;
        window.resize(400, 300);
        TPanelButton button(&window);
        button.setGeometry(20, 20, 120, 24);
        button.SetCaptionItems(Lines(7));
        button.SetPopup(true);
        button.SetPopupWidth(170);
        button.SetState(4);
        window.show();
        button.click();
        TPanelPopup* panel = button.PopupPanel();
        QVERIFY(panel);
        QCOMPARE(panel->Entries().size(), 7);
        for (const TPanelButton* entry : panel->Entries()) {
            QCOMPARE(entry->size(), QSize(170, 24));
            QCOMPARE(entry->Pressed(), entry->State() == 4);
        }
        QCOMPARE(panel->Entries()[4]->Caption(), QStringLiteral("S4"));
        QVERIFY(panel->Entries()[4]->isDefault());
        QVERIFY(panel->geometry().top() >= button.mapToGlobal(QPoint(0, 24)).y() ||
                panel->geometry().bottom() < button.mapToGlobal(QPoint(0, 0)).y());

        QSignalSpy clicks(&button, &TPanelButton::OnClick);
        panel->Entries()[2]->click();
        QCOMPARE(button.State(), 2);
        QCOMPARE(button.Caption(), QStringLiteral("S2"));
        QTRY_VERIFY(!button.IsPopupOpen());
        QTRY_COMPARE(clicks.count(), 1);
    }

    void filterPanelFollowsFlags()
    {
        TPanelButton button;
        button.resize(100, 24);
        button.SetCaptionItems(Lines(4));
        button.SetSelection(fsMulti);
        button.SetPopup(true);
        button.SetSelected(0, true);
        button.show();
        button.click();
        const QList<TPanelButton*> entries = button.PopupPanel()->Entries();
        QCOMPARE(entries[0]->width(), 110); // a filter panel is 10 wider than its button
        QVERIFY(entries[0]->Pressed());
        entries[2]->click();
        QVERIFY(!entries[0]->Pressed());
        QVERIFY(entries[2]->Pressed());
        QVERIFY(button.IsPopupOpen()); // stays open without PopupAutoClose
        QCOMPARE(button.Caption(), QStringLiteral("S2"));
        button.SetPopupAutoClose(true);
        entries[3]->click();
        QTRY_VERIFY(!button.IsPopupOpen());
        QCOMPARE(button.Caption(), QStringLiteral("S2, S3"));
    }

    void clickingOwnerAgainClosesPanel()
    {
        TPanelButton button;
        button.SetCaptionItems(Lines(3));
        button.SetPopup(true);
        button.show();
        button.click();
        QVERIFY(button.IsPopupOpen());
        button.click();
        QTRY_VERIFY(!button.IsPopupOpen());
        QVERIFY(!button.Pressed());
    }

    // Near the bottom of the screen the panel opens above the button with the
    // rows that fit there: every entry lies on the screen and in the panel.
    void panelNearScreenBottomKeepsEveryEntry()
    {
        QWidget window(nullptr, Qt::FramelessWindowHint);
        const QRect screen = window.screen()->geometry();
        window.setGeometry(screen.left() + 20, screen.bottom() - 80, 300, 44);
        TPanelButton button(&window);
        button.setGeometry(10, 10, 40, 24);
        button.SetCaptionItems(Lines(7));
        button.SetPopup(true);
        button.SetPopupWidth(170);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Room below for one or two entries, not for seven.
        const int below = screen.bottom() - button.mapToGlobal(QPoint(0, 24)).y();
        QVERIFY(below >= 24 && below < 7 * 24);
        button.click();
        TPanelPopup* panel = button.PopupPanel();
        QVERIFY(panel);
        QCOMPARE(panel->RowsPerColumn(), 7);
        QVERIFY(screen.contains(panel->geometry()));
        QCOMPARE_LE(panel->geometry().bottom(), button.mapToGlobal(QPoint(0, 0)).y());
        for (const TPanelButton* entry : panel->Entries()) {
            const QRect onScreen(entry->mapToGlobal(QPoint(0, 0)), entry->size());
            QVERIFY2(panel->geometry().contains(onScreen), qPrintable(entry->Caption()));
        }
        panel->Entries()[6]->click();
        QCOMPARE(button.State(), 6);
    }
};

QZ_REGISTER_TEST(PanelButtonTest);
#include "PanelButtonTest.moc"
