#include <QTest>

#include "FileTypeRegistration.h"
#include "TestRegistry.h"
#include "TestUtil.h"

// The user's file type of ".qrz": written when missing or naming another
// executable, left alone otherwise, and never an obstacle to the start.
class FileTypeRegistrationTest : public QObject {
    Q_OBJECT

private slots:
    void writesOnlyWhenMissingOrElsewhere_data()
    {
        QTest::addColumn<QString>("before"); // executable of an earlier registration
        QTest::addColumn<bool>("written");
        QTest::newRow("missing") << QString() << true;
        QTest::newRow("this executable") << "/opt/qorzip/bin/qorzip" << false;
        QTest::newRow("another executable") << "/usr/bin/qorzip" << true;
    }
    void writesOnlyWhenMissingOrElsewhere()
    {
        QFETCH(QString, before);
        QFETCH(bool, written);
        TestUtil::TempTree home;
        const QString exe = QStringLiteral("/opt/qorzip/bin/qorzip");
        if (!before.isEmpty())
            QVERIFY(RegisterFileType("QorZip", ".qrz", home.path(), before));
        QCOMPARE(RegisterFileType("QorZip", ".qrz", home.path(), exe), written);
        const QByteArray desktop = TestUtil::ReadFile(DesktopFilePath(home.path(), "QorZip"));
        QVERIFY(desktop.contains("Exec=\"/opt/qorzip/bin/qorzip\" %f\n"));
        QVERIFY(desktop.contains("MimeType=application/x-qorzip-project;"));
        const QByteArray mime = TestUtil::ReadFile(MimeFilePath(home.path(), "QorZip"));
        QVERIFY(mime.contains("<glob pattern=\"*.qrz\"/>"));
    }

    void failureIsIgnored()
    {
        TestUtil::TempTree home;
        home.Write("blocked", "a file where the folders would go");
        QVERIFY(!RegisterFileType("QorZip", ".qrz", home.Path("blocked"), "/usr/bin/qorzip"));
    }
};

QZ_REGISTER_TEST(FileTypeRegistrationTest);
#include "FileTypeRegistrationTest.moc"
