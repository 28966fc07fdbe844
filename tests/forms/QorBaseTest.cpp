#include <QDir>
#include <QLabel>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "LangComponent.h"
#include "LangManager.h"
#include "QorBase.h"
#include "TestRegistry.h"

class QorBaseTest : public QObject {
    Q_OBJECT

private slots:
    void managerStartsWithoutLanguageFile();
    void linkedFormKeepsItsTextsAndNothingIsWritten();
};

void QorBaseTest::managerStartsWithoutLanguageFile()
{
    TQorBase base;
    const TLangManager* manager = base.LanMan();
    QCOMPARE(manager->Language(), QStringLiteral("English"));
    QCOMPARE(manager->LangExtension(), QStringLiteral(".lan"));
    QCOMPARE(manager->Options(), TLangManager::TLMSetOptions(TLangManager::lmNumUnits));
    QVERIFY(!manager->BuildLanguage());
    QVERIFY(manager->Created().startsWith(QLatin1Char('"')));
    QCOMPARE(manager->LanguageFile(), nullptr);
    QCOMPARE(manager->CommonFile(), nullptr);
    QVERIFY(manager->LanguageFolder().isEmpty());
}

void QorBaseTest::linkedFormKeepsItsTextsAndNothingIsWritten()
{
    QTemporaryDir dir;
    const QString previousDir = QDir::currentPath();
    const auto restore = qScopeGuard([&previousDir] { QDir::setCurrent(previousDir); });
    QDir::setCurrent(dir.path());
    TQorBase base;
    QWidget about;
    about.setObjectName(QStringLiteral("FrmAbout"));
    about.setWindowTitle(QStringLiteral("About"));
    auto* label = new QLabel(QStringLiteral("Version"), &about);
    label->setObjectName(QStringLiteral("lbVersion"));
    auto* component = new TLangComponent(&about);
    component->SetLanManager(base.LanMan());
    QCoreApplication::processEvents();
    QString text = QStringLiteral("Version %s");
    base.LanMan()->LookupText(QStringLiteral("FrmAbout"), QStringLiteral("SVersion"), true, text);
    QCOMPARE(text, QStringLiteral("Version %s"));
    QCOMPARE(about.windowTitle(), QStringLiteral("About"));
    QCOMPARE(label->text(), QStringLiteral("Version"));
    QVERIFY(QDir(dir.path()).isEmpty());
}

QZ_REGISTER_TEST(QorBaseTest);
#include "QorBaseTest.moc"
