#include "CommandRowEditor.h"

#include <algorithm>
#include <stdexcept>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QScopedValueRollback>

#include "FileListBuilder.h"
#include "FilterForm.h"
#include "PathRules.h"
#include "UserInterface.h"
#include "WideFStringGrid.h"
#include "ZipProject.h"

namespace {
constexpr int DirectoryCol = 0;
constexpr int FilterCol = 1;
const QString FilesTitle = QStringLiteral("Files");

bool IsBlank(const QString& text)
{
    return text.trimmed().isEmpty();
}

bool IsDirectory(const QString& path)
{
    return !IsBlank(path) && QFileInfo(path).isDir();
}

template <typename T> T& FindControl(QWidget& panel, const char* name)
{
    T* control = panel.findChild<T*>(QLatin1String(name));
    if (!control)
        throw std::logic_error(std::string("the panel has no control ") + name);
    return *control;
}
} // namespace

TCommandRowEditor::TCommandRowEditor(QWidget& panel, TZipProject& project, TFilterForm& filterForm,
                                     TUserInterface& ui, std::function<void()> writeSettings,
                                     QObject* parent)
    : QObject(parent), m_grid(FindControl<TWideFStringGrid>(panel, "sgFiles")),
      m_cbFilter(FindControl<QComboBox>(panel, "cbFilter")),
      m_clbFiles(FindControl<QListWidget>(panel, "clbFiles")), m_project(project),
      m_filterForm(filterForm), m_ui(ui), m_writeSettings(std::move(writeSettings))
{
    m_popup = new QMenu(&m_grid);
    m_popup->setObjectName(QStringLiteral("pmsgFiles"));
    AddAction("acStringListDelete", QStringLiteral("Delete Row"),
              QKeySequence(QStringLiteral("Ctrl+Del")),
              &TCommandRowEditor::acStringListDeleteExecute);
    AddAction("acStringGridInsert", QStringLiteral("Insert"),
              QKeySequence(QStringLiteral("Ctrl+Ins")),
              &TCommandRowEditor::acStringGridInsertExecute);
    AddAction("acStringGridMoveUp", QStringLiteral("Move Up"),
              QKeySequence(QStringLiteral("Ctrl+U")),
              &TCommandRowEditor::acStringGridMoveUpExecute);
    AddAction("acStringGridMoveDown", QStringLiteral("MoveDown"),
              QKeySequence(QStringLiteral("Ctrl+D")),
              &TCommandRowEditor::acStringGridMoveDownExecute);
    SetUpGrid();
    ConnectPanel(panel);
    connect(&m_project, &TZipProject::CommandsChanged, this, &TCommandRowEditor::ShowRows);
    ShowRows();
}

QAction* TCommandRowEditor::AddAction(const char* name, const QString& text,
                                      const QKeySequence& shortcut,
                                      void (TCommandRowEditor::*handler)())
{
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    // Anywhere in the window while the grid is on show.
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, handler);
    m_grid.addAction(action);
    m_popup->addAction(action);
    return action;
}

void TCommandRowEditor::SetUpGrid()
{
    m_grid.SetColCount(2);
    m_grid.SetFixedCols(0);
    m_grid.SetOptions(goEditing);
    // A double click is a command of its own here, so it does not open the
    // cell editor; typing into a cell or F2 does.
    m_grid.setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_grid.OnCanSelectCell = [this](int col, int row) {
        return sgFilesSelectCell(col, row);
    };
    connect(&m_grid, &QAbstractItemView::clicked, this, &TCommandRowEditor::sgFilesClick);
    connect(&m_grid, &QAbstractItemView::doubleClicked, this, &TCommandRowEditor::sgFilesDblClick);
    connect(&m_grid, &TFStringGridBase::OnSetEditText, this, &TCommandRowEditor::StoreRows);
    m_grid.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_grid, &QWidget::customContextMenuRequested, this, &TCommandRowEditor::ShowPopup);
    m_grid.viewport()->installEventFilter(this);
}

void TCommandRowEditor::ConnectPanel(QWidget& panel)
{
    connect(&FindControl<QAbstractButton>(panel, "bnLoadFile"), &QAbstractButton::clicked, this,
            &TCommandRowEditor::bnLoadFileClick);
    connect(&FindControl<QAbstractButton>(panel, "bnLoadDirectory"), &QAbstractButton::clicked,
            this, &TCommandRowEditor::bnLoadDirectoryClick);
    connect(&FindControl<QAbstractButton>(panel, "bnSetRelDir"), &QAbstractButton::clicked, this,
            &TCommandRowEditor::bnSetRelDirClick);
    QLabel& relDir = FindControl<QLabel>(panel, "lbRelDir");
    relDir.setText(m_project.RelDir());
    connect(&m_project, &TZipProject::RelDirChanged, &relDir, &QLabel::setText);
}

bool TCommandRowEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid.viewport() && event->type() == QEvent::Resize)
        FitColumns();
    return QObject::eventFilter(watched, event);
}

void TCommandRowEditor::ShowPopup(const QPoint& position)
{
    m_popup->popup(m_grid.viewport()->mapToGlobal(position));
}

// ---- rows between the project and the grid ----------------------------------------

void TCommandRowEditor::ShowRows()
{
    if (m_storing)
        return;
    const QScopedValueRollback showing(m_showing, true);
    const QList<TZipCommand> commands = m_project.Commands();
    // The grid always shows a data row, if an empty one, below its header.
    m_grid.SetRowCount(std::max(2, int(commands.size()) + 1));
    m_grid.SetFixedRows(1);
    m_grid.SetRows(0, TZipProject::HeaderRow());
    m_grid.SetRows(1, {QString(), QString()});
    for (int i = 0; i < commands.size(); ++i)
        m_grid.SetRows(i + 1, {commands[i].Directory, commands[i].Filter});
    FitColumns();
}

void TCommandRowEditor::StoreRows()
{
    // Not while the grid is being filled: it holds only part of the rows then.
    if (m_showing)
        return;
    QList<TZipCommand> commands;
    for (int row = 1; row < m_grid.RowCount(); ++row)
        commands.append({m_grid.Cells(DirectoryCol, row), m_grid.Cells(FilterCol, row)});
    const QScopedValueRollback storing(m_storing, true);
    m_project.SetCommands(commands);
}

void TCommandRowEditor::FitColumns()
{
    const int client = m_grid.viewport()->width();
    m_grid.SetColWidths(DirectoryCol, client * 4 / 5);
    m_grid.SetColWidths(FilterCol, client / 5);
}

void TCommandRowEditor::SaveAll()
{
    StoreRows();
    m_writeSettings();
}

// The current filter text lives in the hidden cbFilter, which the window
// stores with the project; the project is told at once as well.
QString TCommandRowEditor::FilterText() const
{
    return m_cbFilter.currentText();
}

void TCommandRowEditor::SetFilterText(const QString& text)
{
    m_cbFilter.setCurrentText(text);
    m_project.SetFilterText(text);
}

void TCommandRowEditor::AddToFileList(const QString& file)
{
    for (int row = 0; row < m_clbFiles.count(); ++row) {
        if (m_clbFiles.item(row)->text().compare(file, PathRules::FileNameCase()) == 0)
            return;
    }
    auto* item = new QListWidgetItem(file, &m_clbFiles);
    item->setCheckState(Qt::Checked);
}

QString TCommandRowEditor::Resolve(const QString& path) const
{
    return PathRules::IsAbsolute(path) ? path : m_project.RelDir() + path;
}

QString TCommandRowEditor::RelativeToRelDir(const QString& path) const
{
    // Without a relative directory a path has nothing to be relative to.
    return m_project.RelDir().isEmpty() ? path : RelativePath(path, m_project.RelDir());
}

// ---- commands ------------------------------------------------------------------------

void TCommandRowEditor::AddCommandRow(const QString& path, const QString& filter, bool append)
{
    const int last = m_grid.RowCount() - 1;
    if (!append && !IsBlank(m_grid.Cells(FilterCol, last)))
        append = true;
    if (append)
        m_grid.SetRowCount(m_grid.RowCount() + 1);
    if (m_grid.Row() == 1 || m_project.RelDir().isEmpty()) {
        m_grid.SetCol(DirectoryCol);
        m_grid.SetRow(m_grid.RowCount() - 1);
    }
    const int row = m_grid.Row();
    m_grid.SetCells(DirectoryCol, row, RelativeToRelDir(path));
    m_grid.SetCells(FilterCol, row, filter);
    FitColumns();
    SaveAll();
}

void TCommandRowEditor::bnLoadFileClick()
{
    const QString filter = FilterText();
    TFileRequest request;
    request.Title = FilesTitle;
    request.Filter = QStringLiteral("Filter (") + filter + QStringLiteral(")|") + filter;
    request.DefaultExt = filter;
    request.Options = TFileRequest::FileMustExist;
    const QString file = m_ui.OpenFileName(request);
    if (file.isEmpty())
        return;
    m_project.SetLoadLastFile(file);
    AddCommandRow(file, QString(), true);
    AddToFileList(file);
}

// Where the directory dialog starts: the current row's directory (or the one
// above when it is blank), below RelDir or below this computer's RelDir, else
// this computer's RelDir or the documents folder, which also becomes RootDir.
QString TCommandRowEditor::LoadDirectoryStart() const
{
    const int row = m_grid.Row();
    QString directory = m_grid.Cells(DirectoryCol, row);
    if (IsBlank(directory) && row > 1)
        directory = m_grid.Cells(DirectoryCol, row - 1);
    if (!IsBlank(directory) && IsDirectory(Resolve(directory)))
        return Resolve(directory);
    if (IsDirectory(m_project.MachineRelDir() + directory))
        return m_project.MachineRelDir() + directory;
    return QString();
}

void TCommandRowEditor::LoadDirectory(bool append)
{
    QString start = LoadDirectoryStart();
    if (start.isEmpty()) {
        start = IsDirectory(m_project.MachineRelDir()) ? m_project.MachineRelDir()
                                                       : PathRules::DocumentsFolder();
        m_project.SetRootDir(start);
    }
    start = start.trimmed();
    if (start.size() > 1 && PathRules::IsSeparator(start.back()))
        start.chop(1);
    TFileRequest request;
    request.Title = QStringLiteral("Load Directory");
    request.Preset = start;
    request.Options = TFileRequest::CreateDirectories;
    const QString chosen = m_ui.DirectoryName(request);
    if (!chosen.isEmpty())
        AddCommandRow(chosen, FilterText(), append);
}

void TCommandRowEditor::bnSetRelDirClick()
{
    m_project.AskRelDir();
}

void TCommandRowEditor::acStringGridInsertExecute()
{
    const int row = m_grid.Row();
    if (row >= m_grid.RowCount() - 1)
        m_grid.SetRowCount(m_grid.RowCount() + 1);
    else
        m_grid.InsertRow(row);
    StoreRows();
}

void TCommandRowEditor::acStringListDeleteExecute()
{
    const int row = m_grid.Row();
    m_grid.DeleteRow();
    m_grid.SetRow(std::min(row, m_grid.RowCount() - 1));
    StoreRows();
}

void TCommandRowEditor::acStringGridMoveUpExecute()
{
    m_grid.PriorRow();
}

void TCommandRowEditor::acStringGridMoveDownExecute()
{
    m_grid.NextRow();
}

// ---- grid events ------------------------------------------------------------------------

bool TCommandRowEditor::sgFilesSelectCell(int col, int row)
{
    if (col == FilterCol) {
        if (!IsDirectory(Resolve(m_grid.Cells(DirectoryCol, row))))
            return false;
        SetFilterText(m_grid.Cells(FilterCol, row));
    } else if (col != DirectoryCol) {
        return false;
    }
    m_grid.setToolTip(m_grid.Cells(col, row));
    return true;
}

void TCommandRowEditor::sgFilesClick()
{
    if (m_grid.Col() != FilterCol)
        return;
    const int row = m_grid.Row();
    QString filter = m_grid.Cells(FilterCol, row);
    if (IsBlank(filter))
        filter = m_lastFilter;
    m_filterForm.setWindowTitle(filter);
    m_filterForm.LoadFilter(filter);
    if (m_filterForm.Execute()) {
        m_grid.SetCells(FilterCol, row, m_filterForm.CheckedFilter());
        SaveAll();
    }
    m_lastFilter = m_filterForm.CheckedFilter();
    m_grid.SetCol(DirectoryCol);
}

void TCommandRowEditor::sgFilesDblClick()
{
    const QString cell = m_grid.Cells(DirectoryCol, m_grid.Row());
    if (m_grid.Col() != DirectoryCol || IsBlank(cell))
        return;
    const QString path = Resolve(cell);
    if (QFileInfo(path).isDir()) {
        m_project.SetRootDir(path);
        LoadDirectory(false);
        return;
    }
    ChooseFileForCell(path);
}

void TCommandRowEditor::ChooseFileForCell(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    const QString extension = suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
    TFileRequest request;
    request.Title = FilesTitle;
    request.Filter = QStringLiteral("(*%1)|*%1|All files (*.*)|*.*").arg(extension);
    request.Preset = path;
    const int row = m_grid.Row();
    const QString file = m_ui.OpenFileName(request);
    if (file.isEmpty())
        return;
    m_grid.SetCells(DirectoryCol, row, RelativeToRelDir(file));
    StoreRows();
}
