#pragma once

#include <QStyledItemDelegate>

class TFStringGridBase;

// Paints every data cell of a filter string grid through the grid's own cell
// painter (the owner's OnDrawCell or the default one); editing stays Qt's.
class TGridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit TGridDelegate(TFStringGridBase* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    TFStringGridBase* m_grid;
};
