#include "SyncItem.h"

QStringList TSyncItem::Fields() const
{
    return {FilePath, FileDate, FileSize, Operation, EntryName, EntryDate, EntrySize};
}

const QStringList& SyncOperations::Symbols()
{
    static const QStringList symbols{
        QStringLiteral("<="), QStringLiteral("=>"), QStringLiteral("!<="), QStringLiteral("=>!"),
        QStringLiteral("="),  QStringLiteral("X>"), QStringLiteral("X<")};
    return symbols;
}

const QStringList& SyncOperations::Captions()
{
    static const QStringList captions{
        QStringLiteral("<=  Copy to FileSystem"), QStringLiteral(" => Copy to Zip File"),
        QStringLiteral("!<= Copy to FileSystem"), QStringLiteral("=>! Copy to Zip File"),
        QStringLiteral("=    No Sync"),           QStringLiteral("X> Delete in Zip File"),
        QStringLiteral("X< Delete in FileSystem")};
    return captions;
}

QString SyncOperations::Symbol(int code)
{
    return code >= 0 && code < SyncOperationCount ? Symbols().at(code) : QString();
}

int SyncOperations::Code(const QString& symbol)
{
    const QStringList& symbols = Symbols();
    for (int code = 0; code < symbols.size(); ++code)
        if (symbols.at(code).compare(symbol, Qt::CaseInsensitive) == 0)
            return code;
    return -1;
}

int SyncOperations::NextCycled(const QString& symbol)
{
    const int next = Code(symbol) + 1;
    return next > soNoSync ? soCopyToFileSystem : next;
}
