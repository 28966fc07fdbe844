#include <QBuffer>
#include <QTest>

#include "RecordCodec.h"
#include "TestRegistry.h"
#include "ZipFile.h"
#include "ZipInspector.h"

namespace {
TZipFile Entries(int count)
{
    TZipFile zip;
    for (int i = 0; i < count; ++i) {
        zip.AddEntry("entry" + QByteArray::number(i) + ".txt", 0);
        zip.SetData(i, QByteArray("data of entry ").repeated(i + 1));
    }
    return zip;
}

QByteArray Saved(const TZipFile& zip)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    zip.SaveToStream(buffer);
    return buffer.data();
}

QStringList Findings(const QByteArray& bytes)
{
    QStringList texts;
    for (const TZipFinding& finding : TZipInspector(bytes).Inspect())
        texts.append(finding.Text);
    return texts;
}

// The bytes of a three-entry archive changed by `change`.
QByteArray Damaged(const std::function<void(QByteArray&, qsizetype centralStart)>& change)
{
    QByteArray bytes = Saved(Entries(3));
    const qsizetype centralStart = RecordCodec::Get32(bytes.constData() + bytes.size() - 6);
    change(bytes, centralStart);
    return bytes;
}

qsizetype EndStart(const QByteArray& bytes)
{
    return bytes.lastIndexOf(QByteArray("PK\x05\x06"));
}
} // namespace

class ZipInspectorTest : public QObject {
    Q_OBJECT

private slots:
    void soundArchivesHaveNoFindings_data();
    void soundArchivesHaveNoFindings();
    void damageIsFound_data();
    void damageIsFound();
};

void ZipInspectorTest::soundArchivesHaveNoFindings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("no entries") << Saved(TZipFile());
    QTest::newRow("empty file") << QByteArray();
    TZipFile commented = Entries(3);
    commented.ZipComment = "comment";
    QTest::newRow("three entries and a comment") << Saved(commented);
}

void ZipInspectorTest::soundArchivesHaveNoFindings()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(Findings(bytes), QStringList());
}

void ZipInspectorTest::damageIsFound_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("prefix of 5 bytes hides every entry")
        << QByteArray(5, 'x') + Saved(Entries(1)) << QStringLiteral("not a multiple of 4");
    QTest::newRow("prefix of 8 bytes")
        << QByteArray(8, 'x') + Saved(Entries(1)) << QStringLiteral("8 bytes at offset 0 belong");
    QTest::newRow("end record missing")
        << Damaged([](QByteArray& b, qsizetype) { b.chop(22); }) << QStringLiteral("No end record");
    QTest::newRow("central directory missing")
        << Damaged([](QByteArray& b, qsizetype central) { b.truncate(central); })
        << QStringLiteral("3 of 3 entries have no central record");
    QTest::newRow("central name differs")
        << Damaged([](QByteArray& b, qsizetype central) { b[central + 46] = 'E'; })
        << QStringLiteral("name \"Entry0.txt\" instead of \"entry0.txt\"");
    QTest::newRow("central CRC differs") << Damaged([](QByteArray& b, qsizetype central) {
        b[central + 16] = char(b[central + 16] ^ 1);
    }) << QStringLiteral("disagrees with its local record: CRC");
    QTest::newRow("central sizes differ") << Damaged([](QByteArray& b, qsizetype central) {
        b[central + 24] = char(b[central + 24] + 1);
    }) << QStringLiteral("disagrees with its local record: size");
    QTest::newRow("local offset wrong") << Damaged([](QByteArray& b, qsizetype central) {
        RecordCodec::Put32(b.data() + central + 42, 7);
    }) << QStringLiteral("points to offset 7");
    QTest::newRow("entry count wrong") << Damaged([](QByteArray& b, qsizetype) {
        RecordCodec::Put16(b.data() + EndStart(b) + 10, 4);
    }) << QStringLiteral("lists 4 entries");
    QTest::newRow("central offset wrong") << Damaged([](QByteArray& b, qsizetype) {
        RecordCodec::Put32(b.data() + EndStart(b) + 16, 1);
    }) << QStringLiteral("places the central directory at offset 1");
    QTest::newRow("central size wrong") << Damaged([](QByteArray& b, qsizetype) {
        RecordCodec::Put32(b.data() + EndStart(b) + 12, 1);
    }) << QStringLiteral("gives the central directory 1 bytes");
    QTest::newRow("bytes after the end record")
        << Damaged([](QByteArray& b, qsizetype) { b.append("trailing"); })
        << QStringLiteral("8 bytes at offset");
    QTest::newRow("comment cut short") << Damaged([](QByteArray& b, qsizetype) {
        RecordCodec::Put16(b.data() + EndStart(b) + 20, 9);
    }) << QStringLiteral("The end record at offset");
    QTest::newRow("entry cut short")
        << Saved(Entries(2)).left(60) << QStringLiteral("is cut short by the end of the file");
    QTest::newRow("data descriptor") << Damaged([](QByteArray& b, qsizetype) {
        RecordCodec::Put16(b.data() + 6, 8);
        RecordCodec::Put32(b.data() + 18, 0);
    }) << QStringLiteral("data descriptor");
}

void ZipInspectorTest::damageIsFound()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QStringList findings = Findings(bytes);
    QVERIFY2(findings.join(u'\n').contains(expected), qPrintable(findings.join(u'\n')));
}

QZ_REGISTER_TEST(ZipInspectorTest);
#include "ZipInspectorTest.moc"
