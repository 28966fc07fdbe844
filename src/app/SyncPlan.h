#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include "SyncItem.h"

class TZipFile;

// A sync plan a person can edit and hand back: the rows of a comparison with
// exact times, bound to the archive they were compared with.
//
// Text form, tab-separated: a header line starting with "#" that names the
// columns and ends with "Archive: PATH", then one row a line: operation,
// file, file time, file size, entry, entry time, entry size. Times are
// ISO 8601 local times with their UTC offset (files to the millisecond,
// entries to the second); the fields of a missing file or entry are empty.
// Empty lines and further lines starting with "#" are ignored.
class TSyncPlan {
public:
    TSyncPlan() = default;
    TSyncPlan(QString archive, QList<TSyncItem> rows)
        : m_archive(std::move(archive)), m_rows(std::move(rows))
    {}

    // The rows of a comparison with their times read again exactly.
    static TSyncPlan FromComparison(const QList<TSyncItem>& items, const QString& relDir,
                                    const TZipFile& zip, const QString& archive);
    // Reads the text form; raises an error naming the first line that is not
    // a plan row or holds no operation symbol.
    static TSyncPlan Parse(const QString& text);

    const QString& Archive() const { return m_archive; }
    const QList<TSyncItem>& Rows() const { return m_rows; }
    QString Text() const;
    QJsonObject Json() const;

    // The rows of this plan whose file and entry are as `fresh` (the plan of
    // a new comparison) finds them, in this plan's order, each with this
    // plan's operation. Every other row gets a line in `skipped`.
    QList<TSyncItem> Check(const TSyncPlan& fresh, QStringList& skipped) const;

private:
    QString m_archive;
    QList<TSyncItem> m_rows;
};
