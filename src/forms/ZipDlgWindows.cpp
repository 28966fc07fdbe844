// The windows the main window opens: each hangs on the window as one member
// pointer (created here, once) and one handler connected to its action.
#include "ZipDlg.h"

#include <QAction>

void TZipDlg::ConnectWindows()
{
    // "Sync" (button bnSync, menu "Sync ...", F3): runs bnSyncClick, the
    // comparison shown in the sync list window. Until that window is here
    // the command cannot work and stays disabled:
    //   m_syncList = new TSyncList(...);
    //   connect(m_acSync, &QAction::triggered, this, &TZipDlg::bnSyncClick);
    m_acSync->setEnabled(false);

    // "FTP Transfer" (button bnFTP, menu "FTP Transfer", F4): bnFTPClick hands
    // LastZipFile to the FTP transfer window and shows it modally:
    //   m_ftpTransfer = new TFTPTransferForm(...);
    //   connect(m_acFTP, &QAction::triggered, this, &TZipDlg::bnFTPClick);
    m_acFTP->setEnabled(false);
}
