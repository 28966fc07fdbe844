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
    void oneDeflaterServesManyFiles_data();
    void oneDeflaterServesManyFiles();
    void errorInsideABatchStopsThere_data();
    void errorInsideABatchStopsThere();
};

namespace {
// Files of every kind in one row: tiny, empty, several slices, random.
QList<QByteArray> MixedContents()
{
    const QByteArray text = QByteArray("for (auto& item : list) update(item);\n").repeated(60000);
    return {QByteArray("tiny"),
            QByteArray(),
            text,
            TestUtil::RandomBytes(300000, 3),
            text.left(5000),
            QByteArray("x"),
            TestUtil::RandomBytes(1024 * 1024, 4)};
}
} // namespace

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

// The stream and buffers carried from file to file leave nothing behind:
// each file gives the bytes TZipFile::Deflate gives, whether the size the
// caller saw is right, unknown, or out of date because the file changed.
void ZipBuildDeflateTest::oneDeflaterServesManyFiles_data()
{
    QTest::addColumn<int>("sizeError");
    QTest::addColumn<bool>("sizeKnown");
    QTest::newRow("sizes as they are") << 0 << true;
    QTest::newRow("sizes unknown") << 0 << false;
    QTest::newRow("files grew since") << -3 << true;
    QTest::newRow("files shrank since") << 4097 << true;
}

void ZipBuildDeflateTest::oneDeflaterServesManyFiles()
{
    QFETCH(int, sizeError);
    QFETCH(bool, sizeKnown);
    QTemporaryDir dir;
    TZipBuildDeflater deflater;
    const QList<QByteArray> contents = MixedContents();
    for (qsizetype i = 0; i < contents.size(); ++i) {
        const QString path = dir.filePath(QString::number(i));
        TestUtil::WriteFile(path, contents[i]);
        const qint64 size = sizeKnown ? std::max<qint64>(0, contents[i].size() + sizeError) : -1;
        const TZipFile::TDeflated fromFile = deflater.Deflate(path, size);
        const TZipFile::TDeflated inMemory = TZipFile::Deflate(contents[i]);
        QCOMPARE(fromFile.UncompressedSize, inMemory.UncompressedSize);
        QCOMPARE(fromFile.Crc32, inMemory.Crc32);
        QVERIFY2(fromFile.CompressedData == inMemory.CompressedData, qPrintable(path));
    }
}

// Tiny files travel in batches; a missing file in the middle of one stores
// the entries before it, in order, and raises its own error.
void ZipBuildDeflateTest::errorInsideABatchStopsThere_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("caller's thread") << 1;
    QTest::newRow("workers") << 3;
}

void ZipBuildDeflateTest::errorInsideABatchStopsThere()
{
    QFETCH(int, threads);
    const int count = 200;
    const int missing = 150;
    QTemporaryDir dir;
    TZipFile zip;
    QList<int> stored;
    for (int i = 0; i < count; ++i) {
        if (i != missing)
            TestUtil::WriteFile(dir.filePath(QString::number(i)), QByteArray::number(i));
        zip.AddEntry(QByteArray::number(i), 0);
    }
    try {
        TZipBuildPipeline pipeline(zip, threads, [&](int index) { stored.append(index); });
        for (int i = 0; i < count; ++i)
            pipeline.Submit(i, dir.filePath(QString::number(i)), i == missing ? 3 : 0);
        pipeline.Finish();
        QFAIL("the missing file did not end the run");
    } catch (const Exception& error) {
        QVERIFY(error.Message().contains(dir.filePath(QString::number(missing))));
    }
    QCOMPARE(stored.size(), missing);
    for (int i = 0; i < missing; ++i)
        QCOMPARE(stored[i], i);
    QCOMPARE(zip.GetData(missing - 1), QByteArray::number(missing - 1));
}

QZ_REGISTER_TEST(ZipBuildDeflateTest);
#include "ZipBuildDeflateTest.moc"
