#pragma once

#include <memory>

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QWidget;
class TLangComponent;
class TMemIniFile;
class TUserInterface;

// Translates the texts of the program's windows from language files, looks up
// single texts by section and key, and in build mode writes the design texts
// of the windows into base language files from which translations are made.
//
// Language files are INI files read whole (encoding by mark) and written as
// UTF-16 LE with mark and CR LF lines. Every value is stored in double
// quotes; a line break inside a caption, hint or looked-up text is stored as
// the four characters "/r/n" and becomes "\n" in the widgets.
//
// A form's section is its objectName (its class name with lmClassNames); a
// component's key is its path (the objectNames between the form and it,
// joined by dots; unnamed and Qt-internal "qt_" parents are skipped) plus a
// suffix: ".Caption", ".Hint", ".Text", ".List[i]", ".Menu[i]". Components
// without a name are left alone. A widget with the dynamic property "Tag"
// set to 98 (NoBuildTag) is read like any other but never written.
//
// What is read and written, by class; the first row that matches applies:
//
//   class                         read                          built
//   the form itself               windowTitle, toolTip          windowTitle, toolTip
//   TPanelButton                  CaptionItems (wide list);     CaptionItems as list, toolTip
//                                 caption of the current entry
//                                 (text, toolTip without entries)
//   QAbstractButton (push, tool,  text, toolTip                 text, toolTip
//     check, radio buttons)
//   QLabel                        text, toolTip                 text, toolTip
//   QGroupBox                     title, toolTip                title, toolTip
//   QComboBox                     items (wide list)             items as list
//   QListWidget                   items (narrow list)           items as list
//   QTextEdit                     lines (narrow list)           lines as list
//   QPlainTextEdit                ".Hint", lines (wide list)    ".Hint"
//   QLineEdit                     text, toolTip                 ".Hint"
//   QMenu                         title, toolTip                title, toolTip
//   QMenuBar                      ".Menu[i]": top-level titles  nothing
//   QTableView (and table widget) toolTip                       toolTip
//   QTabWidget                    toolTip                       toolTip
//   a page of a QTabWidget        tab text, tab tool tip        tab text, tab tool tip
//   QAction                       text, toolTip                 text, toolTip
//
// Caption and hint: a caption key that is missing or empty keeps the design
// text; a hint key that is present replaces the hint even when empty.
// Narrow list: replaced as a whole when item 0 is present and not empty.
// Wide list: item i replaced (or appended) while its key is present and not
// empty; further design items stay. Selected items do not change.
class TLangManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString AppFileName READ AppFileName WRITE SetAppFileName)
    Q_PROPERTY(QString LanguageFolder READ LanguageFolder WRITE SetLanguageFolder)
    Q_PROPERTY(QString Language READ Language WRITE SetLanguage)
    Q_PROPERTY(QString Created READ Created WRITE SetCreated)
    Q_PROPERTY(QString Modified READ Modified WRITE SetModified)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
    Q_PROPERTY(bool BuildLanguage READ BuildLanguage WRITE SetBuildLanguage)
    Q_PROPERTY(QString LangExtension READ LangExtension WRITE SetLangExtension)
    Q_PROPERTY(TLMSetOptions Options READ Options WRITE SetOptions)

public:
    enum TLMOptions {
        lmNumUnits = 0x01,   // build: unit texts of numeric fields (".Unit")
        lmClassNames = 0x02, // a form's section is its class name
    };
    Q_DECLARE_FLAGS(TLMSetOptions, TLMOptions)
    Q_FLAG(TLMSetOptions)

    static constexpr int NoBuildTag = 98;

    explicit TLangManager(QObject* parent = nullptr);
    ~TLangManager() override;

    bool BuildPending() const { return m_buildPending; }
    bool BuildCancelled() const { return m_buildCancelled; }
    // The current language's name without its quotes; setting it switches to
    // that language of LanguageNames() and reads every linked form again.
    QString Language() const;
    void SetLanguage(const QString& language);
    // Takes the folder only when it holds language files.
    QString LanguageFolder() const { return m_languageFolder; }
    void SetLanguageFolder(const QString& folder);
    const QStringList& LanguageNames() const { return m_languageNames; }
    const QStringList& LanguageFiles() const { return m_languageFiles; }
    QString Created() const { return m_created; }
    void SetCreated(const QString& text) { m_created = text; }
    QString Modified() const { return m_modified; }
    void SetModified(const QString& text) { m_modified = text; }
    QString Version() const { return m_version; }
    void SetVersion(const QString& text) { m_version = text; }
    TMemIniFile* LanguageFile() const { return m_languageFile.get(); }
    TMemIniFile* CommonFile() const { return m_commonFile.get(); }
    // Opens a language file (outside build mode); an empty path closes it.
    QString AppFileName() const { return m_appFileName; }
    void SetAppFileName(const QString& path);
    QString CommonFileName() const { return m_commonFileName; }
    QString BaseFileName() const { return m_baseFileName; }
    void SetBaseFileName(const QString& path) { m_baseFileName = path; }
    QString LangExtension() const { return m_langExtension; }
    void SetLangExtension(const QString& extension) { m_langExtension = extension; }
    const QStringList& ProcessedForms() const { return m_processedForms; }
    bool BuildLanguage() const { return m_buildLanguage; }
    void SetBuildLanguage(bool build);
    TLMSetOptions Options() const { return m_options; }
    void SetOptions(TLMSetOptions options) { m_options = options; }
    QList<TLangComponent*> LangComponents() const;

    // The title section of language files; by default the program file's
    // name without extension.
    QString ApplicationTitle() const;
    void SetApplicationTitle(const QString& title) { m_applicationTitle = title; }
    // Where the build file request, its question and error messages go.
    void SetUserInterface(TUserInterface* ui) { m_ui = ui; }

    // Fills files and names with the language files of folder and the names
    // of their languages (as stored); true when one was found.
    bool FindLanguageFiles(const QString& folder, QStringList& files, QStringList& names) const;
    void OpenCommonFile(const QString& name);
    // Reads the form's texts (in build mode: writes them); a form already
    // processed since the language file was opened is skipped unless force.
    void TranslateForm(QWidget* form, bool force, bool useCommon);
    // text holds the default on entry and the translation, if any, on return.
    void LookupText(const QString& section, const QString& key, bool useCommon, QString& text);
    void LookupText(const QString& section, const QString& key, bool useCommon, QByteArray& text);
    // Creates the base files at the first build request.
    void PrepareBuild();

    // The text between a leading double quote and the last one, when that is
    // at least one character long; otherwise the value unchanged.
    static QString StripQuotes(const QString& value);
    // The key path of component inside form (see the class comment).
    static QString ComponentPath(const QString& stopName, const QObject* component,
                                 const QObject* form);

    // Linking, called by TLangComponent.
    void AddLangComponent(TLangComponent* component);
    void RemoveLangComponent(TLangComponent* component);
    // Shows an error of a translation that ran from the event loop.
    void ReportError(const QString& message) const;

signals:
    void OnBeforeLanguageChanged(TLangManager* sender);

private:
    QString SectionOf(const QWidget* form) const;
    void WalkForm(QWidget* form, TMemIniFile& file, bool build);
    void OpenBaseFiles(const QString& baseFileName);
    void WriteHeader(TMemIniFile& file, const QString& section, bool withCommonName) const;
    void SendTranslate(bool skipFormsInProgress);
    void FlushBuildFiles() const;
    QString ProgramBaseFileName() const;

    bool m_buildPending = true;
    bool m_buildCancelled = false;
    QString m_language = QStringLiteral("\"English\"");
    QString m_languageFolder;
    QStringList m_languageNames;
    QStringList m_languageFiles;
    QString m_created;
    QString m_modified;
    QString m_version;
    std::unique_ptr<TMemIniFile> m_languageFile;
    std::unique_ptr<TMemIniFile> m_commonFile;
    QString m_appFileName;
    QString m_commonFileName = QStringLiteral("Common.ori");
    QString m_baseFileName;
    QString m_langExtension = QStringLiteral(".lan");
    QStringList m_processedForms;
    bool m_buildLanguage = false;
    TLMSetOptions m_options = lmNumUnits;
    QList<QPointer<TLangComponent>> m_langComponents;
    QList<const QWidget*> m_formsInProgress;
    QString m_applicationTitle;
    TUserInterface* m_ui = nullptr;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(TLangManager::TLMSetOptions)
