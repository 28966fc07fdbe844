#include <functional>
#include <memory>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "FakeUserInterface.h"
#include "FtpCommander.h"
#include "FtpTransferForm.h"
#include "MemIniFile.h"
#include "PyFtpServer.h"
#include "ScriptedServer.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"
#include "ZipDlg.h"
#include "ZipGlobal.h"

namespace {
// Saves a picture when QORZIP_PICTURE_DIR names a folder; checked either way.
void SavePicture(QWidget& window, const QString& name)
{
    const QPixmap picture = window.grab();
    QVERIFY(!picture.isNull());
    const QString folder = qEnvironmentVariable("QORZIP_PICTURE_DIR");
    if (!folder.isEmpty())
        QVERIFY(picture.save(QDir(folder).filePath(name)));
}

template <typename T> T* Control(const QWidget& window, const QString& name)
{
    T* control = window.findChild<T*>(name);
    if (!control)
        qFatal("no control %s", qPrintable(name));
    return control;
}

QString Text(const QWidget& window, const QString& name)
{
    return Control<QLineEdit>(window, name)->text();
}

void Click(const QWidget& window, const QString& name)
{
    QTest::mouseClick(Control<QPushButton>(window, name), Qt::LeftButton);
}

// Double-clicks the browser's row whose name column reads `name`, as a person would.
bool DoubleClickRow(TFTPCommander& commander, const QByteArray& name)
{
    auto* grid = Control<QTableView>(commander, QStringLiteral("sg"));
    for (int row = 0; row < commander.Browser().rowCount(); ++row)
        if (commander.Browser().Cell(row, TRemoteDirectory::NameColumn) == name) {
            const QRect cell = grid->visualRect(commander.Browser().index(row, 1));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
            return true;
        }
    return false;
}

// Runs `action` once the browser is on screen and its listing has arrived.
void WhenBrowserShown(TFTPTransferForm& form, std::function<void(TFTPCommander&)> action)
{
    auto* timer = new QTimer(&form);
    QObject::connect(timer, &QTimer::timeout, timer, [&form, timer, action] {
        if (!form.Commander().isVisible() || form.Transfer().Client().Running())
            return;
        timer->deleteLater();
        timer->stop();
        action(form.Commander());
        if (form.Commander().isVisible())
            form.Commander().reject(); // an action that failed left it open
    });
    timer->start(20);
}

QStringList TemporaryFiles()
{
    return QDir::temp().entryList({QStringLiteral("QorZip*")}, QDir::Files);
}
} // namespace

// The FTP transfer window and the remote browser, driven through their
// controls against a scripted server and a real one.
class FtpWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void placeholdersAndDeclinedReplace();
    void uploadAndDownloadThroughTheWindows();
    void cancelDuringLargeDownload();
    void browserInViewMode();
    void mainWindowOpensTheTransferWindow();

private:
    std::unique_ptr<TFTPTransferForm> NewForm(FakeUserInterface& ui);
    void FillFields(TFTPTransferForm& form, const QByteArray& host, const QString& user,
                    const QString& password, const QString& target);

    std::unique_ptr<PyFtpServer> m_server;
    TestUtil::TempTree m_local;
    TZipGlobal m_global;
    QString m_project;
};

void FtpWindowsTest::initTestCase()
{
    m_server = std::make_unique<PyFtpServer>();
    QVERIFY2(m_server->Start(), qPrintable(m_server->Error()));
    QVERIFY(QDir(m_server->Root()).mkpath(QStringLiteral("docs")));
    TestUtil::WriteFile(m_server->Root() + QStringLiteral("/My Archive.zip"), "12345");
    QVERIFY(QFile::link(QStringLiteral("My Archive.zip"),
                        m_server->Root() + QStringLiteral("/link.zip")));
    m_project = m_local.Path(QStringLiteral("p1.qrz"));
    TestUtil::WriteFile(m_project, "[Files]\nRelDir=/x/\n");
}

std::unique_ptr<TFTPTransferForm> FtpWindowsTest::NewForm(FakeUserInterface& ui)
{
    auto form = std::make_unique<TFTPTransferForm>(ui, m_global, [this] { return m_project; });
    form->RelDir = [this] {
        return m_local.path() + QLatin1Char('/');
    };
    return form;
}

void FtpWindowsTest::FillFields(TFTPTransferForm& form, const QByteArray& host, const QString& user,
                                const QString& password, const QString& target)
{
    Control<QLineEdit>(form, QStringLiteral("edServername"))->setText(QString::fromLatin1(host));
    Control<QLineEdit>(form, QStringLiteral("edUsername"))->setText(user);
    Control<QLineEdit>(form, QStringLiteral("edPassword"))->setText(password);
    Control<QLineEdit>(form, QStringLiteral("edTargetDir"))->setText(target);
}

// A project without FTP section shows the placeholders; another project
// opened later receives the fields at the next transfer. With an empty
// target directory no CWD is sent; a name in another letter case exists, and
// declining sends no STOR and closes the connection.
void FtpWindowsTest::placeholdersAndDeclinedReplace()
{
    FakeUserInterface ui;
    const auto form = NewForm(ui);
    form->SetFile(QStringLiteral("/home/u/Zip/Backup.zip"));
    QCOMPARE(Text(*form, QStringLiteral("edFileName")), QStringLiteral("Backup.zip"));
    QCOMPARE(Text(*form, QStringLiteral("edServername")), QStringLiteral("edServername"));
    QCOMPARE(Text(*form, QStringLiteral("edUsername")), QStringLiteral("Edit1"));
    QCOMPARE(Text(*form, QStringLiteral("edPassword")), QStringLiteral("Edit1"));
    QCOMPARE(Control<QLineEdit>(*form, QStringLiteral("edPassword"))->echoMode(),
             QLineEdit::Password);
    QCOMPARE(Text(*form, QStringLiteral("edTargetDir")), QStringLiteral("edTargetDir"));
    form->show();
    QVERIFY(!Control<QPushButton>(*form, QStringLiteral("bnCancel"))->isVisible());
    QVERIFY(!Control<QProgressBar>(*form, QStringLiteral("pbProgress"))->isVisible());

    ScriptedServer server([](ScriptedSession& s) {
        s.LogIn();
        s.Expect("PASV");
        s.Reply("227 Entering Passive Mode (" + s.ListenData() + ")");
        s.Expect("LIST");
        s.AcceptData();
        s.Reply("150 here");
        s.SendData("-rw-r--r-- 1 u g 5 Jan 1 2020 BACKUP.ZIP\r\n");
        s.CloseData();
        s.Reply("226 done");
        s.WaitClosed();
    });
    FillFields(*form, server.HostAndPort(), QStringLiteral("user"), QStringLiteral("secret"),
               QStringLiteral("  "));
    const QString first = m_project;
    m_project = m_local.Path(QStringLiteral("p2.qrz"));
    TestUtil::WriteFile(m_project, "[Files]\nRelDir=/y/\n");
    QCOMPARE(Text(*form, QStringLiteral("edServername")),
             QString::fromLatin1(server.HostAndPort()));
    ui.AnswerConfirm(TMsgButton::Cancel);
    Click(*form, QStringLiteral("bnUpload"));
    QCOMPARE(server.Finish(), QString());
    QCOMPARE(ui.Questions.size(), 1);
    QCOMPARE(ui.Questions.first().Text,
             TFtpTransfer::OverwriteQuestion(QStringLiteral("Backup.zip"),
                                             QString::fromLatin1(server.HostAndPort())));
    for (const QByteArray& command : server.Commands())
        QVERIFY2(!command.startsWith("CWD") && !command.startsWith("STOR"), command.constData());
    QVERIFY(!form->Transfer().Client().Connected());
    QVERIFY(ui.Messages.isEmpty());
    const TMemIniFile written(m_project);
    QCOMPARE(written.ReadString(QStringLiteral("FTP"), QStringLiteral("Hostname"), QString()),
             QString::fromLatin1(server.HostAndPort()));
    QVERIFY(TMemIniFile(first).SectionKeys(QStringLiteral("FTP")).isEmpty());
    m_project = first;
}

void FtpWindowsTest::uploadAndDownloadThroughTheWindows()
{
    TZipFile zip;
    zip.AddEntry("data.bin", 0);
    zip.SetData(0, TestUtil::RandomBytes(1200 * 1000, 4));
    const QString local = m_local.Path(QStringLiteral("Backup.zip"));
    zip.SaveToFile(local);
    const QByteArray archive = TestUtil::ReadFile(local);

    FakeUserInterface ui;
    const auto form = NewForm(ui);
    form->SetFile(local);
    form->show();
    FillFields(*form, m_server->HostAndPort(), QString::fromLatin1(PyFtpServer::User),
               QString::fromLatin1(PyFtpServer::Password), QStringLiteral("docs"));
    Click(*form, QStringLiteral("bnUpload"));
    QVERIFY2(ui.Messages.isEmpty(), qPrintable(ui.Messages.join('\n')));
    QCOMPARE(TestUtil::ReadFile(m_server->Root() + QStringLiteral("/docs/Backup.zip")), archive);
    const QString progress = TFtpTransfer::ProgressTextOf(archive.size(), archive.size());
    QCOMPARE(Control<QLabel>(*form, QStringLiteral("sbMainPanel1"))->text(), progress);
    QCOMPARE(Control<QLabel>(*form, QStringLiteral("sbMainPanel0"))->text(),
             QStringLiteral("Disconnected."));
    SavePicture(*form, QStringLiteral("ftptransferform.png"));

    QString caption;
    WhenBrowserShown(*form, [&caption](TFTPCommander& commander) {
        QVERIFY(DoubleClickRow(commander, "[docs]"));
        caption = commander.windowTitle();
        QVERIFY(DoubleClickRow(commander, "Backup.zip"));
    });
    const QString target = m_local.Path(QStringLiteral("saved/Backup.zip"));
    QVERIFY(QDir().mkpath(QFileInfo(target).path()));
    ui.AnswerFile(target);
    QString loaded;
    form->LoadZipTree = [&loaded](const QString& path) {
        loaded = path;
    };
    const QStringList temporary = TemporaryFiles();
    Click(*form, QStringLiteral("bnDownload"));
    QVERIFY2(ui.Messages.isEmpty(), qPrintable(ui.Messages.join('\n')));
    QCOMPARE(caption, QStringLiteral("ftp://127.0.0.1/docs"));
    QCOMPARE(loaded, target);
    QCOMPARE(TestUtil::ReadFile(target), archive);
    QCOMPARE(ui.Questions.last().Request.Preset, m_local.path() + QStringLiteral("/Backup.zip"));
    QVERIFY(!form->isVisible());
    QCOMPARE(TemporaryFiles(), temporary);
}

void FtpWindowsTest::cancelDuringLargeDownload()
{
    TestUtil::WriteFile(m_server->Root() + QStringLiteral("/Large.zip"),
                        TestUtil::RandomBytes(1024 * 1024, 6).repeated(64));
    FakeUserInterface ui;
    const auto form = NewForm(ui);
    form->show();
    FillFields(*form, m_server->HostAndPort(), QString::fromLatin1(PyFtpServer::User),
               QString::fromLatin1(PyFtpServer::Password), QString());
    WhenBrowserShown(
        *form, [](TFTPCommander& commander) { QVERIFY(DoubleClickRow(commander, "Large.zip")); });
    QTimer cancel;
    bool cancelled = false;
    connect(&cancel, &QTimer::timeout, this, [&] {
        auto* button = Control<QPushButton>(*form, QStringLiteral("bnCancel"));
        if (cancelled || !button->isVisible() || form->Transfer().DoneBytes() == 0)
            return;
        cancelled = true;
        QVERIFY(!Control<QPushButton>(*form, QStringLiteral("bnDownload"))->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    });
    cancel.start(10);
    bool loaded = false;
    form->LoadZipTree = [&loaded](const QString&) {
        loaded = true;
    };
    const QStringList temporary = TemporaryFiles();
    Click(*form, QStringLiteral("bnDownload"));
    QVERIFY(cancelled);
    QCOMPARE(ui.Asked(QStringLiteral("SaveFile")), 0);
    QVERIFY(ui.Messages.isEmpty());
    QVERIFY(!loaded);
    QVERIFY(!form->isVisible());
    QVERIFY(!form->Transfer().Client().Connected());
    QCOMPARE(TemporaryFiles(), temporary);
}

// Show FTP: a double-click on a file (a name with blanks, a symbolic link)
// only picks it; directories are entered and left through "[..]".
void FtpWindowsTest::browserInViewMode()
{
    FakeUserInterface ui;
    const auto form = NewForm(ui);
    form->show();
    FillFields(*form, m_server->HostAndPort(), QString::fromLatin1(PyFtpServer::User),
               QString::fromLatin1(PyFtpServer::Password), QString());
    QStringList seen;
    WhenBrowserShown(*form, [&seen](TFTPCommander& commander) {
        const TRemoteDirectory& browser = commander.Browser();
        seen << commander.windowTitle() << QString::number(browser.Cell(0, 1) == "[..]");
        QVERIFY(DoubleClickRow(commander, "My Archive.zip"));
        seen << Text(commander, QStringLiteral("edFileName"));
        QVERIFY(DoubleClickRow(commander, "link.zip -> My Archive.zip"));
        seen << Text(commander, QStringLiteral("edFileName"));
        QVERIFY(commander.isVisible());
        SavePicture(commander, QStringLiteral("ftpcommander.png"));
        QVERIFY(DoubleClickRow(commander, "[docs]"));
        seen << commander.windowTitle() << QString::fromLatin1(browser.Cell(0, 1));
        QVERIFY(DoubleClickRow(commander, "[..]"));
        seen << commander.windowTitle() << QString::fromLatin1(browser.Cell(0, 1));
        Click(commander, QStringLiteral("BitBtn1"));
    });
    Click(*form, QStringLiteral("bnShowFTP"));
    QCOMPARE(seen, (QStringList{"FTP: 127.0.0.1", "0", "My Archive.zip", "link.zip",
                                "ftp://127.0.0.1/docs", "[..]", "ftp://127.0.0.1", "[..]"}));
    QVERIFY(!form->Commander().isVisible());
    QVERIFY(!form->Transfer().Client().Connected());
    QVERIFY(ui.Messages.isEmpty());
}

// F4 in the main window shows the transfer window with the project's
// archive and the FTP settings of the project loaded at start-up.
void FtpWindowsTest::mainWindowOpensTheTransferWindow()
{
    const QString project = m_local.Path(QStringLiteral("main.qrz"));
    const QString archive = m_local.Path(QStringLiteral("Main.zip"));
    TestUtil::WriteFile(project, "[Files]\nRelDir=" + (m_local.path() + '/').toUtf8() +
                                     "\nLastZipFile=" + archive.toUtf8() +
                                     "\n[FTP]\nHostname=ftp.example\n");
    FakeUserInterface ui;
    TZipDlgOptions options;
    options.SettingsFile = m_local.Path(QStringLiteral("QorZip.ini"));
    options.Arguments = {project};
    options.Scripted = &ui;
    options.RegisterFileType = false;
    TZipDlg dlg(m_global, options);
    dlg.show();
    QAction* action = dlg.findChild<QAction*>(QStringLiteral("acFTP"));
    QVERIFY(action && action->isEnabled());
    QCOMPARE(action->shortcut(), QKeySequence(Qt::Key_F4));
    QStringList seen;
    QTimer::singleShot(0, &dlg, [&] {
        auto* form = dlg.findChild<TFTPTransferForm*>();
        if (!form || !form->isVisible())
            return;
        seen << Text(*form, QStringLiteral("edFileName"))
             << Text(*form, QStringLiteral("edServername")) << form->windowTitle();
        form->reject();
    });
    action->trigger();
    QCOMPARE(seen, (QStringList{"Main.zip", "ftp.example", "FTP Transfer"}));
}

QZ_REGISTER_TEST(FtpWindowsTest);
#include "FtpWindowsTest.moc"
