#include "FStringGridBase.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QCollator>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSet>

#include "Exception.h"
#include "GridDelegate.h"
#include "GridHeader.h"
#include "GridModel.h"
#include "Utils.h"

namespace {
const int DefaultRowHeight = 24;
const int DefaultColWidth = 64;
const int MaxFitWidth = 150;
const int MinFitWidth = 10;
const double WideStretchCap = 1.2;
const QColor ThemedFixedColor(241, 241, 237);
const QColor InactiveCaption(191, 205, 219);
const QColor InactiveCaptionText(0, 0, 0);

bool ContainsNoCase(const QStringList& list, const QString& text)
{
    return std::any_of(list.begin(), list.end(), [&text](const QString& item) {
        return item.compare(text, Qt::CaseInsensitive) == 0;
    });
}

// Removes the characters of code 32 or less at both ends.
QString TrimControls(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

QStringList SelectedEntries(const TPanelButton& button)
{
    QStringList entries;
    for (int entry = 0; entry < button.CaptionItems().size(); ++entry)
        if (button.Selected(entry))
            entries.append(button.CaptionItems().at(entry));
    return entries;
}

void SelectEntries(TPanelButton& button, const QStringList& entries)
{
    for (int entry = 0; entry < button.CaptionItems().size(); ++entry)
        button.SetSelected(entry, entries.contains(button.CaptionItems().at(entry)));
}

// The widest text of a column, at most the fitting cap; a text met before
// cannot widen it again, and a column at the cap is done.
int FitColumnWidth(const QFontMetrics& metrics, const TStringTable& table, int col, bool allRows)
{
    if (!allRows) {
        const int text = metrics.horizontalAdvance(QLatin1Char(' ') + table.Cell(col, 0).trimmed() +
                                                   QLatin1Char(' '));
        return std::min(MaxFitWidth, std::max(MinFitWidth, text));
    }
    int width = MinFitWidth;
    QSet<QString> measured;
    for (int row = 0; row < table.RowCount() && width < MaxFitWidth; ++row) {
        const QString cell = table.Cell(col, row);
        if (measured.contains(cell))
            continue;
        measured.insert(cell);
        const int text = metrics.horizontalAdvance(QStringLiteral("  ") + cell + QLatin1Char(' '));
        width = std::min(MaxFitWidth, std::max(width, text));
    }
    return width;
}
// Lets the grid refuse a move of the current cell before it happens.
class TVetoSelectionModel : public QItemSelectionModel {
public:
    TVetoSelectionModel(QAbstractItemModel* model, TFStringGridBase& grid)
        : QItemSelectionModel(model, &grid), m_grid(grid)
    {}

    void setCurrentIndex(const QModelIndex& index,
                         QItemSelectionModel::SelectionFlags command) override
    {
        if (!index.isValid() || m_grid.CanSelectCell(index.column(), index.row() + 1))
            QItemSelectionModel::setCurrentIndex(index, command);
    }

private:
    const TFStringGridBase& m_grid;
};
} // namespace

TFStringGridBase::TFStringGridBase(TGridVariant variant, QWidget* parent)
    : QTableView(parent), m_variant(variant),
      m_model(new TGridModel(this)), m_gradient{QColor(0xFF, 0xFF, 0xFF), QColor(0xF0, 0xF0, 0xF0),
                                                QColor(0x80, 0x80, 0x80)}
{
    m_model->SetTable(TStringTable(5, 5));
    setModel(m_model);
    QItemSelectionModel* defaultSelection = selectionModel();
    setSelectionModel(new TVetoSelectionModel(m_model, *this));
    delete defaultSelection;
    setItemDelegate(new TGridDelegate(this));
    setHorizontalHeader(new TGridHeader(this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(DefaultRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultSectionSize(DefaultColWidth);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setFixedHeight(DefaultRowHeight);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    SetOptions({});
    m_fileName = objectName() + QStringLiteral(".CSV");
    m_filterButtons = QList<TPanelButton*>(std::max(2, ColCount()), nullptr);
    StoreToMaster();

    connect(m_model, &TGridModel::CellEdited, this, &TFStringGridBase::EditHook);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            &TFStringGridBase::PlaceFilterButtons);
    connect(horizontalHeader(), &QHeaderView::geometriesChanged, this,
            &TFStringGridBase::PlaceFilterButtons);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &TFStringGridBase::TopLeftChanged);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TFStringGridBase::VerticalScrolled);
}

TFStringGridBase::~TFStringGridBase()
{
    // The base destructors still move the header and scroll bars while this
    // grid's members are gone already.
    horizontalHeader()->disconnect(this);
    horizontalScrollBar()->disconnect(this);
    verticalScrollBar()->disconnect(this);
}

// ---- dimensions -----------------------------------------------------------

int TFStringGridBase::RowCount() const
{
    return m_model->Table().RowCount();
}

int TFStringGridBase::ColCount() const
{
    return m_model->Table().ColCount();
}

int TFStringGridBase::FixedRows() const
{
    return m_model->Table().FixedRows();
}

int TFStringGridBase::FixedCols() const
{
    return m_model->Table().FixedCols();
}

void TFStringGridBase::SetRowCount(int rows)
{
    // A shrunk table forgets the cut rows, so rows that come back are empty.
    const int old = RowCount();
    emit OnRowColChange(rows, ColCount());
    m_model->SetDimensions(rows, ColCount());
    if (rows == old)
        return;
    emit OnChanged(this);
    StoreToMaster();
    BuildFilterButtons();
}

void TFStringGridBase::SetColCount(int cols)
{
    const int old = ColCount();
    emit OnRowColChange(RowCount(), cols);
    if (cols != old) {
        FreeFilterButtons();
        m_filterButtons = QList<TPanelButton*>(std::max(2, cols), nullptr);
    }
    for (int col = std::max(cols, 0); cols > 0 && col < old; ++col) {
        for (int row = 0; row < RowCount(); ++row)
            SetCells(col, row, QString());
    }
    m_model->SetDimensions(RowCount(), cols);
    for (auto it = m_hiddenWidths.begin(); it != m_hiddenWidths.end();)
        it = it.key() >= cols ? m_hiddenWidths.erase(it) : std::next(it);
    if (cols == old)
        return;
    emit OnChanged(this);
    StoreToMaster();
    BuildFilterButtons();
}

void TFStringGridBase::SetFixedRows(int rows)
{
    m_model->SetFixed(rows, FixedCols());
    m_master.SetFixedRows(rows);
}

void TFStringGridBase::SetFixedCols(int cols)
{
    m_model->SetFixed(FixedRows(), cols);
    m_master.SetFixedCols(cols);
}

// ---- cells and rows --------------------------------------------------------

int TFStringGridBase::MasterRow(int row) const
{
    if (!m_rowMap.isEmpty() && row >= 1 && row <= m_rowMap.size())
        return m_rowMap[row - 1];
    return row;
}

QString TFStringGridBase::Cells(int col, int row) const
{
    return m_model->Table().Cell(col, row);
}

void TFStringGridBase::SetCells(int col, int row, const QString& text)
{
    m_master.SetCell(col, MasterRow(row), text);
    if (Cells(col, row) != text)
        m_model->SetCell(col, row, text);
}

TGridRowView& TFStringGridBase::Rows(int row)
{
    std::unique_ptr<TGridRowView>& view = m_rowViews[row];
    if (!view)
        view = std::make_unique<TGridRowView>(this, row);
    return *view;
}

void TFStringGridBase::SetRows(int row, const QStringList& items)
{
    // Through the cell writer, so the master copy never misses a row that was
    // written as a whole (pasted rows, rows restored from a project file).
    const int count = std::min(int(items.size()), ColCount());
    for (int col = 0; col < count; ++col)
        SetCells(col, row, items[col]);
}

void TFStringGridBase::EditHook(int col, int row, const QString& text)
{
    emit OnSetEditText(this, col, row, text);
    m_master.SetCell(col, MasterRow(row), Cells(col, row));
}

int TFStringGridBase::ColWidths(int col) const
{
    if (col < 0 || col >= ColCount())
        return 0;
    return isColumnHidden(col) ? m_hiddenWidths.value(col, 0) : columnWidth(col);
}

void TFStringGridBase::SetColWidths(int col, int width)
{
    if (col < 0 || col >= ColCount())
        return;
    if (width <= 0) {
        m_hiddenWidths[col] = width;
        setColumnHidden(col, true);
        return;
    }
    m_hiddenWidths.remove(col);
    setColumnHidden(col, false);
    setColumnWidth(col, width);
}

int TFStringGridBase::RowHeights(int row) const
{
    return row <= 0 ? horizontalHeader()->height() : rowHeight(row - 1);
}

void TFStringGridBase::SetRowHeights(int row, int height)
{
    if (row <= 0)
        horizontalHeader()->setFixedHeight(height);
    else if (row < RowCount())
        setRowHeight(row - 1, height);
}

QRect TFStringGridBase::CellRect(int col, int row) const
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount())
        return QRect();
    QRect rect;
    if (row == 0) {
        const QHeaderView* header = horizontalHeader();
        rect = QRect(header->sectionViewportPosition(col), 0, header->sectionSize(col),
                     header->height());
        rect.translate(header->geometry().topLeft());
    } else {
        rect = visualRect(m_model->index(row - 1, col));
        rect.translate(viewport()->geometry().topLeft());
    }
    return rect.intersects(contentsRect()) ? rect : QRect();
}

bool TFStringGridBase::MouseToCell(const QPoint& point, int& col, int& row) const
{
    const QModelIndex index = indexAt(viewport()->mapFrom(this, point));
    if (!index.isValid())
        return false;
    col = index.column();
    row = index.row() + 1;
    return true;
}

void TFStringGridBase::SetOptions(TGridOptions options)
{
    m_options = options;
    const bool editing = options.testFlag(goEditing);
    m_model->SetEditable(editing);
    setEditTriggers(editing ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::AnyKeyPressed
                            : QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(options.testFlag(goRowSelect) ? QAbstractItemView::SelectRows
                                                       : QAbstractItemView::SelectItems);
}

// ---- current cell and selection --------------------------------------------

int TFStringGridBase::Row() const
{
    const QModelIndex current = currentIndex();
    if (current.isValid())
        return current.row() + 1;
    return RowCount() > 1 ? 1 : 0;
}

void TFStringGridBase::SetRow(int row)
{
    if (row >= 1 && row < RowCount())
        setCurrentIndex(m_model->index(row - 1, std::clamp(Col(), 0, ColCount() - 1)));
}

int TFStringGridBase::Col() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : std::min(FixedCols(), ColCount() - 1);
}

void TFStringGridBase::SetCol(int col)
{
    if (col >= 0 && col < ColCount() && Row() >= 1)
        setCurrentIndex(m_model->index(Row() - 1, col));
}

TGridRect TFStringGridBase::Selection() const
{
    // By ranges, not by cells: a whole list selected is one range of many cells.
    const QItemSelection ranges = selectionModel()->selection();
    if (ranges.isEmpty())
        return {Col(), Row(), Col(), Row()};
    TGridRect rect{INT_MAX, INT_MAX, -1, -1};
    for (const QItemSelectionRange& range : ranges) {
        rect.Left = std::min(rect.Left, range.left());
        rect.Right = std::max(rect.Right, range.right());
        rect.Top = std::min(rect.Top, range.top() + 1);
        rect.Bottom = std::max(rect.Bottom, range.bottom() + 1);
    }
    return rect;
}

void TFStringGridBase::SetSelection(const TGridRect& rect)
{
    const int top = std::max(rect.Top, 1);
    const int bottom = std::min(rect.Bottom, RowCount() - 1);
    if (top > bottom || ColCount() == 0) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex first = m_model->index(top - 1, std::clamp(rect.Left, 0, ColCount() - 1));
    const QModelIndex last = m_model->index(bottom - 1, std::clamp(rect.Right, 0, ColCount() - 1));
    selectionModel()->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
}

// ---- appearance values ------------------------------------------------------

void TFStringGridBase::SetCenterColor(bool on)
{
    m_centerColor = on;
    BuildFilterButtons();
}

void TFStringGridBase::SetColorScale(double scale)
{
    m_colorScale = scale;
    BuildFilterButtons();
}

void TFStringGridBase::SetGradient(int index, const QColor& color)
{
    m_gradient[index] = color;
    BuildFilterButtons();
}

// ---- row operations -----------------------------------------------------------

void TFStringGridBase::InsertRow(int index)
{
    SetRowCount(RowCount() + 1);
    for (int row = RowCount() - 2; row >= index && row >= 0; --row)
        m_model->SetRow(row + 1, m_model->Table().Row(row));
    m_model->ClearRow(index);
    StoreToMaster();
    emit OnChanged(this);
}

int TFStringGridBase::FindMasterRow(int row) const
{
    // Data rows only: a row that reads like the header must not take it away.
    const QString text = CommaText(m_model->Table().Row(row));
    for (int master = 1; master < m_master.RowCount(); ++master) {
        if (CommaText(m_master.Row(master)) == text)
            return master;
    }
    return -1;
}

void TFStringGridBase::DeleteMasterRow(int masterRow)
{
    m_master.RemoveRow(masterRow);
}

void TFStringGridBase::DeleteSelectedRows()
{
    const int fixedRows = FixedRows();
    if (RowCount() >= 2) {
        const TGridRect selection = Selection();
        for (int row = selection.Top; row <= selection.Bottom; ++row) {
            m_modified = true;
            const int master = RowCount() == m_master.RowCount() ? row : FindMasterRow(row);
            if (master >= 1)
                DeleteMasterRow(master);
        }
        if (m_master.RowCount() <= 1) {
            m_master.SetRowCount(2);
            m_master.ClearRow(1);
        }
    } else {
        m_master.ClearRow(1);
    }
    RestoreFromMaster();
    SetFixedRows(std::min(RowCount() - 1, fixedRows));
    BuildFilterButtons();
    emit OnChanged(this);
}

void TFStringGridBase::Assign(const QObject* source)
{
    const auto* grid = qobject_cast<const TFStringGridBase*>(source);
    if (!grid || grid->Variant() != m_variant)
        throw EConvertError(m_variant == gvNarrow
                                ? QStringLiteral("TFStringGrid Assign not possible")
                                : QStringLiteral("TWideFStringGrid Assign not possible"));
    SetColCount(grid->ColCount());
    SetRowCount(grid->RowCount());
    SetFixedRows(grid->FixedRows());
    SetFixedCols(grid->FixedCols());
    for (int row = 0; row < grid->RowCount(); ++row)
        m_model->SetRow(row, grid->m_model->Table().Row(row));
    StoreToMaster();
    BuildFilterButtons();
    emit OnChanged(this);
}

// ---- master copy ---------------------------------------------------------------

void TFStringGridBase::StoreToMaster()
{
    m_master = m_model->Table();
    m_rowMap.clear();
}

void TFStringGridBase::SetVisibleTable(const TStringTable& table)
{
    const int row = Row();
    const int col = Col();
    m_model->SetTable(table);
    if (row >= 1 && row < RowCount() && col >= 0 && col < ColCount())
        setCurrentIndex(m_model->index(row - 1, col));
}

void TFStringGridBase::LoadTable(const TStringTable& table)
{
    EndEditing();
    m_model->SetTable(table);
    StoreToMaster();
    BuildFilterButtons();
    emit OnChanged(this);
}

void TFStringGridBase::RestoreFromMaster()
{
    SetVisibleTable(m_master);
    SetFixedRows(m_master.FixedRows());
    SetFixedCols(m_master.FixedCols());
    m_rowMap.clear();
}

// ---- filter buttons ---------------------------------------------------------------

QString TFStringGridBase::FormatFilterEntry(const QString& text, bool withArrow)
{
    QString entry = TrimControls(text);
    const qsizetype ampersand = entry.indexOf(QLatin1Char('&'));
    if (ampersand >= 0)
        entry.insert(ampersand, QLatin1Char('&'));
    if (entry.isEmpty())
        return QString();
    if (withArrow)
        entry.prepend(QStringLiteral("->"));
    return u'"' + entry + QStringLiteral("\",-1");
}

void TFStringGridBase::FreeFilterButton(int col)
{
    TPanelButton* button = m_filterButtons.value(col);
    if (!button)
        return;
    // Later, because the button may be the sender of the click being handled.
    button->hide();
    button->deleteLater();
    m_filterButtons[col] = nullptr;
}

void TFStringGridBase::FreeFilterButtons()
{
    for (int col = 0; col < m_filterButtons.size(); ++col)
        FreeFilterButton(col);
}

TPanelButton* TFStringGridBase::TakeFilterButton(int col)
{
    if (m_filterButtons[col])
        return m_filterButtons[col];
    auto* button = new TPanelButton(horizontalHeader());
    button->setObjectName(QStringLiteral("FilterButton%1").arg(col));
    button->SetState(0);
    if (m_variant == gvWide && OnGetAlignment) {
        const TAlignment alignment = OnGetAlignment(col, 0);
        button->SetLayout(alignment == taRightJustify ? blGlyphRight
                          : alignment == taCenter     ? blGlyphTop
                                                      : blGlyphLeft);
    }
    connect(button, &TPanelButton::OnClick, this,
            [this](TPanelButton* sender) { ApplyFilter(sender); });
    m_filterButtons[col] = button;
    return button;
}

QStringList TFStringGridBase::AnswerFilterEntries(int col) const
{
    QStringList list;
    if (OnGetFilterEntries)
        OnGetFilterEntries(col, list);
    return list;
}

QStringList TFStringGridBase::FilterEntries(int col) const
{
    QStringList entries;
    const auto add = [&entries](const QString& text) {
        const QString entry = FormatFilterEntry(text, true);
        if (entry.isEmpty() || ContainsNoCase(entries, entry))
            return false;
        entries.append(entry);
        return true;
    };
    const QStringList answer = AnswerFilterEntries(col);
    if (!answer.isEmpty()) {
        for (const QString& item : answer)
            add(item);
        return entries;
    }
    const bool runs = m_variant == gvWide && col == 0;
    for (int row = 1; row < m_master.RowCount(); ++row) {
        if (!add(m_master.Cell(col, row)) || !runs)
            continue;
        // Column 0 of the wide grid lists the first value of each run only.
        while (row + 1 < m_master.RowCount() && !TrimControls(m_master.Cell(0, row + 1)).isEmpty())
            ++row;
        ++row;
    }
    return entries;
}

void TFStringGridBase::BuildFilterButtons()
{
    if (!OnHasFilter) {
        FreeFilterButtons();
        return;
    }
    if (RowCount() > 1)
        SetFixedRows(1);
    for (int col = 0; col < ColCount(); ++col) {
        TSelection hasFilter = fsNone;
        bool sorted = false;
        OnHasFilter(col, hasFilter, sorted);
        if (hasFilter == fsNone || (m_variant == gvWide && ColWidths(col) <= 0)) {
            FreeFilterButton(col);
            continue;
        }
        TPanelButton* button = TakeFilterButton(col);
        button->SetSelection(hasFilter);
        button->SetPopup(true);
        button->SetWordWrap(false);
        // An open list keeps what the user has selected in it so far.
        const bool open = button->IsPopupOpen();
        const QStringList selected = open ? SelectedEntries(*button) : QStringList();
        if (!open)
            button->SetCaptionItems({});
        QStringList entries = FilterEntries(col);
        if (sorted) {
            QCollator collator;
            collator.setCaseSensitivity(Qt::CaseInsensitive);
            std::sort(entries.begin(), entries.end(), collator);
        }
        entries.prepend(FormatFilterEntry(m_master.Cell(col, 0), false));
        button->SetCaptionItems(entries);
        if (open)
            SelectEntries(*button, selected);
        else
            button->SetSelected(0, true);
        button->SetStateMax(int(entries.size()) - 1);
        button->SetState(button->State());
        button->show();
    }
    PlaceFilterButtons();
}

QStringList TFStringGridBase::SelectedValues(const TPanelButton* button, TSelection kind) const
{
    QStringList values;
    for (int entry = kind == fsMulti ? 1 : 0; entry < button->CaptionItems().size(); ++entry) {
        if (!button->Selected(entry))
            continue;
        QString value = TrimControls(button->ItemCaption(entry)).mid(2);
        if (value.contains(QStringLiteral("&&")))
            value.remove(value.indexOf(QLatin1Char('&')), 1);
        values.append(value);
    }
    return values;
}

void TFStringGridBase::FilterByHandler(int col, const QStringList& values, QList<bool>& keep) const
{
    for (int row = 1; row < m_master.RowCount(); ++row) {
        if (keep[row] && !OnIsInList(values, col, row))
            keep[row] = false;
    }
}

void TFStringGridBase::FilterByValues(int col, const QStringList& values, QList<bool>& keep) const
{
    const bool runs = m_variant == gvWide && col == 0;
    bool inRun = false;
    for (int row = 1; row < m_master.RowCount(); ++row) {
        // The rule that made the entries, so every listed value finds its rows.
        const QString cell = TrimControls(m_master.Cell(col, row));
        if (inRun) {
            // Rows of a kept column-0 run stay up to and including the next blank one.
            inRun = !cell.isEmpty();
            continue;
        }
        if (!ContainsNoCase(values, cell))
            keep[row] = false;
        else if (runs)
            inRun = true;
    }
}

void TFStringGridBase::EndEditing()
{
    QWidget* editor = QApplication::focusWidget();
    if (state() == QAbstractItemView::EditingState && editor && isAncestorOf(editor)) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TFStringGridBase::ApplyFilter(QObject* sender)
{
    EndEditing();
    QList<bool> keep(m_master.RowCount(), true);
    if (!keep.isEmpty())
        keep[0] = false;
    for (int col = 0; col < m_filterButtons.size() && col < ColCount(); ++col) {
        TPanelButton* button = m_filterButtons[col];
        TSelection hasFilter = fsNone;
        bool sorted = false;
        if (!button || !OnHasFilter)
            continue;
        OnHasFilter(col, hasFilter, sorted);
        if (hasFilter == fsNone)
            continue;
        if (!button->CaptionItems().isEmpty() && !button->Selected(0)) {
            const QStringList values = SelectedValues(button, hasFilter);
            if (OnIsInList && !AnswerFilterEntries(col).isEmpty())
                FilterByHandler(col, values, keep);
            else
                FilterByValues(col, values, keep);
        } else if (m_variant == gvWide && hasFilter == fsMulti) {
            for (int entry = 1; entry < button->CaptionItems().size(); ++entry)
                button->SetSelected(entry, false);
        }
    }
    m_rowMap.clear();
    TStringTable shown = m_master;
    shown.SetRowCount(1);
    for (int row = 1; row < m_master.RowCount(); ++row) {
        if (!keep[row])
            continue;
        m_rowMap.append(row);
        shown.InsertRow(shown.RowCount());
        shown.SetRow(shown.RowCount() - 1, m_master.Row(row));
    }
    SetVisibleTable(shown);
    SetFixedRows(RowCount() < 2 ? 0 : 1);
    emit OnChanged(sender);
    PlaceFilterButtons();
}

QRect TFStringGridBase::FilterButtonRect(int col) const
{
    const QHeaderView* header = horizontalHeader();
    const int x = header->sectionViewportPosition(col);
    const int w = header->sectionSize(col);
    const int h = header->height();
    if (isColumnHidden(col) || w <= 0 || x + w <= 0 || x >= header->width())
        return QRect();
    if (m_variant == gvNarrow)
        return QRect(x + 1, 0, w - 1, h + 1);
    return QRect(x, -1, w, h + 1);
}

void TFStringGridBase::PlaceFilterButtons()
{
    for (int col = 0; col < m_filterButtons.size(); ++col) {
        TPanelButton* button = m_filterButtons[col];
        if (!button)
            continue;
        const QRect rect = col < ColCount() ? FilterButtonRect(col) : QRect();
        button->setGeometry(rect);
        button->setVisible(!rect.isEmpty());
    }
}

void TFStringGridBase::TopLeftChanged()
{
    PlaceFilterButtons();
    emit OnTopLeftChanged(this);
}

void TFStringGridBase::VerticalScrolled(int position)
{
    if (m_variant == gvWide) {
        DebugOutputFmt("%d", position);
        emit OnScroll(this, 0, position);
    }
    TopLeftChanged();
}

// ---- widths -----------------------------------------------------------------

int TFStringGridBase::VisibleWidth() const
{
    // Without frame and header margins; the vertical scroll bar is counted as
    // soon as the rows overflow, even before the view has laid itself out.
    const QSize area = maximumViewportSize();
    const bool scrolls = verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn ||
                         (verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded &&
                          verticalHeader()->length() > area.height());
    return area.width() - (scrolls ? verticalScrollBar()->sizeHint().width() : 0);
}

void TFStringGridBase::FitWidths(bool allRows, bool stretch)
{
    const QFontMetrics metrics(font());
    int total = ColCount();
    for (int col = 0; col < ColCount(); ++col) {
        if (ColWidths(col) <= 0) {
            total += m_variant == gvWide ? -1 : ColWidths(col);
            continue;
        }
        const int width = FitColumnWidth(metrics, m_model->Table(), col, allRows);
        SetColWidths(col, width);
        total += width;
    }
    const int available = VisibleWidth();
    if (total > 0 && total < available) {
        double factor = double(available) / total;
        if (m_variant == gvWide && !stretch)
            factor = std::min(WideStretchCap, factor);
        for (int col = 0; col < ColCount(); ++col) {
            if (ColWidths(col) > 0)
                SetColWidths(col, int(std::nearbyint(ColWidths(col) * factor)));
        }
    }
    BuildFilterButtons();
}

// ---- painting ---------------------------------------------------------------

QColor TFStringGridBase::CellBackground(int col, int row, TGridDrawState state) const
{
    if (state.testFlag(gdSelected) && state.testFlag(gdFocused))
        return palette().color(QPalette::Active, QPalette::Highlight);
    if (state.testFlag(gdSelected) && m_variant == gvWide)
        return InactiveCaption;
    if (row < FixedRows() || col < FixedCols())
        return m_variant == gvWide ? ThemedFixedColor : palette().color(QPalette::Button);
    return palette().color(QPalette::Base);
}

void TFStringGridBase::PaintCell(QPainter& painter, int col, int row, bool selected,
                                 const QRect& rect)
{
    TGridDrawState state;
    if (selected)
        state |= gdSelected;
    if (hasFocus() || isAncestorOf(QApplication::focusWidget()))
        state |= gdFocused;
    if (row < FixedRows() || col < FixedCols())
        state |= gdFixed;
    if (OnDrawCell)
        OnDrawCell(painter, col, row, state, rect);
    else
        DefaultDrawCell(painter, col, row, state, rect);
}

void TFStringGridBase::DefaultDrawCell(QPainter& painter, int col, int row, TGridDrawState state,
                                       const QRect& rect)
{
    painter.setFont(font());
    QColor text = palette().color(QPalette::Text);
    if (state.testFlag(gdSelected) && state.testFlag(gdFocused))
        text = palette().color(QPalette::Active, QPalette::HighlightedText);
    else if (state.testFlag(gdSelected) && m_variant == gvWide)
        text = InactiveCaptionText;
    painter.fillRect(rect, CellBackground(col, row, state));
    painter.setPen(text);
    DrawCellText(painter, col, row, state, rect);
}

void TFStringGridBase::DrawCellText(QPainter& painter, int col, int row, TGridDrawState,
                                    const QRect& rect)
{
    const QString text = Cells(col, row).trimmed();
    const QFontMetrics metrics = painter.fontMetrics();
    const int cx = metrics.horizontalAdvance(text);
    const int cy = metrics.height();
    int x = 5;
    if (OnGetAlignment) {
        const TAlignment alignment = OnGetAlignment(col, row);
        if (alignment == taRightJustify)
            x = ColWidths(col) - cx - 5;
        else if (alignment == taCenter)
            x = (ColWidths(col) - cx) / 2;
    }
    const int y = rect.top() + (rect.height() - cy) / 2;
    painter.save();
    painter.setClipRect(rect);
    painter.drawText(QRect(rect.left() + x, y, cx + 1, cy), Qt::AlignLeft | Qt::AlignTop, text);
    painter.restore();
}

// ---- mouse and resizing ---------------------------------------------------------

bool TFStringGridBase::CanSelectCell(int col, int row) const
{
    return !OnCanSelectCell || OnCanSelectCell(col, row);
}

void TFStringGridBase::mousePressEvent(QMouseEvent* event)
{
    // A refused cell is neither made current nor selected.
    const QModelIndex pressed = indexAt(event->position().toPoint());
    if (pressed.isValid() && !CanSelectCell(pressed.column(), pressed.row() + 1)) {
        event->accept();
        return;
    }
    // The wide grid keeps its horizontal position when a cell is clicked.
    const int left = horizontalScrollBar()->value();
    QTableView::mousePressEvent(event);
    if (m_variant == gvWide)
        horizontalScrollBar()->setValue(left);
}

// A key that would move onto a refused cell leaves the current cell where it is.
QModelIndex TFStringGridBase::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex target = QTableView::moveCursor(cursorAction, modifiers);
    if (target.isValid() && !CanSelectCell(target.column(), target.row() + 1))
        return currentIndex();
    return target;
}

void TFStringGridBase::wheelEvent(QWheelEvent* event)
{
    const int left = horizontalScrollBar()->value();
    QTableView::wheelEvent(event);
    if (m_variant == gvWide)
        horizontalScrollBar()->setValue(left);
}

void TFStringGridBase::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        emit OnSelectCell(current.column(), current.row() + 1);
}

void TFStringGridBase::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    PlaceFilterButtons();
}
