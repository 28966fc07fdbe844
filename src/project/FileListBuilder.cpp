#include "FileListBuilder.h"

#include <algorithm>
#include <atomic>

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "DirEntries.h"
#include "Exception.h"
#include "FileList.h"
#include "UserInterface.h"
#include "Utils.h"
#include "ZipProject.h"

namespace {
// Masks keep at most this many "*" positions pending while they match.
constexpr int kMaxStarLevels = 8;

// The filter's masks, upper-cased: split at ";", trimmed, empty ones dropped.
QStringList UpperMasks(const QString& filter)
{
    const QLocale locale = QLocale::system();
    QStringList masks;
    for (const QString& piece : filter.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString mask = piece.trimmed();
        if (!mask.isEmpty())
            masks.append(locale.toUpper(mask));
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

// A lone "*" matches every name (with one pending level), so the name is
// upper-cased only for the first mask that needs it.
bool MatchesAny(const QString& name, const QStringList& upperMasks, const QLocale& locale)
{
    QString upperName;
    bool upperDone = false;
    for (const QString& mask : upperMasks) {
        if (mask == QLatin1String("*"))
            return true;
        if (!upperDone) {
            upperName = locale.toUpper(name);
            upperDone = true;
        }
        if (MatchMask(mask, upperName))
            return true;
    }
    return false;
}

// Every tenth entry examined in the program's run goes to the debug output.
void TraceExamined(const QString& name)
{
    static std::atomic<int> examined{0};
    if (examined++ % 10 == 0)
        DebugOutput(name);
}

// The folder as TFileList keeps paths, ending in a separator.
QString CleanFolder(const QString& folder)
{
    QString clean = TFileList::CleanPath(folder);
    if (!clean.endsWith(PathRules::NativeSeparator()))
        clean += PathRules::NativeSeparator();
    return clean;
}

// The clean form of folder + name. A plain name (no separator, not "." or
// "..") adds nothing to clean, so it goes after the folder's clean form,
// which is cleaned once per folder instead of once per file.
QString CleanChild(const QString& cleanFolder, const QString& folder, const QString& name)
{
    const bool plain = name != QLatin1String(".") && name != QLatin1String("..") &&
                       !name.contains(QLatin1Char('/')) &&
                       !name.contains(PathRules::NativeSeparator());
    return plain ? cleanFolder + name : TFileList::CleanPath(folder + name);
}

bool IsBlank(const QString& text)
{
    return text.trimmed().isEmpty();
}
} // namespace

bool FileMatchesFilter(const QString& name, const QString& filter)
{
    return MatchesAny(name, UpperMasks(filter), QLocale::system());
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
    const QStringList found = Walk(folder, UpperMasks(m_project.FilterText()));
    list.Reserve(list.Count() + found.size());
    for (const QString& path : found)
        list.AddClean(path);
}

// Folders breadth first, each read once: its folders join the queue, then
// come its matching files, by name. Links to folders are not followed: a
// link to a folder above would never end the walk.
QStringList TFileListBuilder::Walk(const QString& directory, const QStringList& masks)
{
    const QLocale locale = QLocale::system();
    QStringList folders{directory};
    QStringList found;
    for (qsizetype i = 0; i < folders.size(); ++i) {
        const QString folder = folders.at(i);
        const QString cleanFolder = CleanFolder(folder);
        for (const TDirEntry& entry : ReadDirEntries(folder)) {
            // Every entry that is not a file lists as a folder (special files
            // too; reading them gives nothing).
            if (entry.Folder)
                folders.append(folder + entry.Name + PathRules::NativeSeparator());
            if (IsMatchingFile(entry, masks, locale))
                found.append(CleanChild(cleanFolder, folder, entry.Name));
        }
    }
    return found;
}

// Counts and traces the entry and shows a matching one; true for a matching file.
bool TFileListBuilder::IsMatchingFile(const TDirEntry& entry, const QStringList& masks,
                                      const QLocale& locale)
{
    StepProgress();
    const QString& name = entry.Name;
    TraceExamined(name);
    if (!MatchesAny(name, masks, locale))
        return false;
    m_ui.SetProgressText(name);
    return entry.File;
}

void TFileListBuilder::StepProgress()
{
    const int position = m_ui.ProgressPosition() + 1;
    m_ui.SetProgressPosition(position);
    if (position > m_ui.ProgressMaximum() / 3)
        m_ui.SetProgressMaximum(m_ui.ProgressMaximum() * 2);
}
