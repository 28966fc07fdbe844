#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include "UserInterface.h"

class TZipFile;

// The routines that move single files between the disk and an archive
// object: each writes its report line and asks its question through the
// user interface. The archive changes only in memory; files on disk are
// written and deleted at once. Paths of files are relative to RelDir or
// absolute; entry names are relative with backslashes.
class TSyncActions {
public:
    TSyncActions(TZipFile& zip, QString relDir, TUserInterface& ui);

    // The current project file: it goes into the archive without its FTP
    // password, and one written from the archive keeps this computer's
    // section and password (TProjectFileCopy).
    void SetProjectFile(const QString& projectFile);
    // True once an extraction wrote the project file: the project in memory
    // is then older than the file and must not be saved over it.
    bool ProjectFileRestored() const { return m_projectRestored; }

    // Puts the file into the archive as the last entry, named by its path
    // relative to RelDir; an entry of that name first becomes the next
    // version entry ("name.V001", ...).
    void AddFileToZip(const QString& path);
    // Overwrites data and time of the non-version entry `entryName` with the
    // file; "File : %s not found" when the file or the entry is missing.
    void ReplaceFileInZip(const QString& path, const QByteArray& entryName);
    // Writes the non-version entry to `target` (default RelDir + name),
    // creating folders, asking before an existing file is replaced when
    // `ask` is set, and gives the file the entry's time. A folder entry
    // creates its folder. False when nothing was written.
    bool ExtractEntry(const QByteArray& entryName, bool ask, const QString& target = QString());
    // Deletes the file after the question when `ask`; returns the answer
    // (TMsgButton::None when not asked).
    TMsgButton DeleteFileAsk(const QString& path, bool ask);
    // Removes the entry after the question when `ask`; returns the answer.
    TMsgButton DeleteEntryAsk(const QByteArray& entryName, bool ask);

    // The file a path names: absolute as it is, relative below RelDir.
    QString FullPath(const QString& path) const;

private:
    bool ConfirmOverwrite(const QString& target);
    // The first entry of that name (version entries included), and the
    // first non-version entry; both answer from an index of the names, so a
    // run over many rows stays linear. The exact name (as this file system
    // names files) counts first; see FoldedEntry.
    int FindEntry(const QByteArray& name);
    int FindFile(const QByteArray& name);
    int FoldedEntry(const QByteArray& name) const;
    void KeepVersion(int index);
    QByteArray ArchivedBytes(const QString& full) const;
    bool CreateFolder(const QString& folder);

    TZipFile& m_zip;
    QHash<QByteArray, int> m_index;         // exact name key -> first entry
    QHash<QByteArray, QList<int>> m_folded; // folded name key -> entries, in order
    bool m_indexed = false;
    QString m_projectFile;
    bool m_projectRestored = false;
    QString m_relDir;
    TUserInterface& m_ui;
};
