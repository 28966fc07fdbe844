#include "GridHeader.h"

#include <QPainter>

#include "FStringGridBase.h"

TGridHeader::TGridHeader(TFStringGridBase* grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid)
{
    setSectionsClickable(false);
    setHighlightSections(false);
}

void TGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    painter->save();
    painter->setClipRect(rect);
    m_grid->PaintCell(*painter, logicalIndex, 0, false, rect);
    // The grid lines the table draws between its other cells.
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->restore();
}
