#include <QTemporaryDir>
#include <QTest>

#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"
#include "ZipStreamCheck.h"

// The check of an archive's entries while its bytes arrive: it vouches only
// for whole, plain archives, in whatever pieces they come.
class ZipStreamCheckTest : public QObject {
    Q_OBJECT

private slots:
    void vouchesOnlyForWholeEntries_data();
    void vouchesOnlyForWholeEntries();

private:
    static QByteArray Archive();
};

QByteArray ZipStreamCheckTest::Archive()
{
    TZipFile zip;
    const QList<QByteArray> contents{TestUtil::RandomBytes(300000, 1), QByteArray(),
                                     QByteArray("text ").repeated(50000)};
    for (int i = 0; i < contents.size(); ++i) {
        zip.AddEntry("docs\\file" + QByteArray::number(i) + ".txt", 0);
        zip.SetData(i, contents.at(i));
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.zip"));
    zip.SaveToFile(path);
    return TestUtil::ReadFile(path);
}

void ZipStreamCheckTest::vouchesOnlyForWholeEntries_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("piece");
    QTest::addColumn<bool>("vouched");
    const QByteArray whole = Archive();
    QTest::newRow("whole, network chunks") << whole << 32768 << true;
    QTest::newRow("whole, byte by byte") << whole << 1 << true;
    QTest::newRow("whole, odd pieces") << whole << 4093 << true;
    QByteArray damaged = whole;
    damaged[200] = char(damaged[200] ^ 0x40);
    QTest::newRow("damaged data") << damaged << 32768 << false;
    QTest::newRow("cut in an entry") << whole.left(100000) << 32768 << false;
    QByteArray descriptor = whole;
    descriptor[6] = char(descriptor[6] | 0x08);
    QTest::newRow("data descriptor flag") << descriptor << 32768 << false;
    QTest::newRow("junk in front") << QByteArray("MZ\0\0", 4) + whole << 32768 << false;
    QTest::newRow("empty") << QByteArray() << 32768 << false;
}

void ZipStreamCheckTest::vouchesOnlyForWholeEntries()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, piece);
    QFETCH(bool, vouched);
    TZipStreamCheck check;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        check.Feed(bytes.mid(at, piece));
    QCOMPARE(check.Finish(), vouched);
}

QZ_REGISTER_TEST(ZipStreamCheckTest);
#include "ZipStreamCheckTest.moc"
