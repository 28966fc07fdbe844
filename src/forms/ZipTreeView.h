#pragma once

#include <QTreeView>

// The archive tree's view: indent 19, several nodes selected with Ctrl and
// Shift, label editing refused however it is asked for (a slow double click,
// F2), and every mouse press reported with its point, for the size and date
// hint.
class TZipTreeView : public QTreeView {
    Q_OBJECT

public:
    explicit TZipTreeView(QWidget* parent = nullptr);
    using QTreeView::edit;

    // The label rectangle of an index in viewport coordinates.
    QRect LabelRect(const QModelIndex& index) const { return visualRect(index); }

signals:
    void MouseDown(const QPoint& point, const QModelIndex& index);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};
