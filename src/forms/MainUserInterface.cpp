#include "MainUserInterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>

#include "DirectoryDialog.h"

namespace {
// Pending events are run at most this often by ProcessEvents.
constexpr qint64 EventSliceMs = 15;

const QList<QPair<TMsgButton, QMessageBox::StandardButton>>& ButtonMap()
{
    static const QList<QPair<TMsgButton, QMessageBox::StandardButton>> map{
        {TMsgButton::Yes, QMessageBox::Yes},
        {TMsgButton::No, QMessageBox::No},
        {TMsgButton::Ok, QMessageBox::Ok},
        {TMsgButton::Cancel, QMessageBox::Cancel},
        {TMsgButton::YesToAll, QMessageBox::YesToAll},
    };
    return map;
}

// The folder a dialog opens in: the preset's folder, or the preset itself.
QString StartFolder(const QString& preset)
{
    const QFileInfo info(preset);
    return info.isDir() ? preset : info.absolutePath();
}
} // namespace

TMainUserInterface::TMainUserInterface(TProgressForm& form, QWidget* owner,
                                       TUserInterface* scripted)
    : TProgressUserInterface(form), m_owner(owner), m_scripted(scripted)
{
    m_sinceEvents.start();
}

TMsgButton TMainUserInterface::Confirm(const QString& text, TMsgButtons buttons)
{
    if (m_scripted)
        return m_scripted->Confirm(text, buttons);
    QMessageBox box(QMessageBox::Question, QCoreApplication::translate("Dialogs", "Confirm"), text,
                    QMessageBox::NoButton, m_owner);
    box.setObjectName(QStringLiteral("ConfirmBox"));
    for (const auto& [ours, qts] : ButtonMap()) {
        if (buttons.testFlag(ours))
            box.addButton(qts);
    }
    const auto chosen = QMessageBox::StandardButton(box.exec());
    for (const auto& [ours, qts] : ButtonMap()) {
        if (qts == chosen)
            return ours;
    }
    // The close box answers as the last button (Cancel or No) would.
    return buttons.testFlag(TMsgButton::Cancel) ? TMsgButton::Cancel : TMsgButton::No;
}

void TMainUserInterface::ShowMessage(const QString& text)
{
    if (m_scripted) {
        m_scripted->ShowMessage(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                    m_owner);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

QString TMainUserInterface::RunFileDialog(const TFileRequest& request, bool save)
{
    QFileDialog dialog(m_owner, request.Title, StartFolder(request.Preset));
    dialog.setObjectName(save ? QStringLiteral("SaveDialog") : QStringLiteral("OpenDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !request.Options.testFlag(TFileRequest::FileMustExist)
                           ? QFileDialog::AnyFile
                           : QFileDialog::ExistingFile);
    const QString filter = DialogFilter(request.Filter);
    if (!filter.isEmpty())
        dialog.setNameFilters(filter.split(QStringLiteral(";;")));
    QString suffix = request.DefaultExt;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite,
                     !request.Options.testFlag(TFileRequest::OverwritePrompt));
    if (!request.Preset.isEmpty() && !QFileInfo(request.Preset).isDir())
        dialog.selectFile(QFileInfo(request.Preset).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

QString TMainUserInterface::SaveFileName(const TFileRequest& request)
{
    return m_scripted ? m_scripted->SaveFileName(request) : RunFileDialog(request, true);
}

QString TMainUserInterface::OpenFileName(const TFileRequest& request)
{
    return m_scripted ? m_scripted->OpenFileName(request) : RunFileDialog(request, false);
}

QString TMainUserInterface::DirectoryName(const TFileRequest& request)
{
    if (m_scripted)
        return m_scripted->DirectoryName(request);
    TDirectoryDialog dialog(m_owner, request, *this);
    return dialog.Choose();
}

bool TMainUserInterface::InputText(const QString& title, const QString& prompt, QString& value)
{
    if (m_scripted)
        return m_scripted->InputText(title, prompt, value);
    bool accepted = false;
    const QString answer =
        QInputDialog::getText(m_owner, title, prompt, QLineEdit::Normal, value, &accepted);
    if (accepted)
        value = answer;
    return accepted;
}

void TMainUserInterface::ReportLine(const QString& text)
{
    if (m_report)
        m_report->appendPlainText(text);
    if (m_scripted)
        m_scripted->ReportLine(text);
}

void TMainUserInterface::ClearReport()
{
    if (m_report)
        m_report->clear();
    if (m_scripted)
        m_scripted->ClearReport();
}

void TMainUserInterface::ProcessEvents()
{
    if (m_sinceEvents.elapsed() < EventSliceMs)
        return;
    TProgressUserInterface::ProcessEvents();
    m_sinceEvents.restart();
}
