#include "SyncPlan.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QSet>

#include "Exception.h"
#include "PathRules.h"
#include "ZipFile.h"

namespace {
const QString kArchiveLabel = QStringLiteral("Archive: ");
constexpr int kFieldCount = 7;

QString IsoTime(const QDateTime& time, Qt::DateFormat format)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(format);
}

void StampFile(TSyncItem& item, const QString& relDir)
{
    if (item.FilePath.isEmpty())
        return;
    const QFileInfo info(PathRules::IsAbsolute(item.FilePath) ? item.FilePath
                                                              : relDir + item.FilePath);
    item.FileDate = info.isFile() ? IsoTime(info.lastModified(), Qt::ISODateWithMs) : QString();
    item.FileSize = info.isFile() ? QString::number(info.size()) : QString();
}

void StampEntry(TSyncItem& item, const TZipFile& zip)
{
    if (item.EntryName.isEmpty())
        return;
    const int index = zip.FindExactEntry(item.EntryName.toLocal8Bit());
    item.EntryDate = index >= 0 ? IsoTime(zip.GetDateTime(index), Qt::ISODate) : QString();
    item.EntrySize =
        index >= 0 ? QString::number(zip.Entries.at(index).UncompressedSize) : QString();
}

QJsonValue SizeValue(const QString& size)
{
    return size.isEmpty() ? QJsonValue() : QJsonValue(size.toLongLong());
}

QJsonValue TextValue(const QString& text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

// What differs on one side of a row: existence, else time and size.
QStringList SideChanges(const QString& side, const QString& plannedTime, const QString& foundTime,
                        const QString& plannedSize, const QString& foundSize)
{
    if (plannedTime.isEmpty() != foundTime.isEmpty())
        return {side + (plannedTime.isEmpty() ? QStringLiteral(" appeared")
                                              : QStringLiteral(" vanished"))};
    QStringList changes;
    if (plannedTime != foundTime)
        changes += side + QStringLiteral(" time");
    if (plannedSize != foundSize)
        changes += side + QStringLiteral(" size");
    return changes;
}

// What differs between a planned row and the row a new comparison found.
QStringList Changes(const TSyncItem& planned, const TSyncItem& found)
{
    return SideChanges(QStringLiteral("file"), planned.FileDate, found.FileDate, planned.FileSize,
                       found.FileSize) +
           SideChanges(QStringLiteral("entry"), planned.EntryDate, found.EntryDate,
                       planned.EntrySize, found.EntrySize);
}

QString RowName(const TSyncItem& row)
{
    return row.FilePath.isEmpty() ? row.EntryName : row.FilePath;
}
} // namespace

TSyncPlan TSyncPlan::FromComparison(const QList<TSyncItem>& items, const QString& relDir,
                                    const TZipFile& zip, const QString& archive)
{
    QList<TSyncItem> rows = items;
    for (TSyncItem& row : rows) {
        StampFile(row, relDir);
        StampEntry(row, zip);
    }
    return TSyncPlan(archive, rows);
}

QString TSyncPlan::Text() const
{
    QString text = QStringLiteral("# Operation\tFile\tFile time\tFile size\tEntry\tEntry time\t"
                                  "Entry size\t") +
                   kArchiveLabel + m_archive + u'\n';
    for (const TSyncItem& row : m_rows)
        text += QStringList{row.Operation, row.FilePath,  row.FileDate, row.FileSize,
                            row.EntryName, row.EntryDate, row.EntrySize}
                    .join(u'\t') +
                u'\n';
    return text;
}

TSyncPlan TSyncPlan::Parse(const QString& text)
{
    TSyncPlan plan;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype label = line.lastIndexOf(u'\t' + kArchiveLabel);
        if (line.startsWith(u'#') && plan.m_archive.isEmpty() && label >= 0)
            plan.m_archive = line.mid(label + 1 + kArchiveLabel.size());
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        if (fields.size() != kFieldCount)
            throw Exception(QStringLiteral("Plan line %1: %2 tab-separated fields instead of 7")
                                .arg(i + 1)
                                .arg(fields.size()));
        if (SyncOperations::Code(fields[0].trimmed()) < 0)
            throw Exception(QStringLiteral("Plan line %1: \"%2\" is none of <= => !<= =>! = X> X<")
                                .arg(i + 1)
                                .arg(fields[0]));
        plan.m_rows.append({fields[1], fields[2], fields[3], fields[0].trimmed(), fields[4],
                            fields[5], fields[6]});
    }
    if (plan.m_archive.isEmpty())
        throw Exception(QStringLiteral("The plan has no header line naming its archive"));
    return plan;
}

QJsonObject TSyncPlan::Json() const
{
    QJsonArray rows;
    for (const TSyncItem& row : m_rows)
        rows.append(QJsonObject{{QStringLiteral("operation"), row.Operation},
                                {QStringLiteral("file"), TextValue(row.FilePath)},
                                {QStringLiteral("fileTime"), TextValue(row.FileDate)},
                                {QStringLiteral("fileSize"), SizeValue(row.FileSize)},
                                {QStringLiteral("entry"), TextValue(row.EntryName)},
                                {QStringLiteral("entryTime"), TextValue(row.EntryDate)},
                                {QStringLiteral("entrySize"), SizeValue(row.EntrySize)}});
    return {{QStringLiteral("archive"), m_archive}, {QStringLiteral("rows"), rows}};
}

QList<TSyncItem> TSyncPlan::Check(const TSyncPlan& fresh, QStringList& skipped) const
{
    // A row is found again by its entry name, or by its file when it has no entry.
    QHash<QString, qsizetype> byEntry;
    QHash<QString, qsizetype> byFile;
    for (qsizetype i = fresh.m_rows.size() - 1; i >= 0; --i) {
        const TSyncItem& row = fresh.m_rows[i];
        if (!row.EntryName.isEmpty())
            byEntry.insert(row.EntryName, i);
        if (!row.FilePath.isEmpty())
            byFile.insert(PathRules::PathToEntryName(row.FilePath), i);
    }
    QSet<qsizetype> used;
    QList<TSyncItem> accepted;
    for (const TSyncItem& planned : m_rows) {
        const qsizetype found =
            planned.EntryName.isEmpty()
                ? byFile.value(PathRules::PathToEntryName(planned.FilePath), -1)
                : byEntry.value(planned.EntryName,
                                byFile.value(PathRules::PathToEntryName(planned.FilePath), -1));
        const QString name = RowName(planned);
        if (found < 0) {
            skipped += QStringLiteral("Skipped %1: it changed since the plan (no longer differs)")
                           .arg(name);
            continue;
        }
        if (used.contains(found)) {
            skipped += QStringLiteral("Skipped %1: the plan lists it twice").arg(name);
            continue;
        }
        const QStringList changes = Changes(planned, fresh.m_rows[found]);
        if (!changes.isEmpty()) {
            skipped += QStringLiteral("Skipped %1: it changed since the plan (%2)")
                           .arg(name, changes.join(QStringLiteral(", ")));
            continue;
        }
        used.insert(found);
        TSyncItem row = fresh.m_rows[found];
        row.Operation = planned.Operation;
        accepted.append(row);
    }
    return accepted;
}
