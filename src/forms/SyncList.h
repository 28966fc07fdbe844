#pragma once

#include <functional>

#include <QDialog>
#include <QList>

#include "SyncItem.h"
#include "SyncListModel.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class TAppSettings;
class TFStringGrid;
class TPanelButton;
class TZipProject;

// The window in which the user reviews the differences a comparison found,
// one grid row each below the header row, changes their operations (space
// key, the operation button floating over the current row's operation cell,
// the operation filter in the header), chooses what copying into the archive
// does, and starts the run.
//
// The comparison fills the row model; LoadItems puts all of its rows into the
// grid in one step. From then on the grid holds the operations the user
// chose, and the model follows every change.
class TSyncList : public QDialog {
    Q_OBJECT

public:
    explicit TSyncList(TZipProject& project, QWidget* parent = nullptr);
    ~TSyncList() override;

    // Where a change of the radio group is saved (settings and project);
    // without settings only the project is saved.
    void SetSettings(TAppSettings* settings) { m_settings = settings; }
    // Run by "Sync" before the window closes.
    std::function<void()> OnExecute;

    // The rows.
    void ClearItems();
    void SetFileHeader(const QString& text);
    void SetZipHeader(const QString& text);
    void AddItem(const TSyncItem& item, int operation);
    int ItemCount() const { return m_model.ItemCount(); }
    TSyncListModel& Model() { return m_model; }
    // The grid takes every row and the headers of the model.
    void LoadItems();
    // The rows the grid shows, in order: what "Sync" carries out.
    QList<TSyncItem> ShownItems() const;

    int ZipOperation() const { return m_zipOperation; }
    void SetZipOperation(int operation);

    // Fits the columns to the texts, with room for the operation captions.
    void AdjustWidths();
    void ShowOperationButton();

    TFStringGrid* sgSync() const { return m_grid; }
    TPanelButton* bnOp() const { return m_bnOp; }
    QLabel* HintWindow() const { return m_hint; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void CreateControls();
    QWidget* CreateBottomPanel();
    void ConfigureGrid();
    void ConfigureOperationButton();

    void sgSyncSelectCell(int col, int row);
    void sgSyncTopLeftChanged();
    void sgSyncKeyUp();
    void sgSyncMouseMove(const QPoint& viewportPos);
    void bnOpClick();
    void cbOpExit();
    void rbgZipOperationClick(int index);
    void bnCancelClick();
    void bnSyncClick();

    // The operation cell of a grid row, in the grid and in the model.
    void SetOperationCell(int row, const QString& symbol);
    void SetSelectedOperations(const QString& symbol);
    void HideHint();
    void SaveProject();

    TZipProject& m_project;
    TAppSettings* m_settings = nullptr;
    TSyncListModel m_model;
    TFStringGrid* m_grid = nullptr;
    TPanelButton* m_bnOp = nullptr;
    QGroupBox* m_rbgZipOperation = nullptr;
    QButtonGroup* m_zipOperations = nullptr;
    QPushButton* m_bnCancel = nullptr;
    QPushButton* m_bnSync = nullptr;
    QLabel* m_hint = nullptr;
    int m_zipOperation = zoAddFile;
    int m_exitRow = -1;  // the row whose operation cell cbOpExit writes; -1 none
    int m_shownRow = -1; // the row and operation text the button last took
    QString m_shownText;
    bool m_radioGuard = false;
};
