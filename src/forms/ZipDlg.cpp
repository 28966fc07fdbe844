#include "ZipDlg.h"

#include <QApplication>

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

#include "AboutBox.h"
#include "AppSettings.h"
#include "CommandRowEditor.h"
#include "CurrentZip.h"
#include "Exception.h"
#include "FileTypeRegistration.h"
#include "LangComponent.h"
#include "MainUserInterface.h"
#include "PathRules.h"
#include "ProgressForm.h"
#include "WideFStringGrid.h"
#include "ZipProject.h"
#include "ZipTreeView.h"

namespace {
constexpr int FormWidth = 633;
constexpr int FormHeight = 535;
constexpr int HintMaxWidth = 350;
constexpr int HintMaxHeight = 500;

const QString ProjectFilter = QStringLiteral("Qor Zip Config File|*.qrz");
const QString ProjectExtension = QStringLiteral(".qrz");

// The request of both project dialogs.
TFileRequest ProjectRequest(const QString& title, const QString& preset,
                            TFileRequest::Flags options)
{
    TFileRequest request;
    request.Title = title;
    request.Filter = ProjectFilter;
    request.DefaultExt = ProjectExtension;
    request.Preset = preset;
    request.Options = options;
    return request;
}

QString DocumentsDirectory()
{
    QString folder = PathRules::DocumentsFolder();
    folder.chop(1);
    return folder;
}
} // namespace

TZipDlg::TZipDlg(TZipGlobal& global, TZipDlgOptions options, QWidget* parent)
    : QMainWindow(parent), m_global(global), m_options(std::move(options)),
      m_progressForm(new TProgressForm(this)),
      m_ui(std::make_unique<TMainUserInterface>(*m_progressForm, this, m_options.Scripted)),
      m_project(std::make_unique<TZipProject>(*m_ui)),
      m_settings(std::make_unique<TAppSettings>(*m_project, m_options.SettingsFile.isEmpty()
                                                                ? TAppSettings::DefaultFileName()
                                                                : m_options.SettingsFile)),
      m_currentZip(std::make_unique<TCurrentZip>())
{
    setObjectName(QStringLiteral("ZipDlg"));
    setWindowTitle(QStringLiteral("Qor Zip"));
    resize(FormWidth, FormHeight);
    CreateControls();
    m_ui->SetReportMemo(m_mmReport);
    ConnectProject();
    FormCreate();
    CreateWindows();
}

TZipDlg::~TZipDlg()
{
    // The focus handler of the edit actions must not run while the children
    // (the actions first) are being deleted.
    disconnect(qApp, nullptr, this, nullptr);
}

TUserInterface& TZipDlg::UserInterface()
{
    return *m_ui;
}

void TZipDlg::ConnectProject()
{
    connect(m_project.get(), &TZipProject::CFGFileNameChanged, this,
            [this] { setWindowTitle(m_project->Caption()); });
    connect(m_project.get(), &TZipProject::RelDirChanged, m_lbRelDir, &QLabel::setText);
    connect(m_project.get(), &TZipProject::LastZipFileChanged, this,
            [this] { m_lbZipFile->setText(m_project->ZipFileLabel()); });
}

void TZipDlg::FormCreate()
{
    // The sync list and filter editor windows are created by ConnectWindows
    // together with their actions.
    const QString documents = DocumentsDirectory();
    m_project->SetRootDir(documents);
    m_project->SetMachineRelDir(QString());
    m_project->SetLoadLastFile(documents + PathRules::NativeSeparator() + QStringLiteral("*.*"));
    bnFilesToZipClick(m_bnFilesToZip);
    m_project->SetCFGFileName(TZipProject::DefaultProjectName());
    m_project->SetRelDir(PathRules::DocumentsFolder());
    if (m_options.RegisterFileType)
        RegisterFileType(QStringLiteral("QorZip"), ProjectExtension);
    m_project->NewProjectDefaults();
    m_settings->ReadSettings();
    RefreshRecentMenu();
    const QString argument = m_options.Arguments.value(0);
    if (!argument.isEmpty() && QFileInfo(argument).isFile()) {
        const QString project = QDir::toNativeSeparators(QFileInfo(argument).absoluteFilePath());
        m_project->SetCFGFileName(project);
        m_project->LoadProject(project);
    }
    if (QFileInfo(m_project->LastZipFile()).isFile())
        LoadZipTree(m_project->LastZipFile());
    m_rowEditor->ShowRows();
    ShowValueHolders();
    m_hintWindow->hide();
    m_lbRelDir->setText(m_project->RelDir());
    m_lbZipFile->setText(m_project->ZipFileLabel());
    if (!m_aboutBox)
        m_aboutBox = new TAboutBox(m_settings->FileName(), this);
    m_hintTimer->start();
}

void TZipDlg::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        m_onScreen = true;
    m_rowEditor->FitColumns();
}

void TZipDlg::closeEvent(QCloseEvent* event)
{
    try {
        FormClose();
    } catch (const Exception& error) {
        // Nothing is lost silently: the user decides whether to close unsaved.
        const QString question = error.Message() + QStringLiteral("\r\n\r\nClose without saving?");
        if (m_ui->Confirm(question, TMsgButton::Yes | TMsgButton::No) != TMsgButton::Yes) {
            event->ignore();
            return;
        }
    }
    m_hintWindow->hide();
    event->accept();
}

void TZipDlg::FormClose()
{
    WriteSettings();
}

void TZipDlg::WriteSettings()
{
    StoreValueHolders();
    m_settings->WriteSettings();
}

void TZipDlg::RefreshRecentMenu()
{
    const QStringList captions = m_settings->RecentCaptions();
    for (int k = 0; k < 3; ++k)
        m_recent[k]->setText(captions.value(k));
}

void TZipDlg::AfterProjectChange()
{
    RefreshRecentMenu();
    ShowValueHolders();
    if (QFileInfo(m_project->LastZipFile()).isFile())
        LoadZipTree(m_project->LastZipFile());
}

void TZipDlg::ShowPanel(QWidget* panel)
{
    m_panels->setCurrentWidget(panel);
}

void TZipDlg::bnFilesToZipClick(QAbstractButton* sender)
{
    for (QToolButton* button : {m_bnFilesToZip, m_bnZipThem, m_bnSyncZip, m_bnReport})
        button->setChecked(false);
    QWidget* panel = sender == m_bnSyncZip  ? m_pnSync
                     : sender == m_bnReport ? m_pnReport
                                            : m_pnFiles;
    ShowPanel(panel);
    sender->setChecked(true);
    if (!IsOnScreen())
        return;
    WriteSettings();
    // The file list is a hidden value holder; its grid takes the focus.
    QWidget* focus = panel == m_pnSync     ? static_cast<QWidget*>(m_tvZip)
                     : panel == m_pnReport ? static_cast<QWidget*>(m_mmReport)
                                           : static_cast<QWidget*>(m_sgFiles);
    focus->setFocus();
}

void TZipDlg::acNewExecute()
{
    m_project->SetCFGFileName(TZipProject::DefaultProjectName());
    m_project->NewProjectDefaults();
}

void TZipDlg::FileOpen1Accept()
{
    const QString chosen = m_ui->OpenFileName(ProjectRequest(
        QStringLiteral("Open"), m_project->CFGFileName(), TFileRequest::FileMustExist));
    if (chosen.isEmpty())
        return;
    StoreValueHolders();
    if (m_settings->OpenProject(chosen))
        AfterProjectChange();
}

void TZipDlg::acSaveExecute()
{
    StoreValueHolders();
    m_project->SaveProject(m_project->CFGFileName());
}

void TZipDlg::FileSaveAs1Accept()
{
    const QString chosen = m_ui->SaveFileName(ProjectRequest(
        QStringLiteral("Save As"), m_project->CFGFileName(), TFileRequest::OverwritePrompt));
    if (chosen.isEmpty())
        return;
    m_project->SetCFGFileName(chosen);
    acSaveExecute();
}

void TZipDlg::acLoadLastExecute(int k)
{
    StoreValueHolders();
    if (m_settings->LoadLast(k))
        AfterProjectChange();
}

void TZipDlg::ShowHintAt(const QPoint& point, const QString& text)
{
    QPalette palette = m_hintWindow->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::ToolTipText));
    m_hintWindow->setPalette(palette);
    if (text.trimmed().isEmpty())
        return;
    m_hintWindow->setText(text);
    // As wide as the text's longest line, at most 350 pixels, then as high
    // as the wrapped text needs, at most 500 pixels.
    int textWidth = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        textWidth = qMax(textWidth, m_hintWindow->fontMetrics().horizontalAdvance(line));
    const int frame = 2 * m_hintWindow->margin() + 2;
    const int width = qMin(HintMaxWidth, textWidth + frame);
    const int height = qMin(m_hintWindow->heightForWidth(width), HintMaxHeight);
    m_hintWindow->setGeometry(QRect(centralWidget()->mapToGlobal(point), QSize(width, height)));
    m_hintWindow->show();
    m_hintWindow->raise();
}

void TZipDlg::HintTimerTimer()
{
    if (m_hintWindow->isVisible())
        m_hintWindow->hide();
}

void TZipDlg::AboutClick()
{
    m_aboutBox->SetSettingsFile(m_settings->FileName());
    m_aboutBox->exec();
}

void TZipDlg::SetLanguageManager(TLangManager* manager)
{
    m_aboutBox->LangComponent1()->SetLanManager(manager);
}

void TZipDlg::FindInReport()
{
    auto* memo = qobject_cast<QPlainTextEdit*>(focusWidget());
    if (!memo)
        return;
    QString text = memo->textCursor().selectedText();
    if (!m_ui->InputText(QStringLiteral("Find"), QStringLiteral("Text to find:"), text) ||
        text.isEmpty())
        return;
    if (memo->find(text))
        return;
    memo->moveCursor(QTextCursor::Start);
    if (!memo->find(text))
        m_ui->ShowMessage(QStringLiteral("\"%1\" not found.").arg(text));
}
