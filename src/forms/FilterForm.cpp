#include "FilterForm.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QEvent>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

#include "UserInterface.h"

namespace {
constexpr int FormWidth = 397;
constexpr int FormHeight = 293;
constexpr int ListWidth = 367;
constexpr int ListHeight = 235;
constexpr int ListColumns = 4;
const QString MaskSeparator = QStringLiteral("; ");
} // namespace

TFilterForm::TFilterForm(TMasterList& masterList, TUserInterface& ui, QWidget* parent)
    : QDialog(parent), m_masterList(masterList), m_ui(ui)
{
    setObjectName(QStringLiteral("FilterForm"));
    m_shown.Clear();
    CreateControls();
    resize(FormWidth, FormHeight);
}

void TFilterForm::CreateControls()
{
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("clFilter"));
    m_list->setMinimumSize(ListWidth, ListHeight);
    // Items run down a column and wrap into the next one, four columns wide.
    m_list->setFlow(QListView::TopToBottom);
    m_list->setWrapping(true);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setUniformItemSizes(true);
    m_list->viewport()->installEventFilter(this);
    connect(m_list, &QListWidget::itemClicked, this, &TFilterForm::clFilterClick);

    auto* deleteItem = new QAction(QStringLiteral("Delete"), m_list);
    deleteItem->setObjectName(QStringLiteral("Delete1"));
    connect(deleteItem, &QAction::triggered, this, &TFilterForm::Delete1Click);
    m_list->addAction(deleteItem);
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);

    m_all = new QCheckBox(QStringLiteral("All"), this);
    m_all->setObjectName(QStringLiteral("cbAll"));
    m_all->setChecked(true);
    connect(m_all, &QCheckBox::clicked, this, &TFilterForm::cbAllClick);
    m_none = new QCheckBox(QStringLiteral("None"), this);
    m_none->setObjectName(QStringLiteral("cbNone"));
    connect(m_none, &QCheckBox::clicked, this, &TFilterForm::cbNoneClick);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TFilterForm::BitBtn1Click);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_all);
    buttons->addWidget(m_none);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
}

bool TFilterForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        LayOutColumns();
    return QDialog::eventFilter(watched, event);
}

void TFilterForm::LayOutColumns()
{
    const int indicator = m_list->style()->pixelMetric(QStyle::PM_IndicatorHeight);
    const int height = std::max(m_list->fontMetrics().height(), indicator) + 4;
    m_list->setGridSize(QSize(std::max(1, m_list->viewport()->width() / ListColumns), height));
}

QListWidgetItem* TFilterForm::AddItem(const QString& mask)
{
    m_shown.Add(mask);
    auto* item = new QListWidgetItem(mask);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    m_list->insertItem(int(m_shown.IndexOf(mask)), item);
    return item;
}

QListWidgetItem* TFilterForm::FindItem(const QString& mask) const
{
    const qsizetype index = m_shown.IndexOf(mask);
    return index < 0 ? nullptr : m_list->item(int(index));
}

void TFilterForm::LoadFilter(const QString& filter)
{
    m_list->clear();
    m_shown.Clear();
    for (const QString& mask : m_masterList.Items())
        AddItem(mask);
    QString rest = filter;
    while (!rest.trimmed().isEmpty()) {
        const qsizetype separator = rest.indexOf(QLatin1Char(';'));
        const QString piece = (separator < 0 ? rest : rest.left(separator)).trimmed();
        rest = separator < 0 ? QString() : rest.mid(separator + 1);
        if (!m_masterList.Contains(piece)) {
            m_masterList.Add(piece);
            AddItem(piece);
        }
        if (QListWidgetItem* item = FindItem(piece))
            item->setCheckState(Qt::Checked);
    }
}

QString TFilterForm::CheckedFilter() const
{
    QString filter;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        if (item->checkState() != Qt::Checked)
            continue;
        if (!filter.isEmpty())
            filter += MaskSeparator;
        filter += item->text();
    }
    return filter;
}

bool TFilterForm::Execute()
{
    return exec() == QDialog::Accepted;
}

// The "[...]" item asks for a new mask. A mask that is there in any letter
// case is only ticked; a new one is added, ticked, and the asking item loses
// its tick. A blank answer is no mask and changes nothing.
void TFilterForm::clFilterClick(QListWidgetItem* item)
{
    if (!item || item->text() != TMasterList::AskItem())
        return;
    QString mask = QStringLiteral("*.");
    if (!m_ui.InputText(QStringLiteral("QorZip Filter"),
                        QStringLiteral("Please Enter a new Filter"), mask))
        return;
    mask = mask.trimmed();
    if (mask.isEmpty())
        return;
    QListWidgetItem* existing = FindItem(mask);
    if (existing) {
        existing->setCheckState(Qt::Checked);
        return;
    }
    m_masterList.Add(mask);
    AddItem(mask)->setCheckState(Qt::Checked);
    m_list->item(m_list->count() - 1)->setCheckState(Qt::Unchecked);
}

void TFilterForm::SetAllChecked(Qt::CheckState state, int count)
{
    for (int row = 0; row < count; ++row)
        m_list->item(row)->setCheckState(state);
}

void TFilterForm::cbAllClick()
{
    m_all->setChecked(true);
    SetAllChecked(Qt::Checked, m_list->count() - 1);
}

void TFilterForm::cbNoneClick()
{
    m_none->setChecked(false);
    SetAllChecked(Qt::Unchecked, m_list->count());
}

void TFilterForm::Delete1Click()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString question = QStringLiteral("Do you want to delete item \"%1\"?").arg(item->text());
    if (m_ui.Confirm(question, TMsgButton::Ok | TMsgButton::Cancel) != TMsgButton::Ok)
        return;
    m_shown.Remove(item->text());
    delete item;
}

void TFilterForm::BitBtn1Click()
{
    m_masterList.Clear();
    for (int row = 0; row < m_list->count(); ++row)
        m_masterList.Add(m_list->item(row)->text());
    accept();
}
