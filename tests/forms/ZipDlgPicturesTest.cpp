#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTest>

#include "TestRegistry.h"
#include "CurrentZip.h"
#include "ZipDlgFixture.h"
#include "ZipTree.h"
#include "ZipTreeModel.h"
#include "ZipTreeView.h"

// Pictures of the main window's three panels and of the archive tree's popup
// menu, written to QORZIP_PICTURE_DIR when it is set (docs/ for the README).
class ZipDlgPicturesTest : public QObject {
    Q_OBJECT

private:
    static void Keep(const QImage& picture, const QString& name)
    {
        QVERIFY(!picture.isNull());
        const QString folder = qEnvironmentVariable("QORZIP_PICTURE_DIR");
        if (!folder.isEmpty())
            QVERIFY(picture.save(QDir(folder).filePath(name)));
    }

private slots:
    void threePanelsAndPopup()
    {
        TZipDlgFixture f;
        f.WriteSettings(f.WriteProject("Website", QString(), "work/"));
        const QStringList files{"docs/plan.txt", "docs/notes.txt", "docs/old/draft.txt",
                                "docs/budget.txt", "docs/minutes.txt"};
        for (const QString& file : files)
            TestUtil::WriteFile(f.Work(file), QByteArray(file.size() * 700, 'x'));
        TZipDlg& dlg = f.Start();
        f.ShowWindow();
        Keep(dlg.grab().toImage(), "mainwindow-files.png");

        f.Ui.AnswerFile(f.Work("Website.zip"));
        f.Click("bnZipThem");
        f.Click("bnReport");
        Keep(dlg.grab().toImage(), "mainwindow-report.png");

        f.Click("bnSyncZip");
        TZipTreeView* tree = f.Tree();
        tree->expandAll();
        const auto* model = static_cast<const TZipTreeModel*>(tree->model());
        const QModelIndex plan =
            model->IndexOf(dlg.CurrentZip().Tree().FindNodeByPath("docs\\plan.txt"));
        QVERIFY(plan.isValid());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(plan).center());
        QVERIFY(dlg.HintWindow()->isVisible());
        Keep(dlg.grab().toImage(), "mainwindow-tree.png");

        auto* menu = f.Find<QMenu>("pmZip");
        const QPoint at = tree->visualRect(plan).center();
        menu->popup(tree->viewport()->mapToGlobal(at));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QImage withMenu = dlg.grab().toImage();
        QPainter menuPainter(&withMenu);
        menuPainter.drawPixmap(menu->geometry().topLeft() - dlg.geometry().topLeft(), menu->grab());
        menuPainter.end();
        menu->hide();
        Keep(withMenu, "mainwindow-popup.png");
    }
};

QZ_REGISTER_TEST(ZipDlgPicturesTest);
#include "ZipDlgPicturesTest.moc"
