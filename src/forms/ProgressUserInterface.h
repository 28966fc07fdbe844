#pragma once

#include "UserInterface.h"

class TProgressForm;

// The progress part of TUserInterface, carried out by a progress window. The
// main window's user interface derives from this and adds the questions, the
// choices and the report; every long operation of the core then shows the
// progress window unchanged.
class TProgressUserInterface : public TUserInterface {
public:
    explicit TProgressUserInterface(TProgressForm& form) : m_form(form) {}

    void SetProgressTitle(const QString& title) override;
    void SetProgressText(const QString& text) override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressPosition(int position) override;
    int ProgressMaximum() const override;
    int ProgressPosition() const override;
    void ShowProgress() override;
    void CloseProgress() override;
    bool Cancelled() const override;
    void ProcessEvents() override;

    TProgressForm& ProgressForm() const { return m_form; }

private:
    TProgressForm& m_form;
};
