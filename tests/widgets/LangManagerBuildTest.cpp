#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "FakeUserInterface.h"
#include "LangComponent.h"
#include "LangManager.h"
#include "LangManagerTestForm.h"
#include "MemIniFile.h"
#include "PanelButton.h"
#include "TestRegistry.h"
#include "TestUtil.h"

namespace {
const QString AppTitle = QStringLiteral("QorZipTest");

// The texts a build writes, one line per text, to compare two forms.
QStringList BuiltTexts(const TFrmLangTest& form)
{
    QStringList texts{form.windowTitle(), form.toolTip()};
    for (const char* name : {"lbName", "lbInner"})
        texts << form.Child<QLabel>(name)->text() << form.Child<QLabel>(name)->toolTip();
    for (const char* name : {"bnOk", "cbAll", "rbFirst"})
        texts << form.Child<QAbstractButton>(name)->text()
              << form.Child<QAbstractButton>(name)->toolTip();
    texts << form.Child<QGroupBox>("gbOptions")->title();
    for (int i = 0; i < form.Child<QListWidget>("lbItems")->count(); ++i)
        texts << form.Child<QListWidget>("lbItems")->item(i)->text();
    for (int i = 0; i < form.Child<QComboBox>("cbMode")->count(); ++i)
        texts << form.Child<QComboBox>("cbMode")->itemText(i);
    texts << form.Child<QLineEdit>("edPath")->toolTip()
          << form.Child<QPlainTextEdit>("meNotes")->toolTip()
          << form.Child<QTableWidget>("sgTable")->toolTip();
    texts << form.Child<QMenu>("mnFile")->title() << form.Child<QMenu>("mnEdit")->title()
          << form.acOpen->text() << form.acOpen->toolTip();
    const auto* pages = form.Child<QTabWidget>("pcPages");
    texts << pages->toolTip() << pages->tabText(0) << pages->tabToolTip(0) << pages->tabText(1);
    texts << form.Child<TPanelButton>("pbState")->CaptionItems()
          << form.Child<TPanelButton>("pbState")->text();
    return texts;
}

// Every text of the form that a build writes replaced, so that reading must
// bring them back. Empty texts are not written and stay empty.
void Scramble(TFrmLangTest& form)
{
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        if (!widget->toolTip().isEmpty())
            widget->setToolTip(QStringLiteral("x"));
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(QStringLiteral("x"));
        if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(QStringLiteral("x"));
    }
    form.setWindowTitle(QStringLiteral("x"));
    form.setToolTip(QStringLiteral("x"));
    form.Child<QGroupBox>("gbOptions")->setTitle(QStringLiteral("x"));
    form.Child<QListWidget>("lbItems")->item(0)->setText(QStringLiteral("x"));
    form.Child<QComboBox>("cbMode")->setItemText(2, QStringLiteral("x"));
    form.Child<QMenu>("mnFile")->setTitle(QStringLiteral("x"));
    form.acOpen->setText(QStringLiteral("x"));
    form.Child<QTabWidget>("pcPages")->setTabText(0, QStringLiteral("x"));
    form.Child<TPanelButton>("pbState")->SetCaptionItems({"\"x\",0", "\"y\",1"});
}

// A manager in build mode whose file request is answered with Base.ori in
// dir and whose question about the common file with deleteCommon.
struct Builder {
    TLangManager Manager;
    FakeUserInterface Ui;
    TFrmLangTest Form;
    TFrmLangTest CommonForm{QStringLiteral("FrmCommon")};

    explicit Builder(const QTemporaryDir& dir)
    {
        Manager.SetApplicationTitle(AppTitle);
        Manager.SetUserInterface(&Ui);
        Ui.AnswerFile(dir.filePath(QStringLiteral("Base.ori")));
        Ui.AnswerConfirm(TMsgButton::Yes);
        Form.LangComponent1->SetLanManager(&Manager);
        CommonForm.LangComponent1->SetUseCommonLanguageFile(true);
        CommonForm.LangComponent1->SetLanManager(&Manager);
        QCoreApplication::processEvents(); // no file open yet: nothing happens
        Manager.SetBuildLanguage(true);
    }
};
} // namespace

class LangManagerBuildTest : public QObject {
    Q_OBJECT

private slots:
    void buildAsksOnceForTheBaseFile();
    void baseFileHoldsTheDesignTexts();
    void commonFileHoldsCommonFormsAndLookups();
    void builtFileReadsAsTheOriginal();
    void cancelledBuildWritesNothing();
};

void LangManagerBuildTest::buildAsksOnceForTheBaseFile()
{
    QTemporaryDir dir;
    TestUtil::WriteFile(dir.filePath(QStringLiteral("Common.ori")), "old content");
    Builder builder(dir);
    const FakeUserInterface& ui = builder.Ui;
    QCOMPARE(ui.Questions.size(), 2);
    QCOMPARE(ui.Questions[0].Kind, QStringLiteral("SaveFile"));
    QCOMPARE(ui.Questions[0].Text, QStringLiteral("Build Language File"));
    QCOMPARE(ui.Questions[0].Request.Filter,
             QStringLiteral("Original Language Files (*.ori)|*.ori"));
    QVERIFY(ui.Questions[0].Request.Preset.endsWith(QStringLiteral(".ori")));
    QVERIFY(ui.Questions[0].Request.Options.testFlag(TFileRequest::OverwritePrompt));
    QCOMPARE(ui.Questions[1].Text,
             QStringLiteral("Do you want to delete the common language file : \r\n\r\n") +
                 dir.filePath(QStringLiteral("Common.ori")));
    QCOMPARE(ui.Questions[1].Buttons, TMsgButton::Yes | TMsgButton::No);
    QVERIFY(!builder.Manager.BuildPending());
    QVERIFY(!builder.Manager.BuildCancelled());
    QVERIFY(
        !TestUtil::ReadFile(dir.filePath(QStringLiteral("Common.ori"))).contains("old content"));

    builder.Manager.TranslateForm(&builder.Form, true, false);
    builder.Manager.SetBuildLanguage(true);
    QCOMPARE(ui.Questions.size(), 2);
}

void LangManagerBuildTest::baseFileHoldsTheDesignTexts()
{
    QTemporaryDir dir;
    Builder builder(dir);
    const QString path = dir.filePath(QStringLiteral("Base.ori"));
    const QByteArray bytes = TestUtil::ReadFile(path);
    QVERIFY(bytes.startsWith("\xFF\xFE"));
    const QString text = LangTestFiles::ReadAny(path);
    QVERIFY(text.startsWith(QStringLiteral("[QorZipTest]\r\nLanguage=\"ORIGINAL\"\r\n")));
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));

    const TMemIniFile ini(path);
    const auto value = [&ini](const QString& key) {
        return ini.ReadString(QStringLiteral("FrmLangTest"), key, QStringLiteral("<none>"));
    };
    QCOMPARE(ini.ReadString(AppTitle, "Version", {}), QStringLiteral("0.0.0"));
    QCOMPARE(ini.ReadString(AppTitle, "CommonLanguageFile", {}), QStringLiteral("\"Common.ori\""));
    QCOMPARE(value(".Caption"), QStringLiteral("\"Test form\""));
    QCOMPARE(value("bnOk.Hint"), QStringLiteral("\"Close/r/nthe window\""));
    QCOMPARE(value("gbOptions.rbFirst.Caption"), QStringLiteral("\"First\""));
    QCOMPARE(value("cbAll.Hint"), QStringLiteral("<none>")); // empty texts are not written
    QCOMPARE(value("lbItems.List[3]"), QStringLiteral("\"four\""));
    QCOMPARE(value("cbMode.List[2]"), QStringLiteral("\"safe\""));
    QCOMPARE(value("edPath.Hint"), QStringLiteral("\"Path hint\""));
    QCOMPARE(value("edPath.Caption"), QStringLiteral("<none>"));
    QCOMPARE(value("meNotes.List[0]"), QStringLiteral("<none>"));
    QCOMPARE(value("MainMenu1.mnEdit.Caption"), QStringLiteral("\"&Edit\""));
    QCOMPARE(value("acOpen.Hint"), QStringLiteral("\"Open a project\""));
    QCOMPARE(value("pcPages.tsFirst.Hint"), QStringLiteral("\"First hint\""));
    QCOMPARE(value("pbState.List[1]"), QStringLiteral("\"\"Green\",1\""));
    QCOMPARE(value("lbFixed.Caption"), QStringLiteral("<none>")); // Tag 98
    QVERIFY(!ini.SectionExists(QStringLiteral("FrmCommon")));
}

void LangManagerBuildTest::commonFileHoldsCommonFormsAndLookups()
{
    QTemporaryDir dir;
    Builder builder(dir);
    QString text = QStringLiteral("Version\n%s");
    builder.Manager.LookupText(QStringLiteral("FrmAbout"), QStringLiteral("SVersion"), true, text);
    QCOMPARE(text, QStringLiteral("Version/r/n%s"));

    const TMemIniFile common(dir.filePath(QStringLiteral("Common.ori")));
    QCOMPARE(common.ReadString("Common", "Language", {}), QStringLiteral("\"ORIGINAL\""));
    QCOMPARE(common.ReadString("Common", "Version", {}), QStringLiteral("0.0.0"));
    QCOMPARE(common.ReadString("FrmCommon", "bnOk.Caption", {}), QStringLiteral("\"OK\""));
    QCOMPARE(common.ReadString("FrmAbout", "SVersion", {}), QStringLiteral("\"Version/r/n%s\""));
    QVERIFY(!common.SectionExists(QStringLiteral("FrmLangTest")));
}

void LangManagerBuildTest::builtFileReadsAsTheOriginal()
{
    QTemporaryDir dir;
    QStringList design;
    {
        Builder builder(dir);
        design = BuiltTexts(builder.Form);
    }
    TLangManager reader;
    FakeUserInterface ui;
    reader.SetApplicationTitle(AppTitle);
    reader.SetUserInterface(&ui);
    reader.SetAppFileName(dir.filePath(QStringLiteral("Base.ori")));
    QCOMPARE(reader.Language(), QStringLiteral("ORIGINAL"));
    TFrmLangTest form;
    Scramble(form);
    QVERIFY(BuiltTexts(form) != design);
    reader.TranslateForm(&form, true, false);
    QCOMPARE(BuiltTexts(form), design);
    QCOMPARE(form.Child<QLabel>("lbFixed")->text(), QStringLiteral("x")); // never written
}

void LangManagerBuildTest::cancelledBuildWritesNothing()
{
    QTemporaryDir dir;
    const QString previousDir = QDir::currentPath();
    const auto restore = qScopeGuard([&previousDir] { QDir::setCurrent(previousDir); });
    QDir::setCurrent(dir.path());
    TLangManager manager;
    FakeUserInterface ui;
    manager.SetApplicationTitle(AppTitle);
    manager.SetUserInterface(&ui);
    ui.AnswerFile(QString());
    TFrmLangTest form;
    form.LangComponent1->SetLanManager(&manager);
    manager.SetBuildLanguage(true);
    QVERIFY(manager.BuildCancelled());
    QCoreApplication::processEvents();
    manager.TranslateForm(&form, true, false);
    QString text = QStringLiteral("default");
    manager.LookupText(QStringLiteral("FrmAbout"), QStringLiteral("SVersion"), true, text);
    QCOMPARE(text, QStringLiteral("default"));
    QCOMPARE(ui.Asked(QStringLiteral("SaveFile")), 1);
    QCOMPARE(ui.Asked(QStringLiteral("Confirm")), 0);
    QVERIFY(QDir(dir.path()).isEmpty());
    QCOMPARE(form.windowTitle(), QStringLiteral("Test form"));
}

QZ_REGISTER_TEST(LangManagerBuildTest);
#include "LangManagerBuildTest.moc"
