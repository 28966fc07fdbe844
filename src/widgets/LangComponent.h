#pragma once

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include "LangManager.h"

// Asks a component to have its form translated; posted when it is linked (so
// the form is translated once it is complete) and sent on a language change.
inline constexpr QEvent::Type LANG_TRANSLATE = QEvent::Type(QEvent::User + 4044);

// A small hidden control placed on a form: it links the form to a language
// manager, which then translates the form when the component is linked and
// whenever the language changes. The form is the window the component is on.
class TLangComponent : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TLangManager* LanManager READ LanManager WRITE SetLanManager)
    Q_PROPERTY(bool UseCommonLanguageFile READ UseCommonLanguageFile WRITE SetUseCommonLanguageFile)

public:
    explicit TLangComponent(QWidget* parent = nullptr);
    ~TLangComponent() override;

    // Empty once the manager is destroyed.
    TLangManager* LanManager() const { return m_lanManager; }
    // Links to manager; nothing does nothing.
    void SetLanManager(TLangManager* manager);
    // The form's texts are read from and built into the common language file.
    bool UseCommonLanguageFile() const { return m_useCommonLanguageFile; }
    void SetUseCommonLanguageFile(bool useCommon) { m_useCommonLanguageFile = useCommon; }
    QWidget* Form() const;

signals:
    void OnLanguageChanged(TLangComponent* sender);

protected:
    bool event(QEvent* event) override;

private:
    void Translate();

    QPointer<TLangManager> m_lanManager;
    bool m_useCommonLanguageFile = false;
};
