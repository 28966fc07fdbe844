#include <memory>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "FakeUserInterface.h"
#include "FtpError.h"
#include "FtpTransfer.h"
#include "MemIniFile.h"
#include "PyFtpServer.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"

class FtpTransferTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void settingsDefaultsAndRoundTrip();
    void hostWithPort_data();
    void hostWithPort();
    void uploadAsksBeforeReplacing();
    void uploadIntoRefusedDirectory();
    void uploadCancelledSaysSo();
    void downloadSavesCheckedArchive();
    void downloadOfBrokenArchiveKeepsOldFile();
    void downloadCancelledAsksNothing();
    void progressText_data();
    void progressText();

private:
    void Configure(TFtpTransfer& transfer, const QString& targetPath = QString());
    QString ServerFile(const QString& name) const { return m_server->Root() + '/' + name; }
    static QByteArray ZipBytes(int size);

    std::unique_ptr<PyFtpServer> m_server;
    QTemporaryDir m_local;
};

void FtpTransferTest::initTestCase()
{
    m_server = std::make_unique<PyFtpServer>();
    QVERIFY2(m_server->Start(), qPrintable(m_server->Error()));
    QVERIFY(QDir(m_server->Root()).mkpath(QStringLiteral("docs")));
}

void FtpTransferTest::Configure(TFtpTransfer& transfer, const QString& targetPath)
{
    TFtpSettings& settings = transfer.Settings();
    settings.Hostname = QString::fromLatin1(m_server->HostAndPort());
    settings.Username = QString::fromLatin1(PyFtpServer::User);
    settings.Password = QString::fromLatin1(PyFtpServer::Password);
    settings.TargetPath = targetPath;
}

QByteArray FtpTransferTest::ZipBytes(int size)
{
    TZipFile zip;
    zip.AddEntry("data.bin", 0);
    zip.SetData(0, TestUtil::RandomBytes(size, 3));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("z.zip"));
    zip.SaveToFile(path);
    return TestUtil::ReadFile(path);
}

void FtpTransferTest::settingsDefaultsAndRoundTrip()
{
    const QString project = m_local.filePath(QStringLiteral("p.qrz"));
    TestUtil::WriteFile(project, "[Files]\nRelDir=/x/\n");
    TFtpSettings settings;
    settings.Load(project);
    QCOMPARE(settings.Hostname, QStringLiteral("edServername"));
    QCOMPARE(settings.Username, QStringLiteral("Edit1"));
    QCOMPARE(settings.Password, QStringLiteral("Edit1"));
    QCOMPARE(settings.TargetPath, QStringLiteral("edTargetDir"));
    QCOMPARE(settings.File, QStringLiteral("File"));
    settings.Hostname = QStringLiteral("ftp.example:2121");
    settings.Password = QStringLiteral("pw");
    settings.Save(project);
    QVERIFY(!(QFile::permissions(project) & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
    const TMemIniFile ini(project);
    QCOMPARE(ini.ReadString(QStringLiteral("Files"), QStringLiteral("RelDir"), QString()),
             QStringLiteral("/x/"));
    QCOMPARE(ini.SectionKeys(QStringLiteral("FTP")),
             (QStringList{"File", "Hostname", "Username", "Password", "TargetPath"}));
    TFtpSettings again;
    again.Load(project);
    QCOMPARE(again.Hostname, settings.Hostname);
    QCOMPARE(again.Password, settings.Password);
}

void FtpTransferTest::hostWithPort_data()
{
    QTest::addColumn<QString>("hostname");
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("plain") << QStringLiteral("ftp.example") << QByteArray("ftp.example") << 21;
    QTest::newRow("with port") << QStringLiteral("127.0.0.1:2121") << QByteArray("127.0.0.1")
                               << 2121;
    QTest::newRow("port not a number")
        << QStringLiteral("host:ftp") << QByteArray("host:ftp") << 21;
    QTest::newRow("port out of range")
        << QStringLiteral("host:70000") << QByteArray("host:70000") << 21;
    QTest::newRow("ipv6") << QStringLiteral("::1") << QByteArray("::1") << 21;
    QTest::newRow("ipv6 with port") << QStringLiteral("[::1]:2121") << QByteArray("::1") << 2121;
}

void FtpTransferTest::hostWithPort()
{
    QFETCH(QString, hostname);
    QFETCH(QByteArray, host);
    QFETCH(int, port);
    TFtpSettings settings;
    settings.Hostname = hostname;
    QCOMPARE(settings.Host(), host);
    QCOMPARE(settings.Port(), port);
}

void FtpTransferTest::uploadAsksBeforeReplacing()
{
    const QString local = m_local.filePath(QStringLiteral("Up.zip"));
    TestUtil::WriteFile(local, "first");
    FakeUserInterface ui;
    TFtpTransfer transfer(ui);
    Configure(transfer, QStringLiteral("  docs "));
    transfer.SetFile(local);
    QCOMPARE(transfer.Settings().File, QStringLiteral("Up.zip"));
    QCOMPARE(transfer.Upload(), TTransferResult::Done);
    QCOMPARE(ui.Asked(QStringLiteral("Confirm")), 0);
    QCOMPARE(TestUtil::ReadFile(ServerFile(QStringLiteral("docs/Up.zip"))), QByteArray("first"));
    QVERIFY(!transfer.Client().Connected());

    TestUtil::WriteFile(local, "second");
    transfer.Settings().File = QStringLiteral("UP.ZIP"); // another letter case counts as existing
    ui.AnswerConfirm(TMsgButton::Cancel);
    QCOMPARE(transfer.Upload(), TTransferResult::Declined);
    QCOMPARE(ui.Questions.size(), 1);
    QCOMPARE(ui.Questions.first().Text,
             TFtpTransfer::OverwriteQuestion(QStringLiteral("UP.ZIP"),
                                             QString::fromLatin1(m_server->HostAndPort())));
    QVERIFY(!transfer.Client().Connected());
    QCOMPARE(TestUtil::ReadFile(ServerFile(QStringLiteral("docs/Up.zip"))), QByteArray("first"));

    transfer.Settings().File = QStringLiteral("Up.zip");
    ui.AnswerConfirm(TMsgButton::Ok);
    QCOMPARE(transfer.Upload(), TTransferResult::Done);
    QCOMPARE(TestUtil::ReadFile(ServerFile(QStringLiteral("docs/Up.zip"))), QByteArray("second"));
    QVERIFY(transfer.StatusText() == QStringLiteral("Disconnected."));
}

void FtpTransferTest::uploadIntoRefusedDirectory()
{
    const QString local = m_local.filePath(QStringLiteral("x.zip"));
    TestUtil::WriteFile(local, "x");
    FakeUserInterface ui;
    TFtpTransfer transfer(ui);
    Configure(transfer, QStringLiteral("missing"));
    transfer.SetFile(local);
    QVERIFY_THROWS_EXCEPTION(EFtpProtocolReplyError, transfer.Upload());
    QVERIFY(!transfer.Client().Connected());
    QVERIFY(ui.Questions.isEmpty());
}

void FtpTransferTest::uploadCancelledSaysSo()
{
    const QString local = m_local.filePath(QStringLiteral("big.zip"));
    TestUtil::WriteFile(local, TestUtil::RandomBytes(64 * 1024, 1).repeated(64));
    FakeUserInterface ui;
    TFtpTransfer transfer(ui);
    Configure(transfer);
    transfer.SetFile(local);
    transfer.OnChanged = [&transfer] { // in the store, not in the existence check's listing
        if (transfer.Busy() && transfer.ProgressMaximum() > 0 && transfer.DoneBytes() > 0)
            transfer.Cancel();
    };
    QCOMPARE(transfer.Upload(), TTransferResult::Cancelled);
    QCOMPARE(ui.Messages.size(), 1);
    QVERIFY(!transfer.Busy());
    QVERIFY(!transfer.Client().Connected());
}

void FtpTransferTest::downloadSavesCheckedArchive()
{
    const QByteArray archive = ZipBytes(5000);
    TestUtil::WriteFile(ServerFile(QStringLiteral("docs/Get.zip")), archive);
    const QString target = m_local.filePath(QStringLiteral("saved.zip"));
    TestUtil::WriteFile(target, "old");
    const QStringList before = QDir::temp().entryList({QStringLiteral("QorZip*")});
    FakeUserInterface ui;
    TFtpTransfer transfer(ui);
    Configure(transfer);
    transfer.SetRelDir(m_local.path() + '/');
    transfer.PrepareBrowser(true);
    transfer.Browser().Open();
    transfer.Browser().ShowDirectory("docs");
    QVERIFY(transfer.Browser().DoubleClick(1));
    QCOMPARE(transfer.Browser().PickedFile(), QByteArray("Get.zip"));
    transfer.Browser().Close();
    ui.AnswerFile(target);
    QString saved;
    QCOMPARE(transfer.Download(&saved), TTransferResult::Done);
    QCOMPARE(saved, target);
    QCOMPARE(TestUtil::ReadFile(target), archive);
    const TFileRequest request = ui.Questions.last().Request;
    QCOMPARE(request.Title, QStringLiteral("Save File"));
    QCOMPARE(request.Preset, m_local.path() + QStringLiteral("/Get.zip"));
    QCOMPARE(request.DefaultExt, QStringLiteral(".zip"));
    const QLocale locale;
    QCOMPARE(transfer.ProgressText(), QStringLiteral("%1 of %1 kbytes transferred.")
                                          .arg(locale.toString(archive.size() / 1000.0, 'f', 3)));
    QCOMPARE(QDir::temp().entryList({QStringLiteral("QorZip*")}), before);
}

void FtpTransferTest::downloadOfBrokenArchiveKeepsOldFile()
{
    QByteArray broken = ZipBytes(5000);
    broken[100] = char(broken[100] ^ 0x55);
    TestUtil::WriteFile(ServerFile(QStringLiteral("Broken.zip")), broken);
    const QString target = m_local.filePath(QStringLiteral("keep.zip"));
    TestUtil::WriteFile(target, "old");
    FakeUserInterface ui;
    TFtpTransfer transfer(ui);
    Configure(transfer);
    transfer.Browser().SetPickedFile("Broken.zip");
    QVERIFY_THROWS_EXCEPTION(EFtpError, transfer.Download());
    QCOMPARE(ui.Asked(QStringLiteral("SaveFile")), 0);
    QCOMPARE(TestUtil::ReadFile(target), QByteArray("old"));
}

void FtpTransferTest::downloadCancelledAsksNothing()
{
    TestUtil::WriteFile(ServerFile(QStringLiteral("Large.zip")),
                        TestUtil::RandomBytes(64 * 1024, 2).repeated(64));
    FakeUserInterface ui;
    TFtpTransfer transfer(ui);
    Configure(transfer);
    transfer.Browser().SetPickedFile("Large.zip");
    transfer.OnChanged = [&transfer] {
        if (transfer.Busy() && transfer.ProgressVisible() && transfer.DoneBytes() > 0)
            transfer.Cancel();
    };
    QCOMPARE(transfer.Download(), TTransferResult::Cancelled);
    QVERIFY(ui.Questions.isEmpty());
    QVERIFY(!transfer.Client().Connected());
}

void FtpTransferTest::progressText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QString>("text");
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("comma, over 1000 kbytes")
        << german << qint64(1234567) << qint64(209715200)
        << QStringLiteral("1234,567 of 209715,200 kbytes transferred.");
    QTest::newRow("comma, small") << german << qint64(5) << qint64(0)
                                  << QStringLiteral("0,005 of 0,000 kbytes transferred.");
    QTest::newRow("point") << QLocale(QLocale::English, QLocale::UnitedStates) << qint64(1234567)
                           << qint64(2000000)
                           << QStringLiteral("1234.567 of 2000.000 kbytes transferred.");
}

void FtpTransferTest::progressText()
{
    QFETCH(QLocale, locale);
    QFETCH(qint64, done);
    QFETCH(qint64, total);
    QFETCH(QString, text);
    const QLocale previous;
    QLocale::setDefault(locale);
    const QString got = TFtpTransfer::ProgressTextOf(done, total);
    QLocale::setDefault(previous);
    QCOMPARE(got, text);
}

QZ_REGISTER_TEST(FtpTransferTest);
#include "FtpTransferTest.moc"
