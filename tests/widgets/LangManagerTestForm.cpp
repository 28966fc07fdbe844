#include "LangManagerTestForm.h"

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
#include <QStringDecoder>
#include <QTabWidget>
#include <QTableWidget>

#include "LangComponent.h"
#include "PanelButton.h"
#include "TestUtil.h"

namespace {
template <class T> T* Named(T* object, const char* name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}
} // namespace

TFrmLangTest::TFrmLangTest(const QString& name)
{
    setObjectName(name);
    setWindowTitle(QStringLiteral("Test form"));
    setToolTip(QStringLiteral("Form hint"));
    CreateButtons();
    CreateLists();
    CreateMenus();
    CreatePages();
    LangComponent1 = Named(new TLangComponent(this), "LangComponent1");
}

void TFrmLangTest::CreateButtons()
{
    auto* label = Named(new QLabel(QStringLiteral("Name"), this), "lbName");
    label->setToolTip(QStringLiteral("Your name"));
    auto* ok = Named(new QPushButton(QStringLiteral("OK"), this), "bnOk");
    ok->setToolTip(QStringLiteral("Close\nthe window"));
    Named(new QCheckBox(QStringLiteral("All files"), this), "cbAll");
    auto* group = Named(new QGroupBox(QStringLiteral("Options"), this), "gbOptions");
    Named(new QRadioButton(QStringLiteral("First"), group), "rbFirst");
    auto* fixed = Named(new QLabel(QStringLiteral("Fixed"), this), "lbFixed");
    fixed->setProperty("Tag", 98);
    auto* unnamed = new QWidget(this);
    Named(new QLabel(QStringLiteral("Inner"), unnamed), "lbInner");
    new QLabel(QStringLiteral("No name"), this);
    auto* state = Named(new TPanelButton(this), "pbState");
    state->SetCaptionItems({QStringLiteral("\"Red\",0"), QStringLiteral("\"Green\",1")});
    state->SetState(1);
}

void TFrmLangTest::CreateLists()
{
    auto* list = Named(new QListWidget(this), "lbItems");
    list->addItems({"one", "two", "three", "four"});
    list->setCurrentRow(1);
    auto* combo = Named(new QComboBox(this), "cbMode");
    combo->addItems({"fast", "slow", "safe"});
    combo->setCurrentIndex(2);
    auto* edit = Named(new QLineEdit(QStringLiteral("C:\\Data"), this), "edPath");
    edit->setToolTip(QStringLiteral("Path hint"));
    auto* notes = Named(new QPlainTextEdit(this), "meNotes");
    notes->setPlainText(QStringLiteral("line 1\nline 2"));
    notes->setToolTip(QStringLiteral("Notes hint"));
    auto* table = Named(new QTableWidget(2, 2, this), "sgTable");
    table->setToolTip(QStringLiteral("Table hint"));
}

void TFrmLangTest::CreateMenus()
{
    auto* bar = Named(new QMenuBar(this), "MainMenu1");
    QMenu* file = Named(new QMenu(QStringLiteral("&File"), bar), "mnFile");
    QMenu* edit = Named(new QMenu(QStringLiteral("&Edit"), bar), "mnEdit");
    bar->addMenu(file);
    bar->addMenu(edit);
    acOpen = Named(new QAction(QStringLiteral("&Open"), this), "acOpen");
    acOpen->setToolTip(QStringLiteral("Open a project"));
    file->addAction(acOpen);
}

void TFrmLangTest::CreatePages()
{
    auto* pages = Named(new QTabWidget(this), "pcPages");
    pages->setToolTip(QStringLiteral("Pages hint"));
    pages->addTab(Named(new QWidget, "tsFirst"), QStringLiteral("First page"));
    pages->addTab(Named(new QWidget, "tsSecond"), QStringLiteral("Second page"));
    pages->setTabToolTip(0, QStringLiteral("First hint"));
}

namespace LangTestFiles {
void WriteUtf16(const QString& path, const QString& text)
{
    QString crlf = text;
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    TestUtil::WriteFile(path,
                        QByteArray("\xFF\xFE", 2) + QStringEncoder(QStringEncoder::Utf16LE)(crlf));
}

void WriteUtf8(const QString& path, const QString& text)
{
    TestUtil::WriteFile(path, QByteArray("\xEF\xBB\xBF") + text.toUtf8());
}

QString ReadAny(const QString& path)
{
    const QByteArray bytes = TestUtil::ReadFile(path);
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
    return QString::fromUtf8(bytes);
}
} // namespace LangTestFiles
