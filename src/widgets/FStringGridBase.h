#pragma once

#include <functional>
#include <map>
#include <memory>

#include <QColor>
#include <QFlags>
#include <QHash>
#include <QList>
#include <QTableView>

#include "GridRowView.h"
#include "PanelButton.h"
#include "StringTable.h"

class QPainter;
class TGridModel;
class TUserInterface;

// The two variants of the filter string grid share one implementation; the
// variant decides the handful of behaviours in which they differ.
enum TGridVariant { gvNarrow, gvWide };

using TSelection = TSGSelection;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TGridDrawStateFlag { gdSelected = 0x1, gdFocused = 0x2, gdFixed = 0x4 };
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)

enum TGridOption { goEditing = 0x1, goRowSelect = 0x2 };
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

// A range of cells: columns Left..Right, rows Top..Bottom (row 0 is the header).
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

// A string grid whose row 0 is the header row, with a hidden full copy of
// its rows (MasterGrid) so that it can show a filtered subset, filter buttons
// over the header cells, row insertion and deletion that keep the copy in
// step, width fitting, a text view of each row and the row, clipboard and
// CSV file commands. TFStringGrid and TWideFStringGrid pick the variant.
class TFStringGridBase : public QTableView {
    Q_OBJECT

public:
    ~TFStringGridBase() override;

    // Events the owner answers.
    std::function<void(int col, TSelection& hasFilter, bool& sorted)> OnHasFilter;
    std::function<void(int col, QStringList& list)> OnGetFilterEntries;
    std::function<bool(const QStringList& values, int col, int row)> OnIsInList;
    std::function<TAlignment(int col, int row)> OnGetAlignment;
    std::function<void(QPainter& painter, int col, int row, TGridDrawState state,
                       const QRect& rect)>
        OnDrawCell;
    // Asked before the current cell moves to (col, row), by the mouse, the keys
    // or the program; false keeps the current cell (and the selection) as it is.
    std::function<bool(int col, int row)> OnCanSelectCell;

    TGridVariant Variant() const { return m_variant; }
    void SetUserInterface(TUserInterface* ui) { m_ui = ui; }
    TUserInterface* UserInterface() const { return m_ui; }

    // Dimensions.
    int RowCount() const;
    void SetRowCount(int rows);
    int ColCount() const;
    void SetColCount(int cols);
    int FixedRows() const;
    void SetFixedRows(int rows);
    int FixedCols() const;
    void SetFixedCols(int cols);

    // Cells and rows; writes reach the visible grid and the mapped master row.
    QString Cells(int col, int row) const;
    void SetCells(int col, int row, const QString& text);
    TGridRowView& Rows(int row);
    void SetRows(int row, const QStringList& items);
    const TStringTable& MasterGrid() const { return m_master; }
    const QList<int>& RowMap() const { return m_rowMap; }
    int MasterRow(int row) const;

    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    // A cell's rectangle in this widget's coordinates; empty when out of view.
    QRect CellRect(int col, int row) const;
    // The cell under a point of this widget; false when there is none.
    bool MouseToCell(const QPoint& point, int& col, int& row) const;
    TGridOptions Options() const { return m_options; }
    void SetOptions(TGridOptions options);

    // The current cell and the selection.
    int Row() const;
    void SetRow(int row);
    int Col() const;
    void SetCol(int col);
    TGridRect Selection() const;
    // True when OnCanSelectCell lets (col, row) become the current cell.
    bool CanSelectCell(int col, int row) const;
    void SetSelection(const TGridRect& rect);

    QString FileName() const { return m_fileName; }
    void SetFileName(const QString& name) { m_fileName = name; }
    bool Modified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // Appearance values handed to the filter buttons; writing one rebuilds them.
    bool CenterColor() const { return m_centerColor; }
    void SetCenterColor(bool on);
    double ColorScale() const { return m_colorScale; }
    void SetColorScale(double scale);
    QColor GradientStart() const { return m_gradient[0]; }
    void SetGradientStart(const QColor& color) { SetGradient(0, color); }
    QColor GradientMid() const { return m_gradient[1]; }
    void SetGradientMid(const QColor& color) { SetGradient(1, color); }
    QColor GradientEnd() const { return m_gradient[2]; }
    void SetGradientEnd(const QColor& color) { SetGradient(2, color); }

    // Row operations.
    void InsertRow(int index);
    void DeleteSelectedRows();
    int FindMasterRow(int row) const;
    void DeleteMasterRow(int masterRow);
    void Assign(const QObject* source);

    // Master copy and filtering.
    void StoreToMaster();
    void RestoreFromMaster();
    // Replaces every row, visible and master, in one step (filters cleared,
    // buttons rebuilt once): filling a long list row by row would copy the
    // table and rebuild the buttons for every row.
    void LoadTable(const TStringTable& table);
    void BuildFilterButtons();
    void ApplyFilter(QObject* sender);
    TPanelButton* FilterButton(int col) const { return m_filterButtons.value(col); }
    void PlaceFilterButtons();
    static QString FormatFilterEntry(const QString& text, bool withArrow);

    // Painting.
    void DrawCellText(QPainter& painter, int col, int row, TGridDrawState state, const QRect& rect);
    void DefaultDrawCell(QPainter& painter, int col, int row, TGridDrawState state,
                         const QRect& rect);
    void PaintCell(QPainter& painter, int col, int row, bool selected, const QRect& rect);

    // Commands.
    virtual void PriorRow();
    virtual void NextRow();
    virtual void FirstRow();
    virtual void LastRow();
    virtual void InsertRowBelow();
    virtual void LoadCSV(bool ask = true);
    virtual void SaveCSV();
    virtual void CopyRows();
    virtual void PasteRows();
    virtual void DeleteRow();
    void LoadCSVFile(const QString& fileName, QChar separator);

signals:
    void OnChanged(QObject* sender);
    void OnRowColChange(int newRow, int newCol);
    void OnSetEditText(QObject* sender, int col, int row, const QString& value);
    void OnTopLeftChanged(QObject* sender);
    void OnScroll(QObject* sender, int newCol, int newRow);
    // The current cell moved to (col, row); see OnCanSelectCell to refuse a move.
    void OnSelectCell(int col, int row);

protected:
    TFStringGridBase(TGridVariant variant, QWidget* parent);

    void FitWidths(bool allRows, bool stretch);
    // The width the columns can fill without a horizontal scroll bar.
    int VisibleWidth() const;
    void WriteCSVFile(const QString& fileName, QChar separator);
    void mousePressEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void EditHook(int col, int row, const QString& text);
    void TopLeftChanged();
    void VerticalScrolled(int position);
    void EndEditing();
    void SetGradient(int index, const QColor& color);
    void SetVisibleTable(const TStringTable& table);

    void FreeFilterButton(int col);
    void FreeFilterButtons();
    TPanelButton* TakeFilterButton(int col);
    QStringList FilterEntries(int col) const;
    QStringList AnswerFilterEntries(int col) const;
    QStringList SelectedValues(const TPanelButton* button, TSelection kind) const;
    void FilterByValues(int col, const QStringList& values, QList<bool>& keep) const;
    void FilterByHandler(int col, const QStringList& values, QList<bool>& keep) const;
    QRect FilterButtonRect(int col) const;
    QColor CellBackground(int col, int row, TGridDrawState state) const;

    // CSV file forms of the two variants.
    QString CsvFilter(bool save) const;
    bool AskCsvFile(bool save);
    void ReadNarrowCsv(const QByteArray& bytes, QChar separator);
    void ReadWideCsv(const QByteArray& bytes, QChar separator);
    void StoreCsvField(int col, int row, const QString& field);
    QByteArray NarrowCsvBytes() const;
    QByteArray WideCsvBytes(QChar separator) const;
    void Tell(const QString& text, bool withCancel) const;

    TGridVariant m_variant;
    TGridModel* m_model;
    TStringTable m_master;
    QList<int> m_rowMap;
    QList<TPanelButton*> m_filterButtons;
    std::map<int, std::unique_ptr<TGridRowView>> m_rowViews;
    QHash<int, int> m_hiddenWidths;
    TGridOptions m_options;
    TUserInterface* m_ui = nullptr;
    QString m_fileName;
    bool m_modified = false;
    bool m_centerColor = false;
    double m_colorScale = 0;
    QColor m_gradient[3];
};
