#include "FileListBuilder.h"

#include <atomic>

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "Exception.h"
#include "FileList.h"
#include "UserInterface.h"
#include "Utils.h"
#include "ZipProject.h"

namespace {
// Masks keep at most this many "*" positions pending while they match.
constexpr int kMaxStarLevels = 8;

QString Upper(const QString& text)
{
    return QLocale::system().toUpper(text);
}

// The filter's masks, upper-cased: split at ";", trimmed, empty ones dropped.
QStringList UpperMasks(const QString& filter)
{
    QStringList masks;
    for (const QString& piece : filter.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString mask = piece.trimmed();
        if (!mask.isEmpty())
            masks.append(Upper(mask));
    }
    return masks;
}

[[noreturn]] void TooManyStars(const QString& mask, const QString& name)
{
    throw Exception(
        QStringLiteral("CompareWildString(%1, %2)\r\ntoo many levels of '*'").arg(mask, name));
}

// Matches one upper-cased mask. Only the last "*" reached needs to resume
// when a later character fails, so the match runs in linear steps per star;
// every "*" reached counts as one pending level.
bool MatchMask(const QString& mask, const QString& name)
{
    qsizetype m = 0;
    qsizetype n = 0;
    qsizetype starMask = -1;
    qsizetype starName = 0;
    int levels = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == QLatin1Char('*')) {
            if (++levels > kMaxStarLevels)
                TooManyStars(mask, name);
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == QLatin1Char('?') || mask[m] == name[n])) {
            ++m;
            ++n;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    for (; m < mask.size() && mask[m] == QLatin1Char('*'); ++m)
        if (++levels > kMaxStarLevels)
            TooManyStars(mask, name);
    return m == mask.size();
}

bool MatchesAny(const QString& name, const QStringList& upperMasks)
{
    if (upperMasks.isEmpty())
        return false;
    const QString upperName = Upper(name);
    for (const QString& mask : upperMasks)
        if (MatchMask(mask, upperName))
            return true;
    return false;
}

// Every tenth entry examined in the program's run goes to the debug output.
void TraceExamined(const QString& name)
{
    static std::atomic<int> examined{0};
    if (examined++ % 10 == 0)
        DebugOutput(name);
}

bool IsBlank(const QString& text)
{
    return text.trimmed().isEmpty();
}
} // namespace

bool FileMatchesFilter(const QString& name, const QString& filter)
{
    return MatchesAny(name, UpperMasks(filter));
}

TFileListBuilder::TFileListBuilder(TZipProject& project, TUserInterface& ui)
    : m_project(project), m_ui(ui)
{}

void TFileListBuilder::Build(TFileList& list)
{
    list.Clear();
    for (const TZipCommand& command : m_project.Commands()) {
        if (m_ui.Cancelled())
            break;
        AddRow(command, list);
    }
    // The project file always goes into the archive.
    list.Add(m_project.CFGFileName());
}

void TFileListBuilder::AddRow(const TZipCommand& command, TFileList& list)
{
    QString path = command.Directory;
    if (IsBlank(path))
        return;
    if (!PathRules::IsAbsolute(path))
        path = m_project.RelDir() + path;
    const QFileInfo info(path);
    if (info.isFile()) {
        list.Add(path);
    } else if (info.isDir()) {
        m_project.SetFilterText(command.Filter);
        AddDirectory(path, list);
    } else if (IsBlank(command.Filter)) {
        m_ui.ShowMessage(
            QStringLiteral("File:\r\n%1 \r\ndoes not exists.\r\nFile is skipped.").arg(path));
    } else {
        m_ui.ShowMessage(
            QStringLiteral("Directory:\r\n%1 \r\ndoes not exists.\r\nDirectory is skipped.")
                .arg(path));
    }
}

void TFileListBuilder::AddDirectory(const QString& directory, TFileList& list)
{
    const QString folder = PathRules::WithTrailingSeparator(directory.trimmed());
    m_ui.SetProgressTitle(
        QStringLiteral("Building List : %1")
            .arg(AbbreviatePath(folder + QStringLiteral("*.*"), 1, false, false)));
    for (const QString& path : Walk(folder, UpperMasks(m_project.FilterText())))
        list.Add(path);
}

// Folders first, breadth first; then the matching files of each folder in
// the order of the folder list, by name within a folder.
QStringList TFileListBuilder::Walk(const QString& directory, const QStringList& masks)
{
    QStringList found;
    for (const QString& folder : Folders(directory)) {
        const QFileInfoList entries = QDir(folder).entryInfoList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& entry : entries) {
            StepProgress();
            const QString name = entry.fileName();
            TraceExamined(name);
            if (!MatchesAny(name, masks))
                continue;
            m_ui.SetProgressText(name);
            if (entry.isFile())
                found.append(folder + name);
        }
    }
    return found;
}

// The folder and every folder below it, breadth first. Links to folders are
// not followed: a link to a folder above would never end the walk.
QStringList TFileListBuilder::Folders(const QString& directory) const
{
    QStringList folders{directory};
    for (qsizetype i = 0; i < folders.size(); ++i) {
        const QFileInfoList children =
            QDir(folders[i])
                .entryInfoList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                               QDir::Name);
        for (const QFileInfo& child : children)
            if (!child.isSymLink())
                folders.append(folders[i] + child.fileName() + PathRules::NativeSeparator());
    }
    return folders;
}

void TFileListBuilder::StepProgress()
{
    const int position = m_ui.ProgressPosition() + 1;
    m_ui.SetProgressPosition(position);
    if (position > m_ui.ProgressMaximum() / 3)
        m_ui.SetProgressMaximum(m_ui.ProgressMaximum() * 2);
}
