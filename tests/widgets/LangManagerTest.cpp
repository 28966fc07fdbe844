#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "FakeUserInterface.h"
#include "LangComponent.h"
#include "LangManager.h"
#include "LangManagerTestForm.h"
#include "PanelButton.h"
#include "TestRegistry.h"

namespace {
const QString AppTitle = QStringLiteral("QorZipTest");

// A German translation of the test form, with the quirks a file may hold.
const char* const GermanForm = R"([FrmLangTest]
.Caption="Testformular"
.Hint="Formular/r/nHinweis"
lbName.Caption="  Name: "
lbName.hint=
bnOk.Caption="Schließen"
bnOk.Hint="Schließt/r/ndas Fenster"
cbAll.Caption=""""
gbOptions.Caption="Optionen"
gbOptions.rbFirst.Caption="Erste"
lbFixed.Caption="Fest"
lbInner.Caption="Innen"
lbItems.List[0]="eins"
lbItems.List[1]="zwei"
lbItems.List[2]="drei"
cbMode.List[0]="schnell"
cbMode.List[1]="langsam"
edPath.Caption="D:\Daten"
meNotes.Hint="Notizen"
meNotes.List[0]="Zeile 1"
sgTable.Hint="Tabelle"
MainMenu1.Menu[0]="&Datei"
MainMenu1.Menu[1]="&Bearbeiten ""neu"""
acOpen.Caption="Ö&ffnen"
pcPages.tsFirst.Caption="Erste Seite"
pbState.List[0]=""Rot",0"
pbState.List[1]=""Grün",1"
)";

QString TitleSection(const QString& language, const QString& common)
{
    return QStringLiteral("[%1]\nLanguage=\"%2\"\nCreated=\"1.1.2024\"\nModified=\"2.1.2024\"\n"
                          "Version=\"1.2\"\nCommonLanguageFile=\"%3\"\n\n")
        .arg(AppTitle, language, common);
}

// A folder with German and French language files, their common files and a
// language file of another program.
struct LanguageFolder {
    QTemporaryDir Dir;

    LanguageFolder()
    {
        LangTestFiles::WriteUtf16(Path("German.lan"),
                                  TitleSection("Deutsch", "Common.lad") + GermanForm);
        LangTestFiles::WriteUtf16(Path("Common.lad"), "[Common]\nLanguage=\"Deutsch\"\n[FrmAbout]\n"
                                                      "SVersion=\"Version/r/n%s\"\n");
        LangTestFiles::WriteUtf8(Path("French.lan"), TitleSection("Français", "Common.laf") +
                                                         "[FrmLangTest]\nbnOk.Caption=\"Fermer\"\n"
                                                         "[FrmOther]\nbnOk.Caption=\"Autre\"\n");
        LangTestFiles::WriteUtf8(Path("Common.laf"), "[FrmAbout]\nSVersion=\"Version %s\"\n");
        LangTestFiles::WriteUtf16(Path("Other.lan"), "[OtherProgram]\nLanguage=\"X\"\n");
    }
    QString Path(const QString& name) const { return Dir.filePath(name); }
};

void Configure(TLangManager& manager, FakeUserInterface& ui)
{
    manager.SetApplicationTitle(AppTitle);
    manager.SetUserInterface(&ui);
}
} // namespace

class LangManagerTest : public QObject {
    Q_OBJECT

private slots:
    void stripQuotes_data();
    void stripQuotes();
    void componentPath();
    void withoutLanguageFileNothingChanges();
    void formIsTranslatedFromFile();
    void missingKeysKeepDesignTexts();
    void lookupText_data();
    void lookupText();
    void missingCommonFileIsReported();
    void languageFolderTakesOnlyFoldersWithLanguageFiles();
    void switchingLanguageRereadsEveryLinkedForm();
    void processedFormIsReadOnceWithoutForce();
    void classNamesSelectTheSection();
    void linkingFollowsLifetimes();
};

void LangManagerTest::stripQuotes_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("quoted") << "\"abc\""
                            << "abc";
    QTest::newRow("blanks kept") << "\"  a \""
                                 << "  a ";
    QTest::newRow("two quotes stay") << "\"\""
                                     << "\"\"";
    QTest::newRow("unquoted") << "abc"
                              << "abc";
    QTest::newRow("quote inside") << "\"a\"b\""
                                  << "a\"b";
    QTest::newRow("doubled not reduced") << "\"a\"\"b\""
                                         << "a\"\"b";
    QTest::newRow("no closing quote") << "\"abc"
                                      << "\"abc";
    QTest::newRow("one quote") << "\""
                               << "\"";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("text after last quote dropped") << "\"a\" ;x"
                                                   << "a";
}

void LangManagerTest::stripQuotes()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(TLangManager::StripQuotes(value), expected);
}

void LangManagerTest::componentPath()
{
    TFrmLangTest form;
    const auto path = [&form](const QObject* component) {
        return TLangManager::ComponentPath(form.objectName(), component, &form);
    };
    QCOMPARE(path(&form), QString());
    QCOMPARE(path(form.Child<QPushButton>("bnOk")), QStringLiteral("bnOk"));
    QCOMPARE(path(form.Child<QRadioButton>("rbFirst")), QStringLiteral("gbOptions.rbFirst"));
    QCOMPARE(path(form.Child<QLabel>("lbInner")), QStringLiteral("lbInner"));
    QCOMPARE(path(form.Child<QWidget>("tsFirst")), QStringLiteral("pcPages.tsFirst"));
    QCOMPARE(path(form.Child<QMenu>("mnFile")), QStringLiteral("MainMenu1.mnFile"));
    // With class names the walk stops at the form's class, whatever its parent.
    QWidget owner;
    owner.setObjectName(QStringLiteral("Owner"));
    form.setParent(&owner);
    QCOMPARE(TLangManager::ComponentPath(QStringLiteral("tfrmlangtest"),
                                         form.Child<QRadioButton>("rbFirst"), nullptr),
             QStringLiteral("gbOptions.rbFirst"));
    form.setParent(nullptr);
}

void LangManagerTest::withoutLanguageFileNothingChanges()
{
    QTemporaryDir dir;
    const QString previousDir = QDir::currentPath();
    const auto restore = qScopeGuard([&previousDir] { QDir::setCurrent(previousDir); });
    QDir::setCurrent(dir.path());
    TLangManager manager;
    FakeUserInterface ui;
    Configure(manager, ui);
    TFrmLangTest form;
    manager.TranslateForm(&form, true, false);
    manager.TranslateForm(&form, true, true);
    QString text = QStringLiteral("default");
    manager.LookupText(QStringLiteral("FrmAbout"), QStringLiteral("SVersion"), true, text);
    QCOMPARE(text, QStringLiteral("default"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Test form"));
    QCOMPARE(manager.Language(), QStringLiteral("English"));
    QVERIFY(QDir(dir.path()).isEmpty());
    QVERIFY(ui.Questions.isEmpty());
    QVERIFY(ui.Messages.isEmpty());
}

void LangManagerTest::formIsTranslatedFromFile()
{
    LanguageFolder folder;
    TLangManager manager;
    FakeUserInterface ui;
    Configure(manager, ui);
    manager.SetLanguageFolder(folder.Dir.path());
    TFrmLangTest form;
    manager.SetLanguage(QStringLiteral("deutsch"));
    manager.TranslateForm(&form, true, false);

    QCOMPARE(manager.Language(), QStringLiteral("Deutsch"));
    QCOMPARE(manager.Version(), QStringLiteral("\"1.2\""));
    QCOMPARE(form.windowTitle(), QStringLiteral("Testformular"));
    QCOMPARE(form.toolTip(), QStringLiteral("Formular\nHinweis"));
    QCOMPARE(form.Child<QLabel>("lbName")->text(), QStringLiteral("  Name: "));
    QCOMPARE(form.Child<QLabel>("lbName")->toolTip(), QString()); // present but empty
    QCOMPARE(form.Child<QPushButton>("bnOk")->text(), QStringLiteral("Schließen"));
    QCOMPARE(form.Child<QPushButton>("bnOk")->toolTip(), QStringLiteral("Schließt\ndas Fenster"));
    QCOMPARE(form.Child<QCheckBox>("cbAll")->text(), QStringLiteral("\"\""));
    QCOMPARE(form.Child<QGroupBox>("gbOptions")->title(), QStringLiteral("Optionen"));
    QCOMPARE(form.Child<QRadioButton>("rbFirst")->text(), QStringLiteral("Erste"));
    QCOMPARE(form.Child<QLabel>("lbFixed")->text(), QStringLiteral("Fest")); // Tag 98 is read
    QCOMPARE(form.Child<QLabel>("lbInner")->text(), QStringLiteral("Innen"));
    QCOMPARE(form.Child<QLineEdit>("edPath")->text(), QStringLiteral("D:\\Daten"));
    QCOMPARE(form.Child<QTableWidget>("sgTable")->toolTip(), QStringLiteral("Tabelle"));
    QCOMPARE(form.acOpen->text(), QStringLiteral("Ö&ffnen"));
    QCOMPARE(form.Child<QTabWidget>("pcPages")->tabText(0), QStringLiteral("Erste Seite"));
    QCOMPARE(form.Child<QTabWidget>("pcPages")->tabText(1), QStringLiteral("Second page"));

    const QList<QAction*> menus = form.Child<QMenuBar>("MainMenu1")->actions();
    QCOMPARE(menus[0]->text(), QStringLiteral("&Datei"));
    QCOMPARE(menus[1]->text(), QStringLiteral("&Bearbeiten \"neu\""));
    QCOMPARE(form.Child<QMenu>("mnEdit")->title(), QStringLiteral("&Bearbeiten \"neu\""));

    // Narrow list: exactly the file's items, the selection kept.
    auto* list = form.Child<QListWidget>("lbItems");
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(2)->text(), QStringLiteral("drei"));
    QCOMPARE(list->currentRow(), 1);
    // Wide list: the file's items over the design items, the rest kept.
    auto* combo = form.Child<QComboBox>("cbMode");
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->itemText(1), QStringLiteral("langsam"));
    QCOMPARE(combo->itemText(2), QStringLiteral("safe"));
    QCOMPARE(combo->currentIndex(), 2);
    auto* notes = form.Child<QPlainTextEdit>("meNotes");
    QCOMPARE(notes->toPlainText(), QStringLiteral("Zeile 1\nline 2"));
    QCOMPARE(notes->toolTip(), QStringLiteral("Notizen"));
    auto* state = form.Child<TPanelButton>("pbState");
    QCOMPARE(state->CaptionItems().at(1), QStringLiteral("\"Grün\",1"));
    QCOMPARE(state->State(), 1);
    QCOMPARE(state->text(), QStringLiteral("Grün"));
}

void LangManagerTest::missingKeysKeepDesignTexts()
{
    LanguageFolder folder;
    TLangManager manager;
    FakeUserInterface ui;
    Configure(manager, ui);
    manager.SetLanguageFolder(folder.Dir.path());
    manager.SetLanguage(QStringLiteral("\"Français\""));
    TFrmLangTest form;
    manager.TranslateForm(&form, true, false);
    QCOMPARE(form.Child<QPushButton>("bnOk")->text(), QStringLiteral("Fermer"));
    QCOMPARE(form.Child<QPushButton>("bnOk")->toolTip(), QStringLiteral("Close\nthe window"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Test form"));
    QCOMPARE(form.Child<QListWidget>("lbItems")->count(), 4);
    QCOMPARE(form.Child<QComboBox>("cbMode")->itemText(0), QStringLiteral("fast"));
    QCOMPARE(form.Child<QMenuBar>("MainMenu1")->actions()[0]->text(), QStringLiteral("&File"));
    QCOMPARE(form.Child<QLabel>("lbName")->toolTip(), QStringLiteral("Your name"));
}

void LangManagerTest::lookupText_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("useCommon");
    QTest::addColumn<QString>("expected");
    QTest::newRow("common, line break") << "FrmAbout"
                                        << "SVersion" << true << "Version\n%s";
    QTest::newRow("common, key without case") << "frmabout"
                                              << "sversion" << true << "Version\n%s";
    QTest::newRow("common, missing key") << "FrmAbout"
                                         << "SCopy" << true << "default";
    QTest::newRow("language file") << "FrmLangTest"
                                   << "bnOk.Caption" << false << "Schließen";
    QTest::newRow("language file, missing section") << "Nowhere"
                                                    << "x" << false << "default";
}

void LangManagerTest::lookupText()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, useCommon);
    QFETCH(QString, expected);
    LanguageFolder folder;
    TLangManager manager;
    FakeUserInterface ui;
    Configure(manager, ui);
    manager.SetLanguageFolder(folder.Dir.path());
    manager.SetLanguage(QStringLiteral("Deutsch"));
    QString text = QStringLiteral("default");
    manager.LookupText(section, key, useCommon, text);
    QCOMPARE(text, expected);
    QByteArray narrow("default");
    manager.LookupText(section, key, useCommon, narrow);
    QCOMPARE(QString::fromLocal8Bit(narrow), expected);
}

void LangManagerTest::missingCommonFileIsReported()
{
    LanguageFolder folder;
    QFile::remove(folder.Path("Common.laf"));
    TLangManager manager;
    FakeUserInterface ui;
    Configure(manager, ui);
    manager.SetLanguageFolder(folder.Dir.path());
    manager.SetLanguage(QStringLiteral("Français"));
    QCOMPARE(ui.Messages, QStringList(QStringLiteral("Error reading common language file :\r\n") +
                                      folder.Path("Common.laf")));
    QString text = QStringLiteral("default");
    manager.LookupText(QStringLiteral("FrmAbout"), QStringLiteral("SVersion"), true, text);
    QCOMPARE(text, QStringLiteral("default"));
    QVERIFY(!QFile::exists(folder.Path("Common.laf")));
}

void LangManagerTest::languageFolderTakesOnlyFoldersWithLanguageFiles()
{
    LanguageFolder folder;
    TLangManager manager;
    FakeUserInterface ui;
    Configure(manager, ui);
    manager.SetLanguageFolder(folder.Path("missing"));
    QCOMPARE(manager.LanguageFolder(), QString());

    manager.SetLanguageFolder(folder.Dir.path());
    QCOMPARE(manager.LanguageFolder(), folder.Dir.path() + QLatin1Char('/'));
    QCOMPARE(manager.LanguageFiles(), QStringList({"French.lan", "German.lan"}));
    QCOMPARE(manager.LanguageNames(), QStringList({"\"Français\"", "\"Deutsch\""}));

    QTemporaryDir empty;
    manager.SetLanguageFolder(empty.path());
    QCOMPARE(manager.LanguageFolder(), folder.Dir.path() + QLatin1Char('/'));
    QVERIFY(manager.LanguageFiles().isEmpty());
    QVERIFY(manager.LanguageNames().isEmpty());
}

void LangManagerTest::switchingLanguageRereadsEveryLinkedForm()
{
    LanguageFolder folder;
    TLangManager manager;
    FakeUserInterface ui;
    Configure(manager, ui);
    manager.SetLanguageFolder(folder.Dir.path());
    TFrmLangTest first;
    TFrmLangTest second(QStringLiteral("FrmOther"));
    first.LangComponent1->SetLanManager(&manager);
    second.LangComponent1->SetLanManager(&manager);
    QCoreApplication::processEvents(); // the requests posted by linking
    QSignalSpy before(&manager, &TLangManager::OnBeforeLanguageChanged);
    QSignalSpy changed(first.LangComponent1, &TLangComponent::OnLanguageChanged);

    manager.SetLanguage(QStringLiteral("Français"));
    QCOMPARE(first.Child<QPushButton>("bnOk")->text(), QStringLiteral("Fermer"));
    QCOMPARE(second.Child<QPushButton>("bnOk")->text(), QStringLiteral("Autre"));
    QCOMPARE(before.size(), 1);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(manager.ProcessedForms(), QStringList({"FrmLangTest", "FrmOther"}));

    manager.SetLanguage(QStringLiteral("Deutsch"));
    QCOMPARE(first.Child<QPushButton>("bnOk")->text(), QStringLiteral("Schließen"));
    QCOMPARE(before.size(), 2);

    // The same language again, or one that is not in the list: nothing.
    first.Child<QPushButton>("bnOk")->setText(QStringLiteral("changed"));
    manager.SetLanguage(QStringLiteral("DEUTSCH"));
    manager.SetLanguage(QStringLiteral("Klingon"));
    QCOMPARE(first.Child<QPushButton>("bnOk")->text(), QStringLiteral("changed"));
    QCOMPARE(before.size(), 2);
    QCOMPARE(manager.Language(), QStringLiteral("Deutsch"));
}

void LangManagerTest::processedFormIsReadOnceWithoutForce()
{
    LanguageFolder folder;
    TLangManager manager;
    FakeUserInterface ui;
    Configure(manager, ui);
    manager.SetAppFileName(folder.Path("German.lan"));
    TFrmLangTest form;
    auto* ok = form.Child<QPushButton>("bnOk");
    manager.TranslateForm(&form, false, false);
    QCOMPARE(ok->text(), QStringLiteral("Schließen"));
    ok->setText(QStringLiteral("changed"));
    manager.TranslateForm(&form, false, false);
    QCOMPARE(ok->text(), QStringLiteral("changed"));
    manager.TranslateForm(&form, true, false);
    QCOMPARE(ok->text(), QStringLiteral("Schließen"));

    // Opening a file again forgets the processed forms.
    ok->setText(QStringLiteral("changed"));
    manager.SetAppFileName(folder.Path("German.lan"));
    QVERIFY(manager.ProcessedForms().isEmpty());
    manager.TranslateForm(&form, false, false);
    QCOMPARE(ok->text(), QStringLiteral("Schließen"));
}

void LangManagerTest::classNamesSelectTheSection()
{
    LanguageFolder folder;
    TLangManager manager;
    FakeUserInterface ui;
    Configure(manager, ui);
    manager.SetOptions(TLangManager::lmClassNames);
    manager.SetAppFileName(folder.Path("German.lan"));
    TFrmLangTest form;
    manager.TranslateForm(&form, true, false);
    QCOMPARE(form.Child<QPushButton>("bnOk")->text(), QStringLiteral("OK"));

    const QString byClass = folder.Path("ByClass.lan");
    LangTestFiles::WriteUtf16(byClass, TitleSection("X", "Common.lad") +
                                           "[TFrmLangTest]\nbnOk.Caption=\"Klasse\"\n");
    manager.SetAppFileName(byClass);
    manager.TranslateForm(&form, true, false);
    QCOMPARE(form.Child<QPushButton>("bnOk")->text(), QStringLiteral("Klasse"));
}

void LangManagerTest::linkingFollowsLifetimes()
{
    LanguageFolder folder;
    auto manager = std::make_unique<TLangManager>();
    FakeUserInterface ui;
    Configure(*manager, ui);
    manager->SetAppFileName(folder.Path("German.lan"));
    auto form = std::make_unique<TFrmLangTest>();
    QSignalSpy changed(form->LangComponent1, &TLangComponent::OnLanguageChanged);
    form->LangComponent1->SetLanManager(manager.get());
    form->LangComponent1->SetLanManager(manager.get());
    form->LangComponent1->SetLanManager(nullptr); // no effect
    QCOMPARE(manager->LangComponents().size(), 1);
    QCOMPARE(form->Child<QPushButton>("bnOk")->text(), QStringLiteral("OK"));
    QCoreApplication::processEvents(); // the posted request translates the form
    QCOMPARE(form->Child<QPushButton>("bnOk")->text(), QStringLiteral("Schließen"));
    QVERIFY(changed.size() >= 1);
    QVERIFY(form->LangComponent1->isHidden());

    form.reset();
    QVERIFY(manager->LangComponents().isEmpty());
    TFrmLangTest other;
    other.LangComponent1->SetLanManager(manager.get());
    manager.reset();
    QCOMPARE(other.LangComponent1->LanManager(), nullptr);
    QCoreApplication::processEvents(); // the pending request finds no manager
    QCOMPARE(other.Child<QPushButton>("bnOk")->text(), QStringLiteral("OK"));
}

QZ_REGISTER_TEST(LangManagerTest);
#include "LangManagerTest.moc"
