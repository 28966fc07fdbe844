#include <QTemporaryDir>
#include <QTest>

#include "Exception.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipBuildDeflate.h"
#include "ZipBuildPipeline.h"
#include "ZipFile.h"

class ZipBuildDeflateTest : public QObject {
    Q_OBJECT

private slots:
    void sameBytesAsDeflatingInMemory_data();
    void sameBytesAsDeflatingInMemory();
    void missingFileNamesTheFile();
    void workerErrorEndsTheRunInOrder();
};

void ZipBuildDeflateTest::sameBytesAsDeflatingInMemory_data()
{
    const int slice = 1024 * 1024;
    const QByteArray text =
        QByteArray("static int value = 42; // a line of code\n").repeated(90000);
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray("x");
    QTest::newRow("one slice exactly") << text.left(slice);
    QTest::newRow("one slice and a byte") << text.left(slice + 1);
    QTest::newRow("text over several slices") << text;
    QTest::newRow("random") << TestUtil::RandomBytes(2 * slice + 17, 7);
}

void ZipBuildDeflateTest::sameBytesAsDeflatingInMemory()
{
    QFETCH(QByteArray, data);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    TestUtil::WriteFile(path, data);
    const TZipFile::TDeflated fromFile = DeflateFile(path);
    const TZipFile::TDeflated inMemory = TZipFile::Deflate(data);
    QCOMPARE(fromFile.UncompressedSize, inMemory.UncompressedSize);
    QCOMPARE(fromFile.Crc32, inMemory.Crc32);
    QVERIFY(fromFile.CompressedData == inMemory.CompressedData);
}

void ZipBuildDeflateTest::missingFileNamesTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gone.txt"));
    try {
        DeflateFile(path);
        QFAIL("a missing file was deflated");
    } catch (const Exception& error) {
        QVERIFY2(error.Message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(path)),
                 qPrintable(error.Message()));
    }
}

// The entry before the failing one is stored, the failing one raises its
// error on the caller's thread, and nothing after it is stored.
void ZipBuildDeflateTest::workerErrorEndsTheRunInOrder()
{
    QTemporaryDir dir;
    TestUtil::WriteFile(dir.filePath(QStringLiteral("a")), "first");
    TestUtil::WriteFile(dir.filePath(QStringLiteral("c")), "third");
    TZipFile zip;
    QList<int> stored;
    for (const char* name : {"a", "b", "c"})
        zip.AddEntry(name, 0);
    try {
        TZipBuildPipeline pipeline(zip, 2, [&](int index) { stored.append(index); });
        pipeline.Submit(0, dir.filePath(QStringLiteral("a")));
        pipeline.Submit(1, dir.filePath(QStringLiteral("b")));
        pipeline.Submit(2, dir.filePath(QStringLiteral("c")));
        pipeline.Finish();
        QFAIL("the missing file did not end the run");
    } catch (const Exception& error) {
        QVERIFY(error.Message().contains(dir.filePath(QStringLiteral("b"))));
    }
    QCOMPARE(stored, QList<int>{0});
    QCOMPARE(zip.GetData(0), QByteArray("first"));
}

QZ_REGISTER_TEST(ZipBuildDeflateTest);
#include "ZipBuildDeflateTest.moc"
