#include "FakeUserInterface.h"

#include <stdexcept>

namespace {
[[noreturn]] void Unexpected(const QString& kind, const QString& text)
{
    throw std::logic_error(
        QStringLiteral("unexpected %1 with no scripted answer: %2").arg(kind, text).toStdString());
}
} // namespace

int FakeUserInterface::Asked(const QString& kind) const
{
    int count = 0;
    for (const Question& question : Questions)
        count += question.Kind == kind ? 1 : 0;
    return count;
}

bool FakeUserInterface::AllAnswersUsed() const
{
    return m_confirmAnswers.isEmpty() && m_fileAnswers.isEmpty() && m_inputAnswers.isEmpty();
}

TMsgButton FakeUserInterface::Confirm(const QString& text, TMsgButtons buttons)
{
    Questions.append({QStringLiteral("Confirm"), text, buttons, {}});
    if (m_confirmAnswers.isEmpty())
        Unexpected(QStringLiteral("question"), text);
    return m_confirmAnswers.dequeue();
}

void FakeUserInterface::ShowMessage(const QString& text)
{
    Messages.append(text);
}

QString FakeUserInterface::NextFile(const QString& kind, const TFileRequest& request)
{
    Questions.append({kind, request.Title, {}, request});
    if (m_fileAnswers.isEmpty())
        Unexpected(kind, request.Title);
    return m_fileAnswers.dequeue();
}

QString FakeUserInterface::SaveFileName(const TFileRequest& request)
{
    return NextFile(QStringLiteral("SaveFile"), request);
}

QString FakeUserInterface::OpenFileName(const TFileRequest& request)
{
    return NextFile(QStringLiteral("OpenFile"), request);
}

QString FakeUserInterface::DirectoryName(const TFileRequest& request)
{
    return NextFile(QStringLiteral("Directory"), request);
}

bool FakeUserInterface::InputText(const QString& title, const QString& prompt, QString& value)
{
    TFileRequest request;
    request.Title = title;
    request.Preset = value;
    Questions.append({QStringLiteral("Input"), prompt, {}, request});
    if (m_inputAnswers.isEmpty())
        Unexpected(QStringLiteral("input request"), prompt);
    const std::optional<QString> answer = m_inputAnswers.dequeue();
    if (!answer)
        return false;
    value = *answer;
    return true;
}

void FakeUserInterface::ReportLine(const QString& text)
{
    Report.append(text);
}

void FakeUserInterface::SetProgressTitle(const QString& title)
{
    ProgressTitle = title;
}

void FakeUserInterface::SetProgressText(const QString& text)
{
    ProgressText = text;
    ProgressTexts.append(text);
}

void FakeUserInterface::ShowProgress()
{
    ++ProgressShown;
    m_cancelled = false;
}

void FakeUserInterface::ProcessEvents()
{
    ++EventsProcessed;
    if (m_cancelAfter >= 0 && EventsProcessed >= m_cancelAfter)
        m_cancelled = true;
    if (OnProcessEvents)
        OnProcessEvents();
}
