#pragma once

#include <QHeaderView>

class TFStringGridBase;

// Row 0 of a filter string grid, the fixed header row. Its cells are painted
// through the grid's own cell painter (the owner's OnDrawCell or the default
// one), like every other row, and clicking one never selects a column; the
// column borders still resize.
class TGridHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit TGridHeader(TFStringGridBase* grid);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    TFStringGridBase* m_grid;
};
