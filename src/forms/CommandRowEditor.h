#pragma once

#include <functional>

#include <QObject>
#include <QString>

class QAction;
class QComboBox;
class QListWidget;
class QMenu;
class QWidget;
class TFilterForm;
class TUserInterface;
class TWideFStringGrid;
class TZipProject;

// The "Files To Zip" panel's commands over the zip command grid sgFiles: rows
// from the file and directory dialogs, the filter editor on a Filter cell,
// inserting, deleting and moving through rows, and the relative directory.
//
// The grid shows the project's rows below its header row "Directory",
// "Filter"; every change made here or typed into a cell goes back into the
// project at once, and a project that loads or resets its rows is shown
// again. Commands that add a row, and a filter chosen in the editor, save the
// settings and the project (writeSettings). Paths are stored relative to RelDir.
//
// The panel's controls are found by their names: the grid sgFiles, the
// buttons bnLoadFile, bnLoadDirectory and bnSetRelDir, the label lbRelDir,
// and the hidden value holders cbFilter (the current filter text) and
// clbFiles (the file list).
class TCommandRowEditor : public QObject {
    Q_OBJECT

public:
    TCommandRowEditor(QWidget& panel, TZipProject& project, TFilterForm& filterForm,
                      TUserInterface& ui, std::function<void()> writeSettings,
                      QObject* parent = nullptr);

    QMenu* pmsgFiles() const { return m_popup; }
    // The filter the editor held when it last closed (not stored).
    const QString& LastFilter() const { return m_lastFilter; }

    // Writes a row: the current one, or the last one when the cursor is on
    // row 1 (or RelDir is empty), after appending an empty row if asked.
    void AddCommandRow(const QString& path, const QString& filter, bool append);
    void bnLoadFileClick();
    void bnLoadDirectoryClick() { LoadDirectory(true); }
    void LoadDirectory(bool append);
    void bnSetRelDirClick();

    void acStringGridInsertExecute();
    void acStringListDeleteExecute();
    void acStringGridMoveUpExecute();
    void acStringGridMoveDownExecute();

    // Whether a cell may become current: a Directory cell always, a Filter
    // cell when its row names an existing directory; the cell becomes the hint.
    bool sgFilesSelectCell(int col, int row);
    void sgFilesClick();
    void sgFilesDblClick();

    // The project's rows into the grid, and the grid's rows into the project.
    void ShowRows();
    void StoreRows();
    // Column 0 four fifths of the grid's client width, column 1 the rest.
    void FitColumns();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpGrid();
    void ConnectPanel(QWidget& panel);
    QString FilterText() const;
    void SetFilterText(const QString& text);
    void AddToFileList(const QString& file);
    QAction* AddAction(const char* name, const QString& text, const QKeySequence& shortcut,
                       void (TCommandRowEditor::*handler)());
    void ShowPopup(const QPoint& position);
    // A row's path as a file system path: absolute as it is, else below RelDir.
    QString Resolve(const QString& path) const;
    QString RelativeToRelDir(const QString& path) const;
    QString LoadDirectoryStart() const;
    void ChooseFileForCell(const QString& path);
    void SaveAll();

    TWideFStringGrid& m_grid;
    QComboBox& m_cbFilter;
    QListWidget& m_clbFiles;
    TZipProject& m_project;
    TFilterForm& m_filterForm;
    TUserInterface& m_ui;
    std::function<void()> m_writeSettings;
    QMenu* m_popup = nullptr;
    QString m_lastFilter;
    bool m_storing = false;
    bool m_showing = false;
};
