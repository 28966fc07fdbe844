#include "LangComponent.h"

#include <QCoreApplication>

#include "Exception.h"

TLangComponent::TLangComponent(QWidget* parent) : QWidget(parent)
{
    setFixedSize(28, 28);
    hide();
}

TLangComponent::~TLangComponent()
{
    if (m_lanManager)
        m_lanManager->RemoveLangComponent(this);
}

void TLangComponent::SetLanManager(TLangManager* manager)
{
    if (manager == nullptr)
        return;
    if (m_lanManager && m_lanManager != manager)
        m_lanManager->RemoveLangComponent(this);
    m_lanManager = manager;
    manager->AddLangComponent(this);
    QCoreApplication::postEvent(this, new QEvent(LANG_TRANSLATE));
}

QWidget* TLangComponent::Form() const
{
    return parentWidget() != nullptr ? parentWidget()->window() : nullptr;
}

bool TLangComponent::event(QEvent* event)
{
    if (event->type() != LANG_TRANSLATE)
        return QWidget::event(event);
    Translate();
    return true;
}

// Errors stop here: an exception must not leave an event handler.
void TLangComponent::Translate()
{
    QWidget* form = Form();
    if (form == nullptr || !m_lanManager)
        return;
    try {
        m_lanManager->TranslateForm(form, true, m_useCommonLanguageFile);
    } catch (const Exception& error) {
        m_lanManager->ReportError(error.Message());
    }
    emit OnLanguageChanged(this);
}
