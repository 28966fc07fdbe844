#pragma once

#include <functional>
#include <memory>

#include <QMainWindow>
#include <QStringList>

#include "ZipTreeCommands.h"

class QAbstractButton;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QModelIndex;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTimer;
class QToolButton;
class TAboutBox;
class TAppSettings;
class TFTPTransferForm;
class TCommandRowEditor;
class TCurrentZip;
class TFilterForm;
class TLangManager;
class TMainUserInterface;
class TProgressForm;
class TSyncFlow;
class TUserInterface;
class TWideFStringGrid;
class TZipGlobal;
class TZipProject;
class TZipTreeModel;
class TZipTreeView;
struct TZipNode;

// How a main window starts.
struct TZipDlgOptions {
    // The settings file; empty: TAppSettings::DefaultFileName().
    QString SettingsFile;
    // The program's arguments without its own name; the first may name a project.
    QStringList Arguments;
    // Answers the questions and choices instead of the window's dialogs (tests).
    TUserInterface* Scripted = nullptr;
    // Writes the user's file type of ".qrz" at start (off in tests).
    bool RegisterFileType = true;
};

// The main window: the button column, the three panels ("Files To Zip" with
// the command rows, "Report", and "Sync Zip" with the archive tree) of which
// exactly one shows, the menus, the hint window, start-up and shut-down.
// It owns the project, the settings, the current archive and the progress
// window; every dialog goes through its TUserInterface.
//
// Windows of their own (sync list, filter editor, FTP transfer) hang on it as
// a member pointer each, created in FormCreate, and one handler that shows it
// (see ConnectWindows in ZipDlgWindows.cpp).
class TZipDlg : public QMainWindow {
    Q_OBJECT

public:
    explicit TZipDlg(TZipGlobal& global, TZipDlgOptions options = {}, QWidget* parent = nullptr);
    ~TZipDlg() override;

    TZipProject& Project() { return *m_project; }
    TAppSettings& Settings() { return *m_settings; }
    TCurrentZip& CurrentZip() { return *m_currentZip; }
    TUserInterface& UserInterface();
    TProgressForm& ProgressForm() { return *m_progressForm; }
    TZipGlobal& Global() { return m_global; }

    // The archive lookups the other windows share.
    void LoadZipTree(const QString& fileName);
    void SaveZipAndReload();
    // Runs a change that loads the current archive again (the sync run),
    // with the tree view kept still while its nodes are replaced.
    void ChangeZip(const std::function<void()>& change);
    // Shows text in the hint window at a point of the client area.
    void ShowHintAt(const QPoint& point, const QString& text);
    QLabel* HintWindow() const { return m_hintWindow; }
    QTimer* HintTimer() const { return m_hintTimer; }

    TAboutBox* AboutBox() const { return m_aboutBox; }
    // Links the about box's language component to the manager.
    void SetLanguageManager(TLangManager* manager);

    // Writes the settings file and the project.
    void WriteSettings();
    void RefreshRecentMenu();

    // Handlers.
    void bnFilesToZipClick(QAbstractButton* sender);
    void bnZipClick();
    void bnLoadZipClick();
    void bnSyncClick();
    void acNewExecute();
    void FileOpen1Accept();
    void acSaveExecute();
    void FileSaveAs1Accept();
    void acLoadLastExecute(int k);
    void mnDelZipFileClick(TDeleteTarget target);
    void mnDelVersionFilesClick();
    void mnExtractToClick();
    void tvZipMouseDown(const QPoint& point, const QModelIndex& index);
    void AboutClick();
    void bnFTPClick();

    // The selected tree nodes, in selection order.
    QList<const TZipNode*> SelectedNodes() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void CreateControls();
    QFrame* CreateButtonColumn();
    QToolButton* CreateSpeedButton(const QString& name, const QString& caption,
                                   const QString& glyph);
    QWidget* CreateFilesPanel();
    QWidget* CreateReportPanel();
    QWidget* CreateSyncPanel();
    void CreateMenus();
    void CreateProjectMenu();
    void CreateEditActions();
    void CreatePopupZip();
    void ConnectWindows();
    void CreateWindows();
    QAction* CreateAction(const QString& name, const QString& caption,
                          const QKeySequence& shortcut = {});
    void ConnectProject();

    // The hidden value holders show the project; edits go back.
    void ShowValueHolders();
    void StoreValueHolders();
    void AfterProjectChange();
    void HintTimerTimer();
    void FindInReport();
    void ShowPanel(QWidget* panel);
    bool IsOnScreen() const { return m_onScreen; }

    TZipGlobal& m_global;
    TZipDlgOptions m_options;
    TProgressForm* m_progressForm;
    std::unique_ptr<TMainUserInterface> m_ui;
    std::unique_ptr<TZipProject> m_project;
    std::unique_ptr<TAppSettings> m_settings;
    std::unique_ptr<TCurrentZip> m_currentZip;
    TZipTreeModel* m_treeModel = nullptr;
    TAboutBox* m_aboutBox = nullptr;
    TSyncFlow* m_syncFlow = nullptr;

    QStackedWidget* m_panels = nullptr;
    QToolButton* m_bnFilesToZip = nullptr;
    QToolButton* m_bnZipThem = nullptr;
    QToolButton* m_bnSyncZip = nullptr;
    QToolButton* m_bnReport = nullptr;
    QWidget* m_pnFiles = nullptr;
    QWidget* m_pnReport = nullptr;
    QWidget* m_pnSync = nullptr;
    TWideFStringGrid* m_sgFiles = nullptr;
    QListWidget* m_clbFiles = nullptr;
    QComboBox* m_cbFilter = nullptr;
    QLabel* m_lbRelDir = nullptr;
    TFilterForm* m_filterForm = nullptr;
    TCommandRowEditor* m_rowEditor = nullptr;
    QPlainTextEdit* m_mmReport = nullptr;
    TZipTreeView* m_tvZip = nullptr;
    QLabel* m_lbZipFile = nullptr;
    QMenu* m_pmZip = nullptr;
    QAction* m_recent[3] = {nullptr, nullptr, nullptr};
    QAction* m_acSync = nullptr;
    QAction* m_acFTP = nullptr;
    TFTPTransferForm* m_ftpTransfer = nullptr;
    QLabel* m_hintWindow = nullptr;
    QTimer* m_hintTimer = nullptr;
    bool m_onScreen = false;
    bool m_inMouseDown = false;
};
