#include <memory>

#include <QTest>

#include "MemIniFile.h"
#include "PathRules.h"
#include "TestRegistry.h"
#include "TestUtil.h"
#include "ZipFile.h"

namespace {
QDateTime Time(int minute)
{
    return QDateTime(QDate(2024, 3, 5), QTime(10, minute), Qt::LocalTime);
}

QStringList Lines(const QByteArray& text)
{
    return QString::fromLocal8Bit(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
} // namespace

// Making, changing and synchronising a project with the command line only,
// on real folders, as a person at a terminal would.
class CliEditTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void newAndRowsBuildTheHandWrittenArchive();
    void showWarnsAboutEachSurprise();
    void editedPlanDeletesOneFileAndOneEntry();
    void planAppliedAfterAChangeSkipsThatRow();
    void jsonHoldsTheRowsOfTheText();
    void failures_data();
    void failures();

private:
    QString Path(const QString& name) const { return m_dir->Path(name); }
    void WriteAt(const QString& name, const QByteArray& bytes, const QDateTime& time) const
    {
        m_dir->Write(name, bytes);
        TestUtil::SetModified(Path(name), time);
    }
    int Run(const QStringList& arguments);
    // Archive built, then: change.txt changed, gone.txt deleted, new.txt created.
    void BuildAndChange();
    // The plan file with each given operation put in place of the proposed
    // one (by file or entry name); rows named with an empty operation are deleted.
    void EditPlan(const QString& plan, const QHash<QString, QString>& operations) const;
    QMap<QString, QByteArray> Entries(const QString& archive) const;
    // Lines a Python expression over the JSON document `d` gives.
    QStringList PythonLines(const QByteArray& json, const QString& expression) const;

    std::unique_ptr<TestUtil::TempTree> m_dir;
    QByteArray m_out;
    QByteArray m_err;
};

void CliEditTest::init()
{
    m_dir = std::make_unique<TestUtil::TempTree>();
    WriteAt("work/files/keep.txt", "keep", Time(1));
    WriteAt("work/files/change.txt", "change v1", Time(1));
    WriteAt("work/files/gone.txt", "gone", Time(1));
    WriteAt("work/files/skip.doc", "not selected", Time(1));
    WriteAt("work/My Files/m.txt", "blank in the folder name", Time(1));
    WriteAt("work/notes.md", "a single file", Time(1));
}

int CliEditTest::Run(const QStringList& arguments)
{
    m_out.clear();
    m_err.clear();
    return TestUtil::Run(TestUtil::QorZipExecutable(), arguments, &m_out, &m_err, m_dir->path());
}

void CliEditTest::BuildAndChange()
{
    QCOMPARE(Run({"new", "work/p.qrz", "--rel-dir", "work", "--archive", "a.zip", "--row",
                  "work/files", "--filter", "*.txt"}),
             0);
    // The first build saves the project (its filter text changes); the
    // second archives the saved project, so only the files differ below.
    QCOMPARE(Run({"zip", "work/p.qrz"}), 0);
    QCOMPARE(Run({"zip", "work/p.qrz"}), 0);
    WriteAt("work/files/change.txt", "change v2", Time(5));
    QFile::remove(Path("work/files/gone.txt"));
    WriteAt("work/files/new.txt", "new", Time(5));
}

void CliEditTest::EditPlan(const QString& plan, const QHash<QString, QString>& operations) const
{
    QStringList kept;
    for (const QString& line : Lines(TestUtil::ReadFile(Path(plan)))) {
        QStringList fields = line.split(QLatin1Char('\t'));
        const QString name = fields.value(1).isEmpty() ? fields.value(4) : fields.value(1);
        if (!operations.contains(name)) {
            kept.append(line);
        } else if (!operations.value(name).isEmpty()) {
            fields[0] = operations.value(name);
            kept.append(fields.join(QLatin1Char('\t')));
        }
    }
    m_dir->Write(plan, (kept.join(QLatin1Char('\n')) + QLatin1Char('\n')).toLocal8Bit());
}

QMap<QString, QByteArray> CliEditTest::Entries(const QString& archive) const
{
    TZipFile zip;
    zip.LoadFromFile(Path(archive));
    QMap<QString, QByteArray> entries;
    for (int i = 0; i < zip.Count(); ++i)
        entries.insert(QString::fromLocal8Bit(zip.GetName(i)), zip.GetData(i));
    return entries;
}

QStringList CliEditTest::PythonLines(const QByteArray& json, const QString& expression) const
{
    m_dir->Write("doc.json", json);
    QByteArray out;
    const int code = TestUtil::Run(
        "python3",
        {"-c",
         "import json,sys\nd=json.load(open(sys.argv[1]))\nprint('\\n'.join(" + expression + "))",
         Path("doc.json")},
        &out);
    return code == 0 ? Lines(out) : QStringList{"python3 failed"};
}

void CliEditTest::newAndRowsBuildTheHandWrittenArchive()
{
    m_dir->Write("work/hand.qrz", QStringLiteral("[Files]\nRelDir=%1\n[ZipCommands]\n"
                                                 "Row[0]=Directory,Filter\nRow[1]=files\\,*.txt\n"
                                                 "Row[2]='My Files',*.txt\nRow[3]=notes.md,\n")
                                      .arg(PathRules::WithTrailingSeparator(Path("work")))
                                      .toLocal8Bit());
    QCOMPARE(Run({"new", "work/made.qrz", "--rel-dir", "work", "--row", "work/files", "--filter",
                  "*.doc", "--row", "work/notes.md"}),
             0);
    QCOMPARE(Run({"rows", "work/made.qrz", "--set", "1", "--filter", "*.txt"}), 0);
    QCOMPARE(Run({"rows", "work/made.qrz", "--add", "work/My Files", "--filter", "*.txt"}), 0);
    QCOMPARE(Run({"rows", "work/made.qrz", "--add", "work/files"}), 0);
    QCOMPARE(Run({"rows", "work/made.qrz", "--delete", "4"}), 0);
    QCOMPARE(Lines(m_out),
             (QStringList{"1  files     *.txt", "2  notes.md   ", "3  My Files  *.txt"}));
    const TMemIniFile made(Path("work/made.qrz"));
    QCOMPARE(made.ReadString("ZipCommands", "Row[3]", {}), QStringLiteral("'My Files',*.txt"));
    QCOMPARE(made.ReadString(PathRules::ComputerName(), "RelDir", {}),
             PathRules::WithTrailingSeparator(Path("work")));

    QCOMPARE(Run({"zip", "work/hand.qrz", "-o", "hand.zip"}), 0);
    QCOMPARE(Run({"zip", "work/made.qrz", "-o", "made.zip"}), 0);
    QMap<QString, QByteArray> hand = Entries("hand.zip");
    QMap<QString, QByteArray> ours = Entries("made.zip");
    QVERIFY(hand.remove("hand.qrz") && ours.remove("made.qrz"));
    QCOMPARE(ours.keys(), (QStringList{"My Files\\m.txt", "files\\change.txt", "files\\gone.txt",
                                       "files\\keep.txt", "notes.md"}));
    QCOMPARE(ours, hand);
}

void CliEditTest::showWarnsAboutEachSurprise()
{
    m_dir->Write("work/p.qrz", QStringLiteral("[Files]\nRelDir=/no/such/folder/\n"
                                              "LastZipFile=%1\n[ZipCommands]\n"
                                              "Row[0]=Directory,Filter\nRow[1]=files\\,*.none\n"
                                              "Row[2]=missing\\,*.txt\nRow[3]=My Files,*.txt\n"
                                              "Row[4]=notes.md,\nRow[6]=files\\,*.txt\n"
                                              "[FTP]\nHostname=ftp.example.org:2121\n"
                                              "Username=bob\nPassword=secret\n")
                                   .arg(Path("none.zip"))
                                   .toLocal8Bit());
    QCOMPARE(Run({"show", "work/p.qrz", "--rel-dir", "work"}), 0);
    const QString text = QString::fromLocal8Bit(m_out);
    for (const char* expected :
         {"(from --rel-dir)", "/none.zip (missing)", "Sync mode: Add File (add)",
          "Warning: row 1: selects no file", "Warning: row 2: \"", "missing/\" does not exist",
          "Warning: row 3: its text was split at an unquoted blank", "Row[5] is missing",
          "host ftp.example.org:2121, user bob", "4  notes.md          1 files"})
        QVERIFY2(text.contains(QLatin1String(expected)), qPrintable(expected + ("\n" + text)));
    QVERIFY(!text.contains("secret"));
    QVERIFY(!text.contains("row 4:"));
    const QStringList warnings =
        text.split(QLatin1Char('\n')).filter(QRegularExpression("^Warning: "));
    QCOMPARE(Run({"show", "work/p.qrz", "--rel-dir", "work", "--json"}), 0);
    QCOMPARE(PythonLines(m_out, "['Warning: '+w for w in d['warnings']]"), warnings);
    QVERIFY(!m_out.contains("secret"));
}

void CliEditTest::editedPlanDeletesOneFileAndOneEntry()
{
    BuildAndChange();
    const QMap<QString, QByteArray> before = Entries("a.zip");
    QCOMPARE(Run({"sync", "work/p.qrz", "--plan-out", "plan.tsv"}), 0);
    QVERIFY(TestUtil::ReadFile(Path("plan.tsv")).startsWith("# Operation\tFile\t"));
    EditPlan("plan.tsv",
             {{"files/new.txt", "X<"}, {"files\\gone.txt", "x>"}, {"files/change.txt", ""}});
    QCOMPARE(Run({"sync", "work/p.qrz", "--apply", "--plan", "plan.tsv"}), 1);
    QVERIFY2(m_err.contains("--yes"), m_err.constData());
    QCOMPARE(Run({"sync", "work/p.qrz", "--apply", "--plan", "plan.tsv", "--yes"}), 0);
    QVERIFY(!QFile::exists(Path("work/files/new.txt")));
    QMap<QString, QByteArray> expected = before;
    expected.remove("files\\gone.txt");
    QCOMPARE(Entries("a.zip"), expected);
    QCOMPARE(TestUtil::ReadFile(Path("work/files/change.txt")), QByteArray("change v2"));
    QCOMPARE(Run({"sync", "work/p.qrz"}), 0);
    QCOMPARE(Lines(m_out).size(), 1);
    QVERIFY(m_out.startsWith("=>\tfiles/change.txt\t"));
}

void CliEditTest::planAppliedAfterAChangeSkipsThatRow()
{
    BuildAndChange();
    QCOMPARE(Run({"sync", "work/p.qrz", "--plan-out", "plan.tsv"}), 0);
    WriteAt("work/files/new.txt", "new, longer", Time(7));
    QByteArray out;
    const int code = TestUtil::Run(
        "sh", {"-c", TestUtil::QorZipExecutable() + " sync work/p.qrz --apply --plan - < plan.tsv"},
        &out, &m_err, m_dir->path());
    QCOMPARE(code, 1);
    QVERIFY2(m_err.contains("Skipped files/new.txt: it changed since the plan (file time, file "
                            "size)"),
             m_err.constData());
    const QMap<QString, QByteArray> entries = Entries("a.zip");
    QVERIFY(!entries.contains("files\\new.txt"));
    QCOMPARE(entries.value("files\\change.txt"), QByteArray("change v2"));
    QCOMPARE(TestUtil::ReadFile(Path("work/files/gone.txt")), QByteArray("gone"));
}

void CliEditTest::jsonHoldsTheRowsOfTheText()
{
    BuildAndChange();
    QCOMPARE(Run({"sync", "work/p.qrz"}), 0);
    QStringList text;
    for (const QString& line : Lines(m_out)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        text.append(QStringList{fields[0], fields[1], fields[3], fields[4], fields[6]}.join('|'));
    }
    QCOMPARE(text.size(), 3);
    QCOMPARE(Run({"sync", "work/p.qrz", "--json"}), 0);
    QCOMPARE(PythonLines(m_out, "['|'.join('' if r[k] is None else str(r[k]) for k in "
                                "('operation','file','fileSize','entry','entrySize')) "
                                "for r in d['rows']]"),
             text);

    QCOMPARE(Run({"list", "a.zip", "--tsv"}), 0);
    const QStringList listed = Lines(m_out);
    QCOMPARE(Run({"list", "a.zip", "--json"}), 0);
    QCOMPARE(PythonLines(m_out, "['\\t'.join(str(e[k]) for k in "
                                "('name','size','compressedSize','modified')) "
                                "for e in d['entries']]"),
             listed);

    QCOMPARE(Run({"show", "work/p.qrz"}), 0);
    QStringList rows = Lines(m_out).filter(QRegularExpression("^  \\d"));
    for (QString& row : rows)
        row = row.simplified();
    QCOMPARE(Run({"show", "work/p.qrz", "--json"}), 0);
    QCOMPARE(PythonLines(m_out, "[' '.join(('%d %s %s %d files' % (r['number'], r['directory'], "
                                "r['filter'], r['files'])).split()) for r in d['rows']]"),
             rows);
}

void CliEditTest::failures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("new without rel-dir") << QStringList{"new", "x.qrz"} << 2 << "--rel-dir";
    QTest::newRow("new over a project")
        << QStringList{"new", "work/notes.md", "--rel-dir", "work"} << 1 << "--yes";
    QTest::newRow("row that names nothing")
        << QStringList{"new", "x.qrz", "--rel-dir", "work", "--row", "nothing"} << 1
        << "No such file or folder";
    QTest::newRow("filter for a file")
        << QStringList{"new",   "x.qrz",         "--rel-dir", "work",
                       "--row", "work/notes.md", "--filter",  "*.txt"}
        << 2 << "belongs to a folder row";
    QTest::newRow("filter before its row")
        << QStringList{"new", "x.qrz", "--rel-dir", "work", "--filter", "*.txt"} << 2
        << "follows the --row";
    QTest::newRow("no such row") << QStringList{"rows", "work/p.qrz", "--delete", "9"} << 2
                                 << "no row 9";
    QTest::newRow("plan without apply")
        << QStringList{"sync", "work/p.qrz", "--plan", "plan.tsv"} << 2 << "--plan needs --apply";
    QTest::newRow("unknown symbol in the plan")
        << QStringList{"sync", "work/p.qrz", "--apply", "--plan", "bad.tsv"} << 1
        << "Plan line 2: \"X\" is none of";
    QTest::newRow("plan of another archive")
        << QStringList{"sync", "work/p.qrz", "--apply", "--plan", "other.tsv"} << 1
        << "The plan was made for the archive";
}

void CliEditTest::failures()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    BuildAndChange();
    m_dir->Write("bad.tsv", "# Operation\tArchive: " + Path("a.zip").toLocal8Bit() +
                                "\nX\tfiles/new.txt\t\t\t\t\t\n");
    m_dir->Write("other.tsv", "# Operation\tArchive: /elsewhere.zip\n");
    QCOMPARE(Run(arguments), exitCode);
    QVERIFY2(QString::fromLocal8Bit(m_err).contains(message), m_err.constData());
    QVERIFY(!QFile::exists(Path("x.qrz")));
    QCOMPARE(TestUtil::ReadFile(Path("work/notes.md")), QByteArray("a single file"));
}

QZ_REGISTER_TEST(CliEditTest);
#include "CliEditTest.moc"
