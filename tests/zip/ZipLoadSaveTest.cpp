#include <QBuffer>
#include <QTest>
#include <QtEndian>

#include "RecordCodec.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"

namespace {
QByteArray Saved(const TZipFile& zip)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    zip.SaveToStream(buffer);
    return buffer.data();
}

TZipFile Loaded(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TZipFile zip;
    zip.LoadFromStream(buffer);
    return zip;
}

// An archive of three entries with data, as this program writes it.
TZipFile ThreeEntries()
{
    TZipFile zip;
    const QList<QByteArray> names{"a.txt", "docs\\b.txt", "c.bin"};
    for (const QByteArray& name : names) {
        zip.AddEntry(name, 0);
        zip.SetData(zip.Count() - 1, name.repeated(50));
    }
    return zip;
}

quint32 Word(const QByteArray& bytes, qsizetype offset)
{
    return RecordCodec::Get32(bytes.constData() + offset);
}
} // namespace

class ZipLoadSaveTest : public QObject {
    Q_OBJECT

private slots:
    void loadsNothingFrom_data();
    void loadsNothingFrom();
    void prefixIsSkipped_data();
    void prefixIsSkipped();
    void emptyArchiveIsComplete();
    void savedLayoutIsContiguous();
    void emptyArchiveSavesEndRecordAndComment();
    void roundTripKeepsEveryRecord();
    void dataDescriptorReadsThroughDirectory();
    void centralRecordsPairByOrder_data();
    void centralRecordsPairByOrder();
    void recordCutShortKeepsZeroes();
    void offsetsCountFromTheStreamPosition();
    void fieldsOutliveTheirArchive();
};

void ZipLoadSaveTest::loadsNothingFrom_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("complete");
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("signature as the last 4 bytes") << QByteArray("\x50\x4b\x03\x04", 4) << false;
    QTest::newRow("random bytes") << TestUtil::RandomBytes(1000, 7) << false;
}

void ZipLoadSaveTest::loadsNothingFrom()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, complete);
    const TZipFile zip = Loaded(bytes);
    QCOMPARE(zip.Count(), 0);
    QCOMPARE(zip.CentralDirectory.size(), 0);
    QCOMPARE(zip.EndRecord.Signature, 0u);
    QVERIFY(zip.ZipComment.isEmpty());
    QCOMPARE(zip.ReadCompletely(), complete);
}

void ZipLoadSaveTest::prefixIsSkipped_data()
{
    QTest::addColumn<int>("prefix");
    QTest::addColumn<bool>("byDirectory");
    QTest::newRow("8 bytes, found in steps of 4") << 8 << false;
    QTest::newRow("5 bytes, found through the directory") << 5 << true;
    QTest::newRow("3 bytes") << 3 << true;
    QTest::newRow("1 byte") << 1 << true;
}

void ZipLoadSaveTest::prefixIsSkipped()
{
    QFETCH(int, prefix);
    QFETCH(bool, byDirectory);
    const TZipFile zip = Loaded(QByteArray(prefix, 'P') + Saved(ThreeEntries()));
    QCOMPARE(zip.Count(), 3);
    QCOMPARE(zip.GetName(1), QByteArray("docs\\b.txt"));
    QCOMPARE(zip.GetData(1), QByteArray("docs\\b.txt").repeated(50));
    QCOMPARE(zip.EndRecord.TotalEntries, 3);
    QVERIFY(zip.ReadCompletely());
    QCOMPARE(zip.ReadByDirectory(), byDirectory);
}

// An empty archive made by another tool: its end record and comment count.
void ZipLoadSaveTest::emptyArchiveIsComplete()
{
    TZipFile empty;
    empty.ZipComment = "nothing here";
    const TZipFile zip = Loaded(Saved(empty));
    QCOMPARE(zip.Count(), 0);
    QCOMPARE(zip.EndRecord.Signature, EndRecordSignature);
    QCOMPARE(zip.ZipComment, QByteArray("nothing here"));
    QVERIFY(zip.ReadCompletely());
}

void ZipLoadSaveTest::savedLayoutIsContiguous()
{
    TZipFile zip = ThreeEntries();
    zip.ZipComment = "note";
    const QByteArray bytes = Saved(zip);
    qsizetype offset = 0;
    QList<quint32> localOffsets;
    for (const TLocalFile& entry : zip.Entries) {
        QCOMPARE(Word(bytes, offset), LocalFileSignature);
        localOffsets.append(quint32(offset));
        offset += 30 + entry.FileName.size() + entry.CompressedData.size();
    }
    const TZipFile reloaded = Loaded(bytes);
    QCOMPARE(reloaded.EndRecord.CentralDirOffset, quint32(offset));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(Word(bytes, offset), FileHeaderSignature);
        QCOMPARE(reloaded.CentralDirectory.at(i).LocalHeaderOffset, localOffsets.at(i));
        offset += 46 + zip.Entries.at(i).FileName.size();
    }
    QCOMPARE(Word(bytes, offset), EndRecordSignature);
    const TZipEndRecord& end = reloaded.EndRecord;
    QCOMPARE(end.EntriesOnDisk, 3);
    QCOMPARE(end.TotalEntries, 3);
    QCOMPARE(end.DiskNumber, 0);
    QCOMPARE(end.CentralDirStartDisk, 0);
    QCOMPARE(end.CentralDirSize, quint32(offset - end.CentralDirOffset));
    QCOMPARE(bytes.size(), offset + 22 + 4);
    QCOMPARE(reloaded.ZipComment, QByteArray("note"));
}

void ZipLoadSaveTest::emptyArchiveSavesEndRecordAndComment()
{
    TZipFile zip;
    zip.ZipComment = "hello";
    const QByteArray bytes = Saved(zip);
    QCOMPARE(bytes.size(), 22 + 5);
    QCOMPARE(Word(bytes, 0), EndRecordSignature);
    QCOMPARE(Word(bytes, 12), 0u); // central directory size
    QCOMPARE(Word(bytes, 16), 0u); // central directory offset
    QCOMPARE(bytes.mid(22), QByteArray("hello"));
}

void ZipLoadSaveTest::roundTripKeepsEveryRecord()
{
    TZipFile zip = ThreeEntries();
    TFileHeader& header = zip.CentralDirectory[1];
    header.VersionMadeBy = 0x031E;
    header.InternalAttributes = 1;
    header.ExternalAttributes = 0x81A40000;
    header.FileComment = "entry comment";
    header.FileCommentLength = quint16(header.FileComment.size());
    zip.Entries[2].ExtraField = QByteArray("\x55\x54\x05\x00\x01\x02\x03\x04\x05", 9);
    zip.Entries[2].ExtraFieldLength = 9;
    zip.CentralDirectory[2].ExtraField = zip.Entries[2].ExtraField;
    zip.CentralDirectory[2].ExtraFieldLength = 9;
    const QByteArray first = Saved(zip);
    const TZipFile reloaded = Loaded(first);
    QCOMPARE(Saved(reloaded), first);
    QCOMPARE(reloaded.CentralDirectory.at(1).FileComment, QByteArray("entry comment"));
    QCOMPARE(reloaded.CentralDirectory.at(1).ExternalAttributes, 0x81A40000u);
    QCOMPARE(reloaded.Entries.at(2).ExtraField, zip.Entries.at(2).ExtraField);
}

// The sizes of such an entry are in its central record; the archive saved
// from it needs no data descriptors.
void ZipLoadSaveTest::dataDescriptorReadsThroughDirectory()
{
    TZipFile zip = ThreeEntries();
    QByteArray bytes = Saved(zip);
    // Mark the first entry as one with a data descriptor and zero sizes.
    RecordCodec::Put16(bytes.data() + 6, 0x0008);
    RecordCodec::Put32(bytes.data() + 18, 0);
    RecordCodec::Put32(bytes.data() + 22, 0);
    const TZipFile loaded = Loaded(bytes);
    QVERIFY(loaded.ReadByDirectory());
    QVERIFY(loaded.ReadCompletely());
    QCOMPARE(loaded.Count(), 3);
    QCOMPARE(loaded.GetData(0), QByteArray("a.txt").repeated(50));
    QCOMPARE(loaded.Entries.at(0).Flags, 0);
    QCOMPARE(Saved(loaded), Saved(zip));
}

void ZipLoadSaveTest::centralRecordsPairByOrder_data()
{
    QTest::addColumn<int>("locals");
    QTest::addColumn<int>("centrals");
    QTest::newRow("surplus central records") << 2 << 3;
    QTest::newRow("missing central records") << 3 << 1;
    QTest::newRow("no central records") << 2 << 0;
}

// Local records of one archive followed by the central records of another.
void ZipLoadSaveTest::centralRecordsPairByOrder()
{
    QFETCH(int, locals);
    QFETCH(int, centrals);
    TZipFile localSource;
    TZipFile centralSource;
    for (int i = 0; i < std::max(locals, centrals); ++i) {
        const QByteArray name = "file" + QByteArray::number(i);
        if (i < locals) {
            localSource.AddEntry(name, 0);
            localSource.SetData(i, name);
        }
        if (i < centrals) {
            centralSource.AddEntry(name, 0x20 + quint32(i));
            centralSource.SetData(i, name);
        }
    }
    const QByteArray localBytes = Saved(localSource);
    const QByteArray centralBytes = Saved(centralSource);
    const qsizetype localEnd = Word(localBytes, localBytes.size() - 6);
    const qsizetype centralStart = Word(centralBytes, centralBytes.size() - 6);
    const TZipFile zip = Loaded(localBytes.left(localEnd) + centralBytes.mid(centralStart));
    QCOMPARE(zip.Count(), locals);
    QCOMPARE(zip.CentralDirectory.size(), locals);
    QVERIFY(!zip.ReadCompletely());
    for (int i = 0; i < locals; ++i) {
        const bool matched = i < centrals;
        QCOMPARE(zip.CentralDirectory.at(i).Signature, matched ? FileHeaderSignature : 0u);
        QCOMPARE(zip.CentralDirectory.at(i).ExternalAttributes, matched ? 0x20u + quint32(i) : 0u);
    }
    // Without central records the word after the local records is the end
    // record's signature; it is read as the one extra try and then missed.
    QCOMPARE(zip.EndRecord.Signature, centrals > 0 ? EndRecordSignature : 0u);
    QCOMPARE(zip.EndRecord.TotalEntries, centrals > 0 ? centrals : 0);
    // Saved again, every entry has a central record and reads back whole.
    const TZipFile again = Loaded(Saved(zip));
    QCOMPARE(again.Count(), locals);
    for (int i = 0; i < locals; ++i) {
        QCOMPARE(again.CentralDirectory.at(i).FileName, again.GetName(i));
        QCOMPARE(again.GetData(i), again.GetName(i));
    }
}

void ZipLoadSaveTest::recordCutShortKeepsZeroes()
{
    TZipFile source;
    source.AddEntry("cut.txt", 0);
    source.SetData(0, TestUtil::RandomBytes(5000, 3));
    const QByteArray bytes = Saved(source);
    for (const int keep : {34, 40, 100, 3000}) {
        const TZipFile zip = Loaded(bytes.left(keep));
        QCOMPARE(zip.Count(), 1);
        const TLocalFile& entry = zip.Entries.at(0);
        QCOMPARE(entry.FileName.size(), int(entry.FileNameLength));
        QCOMPARE(entry.FileName, QByteArray("cut.txt").left(keep - 30).leftJustified(7, '\0'));
        QVERIFY(entry.CompressedData.size() < qsizetype(entry.CompressedSize));
        QVERIFY_THROWS_EXCEPTION(Exception, zip.GetData(0));
        // Saved again, the missing tail is written as zero bytes.
        const QByteArray again = Saved(zip);
        const qsizetype dataStart = 30 + 7;
        QCOMPARE(again.mid(dataStart + entry.CompressedData.size(),
                           entry.CompressedSize - entry.CompressedData.size()),
                 QByteArray(entry.CompressedSize - entry.CompressedData.size(), '\0'));
    }
}

// Offsets are stream positions: saving after other bytes counts them in, and
// stale values in memory are never written.
void ZipLoadSaveTest::offsetsCountFromTheStreamPosition()
{
    TZipFile zip = ThreeEntries();
    zip.CentralDirectory[0].LocalHeaderOffset = 12345;
    zip.EndRecord.CentralDirOffset = 999;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    buffer.write(QByteArray(16, 'p'));
    zip.SaveToStream(buffer);
    const TZipFile reloaded = Loaded(buffer.data());
    QCOMPARE(reloaded.Count(), 3);
    QCOMPARE(reloaded.CentralDirectory.at(0).LocalHeaderOffset, 16u);
    QCOMPARE(reloaded.EndRecord.CentralDirOffset,
             quint32(Saved(zip).size() - 22 - (reloaded.EndRecord.CentralDirSize) + 16));
}

// A load keeps the archive's bytes once; names and data are slices of them
// that stay valid after the archive object is gone, and change only as
// copies of their own.
void ZipLoadSaveTest::fieldsOutliveTheirArchive()
{
    QList<QByteArray> names;
    QList<QByteArray> data;
    QByteArray stored;
    {
        TZipFile zip = Loaded(Saved(ThreeEntries()));
        for (const TLocalFile& entry : std::as_const(zip.Entries)) {
            names.append(entry.FileName);
            data.append(entry.CompressedData);
        }
        TLocalFile& entry = zip.Entries[2];
        entry.CompressionMethod = 0;
        entry.UncompressedSize = 4;
        entry.Crc32 = ComputeCrc32(entry.CompressedData.constData(), 4);
        stored = zip.GetData(2);
    }
    QCOMPARE(names, QList<QByteArray>({"a.txt", "docs\\b.txt", "c.bin"}));
    names[0].append("-changed");
    names[1][0] = 'D';
    QCOMPARE(names, QList<QByteArray>({"a.txt-changed", "Docs\\b.txt", "c.bin"}));
    QCOMPARE(data[2].left(4), stored);
    QCOMPARE(stored.constData()[stored.size()], '\0'); // a byte array of its own
    const TZipFile again = Loaded(Saved(ThreeEntries()));
    for (int i = 0; i < again.Count(); ++i)
        QCOMPARE(data.at(i), again.Entries.at(i).CompressedData);
}

QZ_REGISTER_TEST(ZipLoadSaveTest);
#include "ZipLoadSaveTest.moc"
