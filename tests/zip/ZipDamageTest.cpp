// Damaged and foreign archives, made here: each must load without a crash,
// with the right entries or as incomplete, and an incomplete one must never
// be saved over its file.
#include <QBuffer>
#include <QFile>
#include <QTest>

#include "RecordCodec.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"

namespace {
const QString Python = QStringLiteral("/usr/bin/python3");
const QByteArray Umlauts = QByteArray("d/\xc3\x9c"
                                      "bersicht \xc3\xa4.txt");

// The files every foreign archive holds: a folder entry, a name in UTF-8.
void WriteSources(const TestUtil::TempTree& tree)
{
    tree.Write(QStringLiteral("a.txt"), "hello\n");
    tree.Write(QStringLiteral("b.txt"), QByteArray(3000, 'x'));
    tree.Write(QString::fromUtf8(Umlauts), "\xc3\xbc\n");
}

// Info-ZIP writing to a pipe uses data descriptors.
QByteArray InfoZipToPipe(const TestUtil::TempTree& tree)
{
    QByteArray out;
    TestUtil::Run(
        QStringLiteral("sh"),
        {QStringLiteral("-c"),
         QStringLiteral("zip -q - a.txt b.txt d \"%1\" | cat").arg(QString::fromUtf8(Umlauts))},
        &out, nullptr, tree.path());
    return out;
}

// Python's zipfile on a stream it cannot seek uses data descriptors too.
QByteArray PythonToPipe(const TestUtil::TempTree& tree)
{
    const QString script =
        QStringLiteral("import sys, zipfile\n"
                       "class Out:\n"
                       "    def write(self, b): return sys.stdout.buffer.write(b)\n"
                       "    def flush(self): sys.stdout.buffer.flush()\n"
                       "with zipfile.ZipFile(Out(), 'w', zipfile.ZIP_DEFLATED) as z:\n"
                       "    z.write('a.txt'); z.write('b.txt'); z.write('d')\n"
                       "    z.write(sys.argv[1])\n");
    QByteArray out;
    TestUtil::Run(Python, {QStringLiteral("-c"), script, QString::fromUtf8(Umlauts)}, &out, nullptr,
                  tree.path());
    return out;
}

QByteArray OwnArchive()
{
    TZipFile zip;
    zip.AddEntry("a.txt", 0);
    zip.SetData(0, "hello\n");
    zip.AddEntry("b.txt", 0);
    zip.SetData(1, QByteArray(3000, 'x'));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    zip.SaveToStream(buffer);
    return buffer.data();
}

// One local record that declares 4 GiB of data in a 30-byte file.
QByteArray HugeClaim()
{
    QByteArray bytes(30, '\0');
    RecordCodec::Put32(bytes.data(), LocalFileSignature);
    RecordCodec::Put16(bytes.data() + 8, 8);
    RecordCodec::Put32(bytes.data() + 18, 0xFFFFFFF0);
    RecordCodec::Put32(bytes.data() + 22, 0xFFFFFFF0);
    return bytes;
}
} // namespace

class ZipDamageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void loads_data();
    void loads();

private:
    TestUtil::TempTree m_sources;
    bool m_havePeers = false;
};

void ZipDamageTest::initTestCase()
{
    WriteSources(m_sources);
    m_havePeers = TestUtil::HaveTool(QStringLiteral("zip")) && QFile::exists(Python);
}

void ZipDamageTest::loads_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("missing"); // empty: read completely
    const QByteArray own = OwnArchive();
    if (m_havePeers) {
        const QByteArray infoZip = InfoZipToPipe(m_sources);
        const QByteArray python = PythonToPipe(m_sources);
        QTest::newRow("Info-ZIP to a pipe") << infoZip << 4 << QString();
        QTest::newRow("Python to a pipe") << python << 4 << QString();
        QTest::newRow("Info-ZIP with 3-byte prefix") << "abc" + infoZip << 4 << QString();
        QTest::newRow("data descriptor, directory cut off")
            << python.left(python.size() - 30) << 1 << QStringLiteral("data descriptor");
    }
    QTest::newRow("own archive with odd prefix") << "12345" + own << 2 << QString();
    QTest::newRow("own archive cut in its data") << own.left(60) << 2 << QStringLiteral("cut");
    QTest::newRow("own archive without end record")
        << own.left(own.size() - 22) << 2 << QStringLiteral("no end record");
    QTest::newRow("bytes after the end record") << own + "junk" << 2 << QStringLiteral("after");
    QTest::newRow("4 GiB claimed in 30 bytes") << HugeClaim() << 1 << QStringLiteral("4294967280");
    QTest::newRow("no zip records")
        << QByteArray("just some text\n") << 0 << QStringLiteral("no zip records");
}

void ZipDamageTest::loads()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(QString, missing);
    TestUtil::TempTree dir;
    const QString path = dir.Path(QStringLiteral("damaged.zip"));
    TestUtil::WriteFile(path, bytes);
    TZipFile zip;
    zip.LoadFromFile(path);
    QCOMPARE(zip.Count(), count);
    QCOMPARE(zip.ReadCompletely(), missing.isEmpty());
    // Every complete archive holds the source files (and a folder entry).
    for (int i = 0; missing.isEmpty() && i < zip.Count(); ++i) {
        const QString name = QString::fromLocal8Bit(zip.GetName(i));
        if (!name.endsWith(u'/'))
            QCOMPARE(zip.GetData(i), TestUtil::ReadFile(m_sources.Path(name)));
    }
    if (!missing.isEmpty()) {
        QVERIFY(zip.MissingPart().contains(missing));
        try {
            zip.SaveToFile(path);
            QFAIL("an incomplete archive was saved over its file");
        } catch (const Exception& error) {
            QVERIFY(error.Message().contains(path));
            QVERIFY(error.Message().contains(missing));
        }
        QCOMPARE(TestUtil::ReadFile(path), bytes);
        return;
    }
    // Complete: saved over its file, it reads back with the same names and data.
    zip.SaveToFile(path);
    TZipFile again;
    again.LoadFromFile(path);
    QVERIFY(again.ReadCompletely());
    QVERIFY(!again.ReadByDirectory());
    QCOMPARE(again.Count(), count);
    for (int i = 0; i < count; ++i) {
        QCOMPARE(again.GetName(i), zip.GetName(i));
        QCOMPARE(again.GetData(i), zip.GetData(i));
    }
    if (count == 4) {
        QCOMPARE(again.GetName(3), Umlauts);
        QCOMPARE(again.GetData(3), QByteArray("\xc3\xbc\n"));
        QCOMPARE(again.GetName(2), QByteArray("d/"));
    }
}

QZ_REGISTER_TEST(ZipDamageTest);
#include "ZipDamageTest.moc"
