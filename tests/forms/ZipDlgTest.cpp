#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include "AboutBox.h"
#include "AppSettings.h"
#include "LangComponent.h"
#include "QorBase.h"
#include "CurrentZip.h"
#include "TestRegistry.h"
#include "Utils.h"
#include "ZipFile.h"
#include "WideFStringGrid.h"
#include "ZipDlgFixture.h"
#include "ZipProject.h"
#include "ZipTree.h"
#include "ZipTreeModel.h"
#include "ZipTreeView.h"

namespace {
QString Visible(TZipDlgFixture& f)
{
    QStringList shown;
    for (const char* name : {"pnFiles", "pnReport", "pnSync"}) {
        if (f.Find<QWidget>(QLatin1String(name))->isVisible())
            shown.append(QLatin1String(name));
    }
    return shown.join(QLatin1Char(','));
}

void Select(TZipDlgFixture& f, const QByteArray& path)
{
    const TZipNode* node = f.Dlg().CurrentZip().Tree().FindNodeByPath(path);
    QVERIFY2(node, path.constData());
    auto* model = static_cast<TZipTreeModel*>(f.Tree()->model());
    f.Tree()->selectionModel()->select(model->IndexOf(node), QItemSelectionModel::Select);
}
} // namespace

// The main window driven as a person would: buttons clicked, menu actions
// triggered, the dialogs answered by the scripted user interface, and the
// effects checked in the files written.
class ZipDlgTest : public QObject {
    Q_OBJECT

private slots:
    void startUpLoadsSettingsProjectAndArchive_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("project");
        QTest::addColumn<int>("entries");
        QTest::newRow("settings' project") << ""
                                           << "A" << 1;
        QTest::newRow("argument wins") << "B.qrz"
                                       << "B" << 2;
        QTest::newRow("missing argument") << "none.qrz"
                                          << "A" << 1;
    }
    void startUpLoadsSettingsProjectAndArchive()
    {
        QFETCH(QString, argument);
        QFETCH(QString, project);
        QFETCH(int, entries);
        TZipDlgFixture f;
        const QString a = f.WriteProject("A", f.WriteZip("a.zip", {"a1.txt"}));
        f.WriteProject("B", f.WriteZip("b.zip", {"b1.txt", "b2.txt"}));
        f.WriteSettings(a, {a});
        TZipDlg& dlg = f.Start(argument.isEmpty() ? QStringList() : QStringList{argument});

        QCOMPARE(QFileInfo(dlg.Project().CFGFileName()).baseName(), project);
        QCOMPARE(dlg.windowTitle(), dlg.Project().Caption());
        QCOMPARE(f.Ui.Messages, QStringList());
        QCOMPARE(f.TreeTexts().size(), entries);
        QCOMPARE(f.Find<QLabel>("lbZipFile")->text(), dlg.Project().ZipFileLabel());
        QCOMPARE(f.Find<QLabel>("lbRelDir")->text(), f.Work());
        QCOMPARE(f.Action("mnFile1")->text(), AbbreviatePath(a, 2, true, true));
        auto* grid = f.Find<TWideFStringGrid>("sgFiles");
        QCOMPARE(grid->RowCount(), 2);
        QCOMPARE(grid->Cells(0, 0), QStringLiteral("Directory"));
        QCOMPARE(grid->Cells(0, 1), QStringLiteral("docs"));
        QCOMPARE(Visible(f), QString()); // nothing on screen yet
        QVERIFY(f.Find<QTimer>("HintTimer")->isActive());
        QVERIFY(!f.Find<QLabel>("HintWindow")->isVisible());
    }

    void firstRunReportsMissingDefaultProject()
    {
        TZipDlgFixture f;
        TZipDlg& dlg = f.Start();
        QCOMPARE(f.Ui.Messages.size(), 1);
        QVERIFY(f.Ui.Messages[0].startsWith("Sorry File:\r\n\r\nQorZip.qrz"));
        QVERIFY(dlg.windowTitle().startsWith(QStringLiteral("Qor Zip:QorZip")));
        QCOMPARE(f.Find<TWideFStringGrid>("sgFiles")->RowCount(), 4);
        QCOMPARE(f.Action("mnFile2")->text(), QString());
    }

    void panelSwitchSavesOnceShown()
    {
        TZipDlgFixture f;
        const QString a = f.WriteProject("A");
        f.WriteSettings(a);
        f.Start();
        QFile::remove(a);
        QFile::remove(f.Dir.Path("QorZip.ini"));
        f.Click("bnReport"); // before the window is on screen: nothing saved
        QVERIFY(!QFile::exists(a));
        QVERIFY(!QFile::exists(f.Dir.Path("QorZip.ini")));

        f.ShowWindow();
        QCOMPARE(Visible(f), QStringLiteral("pnReport"));
        f.Click("bnSyncZip");
        QCOMPARE(Visible(f), QStringLiteral("pnSync"));
        QVERIFY(f.Find<QAbstractButton>("bnSyncZip")->isChecked());
        QVERIFY(!f.Find<QAbstractButton>("bnReport")->isChecked());
        QVERIFY(QFile::exists(a));
        QVERIFY(QFile::exists(f.Dir.Path("QorZip.ini")));
        f.Click("bnFilesToZip");
        QCOMPARE(Visible(f), QStringLiteral("pnFiles"));
        QCOMPARE(f.Dlg().size(), QSize(633, 535));
    }

    void newKeepsEverythingButRowsAndName()
    {
        TZipDlgFixture f;
        const QString zip = f.WriteZip("a.zip", {"a1.txt"});
        f.WriteSettings(f.WriteProject("A", zip));
        TZipDlg& dlg = f.Start();
        dlg.Project().SetZipOperation(2);
        f.Action("acNew")->trigger();
        QCOMPARE(dlg.Project().CFGFileName(), QStringLiteral("QorZip.qrz"));
        QCOMPARE(dlg.Project().RelDir(), f.Work());
        QCOMPARE(dlg.Project().LastZipFile(), zip);
        QCOMPARE(dlg.Project().ZipOperation(), 2);
        auto* grid = f.Find<TWideFStringGrid>("sgFiles");
        QCOMPARE(grid->RowCount(), 4);
        QCOMPARE(grid->Cells(1, 1), QStringLiteral("*.doc;*.xsl;*.pps;*.txt"));
        QCOMPARE(f.TreeTexts(), QStringList{"a1.txt"});
    }

    void recentList_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected");
        QTest::newRow("C of A,B,C") << "mnFile3"
                                    << "C,A,B";
        QTest::newRow("B of A,B,C") << "mnFile2"
                                    << "B,A,C";
        QTest::newRow("A of A,B,C") << "mnFile1"
                                    << "A,B,C";
        QTest::newRow("open D") << "open D"
                                << "D,A,B";
        QTest::newRow("open the current one") << "open X"
                                              << "A,B,C";
    }
    void recentList()
    {
        QFETCH(QString, command);
        QFETCH(QString, expected);
        TZipDlgFixture f;
        QHash<QString, QString> paths;
        for (const QString name : {"A", "B", "C", "D", "X"})
            paths[name] = f.WriteProject(name);
        f.WriteSettings(paths["X"], {paths["A"], paths["B"], paths["C"]});
        TZipDlg& dlg = f.Start();
        if (command.startsWith("open ")) {
            f.Ui.AnswerFile(paths[command.mid(5)]);
            f.Action("FileOpen1")->trigger();
            QCOMPARE(f.Ui.Questions.last().Request.Filter,
                     QStringLiteral("Qor Zip Config File|*.qrz"));
            QCOMPARE(f.Ui.Questions.last().Request.Preset, paths["X"]);
        } else {
            f.Action(command)->trigger();
        }
        const QStringList names = expected.split(',');
        for (int k = 1; k <= 3; ++k) {
            QCOMPARE(dlg.Settings().ConfigFile(k), paths[names[k - 1]]);
            QCOMPARE(f.Action(QStringLiteral("mnFile%1").arg(k))->text(),
                     AbbreviatePath(paths[names[k - 1]], 2, true, true));
        }
        const bool changed = expected != "A,B,C" || command == "mnFile1";
        QCOMPARE(dlg.Project().CFGFileName(), changed ? paths[names[0]] : paths["X"]);
        QCOMPARE(QFile::exists(f.Dir.Path("QorZip.ini")), true);
    }

    void zipThemWritesArchiveReportAndTree()
    {
        TZipDlgFixture f;
        f.WriteSettings(f.WriteProject("A"));
        TestUtil::WriteFile(f.Work("docs/a.txt"), QByteArray(1000, 'a'));
        TestUtil::WriteFile(f.Work("docs/sub/b.txt"), "bb");
        TZipDlg& dlg = f.Start();
        f.ShowWindow();
        const QString out = f.Dir.Path("out.zip");
        f.Ui.AnswerFile(out);
        f.Click("bnZipThem");
        QCOMPARE(f.Errors, QStringList());
        QCOMPARE(f.Ui.Questions.last().Text, QStringLiteral("Save As Zip File"));
        QCOMPARE(dlg.Project().LastZipFile(), out);
        QCOMPARE(f.EntriesOf(out),
                 (QList<QByteArray>{"docs\\a.txt", "docs\\sub\\b.txt", "..\\A.qrz"}));
        const QString report = f.Find<QPlainTextEdit>("mmReport")->toPlainText();
        QVERIFY2(report.startsWith("docs\\a.txt  "), qPrintable(report));
        QCOMPARE(report.count('\n'), 2);
        QCOMPARE(f.TreeTexts(), (QStringList{"..", "docs"}));
        QCOMPARE(f.Find<QListWidget>("clbFiles")->count(), 3);

        // F2 runs the same command; declining its dialog keeps the archive,
        // LastZipFile and the tree, and leaves the report empty.
        const QByteArray bytes = TestUtil::ReadFile(out);
        f.Ui.AnswerFile(QString());
        QCOMPARE(f.Action("acZipThem")->shortcut(), QKeySequence(Qt::Key_F2));
        f.Action("acZipThem")->trigger();
        QCOMPARE(f.Ui.Asked("SaveFile"), 2);
        QCOMPARE(TestUtil::ReadFile(out), bytes);
        QCOMPARE(dlg.Project().LastZipFile(), out);
        QCOMPARE(f.TreeTexts(), (QStringList{"..", "docs"}));
        QCOMPARE(f.Find<QPlainTextEdit>("mmReport")->toPlainText(), QString());
    }

    void loadZipShowsArchiveAndSaves()
    {
        TZipDlgFixture f;
        const QString a = f.WriteProject("A");
        f.WriteSettings(a);
        TZipDlg& dlg = f.Start();
        const QString zip = f.WriteZip("b.zip", {"b1.txt", "b2.txt"});
        QFile::remove(a);
        f.Ui.AnswerFile(zip);
        f.Click("bnLoadZip");
        const TFileRequest request = f.Ui.Questions.last().Request;
        QCOMPARE(request.Title, QStringLiteral("Load Zip File"));
        QCOMPARE(request.Filter, QStringLiteral("Zip Files(*.zip)|*.zip|All Files |*.*"));
        QCOMPARE(request.DefaultExt, QStringLiteral(".zip"));
        QCOMPARE(f.TreeTexts(), (QStringList{"b1.txt", "b2.txt"}));
        QCOMPARE(dlg.Project().LastZipFile(), zip);
        QVERIFY(TestUtil::ReadFile(a).contains("LastZipFile=" + zip.toUtf8()));
    }

    void treeSortsAndHints()
    {
        TZipDlgFixture f;
        const QString zip =
            f.WriteZip("t.zip", {"docs\\a.txt", "b.txt", "docs\\sub\\c.txt", "A.TXT"});
        f.WriteSettings(f.WriteProject("A", zip));
        f.Start();
        f.ShowWindow();
        f.Click("bnSyncZip");
        TZipTreeView* tree = f.Tree();
        QCOMPARE(f.TreeTexts(), (QStringList{"docs", "A.TXT", "b.txt"}));
        const QModelIndex docs = tree->model()->index(0, 0);
        QCOMPARE(f.TreeTexts(docs), (QStringList{"sub", "a.txt"}));
        QCOMPARE(tree->indentation(), 19);
        QCOMPARE(tree->selectionMode(), QAbstractItemView::ExtendedSelection);
        // A slow second click on a selected item and an explicit request alike.
        tree->setCurrentIndex(docs);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(docs).center());
        tree->edit(docs);
        QVERIFY(!tree->findChild<QLineEdit*>());
        QVERIFY(!(tree->model()->flags(docs) & Qt::ItemIsEditable));

        const QModelIndex b = tree->model()->index(2, 0);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(b).center());
        auto* hint = f.Find<QLabel>("HintWindow");
        QVERIFY(hint->isVisible());
        QVERIFY2(hint->text().startsWith("Size : 1 kb, Date "), qPrintable(hint->text()));
        QCOMPARE(f.Find<QTimer>("HintTimer")->interval(), 5000);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          QPoint(5, tree->viewport()->height() - 3));
        QVERIFY(!hint->isVisible());
    }

    void popupCommands_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("selected");
        QTest::addColumn<QList<QByteArray>>("remaining");
        QTest::addColumn<QStringList>("filesLeft");
        QTest::addColumn<QString>("message");
        const QList<QByteArray> all{"docs\\a.txt", "docs\\sub\\c.txt", "b.txt", "b.txt.V001",
                                    "b.txt.V002"};
        const QList<QByteArray> versionsGone{"docs\\a.txt", "docs\\sub\\c.txt", "b.txt"};
        const QList<QByteArray> docsGone{"b.txt", "b.txt.V001", "b.txt.V002"};
        QTest::newRow("in zip") << "mnDelZipFile" << QByteArray("docs") << docsGone
                                << QStringList{"docs/a.txt", "b.txt"} << QString();
        QTest::newRow("in file system")
            << "mnDeleteFS" << QByteArray("b.txt") << all << QStringList{"docs/a.txt"} << QString();
        QTest::newRow("on both") << "mnDeleteBoth" << QByteArray("docs") << docsGone
                                 << QStringList{"b.txt"} << "File %1 does not exists";
        QTest::newRow("versions") << "mnDelVersionFiles" << QByteArray() << versionsGone
                                  << QStringList{"docs/a.txt", "b.txt"}
                                  << "2 files were deleted in ZipFile";
    }
    void popupCommands()
    {
        QFETCH(QString, item);
        QFETCH(QByteArray, selected);
        QFETCH(QList<QByteArray>, remaining);
        QFETCH(QStringList, filesLeft);
        QFETCH(QString, message);
        TZipDlgFixture f;
        const QString zip = f.WriteZip(
            "p.zip", {"docs\\a.txt", "docs\\sub\\c.txt", "b.txt", "b.txt.V001", "b.txt.V002"});
        f.WriteSettings(f.WriteProject("A", zip));
        TestUtil::WriteFile(f.Work("docs/a.txt"), "a");
        TestUtil::WriteFile(f.Work("b.txt"), "b");
        f.Start();
        if (!selected.isEmpty())
            Select(f, selected);
        const bool asks = item == "mnDeleteFS" || item == "mnDeleteBoth";
        if (asks)
            f.Ui.AnswerConfirm(TMsgButton::Ok);
        auto* menu = f.Find<QMenu>("pmZip");
        QStringList items;
        for (QAction* action : menu->actions())
            items.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(items, (QStringList{"Delete in Zip", "Delete in File System", "Delete on Both",
                                     "-", "Delete Versions Files", "-", "Extract to ..."}));
        menu->findChild<QAction*>(item)->trigger();

        QCOMPARE(f.Errors, QStringList());
        QCOMPARE(f.Ui.Asked("Confirm"), asks ? 1 : 0);
        QCOMPARE(f.EntriesOf(zip), remaining);
        for (const QString file : {"docs/a.txt", "b.txt"})
            QCOMPARE(QFile::exists(f.Work(file)), filesLeft.contains(file));
        const QString expected =
            message.contains("%1") ? message.arg(f.Work("docs/sub/c.txt")) : message;
        QCOMPARE(f.Ui.Messages, expected.isEmpty() ? QStringList() : QStringList{expected});
        QCOMPARE(f.Dlg().CurrentZip().Zip().Count(), int(remaining.size()));
    }

    void errorInHandlerShowsBoxAndGoesOn()
    {
        TZipDlgFixture f;
        const QString zip = f.WriteZip("a.zip", {"a1.txt"});
        f.WriteSettings(f.WriteProject("A", zip));
        TZipDlg& dlg = f.Start();
        f.ShowWindow();
        f.Ui.AnswerFile(f.Dir.Path("missing.zip"));
        f.Click("bnLoadZip");
        QCOMPARE(f.Errors.size(), 1);
        QVERIFY2(f.Errors[0].contains("missing.zip"), qPrintable(f.Errors[0]));
        QCOMPARE(dlg.Project().LastZipFile(), zip);
        QCOMPARE(f.TreeTexts(), QStringList{"a1.txt"});
        f.Click("bnReport");
        QCOMPARE(Visible(f), QStringLiteral("pnReport"));
    }

    void aboutBoxNamesSettingsAndLinksLanguage()
    {
        TZipDlgFixture f;
        TZipDlg& dlg = f.Start();
        TQorBase qorBase;
        dlg.SetLanguageManager(qorBase.LanMan());
        TAboutBox* about = dlg.AboutBox();
        QCOMPARE(about->LangComponent1()->LanManager(), qorBase.LanMan());
        QCOMPARE(about->findChild<QLabel*>("lbProduct")->text(), QStringLiteral("Qor Zip"));
        QVERIFY(about->findChild<QLabel*>("lbVersion")->text().startsWith("Version "));
        QVERIFY(about->findChild<QLabel*>("lbSettings")->text().contains(f.Dir.Path("QorZip.ini")));
    }

    void everyCommandIsEnabledWithItsShortcut()
    {
        TZipDlgFixture f;
        f.Start();
        for (const char* name : {"acSync", "acFTP"})
            QVERIFY(f.Action(QLatin1String(name))->isEnabled());
        for (const char* name : {"bnSync", "bnFTP", "bnLoadFile", "bnLoadDirectory", "bnSetRelDir"})
            QVERIFY(f.Find<QWidget>(QLatin1String(name))->isEnabled());
        QCOMPARE(f.Action("acSync")->shortcut(), QKeySequence(Qt::Key_F3));
        QCOMPARE(f.Action("acFTP")->shortcut(), QKeySequence(Qt::Key_F4));
    }
};

QZ_REGISTER_TEST(ZipDlgTest);
#include "ZipDlgTest.moc"
