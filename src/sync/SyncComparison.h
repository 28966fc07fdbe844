#pragma once

#include <memory>
#include <vector>

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>

#include "EntryIndex.h"
#include "FileStamps.h"
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
// The files' stat() calls run on several threads, block by block.
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
    // Compare with the archive `fileName`, which is loaded as the current
    // archive meanwhile: the load runs on another thread beside the file
    // list's walk, so the events run during the walk must leave the current
    // archive alone (the command line has none).
    int CompareWithArchive(const QString& fileName);
    // Compare, then "Files are synchronized!" when nothing differs. True
    // when the list holds rows to review.
    bool CompareZipWithFiles();

private:
    int CompareLoading(const QString& archive);
    void CompareAll(const QString& archive);
    void ListFilesWhileIndexing(const QString& archive);
    void ReadStamps(qsizetype first);
    void FirstPass();
    void CompareFile(int fileIndex);
    int PairedEntry(const QByteArray& relative);
    TSyncOperation CompareTimes(const TFileStamp& stamp, int entry) const;
    bool SameSize(const TFileStamp& stamp, int entry) const;
    void SecondPass();
    void CompareEntry(int index);
    QString EntryPath(const QString& nameText) const;
    QByteArray RelativeBytes(const QString& file, const QByteArray& path) const;
    QString RelativeToRelDir(const QString& file) const;
    bool IsBelowRelDirPrefix(const QString& file) const;
    bool ProgressDue(int index, int count);
    TSyncItem EntryFields(int index) const;
    static TSyncItem FileFields(const TFileStamp& stamp, const QString& relative);

    TZipProject& m_project;
    TCurrentZip& m_current;
    TUserInterface& m_ui;
    TSyncListModel& m_list;
    TSyncDates m_dates;
    TEntryIndex m_entries;                   // the archive's file entries by exact name
    QStringList m_files;                     // the file list of this run
    int m_projectFileIndex = -1;             // the project file's place in it
    std::unique_ptr<TNamePairing> m_pairing; // built at the first exact miss
    std::vector<bool> m_paired;              // by entry: its file exists
    QElapsedTimer m_progressClock;           // since the progress was last shown
    QString m_relDirPrefix;                  // RelDir, native, ending in a separator; or empty
    QByteArray m_relDirPrefixBytes;          // the same in local 8-bit form
    TFileStamps m_stamps;                    // of the files of the current block
};
