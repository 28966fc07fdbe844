#include "ZipTreeView.h"

#include <QMouseEvent>

namespace {
constexpr int TreeIndent = 19;
}

TZipTreeView::TZipTreeView(QWidget* parent) : QTreeView(parent)
{
    setIndentation(TreeIndent);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

bool TZipTreeView::edit(const QModelIndex&, EditTrigger, QEvent*)
{
    return false; // tvZipEditing: labels are never edited
}

void TZipTreeView::mousePressEvent(QMouseEvent* event)
{
    // The tree is told first, so a click on an item has selected it when the
    // hint is formed.
    QTreeView::mousePressEvent(event);
    const QPoint point = event->position().toPoint();
    emit MouseDown(point, indexAt(point));
}
