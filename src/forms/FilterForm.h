#pragma once

#include <QDialog>
#include <QString>

#include "MasterList.h"

class QCheckBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class TUserInterface;

// The filter editor: a filter text (masks separated by ";") is composed by
// ticking masks in the list of every mask the program knows (MasterList),
// entering new ones through the "[...]" item and deleting unwanted ones.
//
// Masks found in a filter and masks entered are added to MasterList at once
// and stay there when the dialog is cancelled; deletions reach MasterList
// only through OK. The dialog is created once, before the settings are read,
// and kept for the program's run; the caller sets its caption.
class TFilterForm : public QDialog {
    Q_OBJECT

public:
    TFilterForm(TMasterList& masterList, TUserInterface& ui, QWidget* parent = nullptr);

    // Fills clFilter with every known mask and ticks the masks of the filter.
    void LoadFilter(const QString& filter);
    // The ticked masks in list order, joined by "; ".
    QString CheckedFilter() const;
    // Shows the dialog modally; true when it closed with OK.
    virtual bool Execute();

    void clFilterClick(QListWidgetItem* item);
    void cbAllClick();
    void cbNoneClick();
    void Delete1Click();
    void BitBtn1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    QListWidgetItem* AddItem(const QString& mask);
    QListWidgetItem* FindItem(const QString& mask) const;
    void SetAllChecked(Qt::CheckState state, int count);
    void LayOutColumns();

    TMasterList& m_masterList;
    TUserInterface& m_ui;
    // The masks clFilter shows, in its order (the same collation as MasterList).
    TMasterList m_shown;
    QListWidget* m_list = nullptr;
    QCheckBox* m_all = nullptr;
    QCheckBox* m_none = nullptr;
};
