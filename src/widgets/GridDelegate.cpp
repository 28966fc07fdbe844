#include "GridDelegate.h"

#include <QPainter>

#include "FStringGridBase.h"

TGridDelegate::TGridDelegate(TFStringGridBase* grid) : QStyledItemDelegate(grid), m_grid(grid)
{}

void TGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    painter->save();
    painter->setClipRect(option.rect);
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    m_grid->PaintCell(*painter, index.column(), index.row() + 1, selected, option.rect);
    painter->restore();
}
