#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ProgressForm.h"
#include "ProgressUserInterface.h"
#include "TestRegistry.h"

namespace {
// The progress part comes from the window; the rest is not used here.
class ProgressOnlyInterface : public TProgressUserInterface {
public:
    using TProgressUserInterface::TProgressUserInterface;
    TMsgButton Confirm(const QString&, TMsgButtons) override { return TMsgButton::None; }
    void ShowMessage(const QString&) override {}
    QString SaveFileName(const TFileRequest&) override { return {}; }
    QString OpenFileName(const TFileRequest&) override { return {}; }
    QString DirectoryName(const TFileRequest&) override { return {}; }
    bool InputText(const QString&, const QString&, QString&) override { return false; }
    void ReportLine(const QString&) override {}
    void ClearReport() override {}
};

QPushButton* CancelButton(const TProgressForm& form)
{
    return form.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
}
} // namespace

class ProgressFormTest : public QObject {
    Q_OBJECT

private slots:
    void controlsCarryTheirNamesAndPlaces();
    void titleAndTextGoToTheirControls();
    void cancelHidesAndIsSeenByTheOperation();
    void cancelRules_data();
    void cancelRules();
    void escapeAndWindowCloseCancel();
    void showingDoesNotBlockTheOwnerAndCentresOverIt();
    void interfaceDrivesTheWindow();
    void positionOutsideTheRangeIsHeldAtItsEnd();
    void grabShowsTitleBarOverPanel();
};

void ProgressFormTest::controlsCarryTheirNamesAndPlaces()
{
    TProgressForm form;
    QCOMPARE(form.size(), QSize(365, 111));
    QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!form.isVisible());
    QVERIFY(!form.Cancelled());
    QPushButton* button = CancelButton(form);
    QVERIFY(button != nullptr);
    QCOMPARE(button->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(button->geometry(), QRect(284, 81, 75, 25));
    QCOMPARE(form.ProgressBar1()->objectName(), QStringLiteral("ProgressBar1"));
    QCOMPARE(form.ProgressBar1()->geometry(), QRect(8, 54, 350, 18));
    QVERIFY(form.findChild<QLabel*>(QStringLiteral("pnTitle")) != nullptr);
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("lbText"))->pos(), QPoint(8, 35));
}

void ProgressFormTest::titleAndTextGoToTheirControls()
{
    TProgressForm form;
    form.SetTitle(QStringLiteral("Zip them"));
    form.SetText(QStringLiteral("C:\\Data\\a.txt"));
    QCOMPARE(form.Title(), QStringLiteral("Zip them"));
    QCOMPARE(form.Text(), QStringLiteral("C:\\Data\\a.txt"));
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("pnTitle"))->text(),
             QStringLiteral("Zip them"));
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("lbText"))->text(),
             QStringLiteral("C:\\Data\\a.txt"));
}

void ProgressFormTest::cancelHidesAndIsSeenByTheOperation()
{
    TProgressForm form;
    form.Show();
    QVERIFY(form.isVisible());
    QTest::mouseClick(CancelButton(form), Qt::LeftButton);
    QVERIFY(form.Cancelled());
    QVERIFY(!form.isVisible());
    form.Close();
    QVERIFY(form.Cancelled()); // closing by the operation keeps the request readable
}

// How Cancelled stands after pressing the button (or not) and showing again,
// while hidden or while still visible.
void ProgressFormTest::cancelRules_data()
{
    QTest::addColumn<bool>("press");
    QTest::addColumn<bool>("closeBeforeShow");
    QTest::newRow("cancelled run, shown again") << true << true;
    QTest::newRow("cancelled run, shown at once") << true << false;
    QTest::newRow("second show while visible") << false << false;
    QTest::newRow("finished run, shown again") << false << true;
}

void ProgressFormTest::cancelRules()
{
    QFETCH(bool, press);
    QFETCH(bool, closeBeforeShow);
    TProgressForm form;
    form.Show();
    if (press)
        CancelButton(form)->click();
    if (closeBeforeShow)
        form.Close();
    form.Show();
    QVERIFY(form.isVisible());
    QVERIFY(!form.Cancelled());
}

void ProgressFormTest::escapeAndWindowCloseCancel()
{
    TProgressForm form;
    form.Show();
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(form.Cancelled());
    QVERIFY(!form.isVisible());

    form.Show();
    QVERIFY(!form.Cancelled());
    form.close(); // what the window manager's close command does
    QVERIFY(form.Cancelled());
}

void ProgressFormTest::showingDoesNotBlockTheOwnerAndCentresOverIt()
{
    QMainWindow owner;
    owner.setGeometry(100, 80, 800, 600);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    TProgressForm form(&owner);
    form.Show();
    QVERIFY(form.isWindow());
    QVERIFY(!form.isModal());
    QVERIFY(owner.isEnabled());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    const QPoint offset = form.frameGeometry().center() - owner.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2,
             qPrintable(QStringLiteral("offset %1,%2").arg(offset.x()).arg(offset.y())));
}

void ProgressFormTest::interfaceDrivesTheWindow()
{
    TProgressForm form;
    ProgressOnlyInterface ui(form);
    ui.SetProgressTitle(QStringLiteral("Sync"));
    ui.SetProgressText(QStringLiteral("b.txt"));
    ui.SetProgressMaximum(10);
    ui.SetProgressPosition(4);
    ui.ShowProgress();
    QVERIFY(form.isVisible());
    QCOMPARE(form.Title(), QStringLiteral("Sync"));
    QCOMPARE(form.Text(), QStringLiteral("b.txt"));
    QCOMPARE(ui.ProgressMaximum(), 10);
    QCOMPARE(ui.ProgressPosition(), 4);

    // A press is seen once the operation lets pending events run.
    QTimer::singleShot(0, CancelButton(form), &QPushButton::click);
    QVERIFY(!ui.Cancelled());
    ui.ProcessEvents();
    QVERIFY(ui.Cancelled());
    ui.ShowProgress();
    QVERIFY(!ui.Cancelled());
    ui.CloseProgress();
    QVERIFY(!form.isVisible());
}

void ProgressFormTest::positionOutsideTheRangeIsHeldAtItsEnd()
{
    TProgressForm form;
    ProgressOnlyInterface ui(form);
    ui.SetProgressMaximum(5);
    ui.SetProgressPosition(3);
    ui.SetProgressPosition(9);
    QCOMPARE(ui.ProgressPosition(), 5);
    ui.SetProgressPosition(-1);
    QCOMPARE(ui.ProgressPosition(), 0);
    ui.SetProgressMaximum(-4);
    QCOMPARE(ui.ProgressMaximum(), 0);
}

// The picture of the window; written beside the build for the documentation.
void ProgressFormTest::grabShowsTitleBarOverPanel()
{
    TProgressForm form;
    form.SetTitle(QStringLiteral("Zip them"));
    form.SetText(QStringLiteral("Projects/Web/index.html"));
    form.ProgressBar1()->setMaximum(100);
    form.ProgressBar1()->setValue(40);
    form.Show();
    const QImage image = form.grab().toImage();
    QCOMPARE(image.size() / image.devicePixelRatio(), QSize(365, 111));
    const QColor title = image.pixelColor(20, 10);
    const QColor panel = image.pixelColor(20, 95);
    QVERIFY(title != panel);
    const QByteArray binaryDir = qgetenv("QORZIP_BINARY_DIR");
    if (!binaryDir.isEmpty())
        QVERIFY(
            image.save(QString::fromLocal8Bit(binaryDir) + QStringLiteral("/progressform.png")));
}

QZ_REGISTER_TEST(ProgressFormTest);
#include "ProgressFormTest.moc"
