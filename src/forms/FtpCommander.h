#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTableView;
class TRemoteDirectory;
class TUserInterface;
class TZipGlobal;

// The remote directory browser: one directory of the FTP server as a grid,
// moves through the tree by double-click, and in pick mode the choice of the
// file to download. The rows, moves and picks are the TRemoteDirectory's; this
// window shows them and forwards the clicks. Every showing opens a connection
// at the login directory and closes it when the window closes.
class TFTPCommander : public QDialog {
    Q_OBJECT

public:
    // Failures of a move that has to reconnect are reported through `ui`.
    TFTPCommander(TRemoteDirectory& browser, TZipGlobal& global, TUserInterface& ui,
                  QWidget* parent = nullptr);

    // Lists the login directory and shows the window modally; a failure to
    // connect goes to the caller and the window does not open.
    int Execute();
    TRemoteDirectory& Browser() const { return m_browser; }

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void FillDone();
    bool ClientBusy() const;
    void sgClick(const QModelIndex& index);
    void sgDblClick(const QModelIndex& index);

    TRemoteDirectory& m_browser;
    TZipGlobal& m_global;
    TUserInterface& m_ui;
    QTableView* m_grid = nullptr;
    QLineEdit* m_fileName = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
