// qorzip list ARCHIVE [--tsv]: one line per entry with its name, size,
// compressed size and modification time.
#include <algorithm>

#include <QCommandLineParser>

#include "Commands.h"
#include "Console.h"
#include "ZipFile.h"

namespace {
struct TListRow {
    QString Name;
    QString Size;
    QString Compressed;
    QString Modified;
};

QString ModifiedText(quint32 dosDateTime)
{
    try {
        QDate date;
        QTime time;
        DecodeDos(dosDateTime, date, time);
        return date.toString(Qt::ISODate) + u' ' + time.toString(Qt::ISODate);
    } catch (const Exception&) {
        return QStringLiteral("(invalid date %1)").arg(dosDateTime, 8, 16, QLatin1Char('0'));
    }
}

QList<TListRow> Rows(const TZipFile& zip)
{
    QList<TListRow> rows;
    rows.reserve(zip.Count());
    for (const TLocalFile& entry : zip.Entries)
        rows.append({QString::fromLocal8Bit(entry.FileName),
                     QString::number(entry.UncompressedSize), QString::number(entry.CompressedSize),
                     ModifiedText(entry.FileDateTime)});
    return rows;
}

QString TabSeparated(const QList<TListRow>& rows)
{
    QString text;
    text.reserve(rows.size() * 64);
    for (const TListRow& row : rows)
        text += row.Name + u'\t' + row.Size + u'\t' + row.Compressed + u'\t' + row.Modified + u'\n';
    return text;
}

// Names padded to the longest one, numbers right-aligned.
QString Aligned(const QList<TListRow>& rows)
{
    qsizetype nameWidth = 0;
    qsizetype sizeWidth = 0;
    qsizetype compressedWidth = 0;
    for (const TListRow& row : rows) {
        nameWidth = std::max(nameWidth, row.Name.size());
        sizeWidth = std::max(sizeWidth, row.Size.size());
        compressedWidth = std::max(compressedWidth, row.Compressed.size());
    }
    QString text;
    text.reserve(rows.size() * (nameWidth + sizeWidth + compressedWidth + 26));
    for (const TListRow& row : rows)
        text += row.Name.leftJustified(nameWidth) + QStringLiteral("  ") +
                row.Size.rightJustified(sizeWidth) + QStringLiteral("  ") +
                row.Compressed.rightJustified(compressedWidth) + QStringLiteral("  ") +
                row.Modified + u'\n';
    return text;
}
} // namespace

int RunList(const QStringList& arguments)
{
    const QString command = QStringLiteral("list");
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("ARCHIVE"), QStringLiteral("The zip archive."));
    const QCommandLineOption tsv(QStringLiteral("tsv"),
                                 QStringLiteral("Tab-separated columns instead of aligned ones."));
    parser.addOption(tsv);
    if (const int result = Console::Parse(parser, command, arguments); result >= 0)
        return result;
    if (parser.positionalArguments().size() != 1)
        return Console::UsageError(command, QStringLiteral("expected one ARCHIVE"));
    TZipFile zip;
    zip.LoadFromFile(parser.positionalArguments().constFirst());
    const QList<TListRow> rows = Rows(zip);
    Console::Out(parser.isSet(tsv) ? TabSeparated(rows) : Aligned(rows));
    if (!zip.ReadCompletely())
        return Console::Failure(
            QStringLiteral("%1 was not read completely: %2.")
                .arg(parser.positionalArguments().constFirst(), zip.MissingPart()));
    return 0;
}
