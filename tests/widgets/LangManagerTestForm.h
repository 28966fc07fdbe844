#pragma once

#include <QString>
#include <QWidget>

class QAction;
class TLangComponent;

// A form with one control of every kind the language manager knows, with
// design texts the tests compare against.
class TFrmLangTest : public QWidget {
    Q_OBJECT

public:
    explicit TFrmLangTest(const QString& name = QStringLiteral("FrmLangTest"));

    template <class T> T* Child(const QString& name) const { return findChild<T*>(name); }
    QAction* acOpen = nullptr;
    TLangComponent* LangComponent1 = nullptr;

private:
    void CreateButtons();
    void CreateLists();
    void CreateMenus();
    void CreatePages();
};

namespace LangTestFiles {
// A language file as UTF-16 LE with mark and CR LF lines.
void WriteUtf16(const QString& path, const QString& text);
// The same with UTF-8 and its mark.
void WriteUtf8(const QString& path, const QString& text);
QString ReadAny(const QString& path);
} // namespace LangTestFiles
