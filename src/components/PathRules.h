#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>

// Every decision about the form of a path lives here; no other code tests for
// a colon or splits at a separator.
//
// - Native form: '/' on POSIX, '\' on Windows. A directory such as RelDir ends
//   with the native separator.
// - Absolute: on POSIX a path starting with '/'; on Windows one with a drive
//   colon or starting with "\\".
// - Entry names inside an archive always use '\', so one archive serves
//   computers of both kinds. Name comparisons treat '/' and '\' alike and
//   ASCII letters without case, so archives of other tools ('/') pair too.
// - Relative rows of a project file are stored with '\' and read with either
//   separator; absolute rows are stored as they are.
namespace PathRules {
QChar NativeSeparator();
// Case rule of file names on this system: sensitive on POSIX, not on Windows.
Qt::CaseSensitivity FileNameCase();

bool IsAbsolute(const QString& path);
// True for any separator a path may hold: '/', '\' (and ':' of a drive).
bool IsSeparator(QChar c);

// True when the file name of `path` ends at its last '/', '\' or drive colon:
// on Windows always, on POSIX for a path in Windows form (a drive colon or
// "\\" in front). A native POSIX path splits only at '/', since '\' and ':'
// are ordinary characters of a file name there ("notes 10:30.txt").
bool SplitsAtAnySeparator(const QString& path);

// Both separators turned into the native one.
QString ToNative(const QString& path);
// The directory with exactly one native separator at its end.
QString WithTrailingSeparator(const QString& directory);
// A directory as RelDir holds it: absolute (a relative one counts from the
// current directory), without "." or ".." steps or doubled separators, with
// native separators and one at its end. Empty stays empty; an absolute path
// of the other system (a Windows drive path on POSIX) stays as it is, since
// it names no folder here.
QString CleanDirectory(const QString& directory);
// True when both name the same file by this system's case rule.
bool SamePath(const QString& a, const QString& b);

// Entry name ('\') <-> native relative path.
QString EntryNameToPath(const QString& entryName);
QString PathToEntryName(const QString& path);

// A row path as the project file stores it ('\' for relative rows) and back.
QString ToStoredRow(const QString& path);
QString FromStoredRow(const QString& stored);

// The form under which two entry names compare equal: '/' as '\', ASCII
// letters upper-cased, other characters unchanged.
QByteArray EntryKey(const QByteArray& entryName);
QString EntryKey(const QString& entryName);
bool SameEntryName(const QString& a, const QString& b);
// The form under which an entry name matches exactly the way this file
// system names files: '/' as '\', and letter case kept where file names
// are case-sensitive (POSIX) or folded where they are not (Windows). Where
// this differs from EntryKey, names are paired exactly first and folded
// only when that is unambiguous.
QByteArray ExactEntryKey(const QByteArray& entryName);
// ExactEntryKey(a) == ExactEntryKey(b), without building either key.
bool SameExactEntryKey(QByteArrayView a, QByteArrayView b);
// True where names differing in letter case are different files.
bool CaseSensitiveNames();
// A folder entry: a name ending in '/' or '\'.
bool IsFolderEntryName(const QByteArray& entryName);

// An entry name that would land outside the directory it is extracted to:
// absolute (either system's form) or climbing above it with "..".
bool EntryEscapesBase(const QString& entryName);

// The relative form of `path` with respect to the directory `base` (the part
// of `base` up to its last separator). Common leading directories are dropped,
// each remaining directory of `base` becomes "..", and the rest of `path`
// follows, with native separators. Directories compare by FileNameCase().
// On Windows a path on another drive (or share) comes back unchanged; on
// POSIX every path shares the root, so the result is always relative.
QString RelativePath(const QString& path, const QString& base);

// The user's documents folder (the home folder when there is none), with a
// trailing separator.
QString DocumentsFolder();
// The computer's name, at most 15 characters: QORZIP_COMPUTER_NAME when set
// (a portable install that moves between computers, or a test that plays
// two computers), else the host name.
QString ComputerName();
} // namespace PathRules
