#include "FtpTransfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QTemporaryFile>

#include "FtpError.h"
#include "UserInterface.h"
#include "ZipFile.h"
#include "ZipInspector.h"

TFtpTransfer::TFtpTransfer(TUserInterface& ui) : m_ui(ui)
{
    m_ftp.SetPassive(true);
    m_ftp.SetReadTimeout(0);
    m_ftp.SetMaxLineAction(TFtpMaxLineAction::maException);
    m_ftp.OnStatus = [this](TFtpStatus, const QString& text) {
        m_statusText = text;
        Changed();
    };
    m_ftp.OnWorkBegin = [this](TWorkMode, qint64 countMax) {
        WorkBegin(countMax);
    };
    m_ftp.OnWork = [this](TWorkMode, qint64 count) {
        Work(count);
    };
    m_ftp.OnWorkEnd = [this](TWorkMode) {
        m_progressVisible = false;
        Changed();
    };
}

QString TFtpTransfer::OverwriteQuestion(const QString& remoteName, const QString& server)
{
    return QStringLiteral("File  \t: %1\r\nServer\t: %2\r\n\r\nalready exists.\r\n\r\n"
                          "Do you want to override it?")
        .arg(remoteName, server);
}

void TFtpTransfer::LoadSettings()
{
    if (!m_projectFileName.isEmpty())
        m_settings.Load(m_projectFileName);
}

void TFtpTransfer::SaveSettings()
{
    if (!m_projectFileName.isEmpty())
        m_settings.Save(m_projectFileName);
}

void TFtpTransfer::ApplySettings()
{
    m_ftp.SetHost(m_settings.Host());
    m_ftp.SetPort(m_settings.Port());
    m_ftp.SetUsername(m_settings.Username.toLocal8Bit());
    m_ftp.SetPassword(m_settings.Password.toLocal8Bit());
    m_ftp.SetPassive(true);
}

void TFtpTransfer::SetFile(const QString& path)
{
    m_localFileName = path;
    m_settings.File = QFileInfo(path).fileName();
}

TTransferResult TFtpTransfer::Upload()
{
    SaveSettings();
    ApplySettings();
    m_browser.SetClient(&m_ftp);
    const QByteArray remoteName = m_settings.File.toLocal8Bit();
    if (!m_ftp.Connected())
        m_ftp.Connect();
    try {
        const QString target = m_settings.TargetPath.trimmed();
        if (!target.isEmpty())
            m_ftp.ChangeWorkingDirectory(target.toLocal8Bit());
    } catch (...) {
        m_ftp.Disconnect();
        throw;
    }
    if (m_browser.RemoteFileExists(remoteName) &&
        m_ui.Confirm(OverwriteQuestion(m_settings.File, m_settings.Hostname),
                     TMsgButton::Ok | TMsgButton::Cancel) != TMsgButton::Ok) {
        m_ftp.Disconnect();
        return TTransferResult::Declined;
    }
    m_cancelled = false;
    SetBusy(true);
    m_ftp.SetTransferType(TFtpTransferType::ftBinary);
    try {
        if (!m_cancelled)
            m_ftp.Store(m_localFileName, remoteName);
    } catch (...) {
        m_ftp.Disconnect();
        SetBusy(false);
        throw;
    }
    m_ftp.Disconnect();
    SetBusy(false);
    if (!m_cancelled && !m_ftp.TransferAborted())
        return TTransferResult::Done;
    m_ui.ShowMessage(QStringLiteral("The upload of \"%1\" was cancelled; the file on the server is "
                                    "incomplete.")
                         .arg(m_settings.File));
    return TTransferResult::Cancelled;
}

void TFtpTransfer::PrepareBrowser(bool pickMode)
{
    ApplySettings();
    m_browser.SetClient(&m_ftp);
    m_browser.SetPickMode(pickMode);
}

TTransferResult TFtpTransfer::Download(QString* savedPath)
{
    QTemporaryFile temporary(QDir::tempPath() + QStringLiteral("/QorZipXXXXXX"));
    if (!temporary.open())
        throw EFtpError(QStringLiteral("Cannot create file \"%1\". %2")
                            .arg(temporary.fileTemplate(), temporary.errorString()));
    m_cancelled = false;
    SetBusy(true);
    try {
        SaveSettings();
        Retrieve(temporary);
    } catch (...) {
        SetBusy(false);
        throw;
    }
    SetBusy(false);
    if (m_cancelled || m_ftp.TransferAborted())
        return TTransferResult::Cancelled;
    temporary.close();
    CheckArchive(temporary.fileName());
    TFileRequest request;
    request.Title = QStringLiteral("Save File");
    request.Filter = QStringLiteral("*.*|*.*");
    request.DefaultExt = QStringLiteral(".zip");
    request.Preset = m_relDir + QString::fromLocal8Bit(m_browser.PickedFile());
    request.Options = TFileRequest::OverwritePrompt;
    const QString target = m_ui.SaveFileName(request);
    if (target.isEmpty())
        return TTransferResult::Declined;
    CopyFile(temporary.fileName(), target);
    if (savedPath)
        *savedPath = target;
    return TTransferResult::Done;
}

// Connects, goes to the directory the file was picked in and fetches it.
void TFtpTransfer::Retrieve(QIODevice& destination)
{
    ApplySettings();
    m_ftp.SetTransferType(TFtpTransferType::ftBinary);
    try {
        if (!m_ftp.Connected())
            m_ftp.Connect();
        m_browser.SetClient(&m_ftp);
        m_browser.EnterRemotePath();
        m_ftp.Retrieve(m_browser.PickedFile(), destination);
    } catch (...) {
        m_ftp.Disconnect();
        throw;
    }
    m_ftp.Disconnect();
}

void TFtpTransfer::CheckArchive(const QString& fileName)
{
    try {
        TZipFile zip;
        zip.LoadFromFile(fileName);
        for (const TLocalFile& entry : std::as_const(zip.Entries))
            TZipFile::Verify(entry);
        // Damage the reader passes over, such as a missing end record.
        const QList<TZipFinding> findings = TZipInspector::InspectFile(fileName);
        if (!findings.isEmpty())
            throw Exception(findings.first().Text);
    } catch (const Exception& error) {
        throw EFtpError(QStringLiteral("The downloaded file is not a whole zip archive; nothing "
                                       "was saved.\r\n%1")
                            .arg(error.Message()));
    }
}

// Replaces the target only once the whole copy is written.
void TFtpTransfer::CopyFile(const QString& source, const QString& target)
{
    QFile input(source);
    QSaveFile output(target);
    if (!input.open(QIODevice::ReadOnly))
        throw EFtpError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(source, input.errorString()));
    if (!output.open(QIODevice::WriteOnly))
        throw EFtpError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(target, output.errorString()));
    QByteArray buffer(TFtpClient::ChunkSize, Qt::Uninitialized);
    for (qint64 read; (read = input.read(buffer.data(), buffer.size())) > 0;)
        if (output.write(buffer.constData(), read) != read)
            break;
    if (input.error() != QFileDevice::NoError || !output.commit())
        throw EFtpError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(target, output.errorString()));
}

void TFtpTransfer::Cancel()
{
    SetBusy(false);
    m_cancelled = true;
    m_ftp.Abort();
}

void TFtpTransfer::SetBusy(bool busy)
{
    m_busy = busy;
    Changed();
}

void TFtpTransfer::Changed()
{
    if (OnChanged)
        OnChanged();
}

void TFtpTransfer::WorkBegin(qint64 countMax)
{
    m_totalBytes = qMax(countMax, m_browser.PickedSize());
    m_progressMaximum = countMax;
    m_doneBytes = 0;
    m_progressVisible = true;
    Changed();
}

void TFtpTransfer::Work(qint64 count)
{
    m_doneBytes = count;
    const QLocale locale;
    m_progressText = QStringLiteral("%1 of %2 kbytes transferred.")
                         .arg(locale.toString(double(m_doneBytes) / 1000.0, 'f', 3),
                              locale.toString(double(m_totalBytes) / 1000.0, 'f', 3));
    Changed();
}
