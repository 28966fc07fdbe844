#include "CliUserInterface.h"

#include "Console.h"
#include "Exception.h"

namespace {
constexpr int kBarWidth = 24;
constexpr int kLineWidth = 79;
// The bar is redrawn at most this often, so tiny files do not flood the terminal.
constexpr qint64 kRedrawMs = 100;

QString WithHint(const QString& text, const QString& hint)
{
    return hint.isEmpty() ? text : text + QStringLiteral(": ") + hint;
}
} // namespace

TCliUserInterface::TCliUserInterface() : m_progressWanted(Console::ErrIsTerminal())
{}

TCliUserInterface::~TCliUserInterface()
{
    ClearProgressLine();
}

void TCliUserInterface::SetSaveFileAnswer(const QString& path, const QString& hint)
{
    m_saveFile = {path, hint};
}

void TCliUserInterface::SetOpenFileAnswer(const QString& path, const QString& hint)
{
    m_openFile = {path, hint};
}

void TCliUserInterface::SetDirectoryAnswer(const QString& path, const QString& hint)
{
    m_directory = {path, hint};
}

void TCliUserInterface::SetInputAnswer(const QString& text, const QString& hint)
{
    m_input = {text, hint};
}

QString TCliUserInterface::TerminalText(const QString& text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return result;
}

// --yes takes the most accepting button offered, --no the most declining.
TMsgButton TCliUserInterface::Confirm(const QString& text, TMsgButtons buttons)
{
    ClearProgressLine();
    const TMsgButton order[2][3] = {{TMsgButton::YesToAll, TMsgButton::Yes, TMsgButton::Ok},
                                    {TMsgButton::No, TMsgButton::Cancel, TMsgButton::None}};
    if (m_answer == TAnswer::Ask)
        throw Exception(TerminalText(text) + QStringLiteral("\n(answer with --yes or --no)"));
    for (const TMsgButton button : order[m_answer == TAnswer::Yes ? 0 : 1])
        if (buttons.testFlag(button)) {
            Console::ErrLine(
                TerminalText(text) + QStringLiteral(" -> ") +
                (m_answer == TAnswer::Yes ? QStringLiteral("yes") : QStringLiteral("no")));
            return button;
        }
    return TMsgButton::None;
}

void TCliUserInterface::ShowMessage(const QString& text)
{
    ClearProgressLine();
    Console::ErrLine(TerminalText(text));
}

QString TCliUserInterface::Answered(const TPreset& preset, const QString& title)
{
    if (preset.Answer.isEmpty())
        throw Exception(WithHint(
            QStringLiteral("\"%1\" needs an answer the command line did not give").arg(title),
            preset.Hint));
    return preset.Answer;
}

QString TCliUserInterface::SaveFileName(const TFileRequest& request)
{
    return Answered(m_saveFile, request.Title);
}

QString TCliUserInterface::OpenFileName(const TFileRequest& request)
{
    return Answered(m_openFile, request.Title);
}

QString TCliUserInterface::DirectoryName(const TFileRequest& request)
{
    return Answered(m_directory, request.Title);
}

bool TCliUserInterface::InputText(const QString& title, const QString& prompt, QString& value)
{
    value = Answered(m_input, title.isEmpty() ? prompt : title);
    return true;
}

void TCliUserInterface::ReportLine(const QString& text)
{
    ClearProgressLine();
    Console::OutLine(text);
}

void TCliUserInterface::SetProgressTitle(const QString& title)
{
    m_title = title;
    DrawProgress(true);
}

void TCliUserInterface::SetProgressText(const QString& text)
{
    m_text = text;
    DrawProgress(false);
}

void TCliUserInterface::SetProgressMaximum(int maximum)
{
    m_maximum = maximum;
    DrawProgress(false);
}

void TCliUserInterface::SetProgressPosition(int position)
{
    m_position = position;
    DrawProgress(false);
}

void TCliUserInterface::SetBytesProgress(qint64 done, qint64 total)
{
    m_bytesDone = done;
    m_bytesTotal = total;
    DrawProgress(false);
}

// The share of the bar that is done, 0 to kBarWidth.
int TCliUserInterface::FilledWidth() const
{
    if (m_bytesTotal >= 0)
        return m_bytesTotal > 0
                   ? int(kBarWidth * qBound<qint64>(0, m_bytesDone, m_bytesTotal) / m_bytesTotal)
                   : kBarWidth;
    return m_maximum > 0 ? int(qint64(kBarWidth) * qBound(0, m_position, m_maximum) / m_maximum)
                         : 0;
}

void TCliUserInterface::ShowProgress()
{
    m_progressVisible = true;
    DrawProgress(true);
}

void TCliUserInterface::CloseProgress()
{
    ClearProgressLine();
    m_progressVisible = false;
}

void TCliUserInterface::ProcessEvents()
{
    DrawProgress(false);
}

void TCliUserInterface::DrawProgress(bool force)
{
    if (!m_progressWanted || !m_progressVisible)
        return;
    if (!force && m_lastDraw.isValid() && m_lastDraw.elapsed() < kRedrawMs)
        return;
    m_lastDraw.start();
    const int filled = FilledWidth();
    QString line = QStringLiteral("[%1%2] %3 %4")
                       .arg(QString(filled, QLatin1Char('#')),
                            QString(kBarWidth - filled, QLatin1Char(' ')), m_title, m_text);
    line.truncate(kLineWidth);
    Console::Err(QStringLiteral("\r") + line.leftJustified(kLineWidth));
    m_lineDrawn = true;
}

void TCliUserInterface::ClearProgressLine()
{
    if (!m_lineDrawn)
        return;
    Console::Err(QStringLiteral("\r") + QString(kLineWidth, QLatin1Char(' ')) +
                 QStringLiteral("\r"));
    m_lineDrawn = false;
}
