#include "RowArguments.h"

#include <algorithm>

#include <QFileInfo>

#include "Console.h"
#include "Exception.h"
#include "PathRules.h"

QCommandLineOption RowArguments::FilterOption()
{
    return QCommandLineOption(QStringLiteral("filter"),
                              QStringLiteral("File name masks of the folder row before it, "
                                             "separated by \";\" (default: the project's filter "
                                             "text, \"*.*\" in a new project)."),
                              QStringLiteral("MASKS"));
}

TZipCommand RowArguments::MakeRow(const TZipProject& project, const QString& path,
                                  const QString* filter, QString& usage)
{
    const QString absolute = Console::AbsolutePath(path);
    const QFileInfo info(absolute);
    if (!info.exists())
        throw Exception(QStringLiteral("No such file or folder: \"%1\"").arg(absolute));
    if (info.isFile() && filter != nullptr) {
        usage = QStringLiteral("--filter belongs to a folder row; \"%1\" is a file").arg(path);
        return {};
    }
    const QString relative =
        PathRules::RelativePath(PathRules::ToNative(absolute), project.RelDir());
    return {relative, info.isDir() ? (filter ? *filter : project.FilterText()) : QString()};
}

QList<TZipCommand> RowArguments::RowsInOrder(const QCommandLineParser& parser,
                                             const TZipProject& project, QString& usage)
{
    const QStringList paths = parser.values(QStringLiteral("row"));
    const QStringList filters = parser.values(QStringLiteral("filter"));
    // The names in the order they were given pair each filter with its row.
    QList<qsizetype> filterOfRow(paths.size(), -1);
    qsizetype row = -1;
    qsizetype filter = 0;
    for (const QString& name : parser.optionNames()) {
        if (name == QLatin1String("row")) {
            ++row;
        } else if (name == QLatin1String("filter")) {
            if (row < 0 || filterOfRow[row] >= 0) {
                usage = QStringLiteral("each --filter follows the --row it belongs to");
                return {};
            }
            filterOfRow[row] = filter++;
        }
    }
    QList<TZipCommand> rows;
    for (qsizetype i = 0; i < paths.size() && usage.isEmpty(); ++i) {
        const QString* given = filterOfRow[i] >= 0 ? &filters[filterOfRow[i]] : nullptr;
        rows.append(MakeRow(project, paths[i], given, usage));
    }
    return rows;
}

QString RowArguments::NumberedRows(const QList<TZipCommand>& rows)
{
    qsizetype width = 0;
    for (const TZipCommand& row : rows)
        width = std::max(width, row.Directory.size());
    const int numberWidth = int(QString::number(rows.size()).size());
    QString text;
    for (qsizetype i = 0; i < rows.size(); ++i)
        text += QStringLiteral("%1  %2  %3\n")
                    .arg(i + 1, numberWidth)
                    .arg(rows[i].Directory.leftJustified(width), rows[i].Filter);
    return text;
}
