#pragma once

#include <memory>

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

#include "CurrentZip.h"
#include "FakeUserInterface.h"
#include "ZipProject.h"

// Sets TZ for the lifetime of the object (this process and the programs it
// starts), then puts the previous value back.
class TimeZoneScope {
public:
    explicit TimeZoneScope(const QByteArray& zone);
    ~TimeZoneScope();
    TimeZoneScope(const TimeZoneScope&) = delete;
    TimeZoneScope& operator=(const TimeZoneScope&) = delete;

private:
    bool m_wasSet;
    QByteArray m_previous;
};

// A project folder on disk for the sync tests: RelDir "work/" inside a
// temporary folder, one directory row "files" below it, the project file
// "work/files/project.qrz" (not written) and the archive "archive.zip" beside the folder.
class SyncFixture {
public:
    SyncFixture();

    QString Root() const { return m_dir.path() + QLatin1Char('/'); }
    QString RelDir() const { return Root() + QStringLiteral("work/"); }
    QString ZipPath() const { return Root() + QStringLiteral("archive.zip"); }
    // A file below RelDir ('\' or '/' in the name) with its time.
    QString WriteFile(const QString& relative, const QByteArray& data, const QDateTime& time);
    // Writes an archive from (name, data, time) triples and loads it as current.
    struct TEntry {
        QByteArray Name;
        QByteArray Data;
        QDateTime Time;
    };
    void WriteZip(const QList<TEntry>& entries, const QString& fileName = QString());
    void LoadZip(const QString& fileName = QString());
    // The archive file's entry names in order.
    QList<QByteArray> ZipNames(const QString& fileName = QString()) const;
    QByteArray ZipData(const QByteArray& name, const QString& fileName = QString()) const;
    // "unzip -t" of the archive; true when the peer is missing.
    bool UnzipAccepts(const QString& fileName = QString()) const;

    // A time on an even second, so that it survives the archive's 2-second form.
    static QDateTime Time(int minute, int second = 0);

    FakeUserInterface Ui;
    std::unique_ptr<TZipProject> Project;
    TCurrentZip Current;

private:
    QTemporaryDir m_dir;
};
