#include "SyncList.h"

#include <algorithm>

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QVBoxLayout>

#include "AppSettings.h"
#include "FStringGrid.h"
#include "PanelButton.h"
#include "ZipProject.h"

namespace {
constexpr int kColumns = 7;
constexpr int kOperationColumn = 3;
constexpr int kRowHeight = 20;
constexpr int kBottomPanelHeight = 62;
constexpr int kPopupWidth = 170;
constexpr int kHintWidth = 150;
constexpr int kHintOffset = 10;
// The button's frame and padding around its caption.
constexpr int kCaptionPadding = 16;
constexpr int kNarrowestColumn = 10;
const int kDesignWidths[kColumns] = {189, 64, 64, 36, 203, 64, 64};

bool IsBlank(const QString& text)
{
    return text.trimmed().isEmpty();
}

QStringList OperationLines()
{
    QStringList lines;
    for (const QString& caption : SyncOperations::Captions())
        lines.append(u'"' + caption + QStringLiteral("\",-1"));
    return lines;
}

// A zero-width space between the characters, so a path without blanks wraps
// at the hint's width instead of being cut.
QString BreakableAnywhere(const QString& text)
{
    QString result;
    result.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        result.append(text.at(i));
        if (i + 1 < text.size() && !text.at(i).isHighSurrogate())
            result.append(QChar(0x200B));
    }
    return result;
}

bool IsOperationState(int state)
{
    return state >= 0 && state < SyncOperationCount;
}
} // namespace

TSyncList::TSyncList(TZipProject& project, QWidget* parent) : QDialog(parent), m_project(project)
{
    setObjectName(QStringLiteral("SyncList"));
    setWindowTitle(QStringLiteral("SyncList"));
    setModal(true);
    CreateControls();
    resize(696, 480);
    ClearItems();
    SetFileHeader(QString());
    SetZipHeader(QString());
    SetZipOperation(project.ZipOperation());
    connect(&project, &TZipProject::ZipOperationChanged, this, &TSyncList::SetZipOperation);
}

TSyncList::~TSyncList()
{
    // Qt deletes the controls in the base destructor, after this window's own
    // members are gone: nothing they do then may reach a handler.
    m_grid->OnDrawCell = nullptr;
    const QList<QObject*> sources{m_grid, m_grid->viewport(), m_grid->horizontalHeader(),
                                  m_grid->selectionModel(), m_bnOp};
    for (QObject* source : sources) {
        source->removeEventFilter(this);
        source->disconnect(this);
    }
}

// ---- controls ----------------------------------------------------------------

void TSyncList::CreateControls()
{
    m_hint = new QLabel(this, Qt::ToolTip);
    m_hint->setObjectName(QStringLiteral("HintWindow"));
    m_hint->setTextFormat(Qt::PlainText);
    m_hint->setWordWrap(true);
    m_hint->setMargin(2);
    m_hint->setFrameShape(QFrame::Box);
    m_hint->setStyleSheet(QStringLiteral("background: #ffffe1; color: black;"));
    m_grid = new TFStringGrid(this);
    m_grid->setObjectName(QStringLiteral("sgSync"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_grid, 1);
    layout->addWidget(CreateBottomPanel());
    ConfigureGrid();
    ConfigureOperationButton();
    m_grid->BuildFilterButtons();
}

QWidget* TSyncList::CreateBottomPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnBottom"));
    panel->setFixedHeight(kBottomPanelHeight);
    m_rbgZipOperation = new QGroupBox(QStringLiteral("Operation if exists in Zip File"), panel);
    m_rbgZipOperation->setObjectName(QStringLiteral("rbgZipOperation"));
    m_zipOperations = new QButtonGroup(this);
    auto* items = new QHBoxLayout(m_rbgZipOperation);
    const QStringList captions{QStringLiteral("Replace File"), QStringLiteral("Add File"),
                               QStringLiteral("Create in new Zip")};
    for (int index = 0; index < captions.size(); ++index) {
        auto* item = new QRadioButton(captions.at(index), m_rbgZipOperation);
        item->setObjectName(QStringLiteral("rbgZipOperationItem%1").arg(index));
        m_zipOperations->addButton(item, index);
        items->addWidget(item);
    }
    connect(m_zipOperations, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked)
            rbgZipOperationClick(index);
    });
    m_bnCancel = new QPushButton(QStringLiteral("Cancel"), panel);
    m_bnCancel->setObjectName(QStringLiteral("bnCancel"));
    m_bnSync = new QPushButton(QStringLiteral("Sync"), panel);
    m_bnSync->setObjectName(QStringLiteral("bnSync"));
    for (QPushButton* button : {m_bnCancel, m_bnSync})
        button->setAutoDefault(false);
    connect(m_bnCancel, &QPushButton::clicked, this, &TSyncList::bnCancelClick);
    connect(m_bnSync, &QPushButton::clicked, this, &TSyncList::bnSyncClick);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 2, 8, 6);
    row->addWidget(m_rbgZipOperation);
    row->addStretch(1);
    row->addWidget(m_bnCancel, 0, Qt::AlignBottom);
    row->addWidget(m_bnSync, 0, Qt::AlignBottom);
    return panel;
}

void TSyncList::ConfigureGrid()
{
    m_grid->SetColCount(kColumns);
    m_grid->SetRowCount(2);
    m_grid->SetFixedCols(0);
    m_grid->SetFixedRows(1);
    m_grid->SetOptions(goRowSelect);
    m_grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    for (int col = 0; col < kColumns; ++col)
        m_grid->SetColWidths(col, kDesignWidths[col]);
    m_grid->OnHasFilter = [](int col, TSelection& hasFilter, bool& sorted) {
        hasFilter = col == kOperationColumn ? fsSingle : fsNone;
        sorted = false;
    };
    // The operation filter always offers the seven operations in code order:
    // entries taken from the cells would miss every operation the user set
    // after the list was filled, since cell writes do not rebuild the buttons.
    m_grid->OnGetFilterEntries = [](int col, QStringList& list) {
        if (col == kOperationColumn)
            list = SyncOperations::Symbols();
    };
    m_grid->OnDrawCell = [this](QPainter& painter, int col, int row, TGridDrawState state,
                                const QRect& rect) {
        m_grid->DefaultDrawCell(painter, col, row, state, rect);
        ShowOperationButton();
    };
    connect(m_grid, &TFStringGridBase::OnSelectCell, this, &TSyncList::sgSyncSelectCell);
    connect(m_grid, &TFStringGridBase::OnTopLeftChanged, this, &TSyncList::sgSyncTopLeftChanged);
    connect(m_grid, &TFStringGridBase::OnChanged, this, &TSyncList::ShowOperationButton);
    connect(m_grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TSyncList::ShowOperationButton);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this,
            &TSyncList::ShowOperationButton);
    m_grid->installEventFilter(this);
    m_grid->viewport()->setMouseTracking(true);
    m_grid->viewport()->installEventFilter(this);
    m_grid->horizontalHeader()->setMouseTracking(true);
    m_grid->horizontalHeader()->installEventFilter(this);
}

void TSyncList::ConfigureOperationButton()
{
    m_bnOp = new TPanelButton(m_grid->viewport());
    m_bnOp->setObjectName(QStringLiteral("bnOp"));
    m_bnOp->SetCaptionItems(OperationLines());
    m_bnOp->SetStateMin(0);
    m_bnOp->SetStateMax(SyncOperationCount - 1);
    m_bnOp->SetPopup(false);
    m_bnOp->SetPopupImages(true);
    m_bnOp->SetPopupButton(false);
    m_bnOp->SetPopupWidth(kPopupWidth);
    m_bnOp->SetPopupHeight(0);
    m_bnOp->SetPopupElements(0);
    m_bnOp->SetShowPressed(false);
    m_bnOp->SetUseBackGroundColor(false);
    m_bnOp->hide();
    m_bnOp->installEventFilter(this);
    connect(m_bnOp, &TPanelButton::OnClick, this, &TSyncList::bnOpClick);
}

// ---- rows ------------------------------------------------------------------------

void TSyncList::ClearItems()
{
    m_model.ClearItems();
    m_grid->SetRowCount(2);
    for (int col = 0; col < kColumns - 1; ++col)
        m_grid->SetCells(col, 1, QStringLiteral(" "));
    m_grid->SetCells(kColumns - 1, 1, QString());
    m_exitRow = -1;
    m_shownRow = -1;
}

void TSyncList::SetFileHeader(const QString& text)
{
    m_model.SetFileHeader(text);
    m_grid->SetRows(0, m_model.HeaderRow().mid(0, 3));
}

void TSyncList::SetZipHeader(const QString& text)
{
    m_model.SetZipHeader(text);
    const QStringList header = m_model.HeaderRow();
    for (int col = 4; col < kColumns; ++col)
        m_grid->SetCells(col, 0, header.at(col));
}

void TSyncList::AddItem(const TSyncItem& item, int operation)
{
    m_model.AddItem(item, operation);
    if (!IsBlank(m_grid->Cells(0, 1)) || !IsBlank(m_grid->Cells(4, 1)))
        m_grid->SetRowCount(m_grid->RowCount() + 1);
    const int row = m_grid->RowCount() - 1;
    m_grid->SetRows(row, m_model.Items().constLast().Fields());
    m_grid->SetRowHeights(row, kRowHeight);
}

void TSyncList::LoadItems()
{
    const QList<TSyncItem>& items = m_model.Items();
    TStringTable table(kColumns, std::max(2, int(items.size()) + 1));
    table.SetFixedCols(0);
    table.SetRow(0, m_model.HeaderRow());
    if (items.isEmpty())
        table.SetRow(1, {" ", " ", " ", " ", " ", " ", ""});
    for (int i = 0; i < items.size(); ++i)
        table.SetRow(i + 1, items.at(i).Fields());
    m_grid->LoadTable(table);
    m_grid->SetFixedRows(1);
    m_exitRow = -1;
    m_shownRow = -1;
}

QList<TSyncItem> TSyncList::ShownItems() const
{
    QList<TSyncItem> rows;
    if (ItemCount() == 0)
        return rows;
    for (int row = 1; row < m_grid->RowCount(); ++row) {
        const auto cell = [this, row](int col) {
            return m_grid->Cells(col, row);
        };
        rows.append({cell(0), cell(1), cell(2), cell(3), cell(4), cell(5), cell(6)});
    }
    return rows;
}

void TSyncList::SetOperationCell(int row, const QString& symbol)
{
    m_grid->SetCells(kOperationColumn, row, symbol);
    m_model.SetOperationText(m_grid->MasterRow(row) - 1, symbol);
}

void TSyncList::SetSelectedOperations(const QString& symbol)
{
    const TGridRect selection = m_grid->Selection();
    for (int row = std::max(selection.Top, 1); row <= selection.Bottom; ++row)
        SetOperationCell(row, symbol);
    ShowOperationButton();
}

// ---- operation mode ------------------------------------------------------------------

void TSyncList::SetZipOperation(int operation)
{
    QAbstractButton* item = m_zipOperations->button(operation);
    if (!item)
        return;
    m_zipOperation = operation;
    m_radioGuard = true;
    item->setChecked(true);
    m_radioGuard = false;
    if (m_project.ZipOperation() != operation)
        m_project.SetZipOperation(operation);
}

void TSyncList::rbgZipOperationClick(int index)
{
    if (m_radioGuard)
        return;
    SetZipOperation(index);
    SaveProject();
}

void TSyncList::SaveProject()
{
    if (m_settings)
        m_settings->WriteSettings();
    else if (!m_project.CFGFileName().isEmpty())
        m_project.SaveProject(m_project.CFGFileName());
}

// ---- the operation button --------------------------------------------------------------

void TSyncList::ShowOperationButton()
{
    const int row = m_grid->Selection().Bottom;
    if (row < 1 || row >= m_grid->RowCount()) {
        m_bnOp->hide();
        m_exitRow = -1;
        m_shownRow = -1;
        return;
    }
    // The button takes the cell's operation only when row or text changed:
    // this runs for every painted cell, so an unchanged button must neither
    // ask for another paint nor lose a choice made in its popup whose click
    // has not been handled yet.
    const QString text = m_grid->Cells(kOperationColumn, row);
    if (row != m_shownRow || text != m_shownText) {
        m_bnOp->SetCaption(text);
        m_bnOp->SetState(SyncOperations::Code(text));
        m_shownRow = row;
        m_shownText = text;
    }
    QRect cell = m_grid->CellRect(kOperationColumn, row);
    if (!cell.isEmpty())
        cell.translate(-m_grid->viewport()->geometry().topLeft());
    if (m_bnOp->geometry() != cell)
        m_bnOp->setGeometry(cell);
    if (!m_bnOp->isVisible())
        m_bnOp->show();
    m_bnOp->SetPopup(true);
    // The exit target is always the row under the button, which shows that
    // row's operation: after a filter or an upward range selection the last
    // clicked row is another one, which would get this row's operation.
    m_exitRow = row;
}

void TSyncList::sgSyncSelectCell(int, int)
{
    m_exitRow = -1;
    ShowOperationButton();
}

void TSyncList::sgSyncTopLeftChanged()
{
    ShowOperationButton();
}

void TSyncList::bnOpClick()
{
    if (IsOperationState(m_bnOp->State()))
        SetSelectedOperations(SyncOperations::Symbol(m_bnOp->State()));
}

void TSyncList::cbOpExit()
{
    if (m_exitRow >= 1 && m_exitRow < m_grid->RowCount() && IsOperationState(m_bnOp->State()))
        SetOperationCell(m_exitRow, SyncOperations::Symbol(m_bnOp->State()));
}

void TSyncList::sgSyncKeyUp()
{
    const QString current = m_grid->Cells(kOperationColumn, m_grid->Row());
    SetSelectedOperations(SyncOperations::Symbol(SyncOperations::NextCycled(current)));
}

// ---- hint ----------------------------------------------------------------------------

void TSyncList::sgSyncMouseMove(const QPoint& viewportPos)
{
    int col = -1;
    int row = -1;
    const QPoint onGrid = m_grid->viewport()->mapTo(m_grid, viewportPos);
    if (!m_grid->MouseToCell(onGrid, col, row) || row < 1 || IsBlank(m_grid->Cells(col, row))) {
        HideHint();
        return;
    }
    const QString text = m_grid->Cells(col, row);
    m_hint->setText(BreakableAnywhere(text));
    const int natural = m_hint->fontMetrics().horizontalAdvance(text) + 2 * m_hint->margin() +
                        2 * m_hint->frameWidth() + 2;
    const int width = std::min(kHintWidth, natural);
    m_hint->resize(width, m_hint->heightForWidth(width));
    m_hint->move(m_grid->viewport()->mapToGlobal(viewportPos) + QPoint(kHintOffset, kHintOffset));
    m_hint->show();
}

void TSyncList::HideHint()
{
    m_hint->hide();
}

// ---- widths and events ------------------------------------------------------------------

void TSyncList::AdjustWidths()
{
    m_grid->AdjustWidths(true);
    // The operation button shows the captions over the narrow symbol column:
    // that column is widened to the longest caption, and the widest columns
    // (the paths, whose whole text the hint shows) give way first, so dates
    // and sizes stay readable.
    const QFontMetrics metrics(m_bnOp->font());
    int needed = 0;
    for (const QString& caption : SyncOperations::Captions())
        needed = std::max(needed, metrics.horizontalAdvance(caption) + kCaptionPadding);
    QList<int> widths;
    for (int col = 0; col < kColumns; ++col)
        widths.append(col == kOperationColumn ? 0 : m_grid->ColWidths(col));
    for (int extra = needed - m_grid->ColWidths(kOperationColumn); extra > 0; --extra) {
        const auto widest = std::max_element(widths.begin(), widths.end());
        if (*widest <= kNarrowestColumn)
            break;
        --*widest;
    }
    for (int col = 0; col < kColumns; ++col)
        if (col != kOperationColumn && widths.at(col) != m_grid->ColWidths(col))
            m_grid->SetColWidths(col, widths.at(col));
    m_grid->SetColWidths(kOperationColumn, needed);
}

bool TSyncList::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == m_bnOp) {
        if (type == QEvent::FocusOut)
            cbOpExit();
    } else if (watched == m_grid) {
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() != Qt::Key_Space || key->modifiers() != Qt::NoModifier)
                return QDialog::eventFilter(watched, event);
            if (type == QEvent::KeyRelease && !key->isAutoRepeat())
                sgSyncKeyUp();
            return true; // space changes operations, never the selection
        }
        if (type == QEvent::FocusOut)
            HideHint();
    } else if (watched == m_grid->viewport()) {
        if (type == QEvent::MouseMove)
            sgSyncMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
        else if (type == QEvent::Leave)
            HideHint();
    } else if (watched == m_grid->horizontalHeader()) {
        if (type == QEvent::MouseMove || type == QEvent::Enter)
            HideHint();
    }
    return QDialog::eventFilter(watched, event);
}

void TSyncList::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    AdjustWidths();
}

void TSyncList::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        HideHint();
}

void TSyncList::hideEvent(QHideEvent* event)
{
    HideHint();
    QDialog::hideEvent(event);
}

void TSyncList::bnCancelClick()
{
    HideHint();
    reject();
}

void TSyncList::bnSyncClick()
{
    HideHint();
    // Both buttons end the window with Cancel, also when the run fails.
    const auto close = qScopeGuard([this] { reject(); });
    if (OnExecute)
        OnExecute();
}
