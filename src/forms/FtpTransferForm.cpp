#include "FtpTransferForm.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "Exception.h"
#include "FtpCommander.h"
#include "UserInterface.h"
#include "ZipGlobal.h"

namespace {
constexpr int FormWidth = 431;
constexpr int FormHeight = 219;
constexpr int FieldWidth = 200;
constexpr int StatusPanelWidth = 150;
} // namespace

TFTPTransferForm::TFTPTransferForm(TUserInterface& ui, TZipGlobal& global,
                                   std::function<QString()> cfgFileName, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_global(global), m_cfgFileName(std::move(cfgFileName)),
      m_transfer(ui)
{
    setObjectName(QStringLiteral("FTPTransferForm"));
    setWindowTitle(QStringLiteral("FTP Transfer"));
    resize(FormWidth, FormHeight);
    CreateControls();
    m_commander = new TFTPCommander(m_transfer.Browser(), m_global, m_ui, this);
    m_transfer.OnChanged = [this] {
        UpdateControls();
    };
    // The controls follow the client's state before the waiting events run,
    // so no second operation can start while one is still returning.
    m_transfer.Client().OnIdle = [this] {
        UpdateControls();
        m_global.AntiFreeze1().DoIdle();
    };
    SettingsToFields(); // the placeholder texts
    LoadSettings();
    UpdateControls();
}

TFTPTransferForm::~TFTPTransferForm()
{
    m_transfer.OnChanged = nullptr;
    m_transfer.Client().OnIdle = nullptr;
}

void TFTPTransferForm::CreateControls()
{
    auto* fields = new QFormLayout;
    m_fileName = AddField(*fields, QStringLiteral("File"), QStringLiteral("edFileName"));
    m_serverName = AddField(*fields, QStringLiteral("Servername:"), QStringLiteral("edServername"));
    m_userName = AddField(*fields, QStringLiteral("Username:"), QStringLiteral("edUsername"));
    m_password = AddField(*fields, QStringLiteral("Password:"), QStringLiteral("edPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_targetDir = AddField(*fields, QStringLiteral("Targed Dir:"), QStringLiteral("edTargetDir"));

    m_upload = AddButton(QStringLiteral("Upload File"), QStringLiteral("bnUpload"));
    m_download = AddButton(QStringLiteral("Download File"), QStringLiteral("bnDownload"));
    m_showFtp = AddButton(QStringLiteral("Show FTP"), QStringLiteral("bnShowFTP"));
    m_cancel = AddButton(QStringLiteral("Cancel"), QStringLiteral("bnCancel"));
    connect(m_upload, &QPushButton::clicked, this, &TFTPTransferForm::bnUploadClick);
    connect(m_download, &QPushButton::clicked, this, &TFTPTransferForm::bnDownloadClick);
    connect(m_showFtp, &QPushButton::clicked, this, &TFTPTransferForm::bnShowFTPClick);
    connect(m_cancel, &QPushButton::clicked, this, &TFTPTransferForm::bnCancelClick);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_upload, m_download, m_showFtp, m_cancel})
        buttons->addWidget(button);
    buttons->addStretch();

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("pbProgress"));
    m_progress->setTextVisible(false);
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("sbMain"));
    m_statusBar->setSizeGripEnabled(false);
    m_statusPanel = new QLabel(m_statusBar);
    m_statusPanel->setObjectName(QStringLiteral("sbMainPanel0"));
    m_statusPanel->setFixedWidth(StatusPanelWidth);
    m_progressPanel = new QLabel(m_statusBar);
    m_progressPanel->setObjectName(QStringLiteral("sbMainPanel1"));
    m_statusBar->addWidget(m_statusPanel);
    m_statusBar->addWidget(m_progressPanel, 1);

    auto* top = new QHBoxLayout;
    top->addLayout(fields);
    top->addStretch();
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_progress);
    layout->addStretch();
    layout->addWidget(m_statusBar);
    layout->setContentsMargins(8, 8, 8, 0);
}

QLineEdit* TFTPTransferForm::AddField(QFormLayout& form, const QString& label, const QString& name)
{
    auto* field = new QLineEdit(this);
    field->setObjectName(name);
    field->setFixedWidth(FieldWidth);
    form.addRow(label, field);
    return field;
}

QPushButton* TFTPTransferForm::AddButton(const QString& text, const QString& name)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// The fields are the settings; the transfer gets a copy before each use.
void TFTPTransferForm::FieldsToSettings()
{
    TFtpSettings& settings = m_transfer.Settings();
    settings.File = m_fileName->text();
    settings.Hostname = m_serverName->text();
    settings.Username = m_userName->text();
    settings.Password = m_password->text();
    settings.TargetPath = m_targetDir->text();
    m_transfer.SetProjectFileName(m_cfgFileName ? m_cfgFileName() : QString());
    m_transfer.SetRelDir(RelDir ? RelDir() : QString());
}

void TFTPTransferForm::SettingsToFields()
{
    const TFtpSettings& settings = m_transfer.Settings();
    m_fileName->setText(settings.File);
    m_serverName->setText(settings.Hostname);
    m_userName->setText(settings.Username);
    m_password->setText(settings.Password);
    m_targetDir->setText(settings.TargetPath);
}

void TFTPTransferForm::SetFile(const QString& path)
{
    m_transfer.SetFile(path);
    m_fileName->setText(m_transfer.Settings().File);
}

void TFTPTransferForm::LoadSettings()
{
    FieldsToSettings();
    try {
        m_transfer.LoadSettings();
    } catch (const Exception& error) {
        Report(error.Message());
    }
    SettingsToFields();
}

void TFTPTransferForm::SaveSettings()
{
    FieldsToSettings();
    m_transfer.SaveSettings();
}

void TFTPTransferForm::ApplySettings()
{
    FieldsToSettings();
    m_transfer.ApplySettings();
}

// Starting buttons also wait for a cancelled operation to return.
void TFTPTransferForm::SetBusy(bool busy)
{
    const bool canStart = !busy && m_transfer.CanStart();
    m_upload->setEnabled(canStart);
    m_download->setEnabled(canStart);
    m_showFtp->setEnabled(canStart);
    m_cancel->setVisible(busy);
}

void TFTPTransferForm::UpdateControls()
{
    SetBusy(m_transfer.Busy());
    m_progress->setVisible(m_transfer.ProgressVisible());
    m_progress->setRange(0, int(qMin<qint64>(m_transfer.ProgressMaximum(), INT_MAX)));
    m_progress->setValue(int(qMin<qint64>(m_transfer.DoneBytes(), m_progress->maximum())));
    m_statusPanel->setText(m_transfer.StatusText());
    m_progressPanel->setText(m_transfer.ProgressText());
}

void TFTPTransferForm::Report(const QString& text)
{
    m_ui.ShowMessage(text);
}

void TFTPTransferForm::bnUploadClick()
{
    FieldsToSettings();
    try {
        m_transfer.Upload();
    } catch (const Exception& error) {
        Report(error.Message());
    }
    UpdateControls();
}

void TFTPTransferForm::bnDownloadClick()
{
    FieldsToSettings();
    if (!ShowBrowser(true))
        return;
    QString saved;
    TTransferResult result = TTransferResult::Cancelled;
    try {
        result = m_transfer.Download(&saved);
    } catch (const Exception& error) {
        UpdateControls();
        Report(error.Message());
        return;
    }
    UpdateControls();
    accept();
    if (result == TTransferResult::Done && LoadZipTree)
        LoadZipTree(saved);
}

void TFTPTransferForm::bnShowFTPClick()
{
    FieldsToSettings();
    ShowBrowser(false);
}

// Shows the browser on the window's client; true when it closed with OK.
bool TFTPTransferForm::ShowBrowser(bool pickMode)
{
    m_transfer.PrepareBrowser(pickMode);
    try {
        return m_commander->Execute() == QDialog::Accepted;
    } catch (const EFtpCancelled&) {
    } catch (const Exception& error) {
        m_transfer.Client().Disconnect();
        UpdateControls();
        Report(error.Message());
    }
    return false;
}

void TFTPTransferForm::bnCancelClick()
{
    m_transfer.Cancel();
}

// The window does not close under a running call: the call is cancelled and
// returns first.
void TFTPTransferForm::done(int result)
{
    if (m_transfer.Client().Running()) {
        m_transfer.Cancel();
        return;
    }
    QDialog::done(result);
}

void TFTPTransferForm::closeEvent(QCloseEvent* event)
{
    if (m_transfer.Client().Running()) {
        m_transfer.Cancel();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
