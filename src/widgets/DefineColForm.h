#pragma once

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QListWidget;
class QPushButton;
class TWideFStringGrid;

// The column chooser of the wide grid: one ticked item per visible column.
// OK shows the ticked columns, hides the others and fits the widths.
class TDefineColForm : public QDialog {
    Q_OBJECT

public:
    explicit TDefineColForm(QWidget* parent = nullptr);

    // The form is created on first use and kept for later ones.
    static TDefineColForm& Instance(QWidget* parent);

    void SetGrid(TWideFStringGrid* grid);
    QListWidget* Titles() const { return m_titles; }
    void bnOkClick();

private:
    QPointer<TWideFStringGrid> m_grid;
    QListWidget* m_titles;
    QCheckBox* m_default;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
