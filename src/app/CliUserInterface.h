#pragma once

#include <QElapsedTimer>
#include <QString>

#include "UserInterface.h"

// TUserInterface for the command line. Messages go to stderr, report lines to
// stdout, and a one-line progress bar to stderr when stderr is a terminal.
// Nothing waits for typed input: questions are answered by the command's
// --yes or --no flag, file and directory requests by the answers the command
// presets from its options; a question without an answer ends the run with
// an error that names the flag to give.
class TCliUserInterface : public TUserInterface {
public:
    enum class TAnswer { Ask, Yes, No };

    TCliUserInterface();
    ~TCliUserInterface() override;

    // The answer to every question (--yes / --no).
    void SetAnswer(TAnswer answer) { m_answer = answer; }
    // Presets for the requests; `hint` says how the user gives the answer
    // when the preset is empty ("give it with --output").
    void SetSaveFileAnswer(const QString& path, const QString& hint = QString());
    void SetOpenFileAnswer(const QString& path, const QString& hint = QString());
    void SetDirectoryAnswer(const QString& path, const QString& hint = QString());
    void SetInputAnswer(const QString& text, const QString& hint = QString());

    // Whether the progress bar is drawn (default: when stderr is a terminal).
    void SetShowProgress(bool show) { m_progressWanted = show; }

    TMsgButton Confirm(const QString& text, TMsgButtons buttons) override;
    void ShowMessage(const QString& text) override;
    QString SaveFileName(const TFileRequest& request) override;
    QString OpenFileName(const TFileRequest& request) override;
    QString DirectoryName(const TFileRequest& request) override;
    bool InputText(const QString& title, const QString& prompt, QString& value) override;
    void ReportLine(const QString& text) override;
    // Lines already printed stay on the terminal; a new report simply follows them.
    void ClearReport() override {}

    void SetProgressTitle(const QString& title) override;
    void SetProgressText(const QString& text) override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressPosition(int position) override;
    // From then on the bar shows bytes done of a total instead of the position.
    void SetBytesProgress(qint64 done, qint64 total);
    int ProgressMaximum() const override { return m_maximum; }
    int ProgressPosition() const override { return m_position; }
    void ShowProgress() override;
    void CloseProgress() override;
    bool Cancelled() const override { return false; }
    void ProcessEvents() override;

    // A message text as one terminal paragraph: "\r\n" becomes a line break.
    static QString TerminalText(const QString& text);

private:
    struct TPreset {
        QString Answer;
        QString Hint;
    };

    static QString Answered(const TPreset& preset, const QString& title);
    void DrawProgress(bool force);
    int FilledWidth() const;
    void ClearProgressLine();

    TAnswer m_answer = TAnswer::Ask;
    TPreset m_saveFile;
    TPreset m_openFile;
    TPreset m_directory;
    TPreset m_input;
    bool m_progressWanted;
    bool m_progressVisible = false;
    qint64 m_bytesDone = 0;
    qint64 m_bytesTotal = -1; // below 0: the bar follows the position
    bool m_lineDrawn = false;
    QString m_title;
    QString m_text;
    int m_maximum = 0;
    int m_position = 0;
    QElapsedTimer m_lastDraw;
};
