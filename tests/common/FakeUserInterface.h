#pragma once

#include <functional>
#include <optional>

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include "UserInterface.h"

// A scripted TUserInterface for tests. Answers come from queues the test fills
// beforehand; every question, message and report line is recorded. A question
// with no scripted answer throws std::logic_error, so an unexpected dialog
// fails the test instead of being answered silently.
class FakeUserInterface : public TUserInterface {
public:
    struct Question {
        QString Kind; // "Confirm", "SaveFile", "OpenFile", "Directory", "Input"
        QString Text; // the question text, or the request's title
        TMsgButtons Buttons;
        TFileRequest Request;
    };

    // Scripting.
    void AnswerConfirm(TMsgButton answer) { m_confirmAnswers.enqueue(answer); }
    void AnswerFile(const QString& path) { m_fileAnswers.enqueue(path); }
    void AnswerInput(const QString& text) { m_inputAnswers.enqueue(text); }
    void CancelInput() { m_inputAnswers.enqueue(std::nullopt); }
    // Cancelled() turns true once ProcessEvents() has run this many times.
    void CancelAfterEvents(int count) { m_cancelAfter = count; }
    std::function<void()> OnProcessEvents;

    // What happened.
    QList<Question> Questions;
    QStringList Messages;
    QStringList Report;
    int EventsProcessed = 0;
    int ReportCleared = 0;
    int ProgressShown = 0;
    int ProgressClosed = 0;
    QString ProgressTitle;
    QString ProgressText;
    QStringList ProgressTexts;

    int Asked(const QString& kind) const;
    bool AllAnswersUsed() const;

    TMsgButton Confirm(const QString& text, TMsgButtons buttons) override;
    void ShowMessage(const QString& text) override;
    QString SaveFileName(const TFileRequest& request) override;
    QString OpenFileName(const TFileRequest& request) override;
    QString DirectoryName(const TFileRequest& request) override;
    bool InputText(const QString& title, const QString& prompt, QString& value) override;
    void ReportLine(const QString& text) override;
    void ClearReport() override
    {
        Report.clear();
        ++ReportCleared;
    }
    void SetProgressTitle(const QString& title) override;
    void SetProgressText(const QString& text) override;
    void SetProgressMaximum(int maximum) override { m_maximum = maximum; }
    void SetProgressPosition(int position) override { m_position = position; }
    int ProgressMaximum() const override { return m_maximum; }
    int ProgressPosition() const override { return m_position; }
    void ShowProgress() override;
    void CloseProgress() override { ++ProgressClosed; }
    bool Cancelled() const override { return m_cancelled; }
    void ProcessEvents() override;

    void SetCancelled(bool cancelled) { m_cancelled = cancelled; }

private:
    QString NextFile(const QString& kind, const TFileRequest& request);

    QQueue<TMsgButton> m_confirmAnswers;
    QQueue<QString> m_fileAnswers;
    QQueue<std::optional<QString>> m_inputAnswers;
    int m_cancelAfter = -1;
    int m_maximum = 0;
    int m_position = 0;
    bool m_cancelled = false;
};
