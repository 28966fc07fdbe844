#pragma once

#include <cstdio>

#include "UserInterface.h"

// The user interface of a benchmark driver: every question gets one fixed
// answer, a save request the given file (empty: declined), messages go to
// stderr, and there is no report and no progress to show.
class TBenchUserInterface : public TUserInterface {
public:
    TBenchUserInterface(TMsgButton answer, const QString& saveTarget)
        : m_answer(answer), m_saveTarget(saveTarget)
    {}

    TMsgButton Confirm(const QString&, TMsgButtons) override { return m_answer; }
    void ShowMessage(const QString& text) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    QString SaveFileName(const TFileRequest&) override { return m_saveTarget; }
    QString OpenFileName(const TFileRequest&) override { return {}; }
    QString DirectoryName(const TFileRequest&) override { return {}; }
    bool InputText(const QString&, const QString&, QString&) override { return false; }
    void ReportLine(const QString&) override {}
    void ClearReport() override {}
    void SetProgressTitle(const QString&) override {}
    void SetProgressText(const QString&) override {}
    void SetProgressMaximum(int) override {}
    void SetProgressPosition(int) override {}
    int ProgressMaximum() const override { return 0; }
    int ProgressPosition() const override { return 0; }
    void ShowProgress() override {}
    void CloseProgress() override {}
    bool Cancelled() const override { return false; }
    void ProcessEvents() override {}

private:
    TMsgButton m_answer;
    QString m_saveTarget;
};
