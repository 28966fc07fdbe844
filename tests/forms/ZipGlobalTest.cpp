#include <thread>

#include <QPixmap>
#include <QTest>
#include <QTimer>

#include "TestRegistry.h"
#include "ZipGlobal.h"

namespace {
// An icon lookup that counts its calls and fails for the extensions it is told.
struct ScriptedLookup {
    QStringList Calls;
    QStringList Failing;

    TZipGlobal::TIconLookup Function()
    {
        return [this](const QString&, const QString& extension) {
            Calls.append(extension);
            if (Failing.contains(extension))
                return QIcon();
            QPixmap pixmap(16, 16);
            pixmap.fill(QColor::fromRgb(qHash(extension) & 0xFFFFFF));
            return QIcon(pixmap);
        };
    }
};
} // namespace

class ZipGlobalTest : public QObject {
    Q_OBJECT

private slots:
    void extension_data();
    void extension();
    void pseudoExtensionsComeFirst();
    void cacheComparesWithoutCase();
    void namesWithoutExtension_data();
    void namesWithoutExtension();
    void failuresAreNotCached();
    void failedPseudoExtensionsGiveIndexZero();
    void platformLookupGivesSmallIcons();
    void idleHookRunsPendingEventsOnTheMainThreadOnly();
};

void ZipGlobalTest::extension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");
    QTest::newRow("plain") << "a.txt"
                           << ".txt";
    QTest::newRow("last dot") << "archive.tar.gz"
                              << ".gz";
    QTest::newRow("none") << "readme"
                          << "";
    QTest::newRow("dot in folder, backslash") << "dir.d\\readme"
                                              << "";
    QTest::newRow("dot in folder, slash") << "dir.d/readme"
                                          << "";
    QTest::newRow("drive colon") << "C:.x"
                                 << ".x";
    QTest::newRow("dot after colon only") << "a.b:c"
                                          << "";
    QTest::newRow("trailing dot") << "name."
                                  << ".";
    QTest::newRow("hidden file") << "sub\\.profile"
                                 << ".profile";
    QTest::newRow("pseudo") << ".0"
                            << ".0";
}

void ZipGlobalTest::extension()
{
    QFETCH(QString, name);
    QFETCH(QString, extension);
    QCOMPARE(TZipGlobal::ExtensionOf(name), extension);
}

void ZipGlobalTest::pseudoExtensionsComeFirst()
{
    ScriptedLookup lookup;
    TZipGlobal global(lookup.Function());
    QCOMPARE(lookup.Calls, QStringList({".0", ".1"}));
    QCOMPARE(global.FolderImageIndex(), 0);
    QCOMPARE(global.FileImageIndex(), 1);
    QCOMPARE(global.imExtensions().size(), 2);
    QCOMPARE(global.ImageIndexOf(QStringLiteral("x.0"), -1), 0);
    QCOMPARE(global.ImageIndexOf(QStringLiteral("x.1"), -1), 1);
    QCOMPARE(lookup.Calls.size(), 2);
}

void ZipGlobalTest::cacheComparesWithoutCase()
{
    ScriptedLookup lookup;
    TZipGlobal global(lookup.Function());
    const int upper = global.ImageIndexOf(QStringLiteral("a.TXT"), -1);
    const int lower = global.ImageIndexOf(QStringLiteral("dir\\b.txt"), -1);
    const int other = global.ImageIndexOf(QStringLiteral("c.Zip"), -1);
    QCOMPARE(upper, 2);
    QCOMPARE(lower, upper);
    QCOMPARE(other, 3);
    QCOMPARE(lookup.Calls, QStringList({".0", ".1", ".TXT", ".ZIP"}));
    QCOMPARE(global.imExtensions().size(), 4);
}

// A name without extension: the default when one is given (the remote
// browser), else the folder icon (a tree node).
void ZipGlobalTest::namesWithoutExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("defaultIndex");
    QTest::addColumn<int>("expected");
    QTest::newRow("default kept") << "readme" << 5 << 5;
    QTest::newRow("default 1 for a file") << "readme" << 1 << 1;
    QTest::newRow("tree node docs") << "docs" << -1 << 0;
    QTest::newRow("extension beats default") << "a.1" << 5 << 1;
}

void ZipGlobalTest::namesWithoutExtension()
{
    QFETCH(QString, name);
    QFETCH(int, defaultIndex);
    QFETCH(int, expected);
    ScriptedLookup lookup;
    TZipGlobal global(lookup.Function());
    const int cachedBefore = global.CachedExtensions();
    QCOMPARE(global.ImageIndexOf(name, defaultIndex), expected);
    QCOMPARE(global.imExtensions().size(), 2);
    if (defaultIndex != -1)
        QCOMPARE(global.CachedExtensions(), cachedBefore);
}

void ZipGlobalTest::failuresAreNotCached()
{
    ScriptedLookup lookup;
    lookup.Failing = {QStringLiteral(".BAD")};
    TZipGlobal global(lookup.Function());
    QCOMPARE(global.ImageIndexOf(QStringLiteral("x.bad"), -1), 0);
    QCOMPARE(global.ImageIndexOf(QStringLiteral("y.BAD"), -1), 0);
    QCOMPARE(lookup.Calls.count(QStringLiteral(".BAD")), 2);
    QCOMPARE(global.imExtensions().size(), 2);

    lookup.Failing.clear(); // the next request tries again and now succeeds
    QCOMPARE(global.ImageIndexOf(QStringLiteral("z.bad"), -1), 2);
    QCOMPARE(global.ImageIndexOf(QStringLiteral("w.Bad"), -1), 2);
    QCOMPARE(lookup.Calls.count(QStringLiteral(".BAD")), 3);
}

void ZipGlobalTest::failedPseudoExtensionsGiveIndexZero()
{
    ScriptedLookup lookup;
    lookup.Failing = {QStringLiteral(".0")};
    TZipGlobal global(lookup.Function());
    QCOMPARE(global.FolderImageIndex(), 0);
    QCOMPARE(global.FileImageIndex(), 0); // the file icon took the first slot
    QCOMPARE(global.imExtensions().size(), 1);
}

void ZipGlobalTest::platformLookupGivesSmallIcons()
{
    TZipGlobal global;
    QCOMPARE(global.FolderImageIndex(), 0);
    QCOMPARE(global.FileImageIndex(), 1);
    const int text = global.ImageIndexOf(QStringLiteral("notes.txt"), -1);
    QCOMPARE(global.ImageIndexOf(QStringLiteral("NOTES.TXT"), -1), text);
    // An extension no one knows gets the plain file icon, cached under it.
    const int unknown = global.ImageIndexOf(QStringLiteral("data.qzunknownext"), -1);
    QVERIFY(unknown >= 2);
    QCOMPARE(global.ImageIndexOf(QStringLiteral("more.QZUNKNOWNEXT"), -1), unknown);
    QCOMPARE(global.ImageIndexOf(QStringLiteral("docs"), -1), global.FolderImageIndex());
    for (const QIcon& icon : global.imExtensions())
        QVERIFY(!icon.pixmap(16, 16).isNull());
}

void ZipGlobalTest::idleHookRunsPendingEventsOnTheMainThreadOnly()
{
    TZipGlobal global;
    TAntiFreeze& antiFreeze = global.AntiFreeze1();
    QVERIFY(antiFreeze.Active());
    QVERIFY(!antiFreeze.OnlyWhenIdle());
    QCOMPARE(antiFreeze.IdleTimeOut(), 250);

    bool ran = false;
    QTimer::singleShot(0, &global, [&ran] { ran = true; });
    antiFreeze.IdleHook()();
    QVERIFY(ran);

    bool fromThread = true;
    std::thread worker([&] { fromThread = antiFreeze.DoIdle(); });
    worker.join();
    QVERIFY(!fromThread);

    antiFreeze.SetActive(false);
    QVERIFY(!antiFreeze.DoIdle());
}

QZ_REGISTER_TEST(ZipGlobalTest);
#include "ZipGlobalTest.moc"
