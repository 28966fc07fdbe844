// The "Files To Zip" panel: the command-row grid sgFiles, the row commands
// ("Load File", "Load Directory", "Set Rel Dir to :"), the relative directory
// label and the hidden value holders clbFiles and cbFilter. The grid shows
// the project's rows; edits in the grid go back to the project.
#include "ZipDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "WideFStringGrid.h"
#include "ZipProject.h"

namespace {
QPushButton* CreateRowButton(const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    // The row commands and the grid's popup pmsgFiles are connected by the
    // command-row editor; until then the buttons cannot work.
    button->setEnabled(false);
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
    m_sgFiles->SetColCount(2);
    m_sgFiles->SetFixedCols(0);
    m_sgFiles->SetOptions(goEditing);
    connect(m_sgFiles, &TFStringGridBase::OnSetEditText, this, [this] { StoreRows(); });
    connect(m_sgFiles, &TFStringGridBase::OnChanged, this, [this] { StoreRows(); });
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
    return panel;
}

void TZipDlg::ShowRows()
{
    if (m_storingRows)
        return;
    const QList<TZipCommand>& commands = m_project->Commands();
    m_storingRows = true;
    m_sgFiles->SetRowCount(int(commands.size()) + 1);
    m_sgFiles->SetRows(0, TZipProject::HeaderRow());
    for (int i = 0; i < commands.size(); ++i)
        m_sgFiles->SetRows(i + 1, {commands[i].Directory, commands[i].Filter});
    m_sgFiles->SetFixedRows(1);
    m_storingRows = false;
    FitColumns();
}

void TZipDlg::StoreRows()
{
    if (m_storingRows)
        return;
    QList<TZipCommand> commands;
    for (int row = 1; row < m_sgFiles->RowCount(); ++row)
        commands.append({m_sgFiles->Cells(0, row), m_sgFiles->Cells(1, row)});
    m_storingRows = true;
    m_project->SetCommands(commands);
    m_storingRows = false;
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

void TZipDlg::FitColumns()
{
    // Directory four fifths, filter one fifth of the grid's client width.
    const int width = m_sgFiles->viewport()->width();
    m_sgFiles->SetColWidths(0, width * 4 / 5);
    m_sgFiles->SetColWidths(1, width / 5);
}
