#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "Exception.h"
#include "FakeUserInterface.h"
#include "FileList.h"
#include "FileListBuilder.h"
#include "PathRules.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipProject.h"

class FileListBuilderTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void masks_data();
    void masks();
    void ninthStarFails();
    void foldersBreadthFirst();
    void emptyFilterContributesNothing();
    void sameFileListedOnce();
    void missingRowsAreReported();
    void hiddenFilesAreListed();
    void projectFileOnceAtTheEnd_data();
    void projectFileOnceAtTheEnd();
    void filterTextEndsAsLastDirectoryRow();
    void namesDifferingInCaseAreTwoFiles();
    void linkedFolderLoopEnds();
    void walkGivesCleanPathsInNameOrder();
    void progressMaximumDoubles();

private:
    void Touch(const QString& name) const { m_dir->Write(name, "x"); }
    QStringList Build(const QList<TZipCommand>& commands);
    QStringList Names(const QStringList& paths) const;

    std::unique_ptr<TestUtil::TempTree> m_dir;
    FakeUserInterface m_ui;
    std::unique_ptr<TZipProject> m_project;
};

void FileListBuilderTest::init()
{
    m_dir = std::make_unique<TestUtil::TempTree>();
    m_ui = FakeUserInterface();
    m_project = std::make_unique<TZipProject>(m_ui);
    m_project->SetRelDir(PathRules::WithTrailingSeparator(QDir::toNativeSeparators(m_dir->path())));
    m_project->SetCFGFileName(m_dir->Path("p.qrz"));
    Touch(QStringLiteral("p.qrz"));
}

QStringList FileListBuilderTest::Build(const QList<TZipCommand>& commands)
{
    m_project->SetCommands(commands);
    TFileList list;
    BuildFileList(*m_project, m_ui, list);
    return list.Paths();
}

// The paths relative to the test folder, with '/' for easy reading.
QStringList FileListBuilderTest::Names(const QStringList& paths) const
{
    QStringList names;
    for (const QString& path : paths)
        names.append(QDir(m_dir->path()).relativeFilePath(path));
    return names;
}

void FileListBuilderTest::masks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("matches");
    QTest::newRow("*.* needs a dot") << "Makefile"
                                     << "*.*" << false;
    QTest::newRow("* matches all") << "Makefile"
                                   << "*" << true;
    QTest::newRow("letter case") << "Main.CPP"
                                 << "*.cpp;*.hpp;" << true;
    QTest::newRow("second mask") << "x.hpp"
                                 << "*.cpp; *.hpp ;" << true;
    QTest::newRow("empty filter") << "a.txt"
                                  << "" << false;
    QTest::newRow("only separators") << "a.txt"
                                     << " ; ;" << false;
    QTest::newRow("? is one character") << "abc"
                                        << "a?c" << true;
    QTest::newRow("? is not none") << "ac"
                                   << "a?c" << false;
    QTest::newRow("* may be empty") << "ab"
                                    << "a*b" << true;
    QTest::newRow("star needs backtracking") << "aXbYb.txt"
                                             << "a*b.txt" << true;
    QTest::newRow("trailing text must end the name") << "a.txt.bak"
                                                     << "*.txt" << false;
    QTest::newRow("eight stars allowed") << "abcdefgh"
                                         << "*a*b*c*d*e*f*g*h" << true;
}

void FileListBuilderTest::masks()
{
    QFETCH(QString, name);
    QFETCH(QString, filter);
    QFETCH(bool, matches);
    QCOMPARE(FileMatchesFilter(name, filter), matches);
}

void FileListBuilderTest::ninthStarFails()
{
    try {
        FileMatchesFilter(QStringLiteral("abcdefghi"), QStringLiteral("*a*b*c*d*e*f*g*h*i"));
        QFAIL("a ninth star was accepted");
    } catch (const Exception& error) {
        QCOMPARE(error.Message(), QStringLiteral("CompareWildString(*A*B*C*D*E*F*G*H*I, ABCDEFGHI)"
                                                 "\r\ntoo many levels of '*'"));
    }
}

void FileListBuilderTest::foldersBreadthFirst()
{
    Touch(QStringLiteral("a/b/y.TXT"));
    Touch(QStringLiteral("a/x.txt"));
    Touch(QStringLiteral("a/z.doc"));
    Touch(QStringLiteral("a/b/c/w.txt"));
    Touch(QStringLiteral("a/v.txt"));
    const QStringList names = Names(Build({{QStringLiteral("a"), QStringLiteral("*.txt")}}));
    QCOMPARE(names, (QStringList{"a/v.txt", "a/x.txt", "a/b/y.TXT", "a/b/c/w.txt", "p.qrz"}));
}

void FileListBuilderTest::emptyFilterContributesNothing()
{
    Touch(QStringLiteral("a/x.txt"));
    QCOMPARE(Names(Build({{QStringLiteral("a"), QString()}})), QStringList{"p.qrz"});
    QVERIFY(m_ui.Messages.isEmpty());
}

void FileListBuilderTest::sameFileListedOnce()
{
    Touch(QStringLiteral("a/x.txt"));
    const QString absolute = m_dir->Path("a/x.txt");
    const QStringList names =
        Names(Build({{QStringLiteral("a"), QStringLiteral("*.txt")},
                     {absolute, QString()},
                     {QDir::toNativeSeparators(QStringLiteral("a/../a/x.txt")), QString()},
                     {QStringLiteral("a"), QStringLiteral("x.*")}}));
    QCOMPARE(names, (QStringList{"a/x.txt", "p.qrz"}));
}

void FileListBuilderTest::missingRowsAreReported()
{
    Touch(QStringLiteral("here.txt"));
    const QStringList names = Names(Build({{QStringLiteral("gone.txt"), QStringLiteral(" ")},
                                           {QStringLiteral("nodir"), QStringLiteral("*.txt")},
                                           {QStringLiteral("   "), QStringLiteral("*.txt")},
                                           {QStringLiteral("here.txt"), QString()}}));
    QCOMPARE(names, (QStringList{"here.txt", "p.qrz"}));
    QCOMPARE(m_ui.Messages,
             (QStringList{
                 QStringLiteral("File:\r\n%1 \r\ndoes not exists.\r\nFile is skipped.")
                     .arg(m_dir->Path("gone.txt")),
                 QStringLiteral("Directory:\r\n%1 \r\ndoes not exists.\r\nDirectory is skipped.")
                     .arg(m_dir->Path("nodir"))}));
}

void FileListBuilderTest::hiddenFilesAreListed()
{
    Touch(QStringLiteral("d/.hidden.txt"));
    Touch(QStringLiteral("d/.cache/inner.txt"));
    QCOMPARE(Names(Build({{QStringLiteral("d"), QStringLiteral("*.txt")}})),
             (QStringList{"d/.hidden.txt", "d/.cache/inner.txt", "p.qrz"}));
}

void FileListBuilderTest::projectFileOnceAtTheEnd_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("not covered") << "*.txt" << QStringList{"a.txt", "p.qrz"};
    QTest::newRow("covered by the row") << "*.*" << QStringList{"a.txt", "p.qrz"};
}

void FileListBuilderTest::projectFileOnceAtTheEnd()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    Touch(QStringLiteral("a.txt"));
    QCOMPARE(Names(Build({{QStringLiteral(" "), filter}, {QStringLiteral("."), filter}})),
             expected);
}

void FileListBuilderTest::filterTextEndsAsLastDirectoryRow()
{
    Touch(QStringLiteral("one/a.txt"));
    Touch(QStringLiteral("two/b.doc"));
    Touch(QStringLiteral("file.txt"));
    Build({{QStringLiteral("one"), QStringLiteral("*.txt")},
           {QStringLiteral("two"), QStringLiteral("*.doc")},
           {QStringLiteral("file.txt"), QStringLiteral("ignored")}});
    QCOMPARE(m_project->FilterText(), QStringLiteral("*.doc"));
}

// On a system whose file names tell letter case apart, a.txt and A.txt are two
// files and both belong into the archive.
void FileListBuilderTest::namesDifferingInCaseAreTwoFiles()
{
    if (PathRules::FileNameCase() == Qt::CaseInsensitive)
        QSKIP("file names ignore letter case here");
    Touch(QStringLiteral("c/a.txt"));
    Touch(QStringLiteral("c/A.txt"));
    QCOMPARE(Names(Build({{QStringLiteral("c"), QStringLiteral("*.txt")}})).size(), 3);
}

void FileListBuilderTest::linkedFolderLoopEnds()
{
    Touch(QStringLiteral("loop/a.txt"));
    if (!QFile::link(m_dir->filePath(QStringLiteral("loop")),
                     m_dir->filePath(QStringLiteral("loop/back"))))
        QSKIP("no symbolic links here");
    QCOMPARE(Names(Build({{QStringLiteral("loop"), QStringLiteral("*")}})),
             (QStringList{"loop/a.txt", "p.qrz"}));
}

// Names sort by UTF-16 code (capitals before '_' before small letters); a
// row reaching the folder by "." and ".." still lists clean paths, and a link
// to a file counts as a file.
void FileListBuilderTest::walkGivesCleanPathsInNameOrder()
{
    Touch(QStringLiteral("s/a.txt"));
    Touch(QStringLiteral("s/_x.txt"));
    Touch(QStringLiteral("s/B.txt"));
    Touch(QStringLiteral("s/sub/c.txt"));
    const bool linked = QFile::link(m_dir->filePath(QStringLiteral("s/a.txt")),
                                    m_dir->filePath(QStringLiteral("s/link.txt")));
    QStringList expected{m_dir->Path("s/B.txt"), m_dir->Path("s/_x.txt"), m_dir->Path("s/a.txt")};
    if (linked)
        expected.append(m_dir->Path("s/link.txt"));
    expected << m_dir->Path("s/sub/c.txt") << m_dir->Path("p.qrz");
    const QString row = QDir::toNativeSeparators(QStringLiteral("./s/../s/./"));
    QCOMPARE(Build({{row, QStringLiteral("*")}}), expected);
}

void FileListBuilderTest::progressMaximumDoubles()
{
    for (int i = 0; i < 5; ++i)
        Touch(QStringLiteral("five/%1.txt").arg(i));
    m_ui.SetProgressMaximum(3);
    m_ui.SetProgressPosition(0);
    Build({{QStringLiteral("five"), QStringLiteral("*.txt")}});
    QCOMPARE(m_ui.ProgressPosition(), 5);
    QCOMPARE(m_ui.ProgressMaximum(), 24);
    QCOMPARE(m_ui.ProgressText, QStringLiteral("4.txt"));
    QVERIFY(m_ui.ProgressTitle.startsWith(QStringLiteral("Building List : ")));
}

QZ_REGISTER_TEST(FileListBuilderTest);
#include "FileListBuilderTest.moc"
