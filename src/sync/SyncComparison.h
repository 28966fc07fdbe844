#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include "SyncDates.h"
#include "SyncItem.h"

class QFileInfo;
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
    void FirstPass(const QStringList& files);
    void CompareFile(const QString& file);
    void SecondPass();
    void CompareEntry(int index);
    TSyncItem EntryFields(int index) const;
    static TSyncItem FileFields(const QFileInfo& info, const QString& relative);

    TZipProject& m_project;
    TCurrentZip& m_current;
    TUserInterface& m_ui;
    TSyncListModel& m_list;
    TSyncDates m_dates;
    QHash<QByteArray, int> m_entries; // folded entry name -> first non-version entry
    QSet<int> m_paired;               // entries whose file exists
};
