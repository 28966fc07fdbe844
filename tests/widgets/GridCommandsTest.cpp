#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "DefineColForm.h"
#include "FakeUserInterface.h"
#include "FStringGrid.h"
#include "GridCsv.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "Utils.h"
#include "VornBase.h"
#include "WideFStringGrid.h"

namespace {
void Fill(TFStringGridBase& grid, const QStringList& header, const QStringList& rows)
{
    grid.SetColCount(int(header.size()));
    grid.SetRowCount(int(rows.size()) + 1);
    grid.SetRows(0, header);
    for (int row = 0; row < rows.size(); ++row)
        grid.SetRows(row + 1, rows[row].split(QLatin1Char(',')));
}

QStringList RowTexts(TFStringGridBase& grid)
{
    QStringList rows;
    for (int row = 1; row < grid.RowCount(); ++row)
        rows.append(grid.Rows(row).CommaText());
    return rows;
}

QStringList MasterTexts(const TStringTable& table)
{
    QStringList rows;
    for (int row = 1; row < table.RowCount(); ++row)
        rows.append(CommaText(table.Row(row)));
    return rows;
}
} // namespace

class GridCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void escaping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("tab") << "a\tb"
                             << "a\\tb"
                             << "a\tb";
        QTest::newRow("line breaks") << "a\r\nb"
                                     << "a\\r\\nb"
                                     << "a\r\nb";
        QTest::newRow("backslash") << "C:\\x"
                                   << "C:\\\\x"
                                   << "C:\\x";
        QTest::newRow("other control dropped") << QString("a\x01"
                                                          "b")
                                               << "ab"
                                               << "ab";
        QTest::newRow("plain") << "x y"
                               << "x y"
                               << "x y";
    }

    void escaping()
    {
        QFETCH(QString, text);
        QFETCH(QString, escaped);
        QFETCH(QString, readBack);
        QCOMPARE(GridCsv::EscapeText(text), escaped);
        QCOMPARE(GridCsv::UnescapeText(escaped), readBack);
    }

    void unescapeOddInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("unknown escape kept") << "a\\qb"
                                             << "a\\qb";
        QTest::newRow("trailing backslash dropped") << "ab\\"
                                                    << "ab";
    }

    void unescapeOddInput()
    {
        QFETCH(QString, text);
        QFETCH(QString, result);
        QCOMPARE(GridCsv::UnescapeText(text), result);
    }

    void fields_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("empty middle") << "a,,b" << QStringList{"a", "", "b"};
        QTest::newRow("separator at end") << "a,b," << QStringList{"a", "b"};
        QTest::newRow("two at end") << "a,," << QStringList{"a", ""};
        QTest::newRow("empty line") << "" << QStringList{""};
        QTest::newRow("quotes kept") << "\"a,b\",c" << QStringList{"\"a", "b\"", "c"};
    }

    void fields()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QCOMPARE(GridCsv::SplitFields(line, QLatin1Char(',')), fields);
    }

    void unquote_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "abc"
                               << "abc";
        QTest::newRow("quoted") << "\"a b\""
                                << "a b";
        QTest::newRow("doubled quote") << "\"say \"\"hi\"\"\""
                                       << "say \"hi\"";
        QTest::newRow("rest dropped") << "\"ab\"cd"
                                      << "ab";
        QTest::newRow("unclosed") << "\"ab"
                                  << "ab";
    }

    void unquote()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QCOMPARE(GridCsv::UnquoteField(field), text);
    }

    void lines()
    {
        QCOMPARE(GridCsv::SplitLines("a\r\nb\rc\nd\n"), (QStringList{"a", "b", "c", "d"}));
        QCOMPARE(GridCsv::SplitLines("a\n\nb"), (QStringList{"a", "", "b"}));
    }

    void narrowFileLoad()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("grid.csv");
        TestUtil::WriteFile(path, "H1,H2\r\na,,b\r\na,b,\r\n\r\nx\\ty\r\n");
        TFStringGrid grid;
        QSignalSpy changed(&grid, &TFStringGridBase::OnChanged);
        grid.LoadCSVFile(path, QLatin1Char(','));
        QCOMPARE(grid.RowCount(), 5);
        QCOMPARE(grid.ColCount(), 5); // never fewer columns than before
        QCOMPARE(grid.Rows(1).Items().mid(0, 3), (QStringList{"a", "", "b"}));
        QCOMPARE(grid.Rows(2).Items().mid(0, 3), (QStringList{"a", "b", ""}));
        QCOMPARE(grid.Cells(0, 3), QString());
        QCOMPARE(grid.Cells(0, 4), QStringLiteral("x\ty"));
        QCOMPARE(grid.MasterGrid().Cell(0, 4), QStringLiteral("x\ty"));
        QVERIFY(changed.count() >= 1);
    }

    void wideFileRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("grid.txt");
        TWideFStringGrid grid;
        Fill(grid, {"Name", "Value"}, {"tab,a\tb", "slash,C:\\dir", "unicode,\u00e9\u4e2d"});
        grid.SaveCSVFile(path, QLatin1Char(';'));
        const QByteArray bytes = TestUtil::ReadFile(path);
        QVERIFY(bytes.startsWith("\xFF\xFE"));
        QVERIFY(bytes.endsWith(QByteArray("\r\0\n\0", 4)));
        const QString text = GridCsv::DecodeText(bytes);
        QVERIFY(text.contains(QStringLiteral("tab;a\\tb")));
        QVERIFY(text.contains(QStringLiteral("slash;C:\\\\dir")));
        TWideFStringGrid loaded;
        loaded.LoadCSVFile(path, QLatin1Char(';'));
        QCOMPARE(loaded.MasterGrid().Row(0), grid.MasterGrid().Row(0));
        QCOMPARE(MasterTexts(loaded.MasterGrid()), MasterTexts(grid.MasterGrid()));
        QCOMPARE(loaded.ColCount(), 2);
    }

    void wideFileEncodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("utf-8 mark") << QByteArray("\xEF\xBB\xBF"
                                                  "A,B\n\"x,1\",\"q\"\"\"\n");
        QTest::newRow("utf-16 be")
            << QByteArray("\xFE\xFF\0A\0,\0B\0\n\0\"\0x\0,\0001\0\"\0,\0\"\0q\0\"\0\"\0\"", 32);
        QTest::newRow("no mark") << QByteArray("A,B\r\n\"x,1\",\"q\"\"\"");
    }

    void wideFileEncodings()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        TestUtil::WriteFile(dir.filePath("in.csv"), bytes);
        TWideFStringGrid grid;
        grid.LoadCSVFile(dir.filePath("in.csv"), QLatin1Char(','));
        QCOMPARE(grid.Rows(0).Items(), (QStringList{"A", "B", ""}));
        // Cutting comes before unquoting: the separator inside quotes still cuts.
        QCOMPARE(grid.Rows(1).Items(), (QStringList{"x", "1\"", "q\""}));
    }

    void missingFile_data()
    {
        QTest::addColumn<bool>("wide");
        QTest::newRow("narrow") << false;
        QTest::newRow("wide") << true;
    }

    void missingFile()
    {
        QFETCH(bool, wide);
        QTemporaryDir dir;
        FakeUserInterface ui;
        std::unique_ptr<TFStringGridBase> grid;
        if (wide)
            grid = std::make_unique<TWideFStringGrid>();
        else
            grid = std::make_unique<TFStringGrid>();
        grid->SetUserInterface(&ui);
        Fill(*grid, {"A"}, {"keep"});
        if (!wide) {
            ui.AnswerConfirm(TMsgButton::Ok);
            ui.AnswerConfirm(TMsgButton::Cancel);
        }
        grid->LoadCSVFile(dir.filePath("none.csv"), QLatin1Char(','));
        grid->LoadCSVFile(dir.path(), QLatin1Char(',')); // a directory is no file
        const QString expected =
            QStringLiteral("Cannot open input file.") + dir.filePath("none.csv");
        if (wide) {
            QCOMPARE(ui.Messages.value(0), expected);
        } else {
            QCOMPARE(ui.Questions.value(0).Text, expected);
            QCOMPARE(ui.Questions.value(0).Buttons, TMsgButton::Ok | TMsgButton::Cancel);
            QCOMPARE(ui.Asked("Confirm"), 2);
        }
        QCOMPARE(grid->Cells(0, 1), QStringLiteral("keep"));
    }

    void saveFailure_data() { missingFile_data(); }
    void saveFailure()
    {
        QFETCH(bool, wide);
        QTemporaryDir dir;
        const QString path = dir.filePath("missing/dir/out.csv");
        FakeUserInterface ui;
        TFStringGrid narrow;
        TWideFStringGrid wideGrid;
        narrow.SetUserInterface(&ui);
        wideGrid.SetUserInterface(&ui);
        narrow.SetModified(true);
        wideGrid.SetModified(true);
        if (wide)
            wideGrid.SaveCSVFile(path, QLatin1Char(','));
        else
            narrow.SaveCSVFile(path);
        QCOMPARE(ui.Messages.value(0), wide ? QStringLiteral("Error writing file :\r\n\t") + path
                                            : QStringLiteral("Error writing File :") + path);
        QVERIFY(!(wide ? wideGrid.Modified() : narrow.Modified()));
        QVERIFY(!QFile::exists(path));
    }

    void narrowSaveWritesCommaText()
    {
        QTemporaryDir dir;
        TFStringGrid grid;
        Fill(grid, {"A", "B"}, {"my file,x"});
        grid.SaveCSVFile(dir.filePath("n.csv"));
        QCOMPARE(TestUtil::ReadFile(dir.filePath("n.csv")), QByteArray("A,B\r\n\"my file\",x\r\n"));
    }

    void wideDialogFilter_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("title");
        const QString csv = "Comma Separated Values(*.csv)|*.csv|All files (*.*)|*.*";
        QTest::newRow("load txt") << "/x/list.txt" << false << "(*.txt)|*.txt|" + csv
                                  << "Load String Grid";
        QTest::newRow("load csv") << "/x/list.csv" << false << csv << "Load String Grid";
        QTest::newRow("load no extension") << "/x/list" << false << csv << "Load String Grid";
        QTest::newRow("load upper case")
            << "/x/LIST.CSV" << false << "(*.CSV)|*.CSV|" + csv << "Load String Grid";
        QTest::newRow("save txt") << "/x/list.txt" << true << "*.txt|*.txt|" + csv
                                  << "Save String Grid";
    }

    void wideDialogFilter()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, save);
        QFETCH(QString, filter);
        QFETCH(QString, title);
        FakeUserInterface ui;
        TWideFStringGrid grid;
        grid.SetUserInterface(&ui);
        grid.SetFileName(fileName);
        grid.SetModified(true);
        ui.AnswerFile(QString()); // cancelled
        if (save)
            grid.SaveCSV();
        else
            grid.LoadCSV(true);
        QCOMPARE(ui.Questions.size(), 1);
        QCOMPARE(ui.Questions[0].Kind,
                 save ? QStringLiteral("SaveFile") : QStringLiteral("OpenFile"));
        QCOMPARE(ui.Questions[0].Request.Filter, filter);
        QCOMPARE(ui.Questions[0].Request.Title, title);
        QCOMPARE(ui.Questions[0].Request.Options.testFlag(TFileRequest::OverwritePrompt), save);
        QCOMPARE(grid.FileName(), fileName);
        QVERIFY(!grid.Modified()); // cleared also when cancelled
    }

    void loadChosenFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("chosen.csv");
        TestUtil::WriteFile(path, QByteArray("A") + GridCsv::ListSeparator().toLatin1() + "B\n1");
        FakeUserInterface ui;
        TFStringGrid grid;
        grid.SetUserInterface(&ui);
        ui.AnswerFile(path);
        grid.LoadCSV();
        QCOMPARE(grid.FileName(), path);
        QCOMPARE(grid.Cells(1, 0), QStringLiteral("B"));
        QCOMPARE(grid.Cells(0, 1), QStringLiteral("1"));
        QCOMPARE(ui.Questions[0].Request.Filter,
                 QStringLiteral("Comma Separated Values(*.csv)|*.csv"));
    }

    void wideLoadWithoutAsking()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("direct");
        TestUtil::WriteFile(path, QByteArray("A") + GridCsv::ListSeparator().toLatin1() + "B");
        FakeUserInterface ui;
        TWideFStringGrid grid;
        grid.SetUserInterface(&ui);
        grid.SetFileName(path); // loaded as named, without ".csv" appended
        grid.SetModified(true);
        grid.LoadCSV(false);
        QCOMPARE(ui.Questions.size(), 0);
        QCOMPARE(grid.Rows(0).Items(), (QStringList{"A", "B"}));
        QVERIFY(!grid.Modified());
    }

    void rowNavigation()
    {
        TWideFStringGrid grid;
        Fill(grid, {"A"}, {"1", "2", "3"});
        grid.SetRow(1);
        grid.PriorRow();
        QCOMPARE(grid.Row(), 1);
        grid.LastRow();
        QCOMPARE(grid.Row(), 3);
        grid.NextRow();
        QCOMPARE(grid.Row(), 3);
        grid.PriorRow();
        QCOMPARE(grid.Row(), 2);
        grid.FirstRow();
        QCOMPARE(grid.Row(), 1);
        grid.InsertRowBelow();
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(RowTexts(grid), (QStringList{"1", "\"\"", "2", "3"}));
        QVERIFY(grid.Modified());
    }

    void paste_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("last line without feed") << "a,1\nb,2" << QStringList{"a,1", "b,2", "z,9"};
        QTest::newRow("empty line skipped") << "a,1\n\nb,2\n" << QStringList{"a,1", "b,2", "z,9"};
        QTest::newRow("blank line inserts empty row") << "a,1\n  \nb,2\n"
                                                      << QStringList{"a,1", ",", "b,2", "z,9"};
        QTest::newRow("carriage return inserts empty row")
            << "a,1\r\n\r\nb,2" << QStringList{"a,1", ",", "b,2", "z,9"};
        QTest::newRow("blanks at the end stop") << "a,1\n \n  " << QStringList{"a,1", "z,9"};
    }

    void paste()
    {
        QFETCH(QString, clipboard);
        QFETCH(QStringList, rows);
        TWideFStringGrid grid;
        Fill(grid, {"A", "B"}, {"z,9"});
        grid.SetRow(1);
        QGuiApplication::clipboard()->setText(clipboard);
        QSignalSpy changed(&grid, &TFStringGridBase::OnChanged);
        grid.PasteRows();
        QCOMPARE(RowTexts(grid), rows);
        QCOMPARE(MasterTexts(grid.MasterGrid()), rows); // pasted rows are kept for saving
        QVERIFY(grid.Modified());
        QCOMPARE(changed.last().first().value<QObject*>(), &grid);
    }

    void pasteWithoutText()
    {
        TWideFStringGrid grid;
        Fill(grid, {"A"}, {"z"});
        auto* data = new QMimeData;
        data->setData(QStringLiteral("application/octet-stream"), "xx");
        QGuiApplication::clipboard()->setMimeData(data);
        QSignalSpy changed(&grid, &TFStringGridBase::OnChanged);
        grid.PasteRows();
        QCOMPARE(RowTexts(grid), QStringList{"z"});
        QVERIFY(grid.Modified());
        QCOMPARE(changed.count(), 1);
    }

    void copyRows()
    {
        TWideFStringGrid grid;
        Fill(grid, {"A", "B"}, {"a b,1", "c,2", "d,3"});
        grid.SetSelection({0, 1, 1, 2});
        grid.CopyRows();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\"a b\",1\nc,2\n"));
    }

    void sharedCommands_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("bottom");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("cut deletes current row only")
            << "acSGCut" << 2 << 0 << "" << QStringList{"b,2", "c,3"};
        QTest::newRow("delete one row") << "acSGtDelete" << 1 << int(TMsgButton::Ok)
                                        << "Delete Row?" << QStringList{"b,2", "c,3"};
        QTest::newRow("delete several") << "acSGtDelete" << 2 << int(TMsgButton::Ok)
                                        << "Delete all selected records?" << QStringList{"c,3"};
        QTest::newRow("delete cancelled")
            << "acSGtDelete" << 2 << int(TMsgButton::Cancel) << "Delete all selected records?"
            << QStringList{"a,1", "b,2", "c,3"};
        QTest::newRow("insert") << "acSGInsert" << 1 << 0 << ""
                                << QStringList{"a,1", ",", "b,2", "c,3"};
    }

    void sharedCommands()
    {
        QFETCH(QString, action);
        QFETCH(int, bottom);
        QFETCH(int, answer);
        QFETCH(QString, question);
        QFETCH(QStringList, rows);
        FakeUserInterface ui;
        TVornBase commands;
        commands.SetUserInterface(&ui);
        TWideFStringGrid grid;
        Fill(grid, {"A", "B"}, {"a,1", "b,2", "c,3"});
        grid.show();
        QApplication::setActiveWindow(&grid);
        grid.setFocus();
        QTRY_COMPARE(TVornBase::FocusedGrid(), &grid);
        grid.SetRow(1);
        grid.SetSelection({0, 1, 1, bottom});
        if (answer)
            ui.AnswerConfirm(TMsgButton(answer));
        commands.findChild<QAction*>(action)->trigger();
        QCOMPARE(RowTexts(grid), rows);
        QCOMPARE(ui.Asked("Confirm"), question.isEmpty() ? 0 : 1);
        if (!question.isEmpty())
            QCOMPARE(ui.Questions[0].Text, question);
        if (action == "acSGCut")
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a,1\nb,2\n"));
    }

    void commandsIgnoreOtherControls()
    {
        FakeUserInterface ui;
        TVornBase commands;
        commands.SetUserInterface(&ui);
        TFStringGrid narrow;
        Fill(narrow, {"A"}, {"a"});
        narrow.show();
        QApplication::setActiveWindow(&narrow);
        narrow.setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), &narrow);
        commands.acSGtDelete->trigger();
        commands.acSGInsert->trigger();
        QCOMPARE(RowTexts(narrow), QStringList{"a"});
        QCOMPARE(ui.Questions.size(), 0);
    }

    void editableToggles()
    {
        TVornBase commands;
        TWideFStringGrid grid;
        grid.show();
        QApplication::setActiveWindow(&grid);
        grid.setFocus();
        QTRY_COMPARE(TVornBase::FocusedGrid(), &grid);
        grid.SetOptions(goRowSelect);
        commands.acSGEditable->trigger();
        QCOMPARE(grid.Options(), TGridOptions(goEditing));
        QVERIFY(commands.acSGEditable->isChecked());
        QVERIFY(grid.model()->flags(grid.model()->index(0, 1)).testFlag(Qt::ItemIsEditable));
        QVERIFY(!grid.model()->flags(grid.model()->index(0, 0)).testFlag(Qt::ItemIsEditable));
        commands.acSGEditable->trigger();
        QCOMPARE(grid.Options(), TGridOptions(goRowSelect));
        QVERIFY(!commands.acSGEditable->isChecked());
    }

    void popupMenuAndCaptions()
    {
        TVornBase commands;
        QStringList entries;
        for (const QAction* action : commands.pmStrGrid()->actions())
            entries.append(action->isSeparator() ? QStringLiteral("-") : action->objectName());
        QCOMPARE(entries,
                 (QStringList{"acSGCut", "acSGCopy", "acSGPaste", "acSGSelectAll", "acSGtDelete",
                              "acSGInsert", "-", "acSGAdjustWidth", "agSGDefineColumns",
                              "acSGEditable", "-", "acSGLoad", "acSGSave"}));
        QCOMPARE(commands.acSGCut->text(), QStringLiteral("Cu&t"));
        QCOMPARE(commands.acSGCut->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
        QCOMPARE(commands.acSGCut->toolTip(), QStringLiteral("Cut"));
        QCOMPARE(commands.acSGCut->statusTip(),
                 QStringLiteral("Cuts the selection and puts it on the Clipboard"));
        QCOMPARE(commands.acSGtDelete->shortcut(), QKeySequence(Qt::Key_Delete));
        QCOMPARE(commands.acSGInsert->shortcut(), QKeySequence(Qt::Key_Insert));
        QCOMPARE(commands.acSGSave->text(), QStringLiteral("Save As CSV"));
        QCOMPARE(commands.OkCancel64x32().size(), 2);
    }

    void columnChooser_data()
    {
        QTest::addColumn<QList<bool>>("ticks");
        QTest::addColumn<QList<bool>>("shown");
        QTest::newRow("none ticked")
            << QList<bool>{false, false, false} << QList<bool>{false, false, false};
        QTest::newRow("middle hidden")
            << QList<bool>{true, false, true} << QList<bool>{true, false, true};
    }

    void columnChooser()
    {
        QFETCH(QList<bool>, ticks);
        QFETCH(QList<bool>, shown);
        TWideFStringGrid grid;
        Fill(grid, {"One", "Two", "Three"}, {"1,2,3"});
        grid.SetColWidths(1, -1);
        TDefineColForm form;
        form.SetGrid(&grid);
        QListWidget* titles = form.Titles();
        QCOMPARE(titles->count(), 3);
        QCOMPARE(titles->item(2)->text(), QStringLiteral("Three"));
        QCOMPARE(titles->item(1)->checkState(), Qt::Unchecked);
        QCOMPARE(titles->item(0)->checkState(), Qt::Checked);
        QVERIFY(form.findChild<QWidget*>("cbDefault")->isHidden());
        for (int col = 0; col < 3; ++col)
            titles->item(col)->setCheckState(ticks[col] ? Qt::Checked : Qt::Unchecked);
        form.bnOkClick();
        for (int col = 0; col < 3; ++col)
            QCOMPARE(grid.ColWidths(col) > 0, shown[col]);
    }

    void defineColumnsReportsConfirmation()
    {
        TWideFStringGrid grid;
        Fill(grid, {"One", "Two"}, {"1,2"});
        grid.show();
        QTimer::singleShot(0, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* form = qobject_cast<TDefineColForm*>(modal))
                form->Titles()->item(1)->setCheckState(Qt::Unchecked);
            if (modal)
                modal->findChild<QPushButton*>("bnOk")->click();
        });
        QVERIFY(grid.DefineColumns());
        QCOMPARE(grid.ColWidths(1), -1);
        QTimer::singleShot(0, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->findChild<QPushButton*>("bnCancel")->click();
        });
        QVERIFY(!grid.DefineColumns());
    }

    void selectAll()
    {
        TWideFStringGrid grid;
        Fill(grid, {"A", "B"}, {"1,2", "3,4"});
        grid.SelectAll();
        QCOMPARE(grid.Selection(), (TGridRect{0, 1, 1, 2}));
    }
};

QZ_REGISTER_TEST(GridCommandsTest);
#include "GridCommandsTest.moc"
