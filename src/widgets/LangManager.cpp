#include "LangManager.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QScopeGuard>
#include <QWidget>

#include "LangComponent.h"
#include "LangManagerTexts.h"
#include "MemIniFile.h"
#include "PathRules.h"
#include "UserInterface.h"
#include "Utils.h"

namespace {
const QString Original = QStringLiteral("\"ORIGINAL\"");
const QString FirstVersion = QStringLiteral("0.0.0");
const QString CommonSection = QStringLiteral("Common");

QString Today()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

std::unique_ptr<TMemIniFile> OpenLanguageIni(const QString& fileName)
{
    return std::make_unique<TMemIniFile>(fileName, TMemIniFile::TEncoding::Utf16LE);
}

// A window of its own, as opposed to a control, a menu or another popup.
bool IsForm(const QObject* object)
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    if (widget == nullptr || !widget->isWindow())
        return false;
    const Qt::WindowType type = widget->windowType();
    return type != Qt::Popup && type != Qt::ToolTip;
}

void ProcessPendingEvents()
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
}
} // namespace

TLangManager::TLangManager(QObject* parent)
    : QObject(parent), m_created(Quoted(Today() + QStringLiteral(" Qor Zip language manager")))
{
    setObjectName(QStringLiteral("LanMan"));
}

TLangManager::~TLangManager() = default;

QString TLangManager::StripQuotes(const QString& value)
{
    if (!value.startsWith(QLatin1Char('"')))
        return value;
    const qsizetype last = value.lastIndexOf(QLatin1Char('"'));
    return last > 1 ? value.mid(1, last - 1) : value;
}

QString TLangManager::ComponentPath(const QString& stopName, const QObject* component,
                                    const QObject* form)
{
    QStringList names;
    for (const QObject* current = component; current != nullptr && current != form;
         current = current->parent()) {
        const QLatin1String className(current->metaObject()->className());
        if (QString(className).compare(stopName, Qt::CaseInsensitive) == 0)
            break;
        if (TLangManagerTexts::HasName(current))
            names.prepend(current->objectName());
    }
    return names.join(QLatin1Char('.'));
}

QString TLangManager::Language() const
{
    return StripQuotes(m_language);
}

QList<TLangComponent*> TLangManager::LangComponents() const
{
    QList<TLangComponent*> components;
    for (const QPointer<TLangComponent>& component : m_langComponents)
        if (component)
            components.append(component);
    return components;
}

QString TLangManager::ApplicationTitle() const
{
    if (!m_applicationTitle.isEmpty())
        return m_applicationTitle;
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

// ---- language files ---------------------------------------------------------

bool TLangManager::FindLanguageFiles(const QString& folder, QStringList& files,
                                     QStringList& names) const
{
    files.clear();
    names.clear();
    const QDir dir(folder);
    const QStringList candidates =
        dir.entryList({QLatin1Char('*') + m_langExtension}, QDir::Files, QDir::Name);
    for (const QString& fileName : candidates) {
        const TMemIniFile ini(dir.filePath(fileName), TMemIniFile::TEncoding::Utf16LE);
        if (!ini.SectionExists(ApplicationTitle()))
            continue;
        files.append(fileName);
        names.append(ini.ReadString(ApplicationTitle(), QStringLiteral("Language"), QString()));
    }
    return !files.isEmpty();
}

void TLangManager::SetLanguageFolder(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    const QString withSeparator = PathRules::WithTrailingSeparator(folder);
    if (FindLanguageFiles(withSeparator, m_languageFiles, m_languageNames))
        m_languageFolder = withSeparator;
}

void TLangManager::SetAppFileName(const QString& path)
{
    m_appFileName = path;
    if (!m_buildLanguage) {
        m_languageFile = path.isEmpty() ? nullptr : OpenLanguageIni(path);
        if (m_languageFile) {
            const TMemIniFile& ini = *m_languageFile;
            const QString title = ApplicationTitle();
            m_language = ini.ReadString(title, QStringLiteral("Language"), Language());
            m_created = ini.ReadString(title, QStringLiteral("Created"), m_created);
            m_modified = ini.ReadString(title, QStringLiteral("Modified"), m_modified);
            m_version = ini.ReadString(title, QStringLiteral("Version"), m_version);
            m_commonFileName =
                ini.ReadString(title, QStringLiteral("CommonLanguageFile"), m_commonFileName);
        }
    }
    m_processedForms.clear();
}

// A name that is already a full path (the common file of the language read
// before) is taken as it is instead of being put below the folder again.
void TLangManager::OpenCommonFile(const QString& name)
{
    m_commonFileName = QDir(m_languageFolder).filePath(StripQuotes(name));
    m_commonFile = OpenLanguageIni(m_commonFileName);
    if (!m_buildLanguage && !QFileInfo::exists(m_commonFileName))
        ReportError(
            QStringLiteral("Error reading common language file :\r\n%1").arg(m_commonFileName));
}

void TLangManager::SetLanguage(const QString& language)
{
    const QString wanted = StripQuotes(language);
    qsizetype index = -1;
    for (qsizetype i = 0; i < m_languageNames.size() && index < 0; ++i)
        if (StripQuotes(m_languageNames[i]).compare(wanted, Qt::CaseInsensitive) == 0)
            index = i;
    if (index < 0)
        return;
    const QString previous = Language();
    SetAppFileName(m_languageFolder + m_languageFiles[index]);
    OpenCommonFile(m_commonFileName);
    if (previous.compare(wanted, Qt::CaseInsensitive) == 0)
        return;
    m_language = m_languageNames[index];
    emit OnBeforeLanguageChanged(this);
    m_processedForms.clear();
    SendTranslate(false);
}

// ---- linking ----------------------------------------------------------------

void TLangManager::AddLangComponent(TLangComponent* component)
{
    if (!m_langComponents.contains(component))
        m_langComponents.append(component);
}

void TLangManager::RemoveLangComponent(TLangComponent* component)
{
    m_langComponents.removeAll(component);
}

// Sends the translate request to the linked components, in the order they
// were linked. A form whose translation asked for this is left out: it goes
// on with its own walk.
void TLangManager::SendTranslate(bool skipFormsInProgress)
{
    const QList<TLangComponent*> components = LangComponents();
    for (const QPointer<TLangComponent> component : components) {
        if (!component)
            continue;
        if (skipFormsInProgress && m_formsInProgress.contains(component->Form()))
            continue;
        QEvent request(LANG_TRANSLATE);
        QCoreApplication::sendEvent(component, &request);
    }
}

void TLangManager::ReportError(const QString& message) const
{
    if (m_ui != nullptr)
        m_ui->ShowMessage(message);
    else
        DebugOutput(message);
}

// ---- translating --------------------------------------------------------------

QString TLangManager::SectionOf(const QWidget* form) const
{
    return m_options.testFlag(lmClassNames) ? QString::fromLatin1(form->metaObject()->className())
                                            : form->objectName();
}

void TLangManager::TranslateForm(QWidget* form, bool force, bool useCommon)
{
    if (form == nullptr)
        return;
    m_formsInProgress.append(form);
    const auto done = qScopeGuard([this] { m_formsInProgress.removeLast(); });
    PrepareBuild();
    const QString name = form->objectName();
    if (!m_languageFile || (!force && m_processedForms.contains(name)))
        return;
    TMemIniFile* file = useCommon ? m_commonFile.get() : m_languageFile.get();
    if (!m_buildLanguage && file != nullptr && !name.isEmpty())
        WalkForm(form, *file, false);
    else if (m_buildLanguage && !m_buildCancelled && file != nullptr)
        WalkForm(form, *file, true);
    if (!m_processedForms.contains(name))
        m_processedForms.append(name);
}

void TLangManager::WalkForm(QWidget* form, TMemIniFile& file, bool build)
{
    const QString section = SectionOf(form);
    if (section.isEmpty())
        return;
    const TLangManagerTexts texts(file, section, section, form);
    const auto process = [&texts, build](QObject* component) {
        if (build)
            texts.Build(component);
        else
            texts.Read(component);
    };
    const std::function<void(QObject*)> walk = [&](QObject* root) {
        ProcessPendingEvents();
        process(root);
        // Guarded: events that run during the walk may delete a component.
        const QList<QPointer<QObject>> children(root->children().cbegin(), root->children().cend());
        for (const QPointer<QObject>& guard : children) {
            QObject* child = guard.data();
            if (child == nullptr || IsForm(child))
                continue;
            process(child);
            if (!guard.isNull() && !child->children().isEmpty())
                walk(child);
        }
    };
    walk(form);
    if (build)
        FlushBuildFiles();
}

void TLangManager::FlushBuildFiles() const
{
    if (m_languageFile)
        m_languageFile->UpdateFile();
    if (m_commonFile)
        m_commonFile->UpdateFile();
}

// ---- looking up ---------------------------------------------------------------

void TLangManager::LookupText(const QString& section, const QString& key, bool useCommon,
                              QString& text)
{
    PrepareBuild();
    TMemIniFile* file = useCommon ? m_commonFile.get() : m_languageFile.get();
    if (file == nullptr)
        return;
    if (m_buildLanguage) {
        if (m_buildCancelled)
            return;
        text = TLangManagerTexts::EncodeBreaks(text);
        file->WriteString(section, key, Quoted(text));
        file->UpdateFile();
    } else if (file->ValueExists(section, key)) {
        text =
            StripQuotes(TLangManagerTexts::DecodeBreaks(file->ReadString(section, key, QString())));
    }
}

void TLangManager::LookupText(const QString& section, const QString& key, bool useCommon,
                              QByteArray& text)
{
    QString wide = QString::fromLocal8Bit(text);
    LookupText(section, key, useCommon, wide);
    text = wide.toLocal8Bit();
}

// ---- building -------------------------------------------------------------------

void TLangManager::SetBuildLanguage(bool build)
{
    m_buildLanguage = build;
    if (build)
        PrepareBuild();
}

QString TLangManager::ProgramBaseFileName() const
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    return program.completeBaseName() + QStringLiteral(".ori");
}

void TLangManager::PrepareBuild()
{
    if (!m_buildPending || !m_buildLanguage)
        return;
    const QString fileName = m_baseFileName.isEmpty() ? ProgramBaseFileName() : m_baseFileName;
    m_buildPending = false;
    const QString folder = QFileInfo(m_languageFolder).isDir() && !m_languageFolder.isEmpty()
                               ? m_languageFolder
                               : ExeDirectory();
    TFileRequest request;
    request.Title = QStringLiteral("Build Language File");
    request.Filter = QStringLiteral("Original Language Files (*.ori)|*.ori");
    request.Preset = QDir(folder).filePath(QFileInfo(fileName).fileName());
    request.DefaultExt = QStringLiteral("ori");
    request.Options = TFileRequest::OverwritePrompt;
    const QString chosen = m_ui != nullptr ? m_ui->SaveFileName(request) : QString();
    if (chosen.isEmpty())
        m_buildCancelled = true;
    else
        OpenBaseFiles(chosen);
    emit OnBeforeLanguageChanged(this);
    SendTranslate(true);
}

void TLangManager::WriteHeader(TMemIniFile& file, const QString& section, bool withCommonName) const
{
    file.WriteString(section, QStringLiteral("Language"), Original);
    file.WriteString(section, QStringLiteral("Created"), Today());
    file.WriteString(section, QStringLiteral("Modified"), Today());
    file.WriteString(section, QStringLiteral("Version"), FirstVersion);
    if (withCommonName)
        file.WriteString(section, QStringLiteral("CommonLanguageFile"), Quoted(m_commonFileName));
}

// The base file and the common file beside it (a common file name without
// folder lives in the base file's folder, where a translation looks for it).
void TLangManager::OpenBaseFiles(const QString& baseFileName)
{
    m_baseFileName = baseFileName;
    QFile::remove(baseFileName);
    m_languageFile = OpenLanguageIni(baseFileName);
    WriteHeader(*m_languageFile, ApplicationTitle(), true);

    m_commonFileName = QFileInfo(baseFileName).dir().filePath(m_commonFileName);
    const QString question =
        QStringLiteral("Do you want to delete the common language file : \r\n\r\n%1")
            .arg(m_commonFileName);
    if (m_ui != nullptr &&
        m_ui->Confirm(question, TMsgButton::Yes | TMsgButton::No) == TMsgButton::Yes)
        QFile::remove(m_commonFileName);
    m_commonFile = OpenLanguageIni(m_commonFileName);
    WriteHeader(*m_commonFile, CommonSection, false);
}
