#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPointer>

#include "ProgressUserInterface.h"

class QPlainTextEdit;
class QWidget;

// The main window's TUserInterface: message and confirmation boxes, the file,
// directory and input dialogs, the report memo and the progress window.
//
// A scripted interface may be given for the questions and choices (tests
// answer them from a queue); the report still goes to the memo, and to the
// scripted interface too, and the progress still shows in the window.
class TMainUserInterface : public TProgressUserInterface {
public:
    TMainUserInterface(TProgressForm& form, QWidget* owner, TUserInterface* scripted = nullptr);

    void SetReportMemo(QPlainTextEdit* memo) { m_report = memo; }

    TMsgButton Confirm(const QString& text, TMsgButtons buttons) override;
    void ShowMessage(const QString& text) override;
    QString SaveFileName(const TFileRequest& request) override;
    QString OpenFileName(const TFileRequest& request) override;
    QString DirectoryName(const TFileRequest& request) override;
    bool InputText(const QString& title, const QString& prompt, QString& value) override;
    void ReportLine(const QString& text) override;
    void ClearReport() override;
    // Lets window messages run at most every few milliseconds: loops over
    // tens of thousands of entries call it once per entry.
    void ProcessEvents() override;

private:
    QString RunFileDialog(const TFileRequest& request, bool save);

    QPointer<QWidget> m_owner;
    QPointer<QPlainTextEdit> m_report;
    TUserInterface* m_scripted;
    QElapsedTimer m_sinceEvents;
};
