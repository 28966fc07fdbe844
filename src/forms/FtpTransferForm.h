#pragma once

#include <functional>

#include <QDialog>
#include <QString>

#include "FtpTransfer.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class TFTPCommander;
class TUserInterface;
class TZipGlobal;

// The window "FTP Transfer": the project's FTP settings in five fields, the
// upload of the project's archive, the download of an archive picked in the
// remote browser, the progress and a Cancel that works at every moment. The
// work is TFtpTransfer's; the window copies its fields into the settings
// before each operation and shows the transfer's state.
class TFTPTransferForm : public QDialog {
    Q_OBJECT

public:
    // `cfgFileName` names the current project file whenever asked; the
    // settings are read from it once, here.
    TFTPTransferForm(TUserInterface& ui, TZipGlobal& global, std::function<QString()> cfgFileName,
                     QWidget* parent = nullptr);
    ~TFTPTransferForm() override;

    // The project's RelDir, where a download is offered to be saved.
    std::function<QString()> RelDir;
    // Loads a downloaded and saved archive into the main window's tree.
    std::function<void(const QString& path)> LoadZipTree;

    void SetFile(const QString& path);
    void LoadSettings();
    void SaveSettings();
    void ApplySettings();
    void SetBusy(bool busy);

    TFtpTransfer& Transfer() { return m_transfer; }
    TFTPCommander& Commander() const { return *m_commander; }

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    QLineEdit* AddField(class QFormLayout& form, const QString& label, const QString& name);
    QPushButton* AddButton(const QString& text, const QString& name);
    void FieldsToSettings();
    void SettingsToFields();
    void UpdateControls();
    void Report(const QString& text);
    void bnUploadClick();
    void bnDownloadClick();
    void bnShowFTPClick();
    void bnCancelClick();
    bool ShowBrowser(bool pickMode);

    TUserInterface& m_ui;
    TZipGlobal& m_global;
    std::function<QString()> m_cfgFileName;
    TFtpTransfer m_transfer;
    TFTPCommander* m_commander = nullptr;
    QLineEdit* m_fileName = nullptr;
    QLineEdit* m_serverName = nullptr;
    QLineEdit* m_userName = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_targetDir = nullptr;
    QPushButton* m_upload = nullptr;
    QPushButton* m_download = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_showFtp = nullptr;
    QProgressBar* m_progress = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_statusPanel = nullptr;
    QLabel* m_progressPanel = nullptr;
};
