#pragma once

#include <vector>

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QString>

#include "SyncDates.h"
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
// relative to RelDir ('/' and '\' alike, ASCII letters without case); the
// entry names are indexed once, so the cost grows with files + entries.
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
    void FirstPass(const QStringList& files);
    void CompareFile(const QString& file);
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
    QHash<QByteArray, int> m_entries; // folded entry name -> first non-version entry
    std::vector<bool> m_paired;       // by entry: its file exists
    QElapsedTimer m_progressClock;    // since the progress was last shown
    QString m_relDirPrefix;           // RelDir, native, ending in a separator; or empty
};
