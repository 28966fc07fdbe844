#include <functional>

#include <QDir>
#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "CurrentZip.h"
#include "FStringGrid.h"
#include "FakeUserInterface.h"
#include "PanelButton.h"
#include "PanelPopup.h"
#include "SyncFlow.h"
#include "SyncList.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipBuild.h"
#include "ZipDlg.h"
#include "ZipFile.h"
#include "ZipGlobal.h"
#include "ZipProject.h"

namespace {
QDateTime Time(int minute)
{
    return QDateTime(QDate(2024, 3, 5), QTime(10, minute, 0), Qt::LocalTime);
}

// A project on a real folder: RelDir "work/" with the command row "files",
// the archive beside the folder. The project file is archived with the
// files and not written again, so it never makes a row.
struct Folder {
    Folder()
    {
        QDir().mkpath(tree.Path("work/files"));
        project.SetRelDir(tree.Path("work") + QDir::separator());
        project.SetCommands({{QStringLiteral("files"), QStringLiteral("*.*")}});
        project.SetCFGFileName(tree.Path("work/project.qrz"));
    }
    QString ZipPath() const { return tree.Path("archive.zip"); }
    void Write(const QString& name, const QByteArray& data, int minute)
    {
        tree.Write("work/files/" + name, data);
        TestUtil::SetModified(tree.Path("work/files/" + name), Time(minute));
    }
    void Build()
    {
        project.SaveProject(project.CFGFileName());
        TestUtil::SetModified(project.CFGFileName(), Time(1));
        ui.AnswerFile(ZipPath());
        QVERIFY(TZipBuild(project, ui).Run());
        current.LoadZipTree(ZipPath());
    }
    QStringList Names() const
    {
        TZipFile zip;
        zip.LoadFromFile(ZipPath());
        QStringList names;
        for (int i = 0; i < zip.Count(); ++i)
            names.append(QString::fromLocal8Bit(zip.GetName(i)));
        names.sort();
        return names;
    }

    TestUtil::TempTree tree;
    FakeUserInterface ui;
    TZipProject project{ui};
    TCurrentZip current;
};

// Runs `act` on the list once its modal loop shows it.
void WhenShown(TSyncList& list, std::function<void()> act)
{
    QTimer::singleShot(10, &list, [&list, act] {
        if (list.isVisible())
            act();
        else
            WhenShown(list, act);
    });
}

int RowOf(const TSyncList& list, const QString& name)
{
    for (int row = 1; row < list.sgSync()->RowCount(); ++row)
        if (list.sgSync()->Cells(0, row).endsWith(name) ||
            list.sgSync()->Cells(4, row).endsWith(name))
            return row;
    return -1;
}

void ClickRow(TSyncList& list, int row)
{
    TFStringGrid* grid = list.sgSync();
    const QRect cell = grid->CellRect(0, row).translated(-grid->viewport()->geometry().topLeft());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

void ChooseWithButton(TSyncList& list, int operation)
{
    QTest::mouseClick(list.bnOp(), Qt::LeftButton);
    QTRY_VERIFY(list.bnOp()->IsPopupOpen());
    QTest::mouseClick(list.bnOp()->PopupPanel()->Entries()[operation], Qt::LeftButton);
}
} // namespace

class SyncFlowTest : public QObject {
    Q_OBJECT

private slots:
    // The whole road on a real folder, driven through the window as a person
    // would: compare, change two operations, run with "Add File", compare
    // again.
    void roundTripThroughTheWindow()
    {
        Folder f;
        for (const char* name : {"keep.txt", "change.txt", "entry.txt", "gone.txt", "old.txt"})
            f.Write(name, QByteArray(name) + " v1", 1);
        f.Build();
        f.Write("change.txt", "change v2", 5);
        f.Write("new.txt", "new", 5);
        QFile::remove(f.tree.Path("work/files/gone.txt"));
        QFile::remove(f.tree.Path("work/files/old.txt"));
        {
            TZipFile zip;
            zip.LoadFromFile(f.ZipPath());
            const int entry = zip.FindExactEntry("files\\entry.txt");
            zip.SetData(entry, "entry v2");
            zip.SetDateTime(entry, Time(6));
            zip.SaveToFile(f.ZipPath());
            f.current.LoadZipTree(f.ZipPath());
        }

        TSyncFlow flow(f.project, f.current, f.ui, nullptr);
        TSyncList& list = flow.SyncList();
        int changes = 0;
        flow.OnZipChange = [&changes](const std::function<void()>& change) {
            ++changes;
            change();
        };
        QStringList proposed;
        WhenShown(list, [&] {
            for (const TSyncItem& item : list.ShownItems())
                proposed.append(item.Operation);
            ClickRow(list, RowOf(list, "entry.txt")); // "<=" -> "=>" by space
            QTest::keyClick(list.sgSync(), Qt::Key_Space);
            ClickRow(list, RowOf(list, "old.txt")); // "!<=" -> "X>" by the button
            ChooseWithButton(list, soDeleteInZip);
            QTRY_COMPARE(list.sgSync()->Cells(3, RowOf(list, "old.txt")), QStringLiteral("X>"));
            list.findChild<QRadioButton*>("rbgZipOperationItem1")->click();
            QTest::mouseClick(list.findChild<QPushButton*>("bnSync"), Qt::LeftButton);
        });
        f.ui.AnswerConfirm(TMsgButton::Yes); // "Do you want to delete zip file:"
        flow.bnSyncClick();
        proposed.sort();
        QCOMPARE(proposed, (QStringList{"!<=", "!<=", "<=", "=>", "=>!"}));
        QVERIFY(!list.isVisible());
        QCOMPARE(changes, 1);
        QVERIFY(f.ui.AllAnswersUsed());
        QCOMPARE(f.Names(),
                 (QStringList{"files\\change.txt", "files\\change.txt.V001", "files\\entry.txt",
                              "files\\entry.txt.V001", "files\\gone.txt", "files\\keep.txt",
                              "files\\new.txt", "project.qrz"}));
        QCOMPARE(TestUtil::ReadFile(f.tree.Path("work/files/gone.txt")), QByteArray("gone.txt v1"));
        QVERIFY(f.ui.Report.contains("File : " + f.tree.Path("work/files/new.txt") + " added"));
        QCOMPARE(f.current.Zip().Count(), 8); // reloaded with the saved archive

        f.ui.Messages.clear();
        flow.bnSyncClick();
        QCOMPARE(f.ui.Messages, QStringList{"Files are synchronized!"});
        QVERIFY(!list.isVisible());
        if (TestUtil::HaveTool("unzip"))
            QCOMPARE(TestUtil::Run("unzip", {"-tq", f.ZipPath()}), 0);
    }

    void rowsHiddenByTheFilterAreNotCarriedOut()
    {
        Folder f;
        f.Write("a.txt", "a v1", 1);
        f.Build();
        f.Write("a.txt", "a v2", 5);
        f.Write("b.txt", "b", 5);
        TSyncFlow flow(f.project, f.current, f.ui, nullptr);
        TSyncList& list = flow.SyncList();
        WhenShown(list, [&] {
            TPanelButton* filter = list.sgSync()->FilterButton(3);
            QVERIFY(filter);
            const int entry = int(filter->CaptionItems().indexOf(QStringLiteral("\"->=>!\",-1")));
            QSignalSpy changed(list.sgSync(), &TFStringGridBase::OnChanged);
            filter->Choose(entry);
            QTRY_COMPARE(changed.count(), 1);
            QCOMPARE(list.sgSync()->RowCount(), 2);
            list.findChild<QPushButton*>("bnSync")->click();
        });
        flow.bnSyncClick();
        QCOMPARE(f.Names(), (QStringList{"files\\a.txt", "files\\b.txt", "project.qrz"}));
        TZipFile zip;
        zip.LoadFromFile(f.ZipPath());
        QCOMPARE(zip.GetData(zip.FindExactEntry("files\\a.txt")), QByteArray("a v1"));

        QStringList left;
        WhenShown(list, [&] {
            for (const TSyncItem& item : list.ShownItems())
                left.append(item.Operation + ' ' + item.FilePath);
            list.findChild<QPushButton*>("bnCancel")->click();
        });
        flow.bnSyncClick();
        QCOMPARE(left, QStringList{"=> files" + QString(QDir::separator()) + "a.txt"});
    }

    // Restoring the current project file from the archive: the window reads
    // it back, so its next save keeps the restored rows.
    void restoredProjectIsReadBack()
    {
        Folder f;
        f.Write("a.txt", "a", 1);
        f.Build();
        f.project.SetCommands({{QStringLiteral("files"), QStringLiteral("*.*")},
                               {QStringLiteral("later"), QStringLiteral("*.*")}});
        f.project.SaveProject(f.project.CFGFileName());
        TestUtil::SetModified(f.project.CFGFileName(), Time(0));
        TSyncFlow flow(f.project, f.current, f.ui, nullptr);
        TSyncList& list = flow.SyncList();
        QStringList shown;
        WhenShown(list, [&] {
            for (const TSyncItem& item : list.ShownItems())
                shown.append(item.Operation + ' ' + item.EntryName);
            list.findChild<QPushButton*>("bnSync")->click();
        });
        f.ui.AnswerConfirm(TMsgButton::Yes); // replace the project file
        flow.bnSyncClick();
        QCOMPARE(shown, QStringList{"<= project.qrz"});
        QCOMPARE(f.project.Commands().size(), 1);
        QCOMPARE(f.project.Commands()[0].Directory, QStringLiteral("files"));
    }

    // The main window's "Sync ..." (F3) and the sync panel's "Sync" run the
    // comparison; the list's "Sync" reaches the report and the tree.
    void mainWindowRunsTheRoad()
    {
        Folder f;
        f.Write("a.txt", "a", 1);
        f.Build();
        f.project.SaveProject(f.project.CFGFileName()); // with its archive now
        TestUtil::SetModified(f.project.CFGFileName(), Time(1));
        TZipGlobal global;
        TZipDlgOptions options;
        options.SettingsFile = f.tree.Path("QorZip.ini");
        options.Arguments = {f.project.CFGFileName()};
        options.Scripted = &f.ui;
        options.RegisterFileType = false;
        TZipDlg window(global, options);
        QAction* sync = window.findChild<QAction*>("acSync");
        QVERIFY(sync && sync->isEnabled());
        QCOMPARE(sync->shortcut(), QKeySequence(Qt::Key_F3));
        f.ui.Messages.clear(); // the start's message about the default project
        sync->trigger();
        QCOMPARE(f.ui.Messages, QStringList{"Files are synchronized!"});

        f.Write("b.txt", "b", 5);
        auto* list = window.findChild<TSyncList*>("SyncList");
        QVERIFY(list);
        WhenShown(*list, [list] { list->findChild<QPushButton*>("bnSync")->click(); });
        auto* panelSync =
            window.findChild<QWidget*>("pnSync")->findChild<QAbstractButton*>("bnSync");
        QVERIFY(panelSync);
        panelSync->click();
        QVERIFY(f.Names().contains("files\\b.txt"));
        QCOMPARE(window.CurrentZip().Zip().Count(), 3);
        QVERIFY(
            window.findChild<QPlainTextEdit*>("mmReport")->toPlainText().contains("b.txt added"));
    }
};

QZ_REGISTER_TEST(SyncFlowTest);
#include "SyncFlowTest.moc"
