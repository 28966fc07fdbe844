#include "SyncFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include "PathRules.h"
#include "SyncDates.h"
#include "TestUtil.h"
#include "ZipFile.h"
#include "ZipLookup.h"

TimeZoneScope::TimeZoneScope(const QByteArray& zone)
    : m_wasSet(qEnvironmentVariableIsSet("TZ")), m_previous(qgetenv("TZ"))
{
    qputenv("TZ", zone);
    TSyncDates::ReadTimeZone();
}

TimeZoneScope::~TimeZoneScope()
{
    if (m_wasSet)
        qputenv("TZ", m_previous);
    else
        qunsetenv("TZ");
    TSyncDates::ReadTimeZone();
}

SyncFixture::SyncFixture() : Project(std::make_unique<TZipProject>(Ui))
{
    QDir().mkpath(RelDir() + QStringLiteral("files"));
    Project->SetRelDir(RelDir());
    Project->SetCommands({{QStringLiteral("files"), QStringLiteral("*.*")}});
    Project->SetLastZipFile(ZipPath());
    // Never written: the file list names it, the comparison passes over it.
    Project->SetCFGFileName(RelDir() + QStringLiteral("files/project.qrz"));
}

QDateTime SyncFixture::Time(int minute, int second)
{
    return QDateTime(QDate(2024, 3, 5), QTime(10, minute, second), Qt::LocalTime);
}

QString SyncFixture::WriteFile(const QString& relative, const QByteArray& data,
                               const QDateTime& time)
{
    const QString path = RelDir() + PathRules::ToNative(relative);
    TestUtil::WriteFile(path, data);
    TestUtil::SetModified(path, time);
    return path;
}

void SyncFixture::WriteZip(const QList<TEntry>& entries, const QString& fileName)
{
    TZipFile zip;
    for (const TEntry& entry : entries) {
        zip.AddEntry(entry.Name, 0);
        zip.SetDateTime(zip.Count() - 1, entry.Time);
        zip.SetData(zip.Count() - 1, entry.Data);
    }
    zip.SaveToFile(fileName.isEmpty() ? ZipPath() : fileName);
    LoadZip(fileName);
}

void SyncFixture::LoadZip(const QString& fileName)
{
    Current.LoadZipTree(fileName.isEmpty() ? ZipPath() : fileName);
}

QList<QByteArray> SyncFixture::ZipNames(const QString& fileName) const
{
    TZipFile zip;
    zip.LoadFromFile(fileName.isEmpty() ? ZipPath() : fileName);
    QList<QByteArray> names;
    for (int i = 0; i < zip.Count(); ++i)
        names.append(zip.GetName(i));
    return names;
}

QByteArray SyncFixture::ZipData(const QByteArray& name, const QString& fileName) const
{
    TZipFile zip;
    zip.LoadFromFile(fileName.isEmpty() ? ZipPath() : fileName);
    const int index = ZipLookup::FindNamedEntry(zip, name);
    return index < 0 ? QByteArray("<missing>") : zip.GetData(index);
}

bool SyncFixture::UnzipAccepts(const QString& fileName) const
{
    if (!TestUtil::HaveTool(QStringLiteral("unzip")))
        return true;
    QByteArray out;
    return TestUtil::Run(QStringLiteral("unzip"),
                         {QStringLiteral("-tq"), fileName.isEmpty() ? ZipPath() : fileName},
                         &out) == 0;
}
