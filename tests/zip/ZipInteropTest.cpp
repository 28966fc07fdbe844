#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <zlib.h>

#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"

namespace {
const QString Python = QStringLiteral("/usr/bin/python3");

// What zlib writes in zlib format at level 6, window 15, memory level 8,
// without its 2-byte header and 4-byte trailer.
QByteArray ZlibDeflate(const QByteArray& data)
{
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out.mid(2, out.size() - 6);
}

// The files every interoperability test packs: text, random bytes (stored by
// other tools), an empty file and a file in a folder.
QMap<QString, QByteArray> SampleFiles()
{
    return {{QStringLiteral("text.txt"), QByteArray("Some text, some more text.\n").repeated(4000)},
            {QStringLiteral("random.bin"), TestUtil::RandomBytes(70000, 11)},
            {QStringLiteral("empty.txt"), QByteArray()},
            {QStringLiteral("sub/inner.txt"), QByteArray("inner file\n")}};
}

void WriteSamples(const QString& folder)
{
    const auto files = SampleFiles();
    for (auto it = files.begin(); it != files.end(); ++it)
        TestUtil::WriteFile(folder + u'/' + it.key(), it.value());
}

// Loads an archive, checks every entry's data and saves it unchanged; the
// records of both must agree in every field but offsets.
void VerifyForeignArchive(const QString& path)
{
    TZipFile zip;
    zip.LoadFromFile(path);
    const auto files = SampleFiles();
    QCOMPARE(zip.Count(), files.size());
    for (int i = 0; i < zip.Count(); ++i) {
        const QString name = QString::fromLocal8Bit(zip.GetName(i));
        QVERIFY2(files.contains(name), qPrintable(name));
        QCOMPARE(zip.GetData(i), files.value(name));
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    zip.SaveToStream(buffer);
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    TZipFile again;
    again.LoadFromStream(buffer);
    QCOMPARE(again.Count(), zip.Count());
    QCOMPARE(again.ZipComment, zip.ZipComment);
    for (int i = 0; i < zip.Count(); ++i) {
        const TLocalFile& a = zip.Entries.at(i);
        const TLocalFile& b = again.Entries.at(i);
        QCOMPARE(b.Signature, a.Signature);
        QCOMPARE(static_cast<const TSharedBlock&>(b), static_cast<const TSharedBlock&>(a));
        QCOMPARE(b.FileName, a.FileName);
        QCOMPARE(b.ExtraField, a.ExtraField);
        QCOMPARE(b.CompressedData, a.CompressedData);
        TFileHeader c = zip.CentralDirectory.at(i);
        TFileHeader d = again.CentralDirectory.at(i);
        QVERIFY(c.Signature == FileHeaderSignature);
        QCOMPARE(d.VersionMadeBy, c.VersionMadeBy);
        QCOMPARE(static_cast<const TSharedBlock&>(d), static_cast<const TSharedBlock&>(c));
        QCOMPARE(d.FileComment, c.FileComment);
        QCOMPARE(d.DiskNumberStart, c.DiskNumberStart);
        QCOMPARE(d.InternalAttributes, c.InternalAttributes);
        QCOMPARE(d.ExternalAttributes, c.ExternalAttributes);
        QCOMPARE(d.FileName, c.FileName);
        QCOMPARE(d.ExtraField, c.ExtraField);
    }
}
} // namespace

class ZipInteropTest : public QObject {
    Q_OBJECT

private slots:
    void deflateMatchesZlib_data();
    void deflateMatchesZlib();
    void ownArchivePassesOtherTools();
    void readsInfoZipArchives();
    void readsPythonArchives();
};

void ZipInteropTest::deflateMatchesZlib_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("short text") << QByteArray("hello, hello, hello");
    QTest::newRow("long text") << QByteArray("All work and no play. ").repeated(50000);
    QTest::newRow("random 200 KB") << TestUtil::RandomBytes(200000, 2);
    QTest::newRow("mixed 1 MB") << TestUtil::RandomBytes(300000, 3) +
                                       QByteArray("abcdefgh").repeated(90000);
}

void ZipInteropTest::deflateMatchesZlib()
{
    QFETCH(QByteArray, data);
    TZipFile zip;
    zip.AddEntry("x", 0);
    zip.SetData(0, data);
    QCOMPARE(zip.Entries.at(0).CompressedData, ZlibDeflate(data));
}

void ZipInteropTest::ownArchivePassesOtherTools()
{
    if (!TestUtil::HaveTool(QStringLiteral("unzip")) || !QFile::exists(Python))
        QSKIP("unzip or python3 is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("own.zip"));
    TZipFile zip;
    const auto files = SampleFiles();
    for (auto it = files.begin(); it != files.end(); ++it) {
        zip.AddEntry(it.key().toLocal8Bit(), 0);
        zip.SetDateTime(zip.Count() - 1, QDateTime(QDate(2023, 3, 4), QTime(5, 6, 8)));
        zip.SetData(zip.Count() - 1, it.value());
    }
    zip.AddEntry("\xc3\x9c"
                 "bersicht \xc3\xa4.txt",
                 0);
    zip.SetData(zip.Count() - 1, "umlauts");
    zip.ZipComment = "archive comment";
    zip.SaveToFile(path);
    QByteArray out;
    QCOMPARE(TestUtil::Run(QStringLiteral("unzip"), {QStringLiteral("-t"), path}, &out), 0);
    QVERIFY(out.contains("No errors detected"));
    const QString script =
        QStringLiteral("import sys, zipfile\n"
                       "z = zipfile.ZipFile(sys.argv[1])\n"
                       "bad = z.testzip()\n"
                       "names = z.namelist()\n"
                       "ok = bad is None and len(names) == 5 and names[-1] == '\\u00dcbersicht "
                       "\\u00e4.txt'\n"
                       "sys.exit(0 if ok else 1)\n");
    QCOMPARE(TestUtil::Run(Python, {QStringLiteral("-c"), script, path}), 0);
}

void ZipInteropTest::readsInfoZipArchives()
{
    if (!TestUtil::HaveTool(QStringLiteral("zip")))
        QSKIP("zip is not installed");
    QTemporaryDir dir;
    WriteSamples(dir.filePath(QStringLiteral("in")));
    const QString path = dir.filePath(QStringLiteral("infozip.zip"));
    QCOMPARE(TestUtil::Run(QStringLiteral("zip"),
                           {QStringLiteral("-q"), QStringLiteral("-r"), QStringLiteral("-D"), path,
                            QStringLiteral(".")},
                           nullptr, nullptr, dir.filePath(QStringLiteral("in"))),
             0);
    VerifyForeignArchive(path);
}

void ZipInteropTest::readsPythonArchives()
{
    if (!QFile::exists(Python))
        QSKIP("python3 is not installed");
    QTemporaryDir dir;
    WriteSamples(dir.filePath(QStringLiteral("in")));
    const QString path = dir.filePath(QStringLiteral("python.zip"));
    const QString script =
        QStringLiteral("import sys, zipfile\n"
                       "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
                       "    for name in ['text.txt', 'random.bin', 'empty.txt', 'sub/inner.txt']:\n"
                       "        z.write(name)\n"
                       "    z.getinfo('text.txt').comment = b'entry comment'\n"
                       "    z.comment = b'python archive'\n");
    QCOMPARE(TestUtil::Run(Python, {QStringLiteral("-c"), script, path}, nullptr, nullptr,
                           dir.filePath(QStringLiteral("in"))),
             0);
    VerifyForeignArchive(path);
}

QZ_REGISTER_TEST(ZipInteropTest);
#include "ZipInteropTest.moc"
