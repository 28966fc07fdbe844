#pragma once

#include <QFrame>
#include <QList>

class TPanelButton;

// The borderless panel a popup TPanelButton opens: one entry button per state
// of the owner, in columns that fit on the screen. It closes when the user
// clicks elsewhere and frees itself when closed.
class TPanelPopup : public QFrame {
    Q_OBJECT

public:
    explicit TPanelPopup(TPanelButton* owner);

    void Open();
    // Entry k shows state StateMin + k of the owner.
    const QList<TPanelButton*>& Entries() const { return m_entries; }
    // Shows every entry pushed and bold that is selected in the owner.
    void RefreshEntries();
    QSize EntrySize() const { return m_entrySize; }
    int RowsPerColumn() const { return m_rows; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ComputeGeometry();
    void CreateEntries();
    bool EntryPushed(int state) const;

    TPanelButton* m_owner; // the parent: the panel never outlives it
    QList<TPanelButton*> m_entries;
    QSize m_entrySize;
    int m_rows = 1;
};
