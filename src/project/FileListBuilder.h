#pragma once

#include <QString>
#include <QStringList>

#include "PathRules.h"

struct TDirEntry;
class QLocale;
class TFileList;
class TUserInterface;
class TZipProject;
struct TZipCommand;

// True when one of the filter's masks (separated by ";") matches the file
// name: "*" any run of characters, "?" exactly one, both compared after
// upper-casing by the user's locale. An empty filter matches nothing. A mask
// that needs a ninth pending "*" raises an error.
bool FileMatchesFilter(const QString& name, const QString& filter);

// The relative form of a path with respect to a base directory, the rule by
// which rows and entry names are relative to the project's RelDir.
inline QString RelativePath(const QString& path, const QString& base)
{
    return PathRules::RelativePath(path, base);
}

// Turns the project's command rows into the file list: every existing file a
// row names, then every matching file below a directory row (folders breadth
// first, hidden and system files included), and finally the project file.
// The project's filter text ends as the filter of the last directory row.
// Rows that name nothing existing are reported and skipped.
class TFileListBuilder {
public:
    TFileListBuilder(TZipProject& project, TUserInterface& ui);

    void Build(TFileList& list);

private:
    void AddRow(const TZipCommand& command, TFileList& list);
    void AddDirectory(const QString& directory, TFileList& list);
    QStringList Walk(const QString& directory, const QStringList& masks);
    bool IsMatchingFile(const TDirEntry& entry, const QStringList& masks, const QLocale& locale);
    void StepProgress();

    TZipProject& m_project;
    TUserInterface& m_ui;
};

inline void BuildFileList(TZipProject& project, TUserInterface& ui, TFileList& list)
{
    TFileListBuilder(project, ui).Build(list);
}
