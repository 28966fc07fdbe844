// The windows the main window opens: each hangs on the window as one member
// pointer (created here, once) and one handler connected to its action.
#include "ZipDlg.h"

#include <QAction>

#include "SyncFlow.h"

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
    // LastZipFile to the FTP transfer window and shows it modally:
    //   m_ftpTransfer = new TFTPTransferForm(...);
    //   connect(m_acFTP, &QAction::triggered, this, &TZipDlg::bnFTPClick);
    m_acFTP->setEnabled(false);
}

void TZipDlg::bnSyncClick()
{
    m_syncFlow->bnSyncClick();
}
