#include "QorBase.h"

#include "LangManager.h"

TQorBase::TQorBase(QObject* parent) : QObject(parent), m_lanMan(new TLangManager(this))
{
    setObjectName(QStringLiteral("QorBase"));
    m_lanMan->SetLanguage(QStringLiteral("English"));
    m_lanMan->SetLangExtension(QStringLiteral(".lan"));
    m_lanMan->SetOptions(TLangManager::lmNumUnits);
    m_lanMan->SetBuildLanguage(false);
}
