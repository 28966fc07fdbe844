// The windows the main window opens: each hangs on the window as one member
// pointer (created here, once) and one handler connected to its action.
#include "ZipDlg.h"

#include <QAction>

#include "FtpTransferForm.h"
#include "MainUserInterface.h"
#include "SyncFlow.h"
#include "ZipProject.h"

void TZipDlg::ConnectWindows()
{
    // "Sync" (button bnSync, menu "Sync ...", F3): runs bnSyncClick, the
    // comparison shown in the sync list window.
    m_syncFlow = new TSyncFlow(*m_project, *m_currentZip, UserInterface(), this);
    m_syncFlow->SetSettings(m_settings.get());
    m_syncFlow->OnZipChange = [this](const std::function<void()>& change) {
        ChangeZip(change);
    };
    connect(m_acSync, &QAction::triggered, this, &TZipDlg::bnSyncClick);
    m_acSync->setEnabled(true);

    // "FTP Transfer" (button bnFTP, menu "FTP Transfer", F4): bnFTPClick hands
    // LastZipFile to the FTP transfer window and shows it modally.
    connect(m_acFTP, &QAction::triggered, this, &TZipDlg::bnFTPClick);
}

// The windows that read the project when they are created come after it was
// loaded: the FTP transfer window takes the FTP settings of the project
// current at start-up.
void TZipDlg::CreateWindows()
{
    m_ftpTransfer = new TFTPTransferForm(
        *m_ui, m_global, [this] { return m_project->CFGFileName(); }, this);
    m_ftpTransfer->RelDir = [this] {
        return m_project->RelDir();
    };
    m_ftpTransfer->LoadZipTree = [this](const QString& path) {
        LoadZipTree(path);
    };
}

void TZipDlg::bnFTPClick()
{
    m_ftpTransfer->SetFile(m_project->LastZipFile());
    m_ftpTransfer->exec();
}

void TZipDlg::bnSyncClick()
{
    m_syncFlow->bnSyncClick();
}
