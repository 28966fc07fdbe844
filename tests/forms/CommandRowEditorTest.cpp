#include <functional>
#include <memory>

#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "AppSettings.h"
#include "CommandRowEditor.h"
#include "FakeUserInterface.h"
#include "FilterForm.h"
#include "MemIniFile.h"
#include "PathRules.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "WideFStringGrid.h"
#include "ZipDlg.h"
#include "ZipFile.h"
#include "ZipGlobal.h"
#include "ZipProject.h"

namespace {
// Rows written as "directory|filter".
QList<TZipCommand> Commands(const QStringList& rows)
{
    QList<TZipCommand> commands;
    for (const QString& row : rows)
        commands.append({PathRules::ToNative(row.section('|', 0, 0)), row.section('|', 1)});
    return commands;
}

QStringList Rows(const QList<TZipCommand>& commands)
{
    QStringList rows;
    for (const TZipCommand& command : commands)
        rows.append(PathRules::PathToEntryName(command.Directory) + '|' + command.Filter);
    return rows;
}

// Runs `act` once the modal dialog is on screen.
void WhenShown(QWidget& dialog, std::function<void()> act)
{
    auto* timer = new QTimer(&dialog);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, &dialog, [timer, &dialog, act] {
        if (!dialog.isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start();
}
} // namespace

// The "Files To Zip" panel's commands on the main window, driven through the
// controls' names with the scripted user interface answering every dialog.
class CommandRowEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rowCommands_data();
    void rowCommands();
    void filterCellNeedsAnExistingDirectory();
    void filterCellOpensTheEditor();
    void doubleClickOnDirectoryAndFile();
    void setRelDirFollowsInTheLabel();
    void popupAndShortcuts();
    void projectMadeThroughThePanelOnly();
    void picture();

private:
    QString Work(const QString& name = QString()) const { return m_tree->Path("work/" + name); }
    QString Settings() const { return m_tree->Path("QorZip.ini"); }
    template <class T> T* Find(const QString& name) const { return m_dlg->findChild<T*>(name); }
    void Click(const char* name) const;
    QPoint CellCentre(int col, int row) const;
    void ClickCell(int col, int row) const;
    void DoubleClickCell(int col, int row) const;
    QStringList GridRows() const;

    std::unique_ptr<TestUtil::TempTree> m_tree;
    std::unique_ptr<FakeUserInterface> m_ui;
    std::unique_ptr<TZipGlobal> m_global;
    std::unique_ptr<TZipDlg> m_dlg;
    TZipProject* m_project = nullptr;
    TFilterForm* m_filterForm = nullptr;
    TWideFStringGrid* m_grid = nullptr;
    TCommandRowEditor* m_editor = nullptr;
    QString m_previousDir;
};

// The window starts on an existing project without rows whose RelDir is the
// folder "work"; the settings file is written only by the commands.
void CommandRowEditorTest::init()
{
    m_tree = std::make_unique<TestUtil::TempTree>();
    m_tree->Write("work/docs/plan.doc", "plan");
    m_tree->Write("work/docs/notes.txt", "notes");
    m_tree->Write("work/docs/image.bin", "skip");
    m_tree->Write("work/src/main.cpp", "int main() {}");
    m_tree->Write("work/a.txt", "a");
    m_tree->Write("work/p.qrz", QStringLiteral("[Files]\nRelDir=%1\n[ZipCommands]\n"
                                               "Row[0]=Directory,Filter\n")
                                    .arg(PathRules::WithTrailingSeparator(Work()))
                                    .toUtf8());
    m_previousDir = QDir::currentPath();
    QDir::setCurrent(m_tree->path());
    m_ui = std::make_unique<FakeUserInterface>();
    m_global = std::make_unique<TZipGlobal>();
    m_dlg = std::make_unique<TZipDlg>(
        *m_global, TZipDlgOptions{Settings(), {Work("p.qrz")}, m_ui.get(), false});
    m_project = &m_dlg->Project();
    m_filterForm = Find<TFilterForm>("FilterForm");
    m_grid = Find<TWideFStringGrid>("sgFiles");
    m_editor = m_dlg->findChild<TCommandRowEditor*>();
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    QVERIFY(!QFileInfo::exists(Settings()));
    QCOMPARE(m_project->RelDir(), PathRules::WithTrailingSeparator(Work()));
    // A first run: the settings name the default project, which is not there.
    QCOMPARE(m_ui->Messages.size(), 1);
    m_ui->Messages.clear();
}

void CommandRowEditorTest::cleanup()
{
    m_dlg.reset();
    m_global.reset();
    m_ui.reset();
    QDir::setCurrent(m_previousDir);
    m_tree.reset();
}

void CommandRowEditorTest::Click(const char* name) const
{
    QTest::mouseClick(Find<QAbstractButton>(QLatin1String(name)), Qt::LeftButton);
}

QPoint CommandRowEditorTest::CellCentre(int col, int row) const
{
    return m_grid->viewport()->mapFrom(m_grid, m_grid->CellRect(col, row).center());
}

void CommandRowEditorTest::ClickCell(int col, int row) const
{
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, CellCentre(col, row));
}

// The events of a person's double click; QTest's sends the second press only.
void CommandRowEditorTest::DoubleClickCell(int col, int row) const
{
    ClickCell(col, row);
    QTest::mouseDClick(m_grid->viewport(), Qt::LeftButton, {}, CellCentre(col, row));
    QTest::mouseRelease(m_grid->viewport(), Qt::LeftButton, {}, CellCentre(col, row));
}

QStringList CommandRowEditorTest::GridRows() const
{
    QStringList rows;
    for (int row = 1; row < m_grid->RowCount(); ++row)
        rows.append(PathRules::PathToEntryName(m_grid->Cells(0, row)) + '|' +
                    m_grid->Cells(1, row));
    return rows;
}

void CommandRowEditorTest::rowCommands_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("answer"); // below work/
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("expectedCurrent");
    QTest::addColumn<bool>("saves");

    const QStringList two{"docs|*.doc", "src|*.cpp"};
    const QStringList four{"a|1", "b|2", "c|3", "d|4"};
    QTest::newRow("Load Directory on row 1 appends and writes the last row")
        << two << 1 << "bnLoadDirectory"
        << "docs" << QStringList{two[0], two[1], "docs|*.*"} << 3 << true;
    QTest::newRow("Load File on another row overwrites it and appends an empty row")
        << two << 2 << "bnLoadFile"
        << "a.txt" << QStringList{two[0], "a.txt|", "|"} << 2 << true;
    QTest::newRow("Load File outside RelDir climbs out of it")
        << two << 1 << "bnLoadFile"
        << "../QorZip.ini" << QStringList{two[0], two[1], "..\\QorZip.ini|"} << 3 << true;
    QTest::newRow("double click overwrites its row, appending after a filled last row")
        << two << 2 << "dblclick"
        << "docs" << QStringList{two[0], "docs|*.*", "|"} << 2 << true;
    QTest::newRow("Load Directory cancelled changes nothing") << two << 1 << "bnLoadDirectory"
                                                              << "" << two << 1 << false;
    QTest::newRow("Insert on the last row appends")
        << two << 2 << "acStringGridInsert"
        << "" << QStringList{two[0], two[1], "|"} << 2 << false;
    QTest::newRow("Insert elsewhere inserts")
        << two << 1 << "acStringGridInsert"
        << "" << QStringList{"|", two[0], two[1]} << 1 << false;
    QTest::newRow("Delete Row on row 2 of four")
        << four << 2 << "acStringListDelete"
        << "" << QStringList{"a|1", "c|3", "d|4"} << 2 << false;
    QTest::newRow("Delete Row on the last row")
        << four << 4 << "acStringListDelete"
        << "" << QStringList{"a|1", "b|2", "c|3"} << 3 << false;
    QTest::newRow("Delete the only row leaves an empty one")
        << QStringList{"a|1"} << 1 << "acStringListDelete"
        << "" << QStringList{"|"} << 1 << false;
    QTest::newRow("Move Up on row 1 keeps row 1") << four << 1 << "acStringGridMoveUp"
                                                  << "" << four << 1 << false;
    QTest::newRow("Move Up") << four << 3 << "acStringGridMoveUp"
                             << "" << four << 2 << false;
    QTest::newRow("MoveDown stops at the last row") << four << 4 << "acStringGridMoveDown"
                                                    << "" << four << 4 << false;
}

void CommandRowEditorTest::rowCommands()
{
    QFETCH(QStringList, rows);
    QFETCH(int, current);
    QFETCH(QString, command);
    QFETCH(QString, answer);
    QFETCH(QStringList, expected);
    QFETCH(int, expectedCurrent);
    QFETCH(bool, saves);
    m_project->SetCommands(Commands(rows));
    m_grid->SetRow(current);
    if (command.startsWith("bn") || command == "dblclick") {
        m_ui->AnswerFile(answer.isEmpty() ? QString() : QDir::cleanPath(Work(answer)));
        if (command == "dblclick")
            DoubleClickCell(0, current);
        else
            Click(command.toLatin1().constData());
    } else {
        Find<QAction>(command)->trigger();
    }
    QCOMPARE(GridRows(), expected);
    QCOMPARE(Rows(m_project->Commands()), expected);
    QCOMPARE(m_grid->Row(), expectedCurrent);
    QCOMPARE(QFileInfo::exists(Settings()), saves);
    QCOMPARE(m_grid->ColWidths(0), m_grid->viewport()->width() * 4 / 5);
    if (command == "bnLoadFile" && !answer.isEmpty()) {
        const TFileRequest& request = m_ui->Questions.last().Request;
        QCOMPARE(request.Title, QStringLiteral("Files"));
        QCOMPARE(request.Filter, QStringLiteral("Filter (*.*)|*.*"));
        QVERIFY(request.Preset.isEmpty());
        QCOMPARE(m_project->LoadLastFile(), QDir::cleanPath(Work(answer)));
        const QListWidget* files = Find<QListWidget>("clbFiles");
        QCOMPARE(files->findItems(QDir::cleanPath(Work(answer)), Qt::MatchExactly).size(), 1);
    }
}

void CommandRowEditorTest::filterCellNeedsAnExistingDirectory()
{
    m_project->SetCommands(Commands({"docs|*.doc", "missing|*.x", Work("src") + "|*.cpp"}));
    m_grid->SetRow(1);
    QVERIFY(!m_grid->CanSelectCell(1, 2));
    QVERIFY(!m_grid->CanSelectCell(2, 1));
    QVERIFY(m_grid->CanSelectCell(0, 2));
    QCOMPARE(m_grid->toolTip(), QStringLiteral("missing"));
    QCOMPARE(m_project->FilterText(), QStringLiteral("*.*"));
    // An absolute directory is taken as it is; the Filter cell becomes the
    // filter text and the hint.
    QVERIFY(m_grid->CanSelectCell(1, 3));
    QCOMPARE(m_project->FilterText(), QStringLiteral("*.cpp"));
    QCOMPARE(m_grid->toolTip(), QStringLiteral("*.cpp"));
}

// The editor opens on the cell's filter, or on the last filter for a blank
// cell; OK writes the ticked masks and saves, Cancel leaves the cell.
void CommandRowEditorTest::filterCellOpensTheEditor()
{
    m_project->SetCommands(Commands({"docs| ", "src|*.cpp"}));
    QStringList captions;
    const auto open = [&](int row, const char* button, std::function<void()> change) {
        WhenShown(*m_filterForm, [&, button, change] {
            captions.append(m_filterForm->windowTitle());
            if (change)
                change();
            QTest::mouseClick(m_filterForm->findChild<QAbstractButton*>(button), Qt::LeftButton);
        });
        ClickCell(1, row);
        QCOMPARE(m_grid->Col(), 0);
        QCOMPARE(m_grid->Row(), row);
    };
    open(1, "BitBtn2", nullptr);
    QCOMPARE(m_grid->Cells(1, 1), QStringLiteral(" "));
    QVERIFY(m_editor->LastFilter().isEmpty());
    open(2, "BitBtn1", [this] { m_filterForm->LoadFilter(QStringLiteral("*.cpp; *.txt")); });
    QCOMPARE(m_grid->Cells(1, 2), QStringLiteral("*.cpp; *.txt"));
    QVERIFY(QFileInfo::exists(Settings()));
    open(1, "BitBtn2", nullptr);
    QCOMPARE(captions, (QStringList{"", "*.cpp", "*.cpp; *.txt"}));
    QCOMPARE(m_grid->Cells(1, 1), QStringLiteral(" "));
    QCOMPARE(m_editor->LastFilter(), QStringLiteral("*.cpp; *.txt"));
    QCOMPARE(TMemIniFile(Settings()).ReadString("QorZip", "FullFilter", {}),
             m_dlg->Settings().MasterList().CommaText());
}

void CommandRowEditorTest::doubleClickOnDirectoryAndFile()
{
    m_project->SetCommands(Commands({"docs|*.doc", "a.txt| "}));
    m_ui->AnswerFile(Work("src"));
    DoubleClickCell(0, 1);
    const TFileRequest directory = m_ui->Questions.last().Request;
    QCOMPARE(directory.Preset, Work("docs"));
    QVERIFY(directory.Options.testFlag(TFileRequest::CreateDirectories));
    QCOMPARE(m_project->RootDir(), Work("docs"));
    // Not appending: the last row is written, since the cursor was on row 1.
    QCOMPARE(GridRows(), (QStringList{"docs|*.doc", "src|*.*"}));

    m_project->SetCommands(Commands({"docs|*.doc", "a.txt| "}));
    m_ui->AnswerFile(Work("docs/notes.txt"));
    DoubleClickCell(0, 2);
    const TFileRequest file = m_ui->Questions.last().Request;
    QCOMPARE(file.Title, QStringLiteral("Files"));
    QCOMPARE(file.Filter, QStringLiteral("(*.txt)|*.txt|All files (*.*)|*.*"));
    QCOMPARE(file.Preset, Work("a.txt"));
    QCOMPARE(GridRows(), (QStringList{"docs|*.doc", "docs\\notes.txt| "}));
    QCOMPARE(Rows(m_project->Commands()), GridRows());
    QVERIFY(m_ui->AllAnswersUsed());
}

void CommandRowEditorTest::setRelDirFollowsInTheLabel()
{
    QLabel* label = Find<QLabel>(QStringLiteral("lbRelDir"));
    QCOMPARE(label->text(), m_project->RelDir());
    m_ui->AnswerFile(Work("docs"));
    Click("bnSetRelDir");
    QCOMPARE(m_ui->Questions.last().Text, QStringLiteral("Set Rel Dir to :"));
    QCOMPARE(m_project->RelDir(), Work("docs") + QDir::separator());
    QCOMPARE(label->text(), m_project->RelDir());
}

void CommandRowEditorTest::popupAndShortcuts()
{
    QStringList items;
    for (const QAction* action : m_editor->pmsgFiles()->actions())
        items.append(action->objectName() + ' ' + action->text() + ' ' +
                     action->shortcut().toString());
    QCOMPARE(
        items,
        (QStringList{"acStringListDelete Delete Row Ctrl+Del", "acStringGridInsert Insert Ctrl+Ins",
                     "acStringGridMoveUp Move Up Ctrl+U", "acStringGridMoveDown MoveDown Ctrl+D"}));
    m_project->SetCommands(Commands({"a|1", "b|2"}));
    m_dlg->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    m_grid->setFocus();
    m_grid->SetRow(1);
    QTest::keyClick(m_grid, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(m_grid->Row(), 2);
    QTest::keyClick(m_grid, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(GridRows(), (QStringList{"a|1", "b|2", "|"}));
}

// A project made from an empty one through the panel only, zipped, and its
// file read back as the project file layout has it.
void CommandRowEditorTest::projectMadeThroughThePanelOnly()
{
    m_project->SetCommands({});
    QCOMPARE(GridRows(), QStringList{"|"});
    m_ui->AnswerFile(Work("docs"));
    Click("bnLoadDirectory");
    WhenShown(*m_filterForm, [this] {
        for (const QString& mask : {QStringLiteral("*.doc"), QStringLiteral("*.txt")})
            m_filterForm->findChild<QListWidget*>()
                ->findItems(mask, Qt::MatchExactly)
                .first()
                ->setCheckState(Qt::Checked);
        m_filterForm->findChild<QListWidget*>()
            ->findItems(QStringLiteral("*.*"), Qt::MatchExactly)
            .first()
            ->setCheckState(Qt::Unchecked);
        QTest::mouseClick(m_filterForm->findChild<QAbstractButton*>("BitBtn1"), Qt::LeftButton);
    });
    ClickCell(1, 2);
    Find<QAction>("acStringGridMoveUp")->trigger();
    m_ui->AnswerFile(Work("a.txt"));
    Click("bnLoadFile");
    Find<QAction>("acStringGridMoveUp")->trigger();
    Find<QAction>("acStringGridMoveUp")->trigger();
    Find<QAction>("acStringListDelete")->trigger();
    QCOMPARE(GridRows(), (QStringList{"docs|*.doc; *.txt", "a.txt|"}));

    m_ui->AnswerFile(Work("out.zip"));
    Click("bnZipThem");
    TZipFile zip;
    zip.LoadFromFile(Work("out.zip"));
    QStringList entries;
    for (int i = 0; i < zip.Count(); ++i)
        entries.append(QString::fromLocal8Bit(zip.GetName(i)));
    entries.sort();
    QCOMPARE(entries, (QStringList{"a.txt", "docs\\notes.txt", "docs\\plan.doc", "p.qrz"}));

    QVERIFY(m_dlg->close());
    const TMemIniFile ini(Work("p.qrz"));
    QCOMPARE(ini.ReadString("ZipCommands", "Row[0]", {}), QStringLiteral("Directory,Filter"));
    QCOMPARE(ini.ReadString("ZipCommands", "Row[1]", {}), QStringLiteral("docs,'*.doc; *.txt'"));
    QCOMPARE(ini.ReadString("ZipCommands", "Row[2]", {}), QStringLiteral("a.txt,"));
    QVERIFY(!ini.ValueExists("ZipCommands", "Row[3]"));
    QCOMPARE(ini.ReadString("Files", "RelDir", {}), m_project->RelDir());
    QCOMPARE(ini.ReadString("Files", "LastZipFile", {}), Work("out.zip"));
    QCOMPARE(ini.ReadString("Files", "LoadLastFile", {}), Work("a.txt"));
    TZipProject reread(*m_ui);
    QVERIFY(reread.LoadProject(Work("p.qrz")));
    QCOMPARE(Rows(reread.Commands()), (QStringList{"docs|*.doc; *.txt", "a.txt| "}));
    QVERIFY(m_ui->AllAnswersUsed());
    QVERIFY(m_ui->Messages.isEmpty());
}

void CommandRowEditorTest::picture()
{
    m_project->SetCommands(Commands({"docs|*.doc; *.txt", "src|*.cpp; *.h", "a.txt| "}));
    m_grid->SetRow(2);
    const QPixmap picture = Find<QWidget>("pnFiles")->grab();
    QVERIFY(!picture.isNull());
    const QString folder = qEnvironmentVariable("QORZIP_PICTURE_DIR");
    if (!folder.isEmpty())
        QVERIFY(picture.save(QDir(folder).filePath(QStringLiteral("files-to-zip-panel.png"))));
}

QZ_REGISTER_TEST(CommandRowEditorTest);
#include "CommandRowEditorTest.moc"
