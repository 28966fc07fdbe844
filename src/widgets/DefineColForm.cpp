#include "DefineColForm.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

#include "VornBase.h"
#include "WideFStringGrid.h"

namespace {
const QSize ButtonSize(105, 31);
const int VisibleWidth = 20;
} // namespace

TDefineColForm::TDefineColForm(QWidget* parent)
    : QDialog(parent), m_titles(new QListWidget(this)), m_default(new QCheckBox(this)),
      m_ok(new QPushButton(this)), m_cancel(new QPushButton(this))
{
    setObjectName(QStringLiteral("DefineColForm"));
    setWindowTitle(QStringLiteral("Define Columns"));
    setFont(QFont(QStringLiteral("Arial"), 8));
    resize(396, 284);
    m_titles->setObjectName(QStringLiteral("clTitles"));
    m_titles->setGeometry(8, 8, 377, 235);
    m_titles->setFlow(QListView::TopToBottom);
    m_titles->setWrapping(true);
    m_titles->setResizeMode(QListView::Adjust);
    m_titles->setGridSize(QSize(m_titles->width() / 2 - 4, 20));
    m_default->setObjectName(QStringLiteral("cbDefault"));
    m_default->setText(QStringLiteral("Use As Default"));
    m_default->move(10, 254);
    m_ok->setObjectName(QStringLiteral("bnOk"));
    m_ok->setText(QStringLiteral("OK"));
    m_ok->setGeometry(QRect(QPoint(154, 248), ButtonSize));
    m_ok->setDefault(true);
    m_cancel->setObjectName(QStringLiteral("bnCancel"));
    m_cancel->setText(QStringLiteral("Cancel"));
    m_cancel->setGeometry(QRect(QPoint(282, 248), ButtonSize));
    const QList<QIcon>& glyphs = TVornBase::Instance().OkCancel64x32();
    m_ok->setIcon(glyphs.value(0));
    m_cancel->setIcon(glyphs.value(1));
    connect(m_ok, &QPushButton::clicked, this, &TDefineColForm::bnOkClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TDefineColForm& TDefineColForm::Instance(QWidget* parent)
{
    static QPointer<TDefineColForm> form;
    if (!form)
        form = new TDefineColForm(parent);
    return *form;
}

void TDefineColForm::SetGrid(TWideFStringGrid* grid)
{
    m_grid = grid;
    m_titles->clear();
    for (int col = 0; col < grid->ColCount(); ++col) {
        auto* item = new QListWidgetItem(grid->Cells(col, 0), m_titles);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(grid->ColWidths(col) > 0 ? Qt::Checked : Qt::Unchecked);
    }
    m_default->setChecked(false);
    m_default->hide();
}

void TDefineColForm::bnOkClick()
{
    if (m_grid) {
        for (int col = 0; col < m_titles->count() && col < m_grid->ColCount(); ++col) {
            const bool ticked = m_titles->item(col)->checkState() == Qt::Checked;
            m_grid->SetColWidths(col, ticked ? VisibleWidth : -1);
        }
        m_grid->AdjustWidths(true, true);
    }
    accept();
}
