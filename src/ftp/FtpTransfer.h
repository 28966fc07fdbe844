#pragma once

#include <functional>

#include <QString>

#include "FtpClient.h"
#include "FtpSettings.h"
#include "RemoteDirectory.h"

class TUserInterface;
class TZipStreamCheck;

enum class TTransferResult {
    Done,      // the whole file arrived
    Declined,  // the user chose not to replace a file, or not to save one
    Cancelled, // the transfer was aborted; nothing was replaced locally
};

// The upload and download of a project's archive: the logic of the FTP
// transfer window, which shows its state and forwards its buttons here. It
// owns the one FTP client and the remote directory the browser shows; the
// user is asked through TUserInterface. Every operation opens its own
// connection and ends with it closed.
class TFtpTransfer {
public:
    explicit TFtpTransfer(TUserInterface& ui);
    TFtpTransfer(const TFtpTransfer&) = delete;
    TFtpTransfer& operator=(const TFtpTransfer&) = delete;

    TFtpClient& Client() { return m_ftp; }
    TRemoteDirectory& Browser() { return m_browser; }
    TFtpSettings& Settings() { return m_settings; }

    // The project file the settings are read from and written to; with none
    // set the settings are never written.
    void SetProjectFileName(const QString& fileName) { m_projectFileName = fileName; }
    void SetRelDir(const QString& directory) { m_relDir = directory; }
    void LoadSettings();
    void SaveSettings();
    // Hands the settings to the client.
    void ApplySettings();

    // The local archive an upload sends; the remote name becomes its file name.
    void SetFile(const QString& path);
    const QString& LocalFileName() const { return m_localFileName; }

    // Sends LocalFileName under Settings().File into the target directory,
    // asking before it replaces a file of that name.
    TTransferResult Upload();
    // Before the browser is shown: settings applied, the client handed over.
    void PrepareBrowser(bool pickMode);
    // Fetches the file picked in the browser into a temporary file, checks
    // that it is a whole zip archive and asks where to save it; `savedPath`
    // receives the chosen path.
    TTransferResult Download(QString* savedPath = nullptr);
    // Aborts the running transfer; it then returns as Cancelled.
    void Cancel();

    // What the window shows. A cancelled operation may still be returning
    // while Busy() is already false; no new one can start before CanStart().
    bool Busy() const { return m_busy; }
    bool CanStart() const { return !m_busy && !m_ftp.Running(); }
    const QString& StatusText() const { return m_statusText; }
    const QString& ProgressText() const { return m_progressText; }
    bool ProgressVisible() const { return m_progressVisible; }
    qint64 ProgressMaximum() const { return m_progressMaximum; }
    qint64 DoneBytes() const { return m_doneBytes; }
    qint64 TotalBytes() const { return m_totalBytes; }
    // Called whenever one of these changes.
    std::function<void()> OnChanged;

    static QString OverwriteQuestion(const QString& remoteName, const QString& server);
    // "%.3f of %.3f kbytes transferred." in kbytes of 1000 bytes.
    static QString ProgressTextOf(qint64 doneBytes, qint64 totalBytes);

private:
    void SetBusy(bool busy);
    TTransferResult CheckAndStore();
    void Changed();
    void WorkBegin(qint64 countMax);
    void Work(qint64 count);
    void Retrieve(QIODevice& destination, TZipStreamCheck& check);
    static void CheckArchive(const QString& fileName, bool entriesChecked);
    static void CopyFile(const QString& source, const QString& target);

    TUserInterface& m_ui;
    TFtpClient m_ftp;
    TRemoteDirectory m_browser;
    TFtpSettings m_settings;
    QString m_projectFileName;
    QString m_relDir;
    QString m_localFileName;
    bool m_busy = false;
    bool m_cancelled = false;
    bool m_storeStarted = false;
    QString m_statusText;
    QString m_progressText;
    bool m_progressVisible = false;
    qint64 m_progressMaximum = 0;
    qint64 m_doneBytes = 0;
    qint64 m_totalBytes = 0;
};
