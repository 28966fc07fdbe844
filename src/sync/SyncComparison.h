#pragma once

#include <memory>
#include <vector>

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>

#include "SyncDates.h"
#include "NamePairing.h"
#include "SyncItem.h"

class TCurrentZip;
class TSyncListModel;
class TUserInterface;
class TZipProject;

// Finds every difference between the current archive and the project's
// files on disk and lists it, with a proposed operation, in the sync list.
// It changes nothing on disk or in the archive.
//
// A file pairs with the non-version entry whose name is the file's path
// relative to RelDir ('/' and '\' alike): by the exact name first, and where
// file names keep their case, by a name differing in case only when that is
// unambiguous (TNamePairing); on other systems ASCII letters without case.
// Folder entries never pair with files. The entry names are indexed once, so
// the cost grows with files + entries; nothing looks up a time zone per file.
//
// Times: with an agreeing extended timestamp the entry's UTC second counts
// (equal within one second), otherwise the MS-DOS time. Equal times with
// different sizes are listed with "=", so the user sees them (not for the
// project file, whose archived copy lacks the password and keeps each
// computer's own section).
class TSyncComparison {
public:
    TSyncComparison(TZipProject& project, TCurrentZip& current, TUserInterface& ui,
                    TSyncListModel& list);

    void SetDates(const TSyncDates& dates) { m_dates = dates; }

    // Fills the list; returns the number of rows. Without a loaded archive
    // it does nothing and returns 0.
    int Compare();
    // Compare, then "Files are synchronized!" when nothing differs. True
    // when the list holds rows to review.
    bool CompareZipWithFiles();

private:
    // What the comparison needs of a file on disk.
    struct TFileStamp {
        qint64 Size = 0;
        qint64 Modified = 0; // milliseconds since the epoch
    };

    void CompareAll();
    void FirstPass();
    void CompareFile(int fileIndex);
    int PairedEntry(const QString& relative);
    TSyncOperation CompareTimes(const TFileStamp& stamp, int entry) const;
    bool SameSize(const TFileStamp& stamp, int entry) const;
    void SecondPass();
    void CompareEntry(int index);
    QString EntryPath(const QString& nameText) const;
    QString RelativeToRelDir(const QString& file) const;
    bool ProgressDue(int index, int count);
    TSyncItem EntryFields(int index) const;
    static bool ReadFileStamp(const QString& path, TFileStamp& stamp);
    static TSyncItem FileFields(const TFileStamp& stamp, const QString& relative);

    TZipProject& m_project;
    TCurrentZip& m_current;
    TUserInterface& m_ui;
    TSyncListModel& m_list;
    TSyncDates m_dates;
    QHash<QByteArray, int> m_entries;        // exact name key -> first non-version file entry
    QStringList m_files;                     // the file list of this run
    int m_projectFileIndex = -1;             // the project file's place in it
    std::unique_ptr<TNamePairing> m_pairing; // built at the first exact miss
    std::vector<bool> m_paired;              // by entry: its file exists
    QElapsedTimer m_progressClock;           // since the progress was last shown
    QString m_relDirPrefix;                  // RelDir, native, ending in a separator; or empty
};
