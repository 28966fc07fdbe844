#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"

namespace {
// A device that accepts `capacity` bytes and fails every write after them,
// like a disk that fills up.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 capacity) : m_capacity(capacity) { open(WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override
    {
        if (m_written + size > m_capacity) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        m_written += size;
        return size;
    }

private:
    qint64 m_capacity;
    qint64 m_written = 0;
};

TZipFile OneEntry(const QByteArray& data)
{
    TZipFile zip;
    zip.AddEntry("entry.txt", 0);
    zip.SetData(0, data);
    return zip;
}

QString MessageOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Exception& error) {
        return error.Message();
    }
    return QString();
}
} // namespace

class ZipSafetyTest : public QObject {
    Q_OBJECT

private slots:
    void loadErrorNamesTheFile();
    void saveErrorLeavesTheOldArchive_data();
    void saveErrorLeavesTheOldArchive();
    void limitsFailBeforeWriting_data();
    void limitsFailBeforeWriting();
    void failedWriteIsReported();
    void declaredSizeIsNotTrusted_data();
    void declaredSizeIsNotTrusted();
    void crcErrorKeepsTheInflatedBytes();
    void storedEntriesAreReturned();
    void otherMethodsFail();
    void invalidDeflateDataFails();
};

void ZipSafetyTest::loadErrorNamesTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing.zip"));
    TZipFile zip;
    const QString message = MessageOf([&] { zip.LoadFromFile(path); });
    QVERIFY2(message.startsWith(
                 QStringLiteral("Cannot open file \"%1\". ").arg(QDir::toNativeSeparators(path))),
             qPrintable(message));
    QVERIFY(message.size() > path.size() + 21); // the system's reason follows
}

void ZipSafetyTest::saveErrorLeavesTheOldArchive_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder does not exist")
        << QStringLiteral("nowhere/a.zip") << QStringLiteral("Cannot create file \"")
        << QStringLiteral("No such file or directory");
    QTest::newRow("target is a folder")
        << QStringLiteral("folder") << QStringLiteral("Cannot create file \"")
        << QStringLiteral("directory");
    QTest::newRow("parent is a file")
        << QStringLiteral("plain/a.zip") << QStringLiteral("Cannot create file \"")
        << QStringLiteral("Not a directory");
}

void ZipSafetyTest::saveErrorLeavesTheOldArchive()
{
    QFETCH(QString, target);
    QFETCH(QString, start);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("folder/inner"));
    TestUtil::WriteFile(dir.filePath(QStringLiteral("plain")), "x");
    const QString path = dir.filePath(target);
    const QString message = MessageOf([&] { OneEntry("x").SaveToFile(path); });
    QVERIFY2(message.startsWith(start), qPrintable(message));
    QVERIFY(message.contains(QFileInfo(path).fileName()));
    QVERIFY2(message.contains(reason, Qt::CaseInsensitive), qPrintable(message));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void ZipSafetyTest::limitsFailBeforeWriting_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<quint32>("declaredSize");
    QTest::addColumn<bool>("fails");
    QTest::newRow("65535 entries fit") << 65535 << 0u << false;
    QTest::newRow("65536 entries") << 65536 << 0u << true;
    QTest::newRow("offsets past 4 GiB") << 2 << 0xFFFFFF00u << true;
}

// Sizes are declared without the bytes behind them (as a record cut short
// holds them), so no test needs gigabytes.
void ZipSafetyTest::limitsFailBeforeWriting()
{
    QFETCH(int, entries);
    QFETCH(quint32, declaredSize);
    QFETCH(bool, fails);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.zip"));
    const QByteArray old = [] {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        OneEntry("old").SaveToStream(buffer);
        return buffer.data();
    }();
    TestUtil::WriteFile(path, old);
    TZipFile zip;
    for (int i = 0; i < entries; ++i) {
        zip.AddEntry("e", 0);
        zip.Entries[i].CompressedSize = declaredSize;
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const QString streamMessage = MessageOf([&] { zip.SaveToStream(buffer); });
    const QString fileMessage = MessageOf([&] { zip.SaveToFile(path); });
    if (fails) {
        QVERIFY(streamMessage.contains(QStringLiteral("exceeds the limits of the zip format")));
        QCOMPARE(buffer.size(), 0);
        QCOMPARE(fileMessage, streamMessage);
        QCOMPARE(TestUtil::ReadFile(path), old);
    } else {
        QCOMPARE(streamMessage, QString());
        QCOMPARE(fileMessage, QString());
        TZipFile reloaded;
        reloaded.LoadFromFile(path);
        QCOMPARE(reloaded.Count(), entries);
        QCOMPARE(reloaded.EndRecord.TotalEntries, entries);
    }
}

void ZipSafetyTest::failedWriteIsReported()
{
    const TZipFile zip = OneEntry(TestUtil::RandomBytes(10000, 5));
    for (const qint64 capacity : {0, 29, 5000, 10050}) {
        FailingDevice device(capacity);
        const QString message = MessageOf([&] { zip.SaveToStream(device); });
        QVERIFY2(message.startsWith(QStringLiteral("Cannot write file")), qPrintable(message));
        QVERIFY(message.endsWith(QStringLiteral("No space left on device")));
    }
}

void ZipSafetyTest::declaredSizeIsNotTrusted_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("tiny entry") << QByteArray("abc");
    QTest::newRow("empty entry") << QByteArray();
    QTest::newRow("zeroes") << QByteArray(100000, '\0');
}

// An entry that declares 4 GiB but whose data yields a few bytes ends in the
// CRC error, without allocating the declared size.
void ZipSafetyTest::declaredSizeIsNotTrusted()
{
    QFETCH(QByteArray, data);
    TZipFile zip = OneEntry(data);
    zip.Entries[0].UncompressedSize = 0xFFFFFFFF;
    QByteArray out;
    QVERIFY_THROWS_EXCEPTION(EZipFileCRCError, zip.GetData(0, out));
    QCOMPARE(out, data);
    QVERIFY(out.capacity() < 64 << 20);
    QVERIFY_THROWS_EXCEPTION(EZipFileCRCError, TZipFile::Verify(zip.Entries.at(0)));
}

void ZipSafetyTest::crcErrorKeepsTheInflatedBytes()
{
    TZipFile zip = OneEntry("payload");
    zip.Entries[0].Crc32 ^= 1;
    QByteArray out;
    const QString message = MessageOf([&] { zip.GetData(0, out); });
    QCOMPARE(message, QStringLiteral("CRC Error in \"entry.txt\"."));
    QCOMPARE(out, QByteArray("payload"));
}

void ZipSafetyTest::storedEntriesAreReturned()
{
    TZipFile zip = OneEntry("x");
    TLocalFile& entry = zip.Entries[0];
    entry.CompressionMethod = 0;
    entry.CompressedData = "stored bytes, not deflate";
    entry.CompressedSize = entry.UncompressedSize = quint32(entry.CompressedData.size());
    entry.Crc32 = ComputeCrc32(entry.CompressedData.constData(), entry.CompressedData.size());
    QCOMPARE(zip.GetData(0), QByteArray("stored bytes, not deflate"));
    entry.Crc32 ^= 1;
    QVERIFY_THROWS_EXCEPTION(EZipFileCRCError, zip.GetData(0));
}

void ZipSafetyTest::otherMethodsFail()
{
    TZipFile zip = OneEntry("x");
    zip.Entries[0].CompressionMethod = 12;
    QCOMPARE(MessageOf([&] { zip.GetData(0); }),
             QStringLiteral("Unsupported compression method 12 in \"entry.txt\"."));
}

void ZipSafetyTest::invalidDeflateDataFails()
{
    TZipFile zip = OneEntry("some text to compress");
    zip.Entries[0].CompressedData = QByteArray("\xff\xff\xff\xff\xff\xff", 6);
    QCOMPARE(MessageOf([&] { zip.GetData(0); }), QStringLiteral("Error"));
    QCOMPARE(MessageOf([&] { TZipFile::Verify(zip.Entries.at(0)); }), QStringLiteral("Error"));
}

QZ_REGISTER_TEST(ZipSafetyTest);
#include "ZipSafetyTest.moc"
