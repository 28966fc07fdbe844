#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include "SyncDates.h"
#include "SyncItem.h"
#include "UserInterface.h"

class TCurrentZip;
class TSyncActions;
class TUserInterface;
class TZipFile;

// Carries out the rows of the sync list, in order, against the current
// archive and the disk, then writes the archive. The archive changes in
// memory until all rows are done (or the run is cancelled); files on disk
// change row by row.
//
// Whatever way a run ends, the current archive and its tree agree again
// afterwards: a finished run reloads the written file, a "Create in new Zip"
// run reloads the untouched current archive, and a run that ends with an
// error reloads the archive from its file, dropping that run's in-memory
// changes (changes on disk stay, and the report shows them).
class TSyncExecution {
public:
    TSyncExecution(TCurrentZip& current, QString relDir, TUserInterface& ui);

    void SetDates(const TSyncDates& dates) { m_dates = dates; }
    void SetToday(const QDate& today) { m_today = today; }
    // The current project file (see TSyncActions::SetProjectFile).
    void SetProjectFile(const QString& projectFile) { m_projectFile = projectFile; }
    // True when the last run wrote the project file from the archive; the
    // caller then must not save its project over it.
    bool ProjectFileRestored() const { return m_projectRestored; }

    // The archive a "Create in new Zip" run writes: beside the current one,
    // its base name, a blank, today's short date and ".zip"; when that file
    // exists, the first free "NAME DATE (2).zip", "(3)", ... so no archive
    // is ever replaced.
    QString NewZipName() const;
    // Runs the rows (the shown rows of the list) with the given mode.
    void ExecuteSync(const QList<TSyncItem>& rows, TZipOperation operation);

private:
    void RunRows(const QList<TSyncItem>& rows, TZipFile& target, TZipOperation operation);
    void RunRow(const TSyncItem& row, TSyncActions& actions, TZipOperation operation);
    void Finish(TZipFile* newZip);

    TCurrentZip& m_current;
    QString m_relDir;
    TUserInterface& m_ui;
    TSyncDates m_dates;
    QDate m_today;
    TMsgButton m_fileDeleteAnswer = TMsgButton::None;
    TMsgButton m_entryDeleteAnswer = TMsgButton::None;
    QString m_projectFile;
    bool m_projectRestored = false;
};
