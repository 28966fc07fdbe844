#pragma once

#include <QDialog>

class QLabel;
class TLangComponent;

// The about box: the program's name and version and where its settings file
// lives. Its language component is linked to the language manager once the
// data module exists.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    TAboutBox(const QString& settingsFile, QWidget* owner = nullptr);

    TLangComponent* LangComponent1() const { return m_langComponent; }
    void SetSettingsFile(const QString& settingsFile);
    static QString VersionText();

private:
    QLabel* m_settingsLabel;
    TLangComponent* m_langComponent;
};
