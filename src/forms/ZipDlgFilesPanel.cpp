// The "Files To Zip" panel: the command-row grid sgFiles, the row commands
// ("Load File", "Load Directory", "Set Rel Dir to :"), the relative directory
// label and the hidden value holders clbFiles and cbFilter. The command-row
// editor shows the project's rows in the grid and carries out the commands.
#include "ZipDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "AppSettings.h"
#include "CommandRowEditor.h"
#include "FilterForm.h"
#include "MainUserInterface.h"
#include "WideFStringGrid.h"
#include "ZipProject.h"

namespace {
QPushButton* CreateRowButton(const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    return button;
}
} // namespace

QWidget* TZipDlg::CreateFilesPanel()
{
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("pnFiles"));
    auto* layout = new QVBoxLayout(panel);

    m_sgFiles = new TWideFStringGrid;
    m_sgFiles->setObjectName(QStringLiteral("sgFiles"));
    m_sgFiles->SetUserInterface(&UserInterface());
    layout->addWidget(m_sgFiles, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CreateRowButton(QStringLiteral("bnLoadFile"), QStringLiteral("Load File")));
    buttons->addWidget(
        CreateRowButton(QStringLiteral("bnLoadDirectory"), QStringLiteral("Load Directory")));
    buttons->addWidget(
        CreateRowButton(QStringLiteral("bnSetRelDir"), QStringLiteral("Set Rel Dir to :")));
    m_lbRelDir = new QLabel;
    m_lbRelDir->setObjectName(QStringLiteral("lbRelDir"));
    m_lbRelDir->setTextInteractionFlags(Qt::TextSelectableByMouse);
    buttons->addWidget(m_lbRelDir, 1);
    layout->addLayout(buttons);

    // Value holders: the file list of the last build and the filter texts.
    m_clbFiles = new QListWidget(panel);
    m_clbFiles->setObjectName(QStringLiteral("clbFiles"));
    m_clbFiles->hide();
    m_cbFilter = new QComboBox(panel);
    m_cbFilter->setObjectName(QStringLiteral("cbFilter"));
    m_cbFilter->setEditable(true);
    m_cbFilter->hide();

    // The filter editor, created before the settings fill its MasterList, and
    // the command-row editor that opens it from a Filter cell.
    m_filterForm = new TFilterForm(m_settings->MasterList(), *m_ui, this);
    m_rowEditor = new TCommandRowEditor(
        *panel, *m_project, *m_filterForm, *m_ui, [this] { WriteSettings(); }, this);
    return panel;
}

void TZipDlg::ShowValueHolders()
{
    m_cbFilter->clear();
    m_cbFilter->addItems(m_project->FilterList());
    m_cbFilter->setCurrentText(m_project->FilterText());
}

void TZipDlg::StoreValueHolders()
{
    QStringList items;
    for (int i = 0; i < m_cbFilter->count(); ++i)
        items.append(m_cbFilter->itemText(i));
    m_project->SetFilterList(items);
    m_project->SetFilterText(m_cbFilter->currentText());
}
