#include <QTest>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "FileStamps.h"
#include "TestRegistry.h"
#include "TestUtil.h"

class FileStampsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsWhatTheFileSystemTells();
};

// Files of several folders, out of folder order, on several threads: each
// stamp is the file's own; links count as what they point to, and anything
// but a regular file has no stamp.
void FileStampsTest::readsWhatTheFileSystemTells()
{
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    QStringList paths;
    for (int i = 0; i < 1200; ++i) {
        const QString path = root + QStringLiteral("d%1/f%2").arg(i % 7).arg(i);
        QDir().mkpath(QFileInfo(path).path());
        TestUtil::WriteFile(path, QByteArray(i % 50, 'x'));
        TestUtil::SetModified(path, QDateTime::fromSecsSinceEpoch(1700000000 + i * 61));
        paths.append(path);
    }
    QFile::link(paths.at(5), root + QStringLiteral("link-to-file"));
    QFile::link(root + QStringLiteral("d1"), root + QStringLiteral("link-to-folder"));
    paths << root + QStringLiteral("link-to-file") << root + QStringLiteral("link-to-folder")
          << root + QStringLiteral("d1") << root + QStringLiteral("missing")
          << root + QStringLiteral("d9/missing") << QStringLiteral("relative-missing");
    TFileStamps stamps;
    stamps.Read(paths, 0, paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QFileInfo info(paths.at(i));
        QCOMPARE(stamps.Path(i), QFile::encodeName(paths.at(i)));
        QCOMPARE(stamps.Exists(i), info.isFile());
        if (info.isFile()) {
            QCOMPARE(stamps.Stamp(i).Size, info.size());
            QCOMPARE(stamps.Stamp(i).Modified, info.lastModified().toMSecsSinceEpoch());
        }
    }
    stamps.Read(paths, 1000, 1010);
    QVERIFY(stamps.Holds(1000) && stamps.Holds(1009) && !stamps.Holds(999) && !stamps.Holds(1010));
    QCOMPARE(stamps.Stamp(1003).Size, 1003 % 50);
}

QZ_REGISTER_TEST(FileStampsTest);
#include "FileStampsTest.moc"
