#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "FakeUserInterface.h"
#include "FilterForm.h"
#include "TestRegistry.h"

namespace {
QListWidget& List(const TFilterForm& form)
{
    return *form.findChild<QListWidget*>(QStringLiteral("clFilter"));
}

QStringList Items(const TFilterForm& form)
{
    QStringList items;
    for (int row = 0; row < List(form).count(); ++row)
        items.append(List(form).item(row)->text());
    return items;
}

QListWidgetItem* Item(const TFilterForm& form, const QString& text)
{
    const QList<QListWidgetItem*> found = List(form).findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

void Click(const TFilterForm& form, const char* name)
{
    QTest::mouseClick(form.findChild<QAbstractButton*>(QLatin1String(name)), Qt::LeftButton);
}

void ClickItem(const TFilterForm& form, const QString& text)
{
    QListWidget& list = List(form);
    const QRect rect = list.visualItemRect(Item(form, text));
    // On the text, right of the tick box, so the click selects without ticking.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center() + QPoint(10, 0));
}

const QString AllBuiltIn =
    QStringLiteral("*.*; *.bpg; *.dfm; *.doc; *.dot; *.dpr; *.pas; *.txt; *.xls");
} // namespace

// The filter editor driven as a person would: a filter given, items clicked,
// the input box answered, and the filter read back in list order.
class FilterFormTest : public QObject {
    Q_OBJECT

private slots:
    void controls();
    void editing_data();
    void editing();
    void masterListAcrossOpenings();
    void picture();
};

void FilterFormTest::controls()
{
    FakeUserInterface ui;
    TMasterList masters;
    for (int i = 0; i < 40; ++i)
        masters.Add(QStringLiteral("*.x%1").arg(i, 2, 10, QLatin1Char('0')));
    TFilterForm form(masters, ui);
    form.LoadFilter(QString());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.objectName(), QStringLiteral("FilterForm"));
    QVERIFY(form.findChild<QCheckBox*>(QStringLiteral("cbAll"))->isChecked());
    QVERIFY(!form.findChild<QCheckBox*>(QStringLiteral("cbNone"))->isChecked());
    QCOMPARE(form.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->text(), QStringLiteral("OK"));
    QCOMPARE(form.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->text(),
             QStringLiteral("Cancel"));
    QVERIFY(List(form).width() >= 367 && List(form).height() >= 235);
    // Items run down a column and wrap into the next, each a quarter of the list wide.
    QSet<int> columns;
    for (int row = 0; row < List(form).count(); ++row)
        columns.insert(List(form).visualItemRect(List(form).item(row)).left());
    QList<int> lefts(columns.begin(), columns.end());
    std::sort(lefts.begin(), lefts.end());
    QCOMPARE_GE(lefts.size(), 4);
    for (qsizetype i = 1; i < lefts.size(); ++i)
        QCOMPARE(lefts[i] - lefts[i - 1], List(form).viewport()->width() / 4);
    QCOMPARE(List(form).actions().value(0)->text(), QStringLiteral("Delete"));
}

void FilterFormTest::editing_data()
{
    QTest::addColumn<QString>("fullFilter"); // empty: the built-in masks
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<int>("count");

    QTest::newRow("masks in list order") << ""
                                         << "*.txt; *.doc"
                                         << ""
                                         << "*.doc; *.txt" << 10;
    QTest::newRow("new mask added ticked") << ""
                                           << "*.cpp;*.txt"
                                           << ""
                                           << "*.cpp; *.txt" << 11;
    QTest::newRow("two separators in a row add an empty first item") << ""
                                                                     << "*.txt;;*.doc"
                                                                     << ""
                                                                     << "*.doc; *.txt" << 11;
    QTest::newRow("trailing blank piece ends the filter") << ""
                                                          << "*.txt; "
                                                          << ""
                                                          << "*.txt" << 10;
    QTest::newRow("ticked asking item is returned") << ""
                                                    << "*.txt; [...]"
                                                    << ""
                                                    << "*.txt; [...]" << 10;
    QTest::newRow("All leaves the last item") << ""
                                              << ""
                                              << "all" << AllBuiltIn << 10;
    QTest::newRow("None unticks the last item too") << ""
                                                    << "[...];*.pas"
                                                    << "none"
                                                    << "" << 10;
    QTest::newRow("entered mask ticked, asking item unticked") << ""
                                                               << "[...]"
                                                               << "enter:*.cpp"
                                                               << "*.cpp" << 11;
    QTest::newRow("entered mask in other case only ticks the existing one") << ""
                                                                            << ""
                                                                            << "enter:*.TXT"
                                                                            << "*.txt" << 10;
    QTest::newRow("entered mask sorting after [ stays before the asking item") << ""
                                                                               << "[...]"
                                                                               << "enter:readme"
                                                                               << "readme" << 11;
    QTest::newRow("cancelled input keeps the tick") << ""
                                                    << "[...]"
                                                    << "cancel"
                                                    << "[...]" << 10;
    QTest::newRow("blank input adds nothing") << ""
                                              << ""
                                              << "enter:  "
                                              << "" << 10;
    QTest::newRow("full filter with a quoted blank") << "\"My Docs\",*.pas"
                                                     << "My Docs"
                                                     << ""
                                                     << "My Docs" << 2;
}

void FilterFormTest::editing()
{
    QFETCH(QString, fullFilter);
    QFETCH(QString, filter);
    QFETCH(QString, action);
    QFETCH(QString, checked);
    QFETCH(int, count);
    FakeUserInterface ui;
    TMasterList masters;
    if (!fullFilter.isEmpty())
        masters.SetCommaText(fullFilter);
    TFilterForm form(masters, ui);
    form.LoadFilter(filter);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    if (action == "all")
        Click(form, "cbAll");
    if (action == "none")
        Click(form, "cbNone");
    if (action.startsWith("enter:") || action == "cancel") {
        if (action == "cancel")
            ui.CancelInput();
        else
            ui.AnswerInput(action.mid(6));
        ClickItem(form, TMasterList::AskItem());
        QCOMPARE(ui.Questions.value(0).Text, QStringLiteral("Please Enter a new Filter"));
        QCOMPARE(ui.Questions.value(0).Request.Title, QStringLiteral("QorZip Filter"));
        QCOMPARE(ui.Questions.value(0).Request.Preset, QStringLiteral("*."));
    }
    QVERIFY(ui.AllAnswersUsed());
    QCOMPARE(form.CheckedFilter(), checked);
    QCOMPARE(List(form).count(), count);
    QCOMPARE(masters.Count(), count);
    QCOMPARE(Items(form).last(), fullFilter.isEmpty() ? TMasterList::AskItem() : "My Docs");
    QVERIFY(form.findChild<QCheckBox*>(QStringLiteral("cbAll"))->isChecked());
    QVERIFY(!form.findChild<QCheckBox*>(QStringLiteral("cbNone"))->isChecked());
}

// Masks found or entered stay in MasterList after Cancel; a deletion reaches
// it only through OK.
void FilterFormTest::masterListAcrossOpenings()
{
    FakeUserInterface ui;
    TMasterList masters;
    TFilterForm form(masters, ui);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.LoadFilter(QStringLiteral("*.cpp"));
    form.reject();
    form.LoadFilter(QString());
    QVERIFY(Item(form, QStringLiteral("*.cpp")));
    QCOMPARE(form.CheckedFilter(), QString());

    QAction* deleteItem = List(form).actions().value(0);
    const auto deleteAnswered = [&](const QString& mask, TMsgButton answer) {
        ClickItem(form, mask);
        ui.AnswerConfirm(answer);
        deleteItem->trigger();
    };
    deleteAnswered(QStringLiteral("*.doc"), TMsgButton::Cancel);
    QCOMPARE(ui.Questions.last().Text, QStringLiteral("Do you want to delete item \"*.doc\"?"));
    QCOMPARE(ui.Questions.last().Buttons, TMsgButton::Ok | TMsgButton::Cancel);
    QVERIFY(Item(form, QStringLiteral("*.doc")));
    deleteAnswered(QStringLiteral("*.doc"), TMsgButton::Ok);
    QVERIFY(!Item(form, QStringLiteral("*.doc")));
    QVERIFY(masters.Contains(QStringLiteral("*.doc")));
    form.reject();
    form.LoadFilter(QString());
    QVERIFY(Item(form, QStringLiteral("*.doc")));

    deleteAnswered(QStringLiteral("*.doc"), TMsgButton::Ok);
    Click(form, "BitBtn1");
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY(!masters.Contains(QStringLiteral("*.doc")));
    QCOMPARE(masters.Count(), 10);
}

void FilterFormTest::picture()
{
    FakeUserInterface ui;
    TMasterList masters;
    masters.SetCommaText(
        QStringLiteral("*.*,*.cpp,*.h,*.txt,*.md,*.doc,*.xls,*.pdf,*.png,*.svg,*.ui,"
                       "*.qrc,*.ts,*.json,*.xml,*.ini,*.qrz,*.cmake,*.sh,*.py,"
                       "*.csv,*.zip,[...]"));
    TFilterForm form(masters, ui);
    form.setWindowTitle(QStringLiteral("*.cpp; *.h; *.md"));
    form.LoadFilter(QStringLiteral("*.cpp; *.h; *.md"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QPixmap picture = form.grab();
    QVERIFY(!picture.isNull());
    const QString folder = qEnvironmentVariable("QORZIP_PICTURE_DIR");
    if (!folder.isEmpty())
        QVERIFY(picture.save(QDir(folder).filePath(QStringLiteral("filter-editor.png"))));
}

QZ_REGISTER_TEST(FilterFormTest);
#include "FilterFormTest.moc"
