#include "LangManagerTexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>

#include "LangManager.h"
#include "MemIniFile.h"
#include "PanelButton.h"

// The rows of the class table, in the order they are tested.
enum class TLangManagerTexts::TKind {
    None,
    Form,
    PanelButton,
    Button,
    Label,
    GroupBox,
    ComboBox,
    ListWidget,
    TextEdit,
    PlainTextEdit,
    LineEdit,
    Menu,
    MenuBar,
    Table,
    TabWidget,
    TabPage,
    Action,
};

namespace {
using TKind = TLangManagerTexts::TKind;

const QString CaptionSuffix = QStringLiteral(".Caption");
const QString HintSuffix = QStringLiteral(".Hint");
const QString CrLf = QStringLiteral("\r\n");
const QString StoredBreak = QStringLiteral("/r/n");

// The tab widget that shows page as one of its tabs, if any.
QTabWidget* TabWidgetOfPage(const QObject* page)
{
    const auto* stack = qobject_cast<const QStackedWidget*>(page->parent());
    auto* tabs = stack != nullptr ? qobject_cast<QTabWidget*>(stack->parent()) : nullptr;
    if (tabs == nullptr || tabs->indexOf(qobject_cast<const QWidget*>(page)) < 0)
        return nullptr;
    return tabs;
}

int PageIndex(const QObject* page)
{
    return TabWidgetOfPage(page)->indexOf(qobject_cast<const QWidget*>(page));
}

QString CaptionOf(const QObject* component, TKind kind)
{
    switch (kind) {
    case TKind::Form:
        return qobject_cast<const QWidget*>(component)->windowTitle();
    case TKind::PanelButton:
    case TKind::Button:
        return qobject_cast<const QAbstractButton*>(component)->text();
    case TKind::Label:
        return qobject_cast<const QLabel*>(component)->text();
    case TKind::GroupBox:
        return qobject_cast<const QGroupBox*>(component)->title();
    case TKind::LineEdit:
        return qobject_cast<const QLineEdit*>(component)->text();
    case TKind::Menu:
        return qobject_cast<const QMenu*>(component)->title();
    case TKind::TabPage:
        return TabWidgetOfPage(component)->tabText(PageIndex(component));
    case TKind::Action:
        return qobject_cast<const QAction*>(component)->text();
    default:
        return QString();
    }
}

void SetCaptionOf(QObject* component, TKind kind, const QString& caption)
{
    switch (kind) {
    case TKind::Form:
        qobject_cast<QWidget*>(component)->setWindowTitle(caption);
        break;
    case TKind::PanelButton:
    case TKind::Button:
        qobject_cast<QAbstractButton*>(component)->setText(caption);
        break;
    case TKind::Label:
        qobject_cast<QLabel*>(component)->setText(caption);
        break;
    case TKind::GroupBox:
        qobject_cast<QGroupBox*>(component)->setTitle(caption);
        break;
    case TKind::LineEdit:
        qobject_cast<QLineEdit*>(component)->setText(caption);
        break;
    case TKind::Menu:
        qobject_cast<QMenu*>(component)->setTitle(caption);
        break;
    case TKind::TabPage:
        TabWidgetOfPage(component)->setTabText(PageIndex(component), caption);
        break;
    case TKind::Action:
        qobject_cast<QAction*>(component)->setText(caption);
        break;
    default:
        break;
    }
}

QString HintOf(const QObject* component, TKind kind)
{
    if (kind == TKind::TabPage)
        return TabWidgetOfPage(component)->tabToolTip(PageIndex(component));
    if (const auto* action = qobject_cast<const QAction*>(component))
        return action->toolTip();
    return qobject_cast<const QWidget*>(component)->toolTip();
}

void SetHintOf(QObject* component, TKind kind, const QString& hint)
{
    if (kind == TKind::TabPage)
        TabWidgetOfPage(component)->setTabToolTip(PageIndex(component), hint);
    else if (auto* action = qobject_cast<QAction*>(component))
        action->setToolTip(hint);
    else
        qobject_cast<QWidget*>(component)->setToolTip(hint);
}

QStringList LinesOf(const QString& text)
{
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

QStringList ItemsOf(const QObject* component, TKind kind)
{
    QStringList items;
    if (const auto* combo = qobject_cast<const QComboBox*>(component)) {
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
    } else if (const auto* list = qobject_cast<const QListWidget*>(component)) {
        for (int i = 0; i < list->count(); ++i)
            items.append(list->item(i)->text());
    } else if (kind == TKind::TextEdit) {
        items = LinesOf(qobject_cast<const QTextEdit*>(component)->toPlainText());
    } else if (kind == TKind::PlainTextEdit) {
        items = LinesOf(qobject_cast<const QPlainTextEdit*>(component)->toPlainText());
    } else if (kind == TKind::PanelButton) {
        items = qobject_cast<const TPanelButton*>(component)->CaptionItems();
    }
    return items;
}

void SetComboItems(QComboBox* combo, const QStringList& items)
{
    for (int i = 0; i < int(items.size()); ++i) {
        if (i < combo->count())
            combo->setItemText(i, items[i]);
        else
            combo->addItem(items[i]);
    }
}

void SetListItems(QListWidget* list, const QStringList& items)
{
    const int row = list->currentRow();
    list->clear();
    list->addItems(items);
    if (row >= 0 && row < list->count())
        list->setCurrentRow(row);
}

void SetItemsOf(QObject* component, TKind kind, const QStringList& items)
{
    const QString lines = items.join(QLatin1Char('\n'));
    if (auto* combo = qobject_cast<QComboBox*>(component))
        SetComboItems(combo, items);
    else if (auto* list = qobject_cast<QListWidget*>(component))
        SetListItems(list, items);
    else if (kind == TKind::TextEdit)
        qobject_cast<QTextEdit*>(component)->setPlainText(lines);
    else if (kind == TKind::PlainTextEdit)
        qobject_cast<QPlainTextEdit*>(component)->setPlainText(lines);
    else if (kind == TKind::PanelButton)
        qobject_cast<TPanelButton*>(component)->SetCaptionItems(items);
}

TKind WidgetKind(const QObject* component)
{
    // Descendants before their bases: a panel button is a push button, a
    // list widget and a table are item views.
    if (qobject_cast<const TPanelButton*>(component))
        return TKind::PanelButton;
    if (qobject_cast<const QAbstractButton*>(component))
        return TKind::Button;
    if (qobject_cast<const QLabel*>(component))
        return TKind::Label;
    if (qobject_cast<const QGroupBox*>(component))
        return TKind::GroupBox;
    if (qobject_cast<const QComboBox*>(component))
        return TKind::ComboBox;
    if (qobject_cast<const QListWidget*>(component))
        return TKind::ListWidget;
    if (qobject_cast<const QTextEdit*>(component))
        return TKind::TextEdit;
    if (qobject_cast<const QPlainTextEdit*>(component))
        return TKind::PlainTextEdit;
    if (qobject_cast<const QLineEdit*>(component))
        return TKind::LineEdit;
    if (qobject_cast<const QMenu*>(component))
        return TKind::Menu;
    if (qobject_cast<const QMenuBar*>(component))
        return TKind::MenuBar;
    if (qobject_cast<const QTableView*>(component))
        return TKind::Table;
    if (qobject_cast<const QTabWidget*>(component))
        return TKind::TabWidget;
    return TabWidgetOfPage(component) != nullptr ? TKind::TabPage : TKind::None;
}
} // namespace

TLangManagerTexts::TLangManagerTexts(TMemIniFile& file, QString section, QString stopName,
                                     const QWidget* form)
    : m_file(file), m_section(std::move(section)), m_stopName(std::move(stopName)), m_form(form)
{}

QString TLangManagerTexts::EncodeBreaks(const QString& text)
{
    QString encoded = text;
    encoded.replace(CrLf, StoredBreak);
    encoded.replace(QLatin1Char('\n'), StoredBreak);
    return encoded;
}

QString TLangManagerTexts::DecodeBreaks(const QString& text)
{
    QString decoded = text;
    return decoded.replace(StoredBreak, QStringLiteral("\n"));
}

QString TLangManagerTexts::DequotedText(const QString& value)
{
    if (!value.startsWith(QLatin1Char('"')))
        return value;
    QString text;
    for (qsizetype i = 1; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('"')) {
            text += value[i];
        } else if (i + 1 < value.size() && value[i + 1] == QLatin1Char('"')) {
            text += QLatin1Char('"');
            ++i;
        } else {
            return text;
        }
    }
    return value; // no closing quote
}

QString TLangManagerTexts::ListKey(const QString& path, int index)
{
    return QStringLiteral("%1.List[%2]").arg(path).arg(index);
}

QString TLangManagerTexts::MenuKey(const QString& path, int index)
{
    return QStringLiteral("%1.Menu[%2]").arg(path).arg(index);
}

bool TLangManagerTexts::HasName(const QObject* object)
{
    const QString name = object->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

TLangManagerTexts::TKind TLangManagerTexts::KindOf(const QObject* component) const
{
    if (component == m_form)
        return TKind::Form;
    if (qobject_cast<const QAction*>(component))
        return TKind::Action;
    return component->isWidgetType() ? WidgetKind(component) : TKind::None;
}

QString TLangManagerTexts::PathOf(const QObject* component) const
{
    return TLangManager::ComponentPath(m_stopName, component, m_form);
}

// ---- reading ---------------------------------------------------------------

void TLangManagerTexts::Read(QObject* component) const
{
    if (!HasName(component))
        return;
    const TKind kind = KindOf(component);
    const QString path = PathOf(component);
    switch (kind) {
    case TKind::PanelButton:
        ReadPanelButton(component, path);
        break;
    case TKind::ComboBox:
        ReadWideList(component, kind, path);
        break;
    case TKind::ListWidget:
    case TKind::TextEdit:
        ReadNarrowList(component, kind, path);
        break;
    case TKind::PlainTextEdit:
        ReadPlainTextEdit(component, path);
        break;
    case TKind::MenuBar:
        ReadMenuCaptions(component, path);
        break;
    case TKind::Table:
    case TKind::TabWidget:
        ReadHint(component, path);
        break;
    case TKind::None:
        break;
    default:
        ReadPair(component, kind, path);
        break;
    }
}

void TLangManagerTexts::ReadPair(QObject* component, TKind kind, const QString& path) const
{
    const QString caption = m_file.ReadString(m_section, path + CaptionSuffix, QString());
    if (!caption.isEmpty())
        SetCaptionOf(component, kind, DecodeBreaks(TLangManager::StripQuotes(caption)));
    ReadHint(component, path);
}

void TLangManagerTexts::ReadHint(QObject* component, const QString& path) const
{
    const QString key = path + HintSuffix;
    if (m_file.ValueExists(m_section, key)) {
        const QString hint = m_file.ReadString(m_section, key, QString());
        SetHintOf(component, KindOf(component), DecodeBreaks(TLangManager::StripQuotes(hint)));
    }
}

QString TLangManagerTexts::SingleText(const QString& key, const QString& current) const
{
    const QString value = m_file.ReadString(m_section, key, QString());
    return value.isEmpty() ? current : TLangManager::StripQuotes(value);
}

void TLangManagerTexts::ReadWideList(QObject* component, TKind kind, const QString& path) const
{
    QStringList items = ItemsOf(component, kind);
    for (int i = 0;; ++i) {
        const QString value = m_file.ReadString(m_section, ListKey(path, i), QString());
        if (value.isEmpty())
            break;
        if (i < int(items.size()))
            items[i] = TLangManager::StripQuotes(value);
        else
            items.append(TLangManager::StripQuotes(value));
    }
    SetItemsOf(component, kind, items);
}

void TLangManagerTexts::ReadNarrowList(QObject* component, TKind kind, const QString& path) const
{
    QStringList items;
    for (int i = 0;; ++i) {
        const QString value = m_file.ReadString(m_section, ListKey(path, i), QString());
        if (value.isEmpty())
            break;
        items.append(TLangManager::StripQuotes(value));
    }
    if (!items.isEmpty())
        SetItemsOf(component, kind, items);
}

void TLangManagerTexts::ReadPanelButton(QObject* component, const QString& path) const
{
    auto* button = qobject_cast<TPanelButton*>(component);
    ReadWideList(component, TKind::PanelButton, path);
    if (button->CaptionItems().isEmpty())
        ReadPair(component, TKind::PanelButton, path);
    else
        button->SetState(button->State()); // shows the current entry's caption
}

void TLangManagerTexts::ReadMenuCaptions(QObject* component, const QString& path) const
{
    const QList<QAction*> menus = qobject_cast<QMenuBar*>(component)->actions();
    for (int i = 0; m_file.ValueExists(m_section, MenuKey(path, i)); ++i) {
        if (i < int(menus.size()))
            menus[i]->setText(DequotedText(m_file.ReadString(m_section, MenuKey(path, i), {})));
    }
}

void TLangManagerTexts::ReadPlainTextEdit(QObject* component, const QString& path) const
{
    auto* edit = qobject_cast<QPlainTextEdit*>(component);
    edit->setToolTip(SingleText(path + HintSuffix, edit->toolTip()));
    ReadWideList(component, TKind::PlainTextEdit, path);
}

// ---- building --------------------------------------------------------------

void TLangManagerTexts::Build(QObject* component) const
{
    if (component->property("Tag").toInt() == TLangManager::NoBuildTag || !HasName(component))
        return;
    const TKind kind = KindOf(component);
    const QString path = PathOf(component);
    switch (kind) {
    case TKind::PanelButton:
        WriteList(component, kind, path);
        WriteHint(component, kind, path);
        break;
    case TKind::ComboBox:
    case TKind::ListWidget:
    case TKind::TextEdit:
        WriteList(component, kind, path);
        break;
    case TKind::PlainTextEdit:
    case TKind::LineEdit:
        WriteSingle(path + HintSuffix, qobject_cast<const QWidget*>(component)->toolTip());
        break;
    case TKind::Table:
    case TKind::TabWidget:
        WriteHint(component, kind, path);
        break;
    case TKind::MenuBar:
    case TKind::None:
        break;
    default:
        WritePair(component, kind, path);
        break;
    }
}

void TLangManagerTexts::WriteQuoted(const QString& key, const QString& value) const
{
    m_file.WriteString(m_section, key, QLatin1Char('"') + value + QLatin1Char('"'));
}

void TLangManagerTexts::WritePair(const QObject* component, TKind kind, const QString& path) const
{
    const QString caption = CaptionOf(component, kind);
    if (!caption.isEmpty())
        WriteQuoted(path + CaptionSuffix, EncodeBreaks(caption));
    WriteHint(component, kind, path);
}

void TLangManagerTexts::WriteHint(const QObject* component, TKind kind, const QString& path) const
{
    const QString hint = HintOf(component, kind);
    if (!hint.isEmpty())
        WriteQuoted(path + HintSuffix, EncodeBreaks(hint));
}

void TLangManagerTexts::WriteSingle(const QString& key, const QString& text) const
{
    if (!text.isEmpty())
        WriteQuoted(key, text);
}

void TLangManagerTexts::WriteList(const QObject* component, TKind kind, const QString& path) const
{
    const QStringList items = ItemsOf(component, kind);
    for (int i = 0; i < int(items.size()); ++i)
        WriteQuoted(ListKey(path, i), items[i]);
}
