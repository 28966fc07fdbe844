#include "ProgressUserInterface.h"

#include <QCoreApplication>
#include <QProgressBar>

#include "ProgressForm.h"

void TProgressUserInterface::SetProgressTitle(const QString& title)
{
    m_form.SetTitle(title);
}

void TProgressUserInterface::SetProgressText(const QString& text)
{
    m_form.SetText(text);
}

void TProgressUserInterface::SetProgressMaximum(int maximum)
{
    // The bar counts from 0; a negative maximum would move its minimum.
    m_form.ProgressBar1()->setMaximum(qMax(0, maximum));
}

void TProgressUserInterface::SetProgressPosition(int position)
{
    // A position outside the range is held at its end instead of being
    // ignored, so the bar never shows an older position.
    const QProgressBar* bar = m_form.ProgressBar1();
    m_form.ProgressBar1()->setValue(qBound(bar->minimum(), position, bar->maximum()));
}

int TProgressUserInterface::ProgressMaximum() const
{
    return m_form.ProgressBar1()->maximum();
}

int TProgressUserInterface::ProgressPosition() const
{
    return m_form.ProgressBar1()->value();
}

void TProgressUserInterface::ShowProgress()
{
    m_form.Show();
}

void TProgressUserInterface::CloseProgress()
{
    m_form.Close();
}

bool TProgressUserInterface::Cancelled() const
{
    return m_form.Cancelled();
}

void TProgressUserInterface::ProcessEvents()
{
    QCoreApplication::processEvents();
}
