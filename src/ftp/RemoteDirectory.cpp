#include "RemoteDirectory.h"

#include "Exception.h"
#include "FtpError.h"
#include "FtpClient.h"
#include "FtpText.h"

namespace {
const QStringList HeaderTexts{QString(),
                              QStringLiteral("Files"),
                              QStringLiteral("Date"),
                              QString(),
                              QString(),
                              QStringLiteral("Size"),
                              QStringLiteral("Attr"),
                              QStringLiteral("Attr"),
                              QStringLiteral("Attr"),
                              QString()};
} // namespace

TRemoteDirectory::TRemoteDirectory(QObject* parent) : QAbstractTableModel(parent)
{}

void TRemoteDirectory::Open()
{
    m_remotePath.clear();
    m_shownMoves.clear();
    ShowDirectory(QByteArray());
    SetPickedFile(QByteArray());
    SetCaption(QStringLiteral("FTP: %1").arg(QString::fromLocal8Bit(m_client->Host())));
}

void TRemoteDirectory::Close()
{
    m_client->Disconnect();
}

void TRemoteDirectory::ShowDirectory(const QByteArray& entry)
{
    SetPickedFile(QByteArray());
    m_client->SetTransferType(TFtpTransferType::ftBinary);
    if (!m_client->Connected())
        Reconnect();
    try {
        TMoves moves = m_shownMoves;
        Move(entry);
        AddMove(moves, entry);
        SetCaption(QStringLiteral("ftp://%1%2")
                       .arg(QString::fromLocal8Bit(m_client->Host()),
                            QString::fromLocal8Bit(m_remotePath)));
        // A plain LIST: servers that do not expand wildcards refuse "LIST *".
        FillGrid(m_client->List(QByteArray()), !entry.isEmpty());
        m_shownMoves = moves;
    } catch (const Exception&) {
        m_client->Disconnect();
    }
}

// A new connection starts at the login directory; it goes back to the
// directory of the rows shown, or stays at the login directory when that
// fails.
void TRemoteDirectory::Reconnect()
{
    m_client->Connect();
    try {
        Replay(m_shownMoves);
    } catch (const EFtpCancelled&) {
        throw;
    } catch (const Exception&) {
        m_client->Disconnect();
        m_client->Connect();
        m_shownMoves.clear();
    }
    m_remotePath = PathOf(m_shownMoves);
}

void TRemoteDirectory::AddMove(TMoves& moves, const QByteArray& entry)
{
    if (entry.isEmpty())
        return;
    if (entry == UpEntry && !moves.isEmpty() && moves.last() != UpEntry)
        moves.removeLast();
    else
        moves.append(entry);
}

QByteArray TRemoteDirectory::PathOf(const TMoves& moves)
{
    QByteArray path;
    for (const QByteArray& move : moves)
        if (move != UpEntry)
            path += '/' + move;
        else if (const qsizetype slash = path.lastIndexOf('/'); slash >= 0)
            path.truncate(slash);
    return path;
}

void TRemoteDirectory::Replay(const TMoves& moves)
{
    for (const QByteArray& move : moves)
        if (move == UpEntry)
            m_client->ChangeToParentDirectory();
        else
            m_client->ChangeWorkingDirectory(move.trimmed());
}

void TRemoteDirectory::SetRemotePath(const QByteArray& path)
{
    m_shownMoves.clear();
    for (const QByteArray& name : path.split('/'))
        if (!name.isEmpty())
            m_shownMoves.append(name);
    m_pickedMoves = m_shownMoves;
    m_remotePath = PathOf(m_shownMoves);
}

void TRemoteDirectory::Move(const QByteArray& entry)
{
    if (entry == UpEntry) {
        const qsizetype slash = m_remotePath.lastIndexOf('/');
        if (slash >= 0)
            m_remotePath.truncate(slash);
        m_client->ChangeToParentDirectory();
    } else if (!entry.isEmpty()) {
        m_client->ChangeWorkingDirectory(entry.trimmed());
        m_remotePath += '/' + entry;
    }
}

void TRemoteDirectory::EnterPickedDirectory()
{
    Replay(m_pickedMoves);
}

void TRemoteDirectory::FillGrid(const QList<QByteArray>& lines, bool up)
{
    beginResetModel();
    m_rows.clear();
    if (up) {
        TRow row(ColumnCount);
        row[NameColumn] = UpEntry;
        m_rows.append(row);
    }
    for (const QByteArray& line : lines)
        m_rows.append(RowOfLine(line));
    endResetModel();
}

TRemoteDirectory::TRow TRemoteDirectory::RowOfLine(const QByteArray& line)
{
    const TListingLine parsed = ParseListingLine(line);
    TRow row(ColumnCount);
    for (int i = 0; i < parsed.Fields.size(); ++i)
        row[ColumnCount - 1 - i] = parsed.Fields.at(i);
    if (parsed.IsDirectory && parsed.Fields.size() == ColumnCount - 1)
        row[NameColumn] = '[' + row[NameColumn] + ']';
    return row;
}

bool TRemoteDirectory::RemoteFileExists(const QByteArray& name)
{
    ShowDirectory(QByteArray());
    const QByteArray wanted = name.toLower();
    for (const TRow& row : std::as_const(m_rows))
        if (row.at(NameColumn).toLower() == wanted)
            return true;
    return false;
}

void TRemoteDirectory::SetPickedFile(const QByteArray& name)
{
    m_pickedFile = name;
    if (!name.isEmpty())
        m_pickedMoves = m_shownMoves;
    emit PickedFileChanged(QString::fromLocal8Bit(name));
}

void TRemoteDirectory::Click(int row)
{
    // A symbolic link is listed as "name -> target"; the link's own name is
    // the one the server retrieves.
    QByteArray name = Cell(row, NameColumn);
    if (Cell(row, AttributeColumn).startsWith('l')) {
        const qsizetype arrow = name.indexOf(" -> ");
        if (arrow > 0)
            name.truncate(arrow);
    }
    SetPickedFile(name);
    bool ok = false;
    const qint64 size = Cell(row, SizeColumn).toLongLong(&ok, 10);
    m_pickedSize = ok ? size : 0;
}

bool TRemoteDirectory::DoubleClick(int row)
{
    const QByteArray name = Cell(row, NameColumn);
    if (name == UpEntry) {
        ShowDirectory(UpEntry);
        return false;
    }
    if (Cell(row, AttributeColumn).startsWith('d')) {
        ShowDirectory(name.mid(1, name.size() - 2));
        return false;
    }
    Click(row);
    return m_pickMode;
}

QByteArray TRemoteDirectory::Cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= ColumnCount)
        return QByteArray();
    return m_rows.at(row).at(column);
}

void TRemoteDirectory::SetCaption(const QString& caption)
{
    m_caption = caption;
    emit CaptionChanged(caption);
}

int TRemoteDirectory::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TRemoteDirectory::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TRemoteDirectory::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() == IconColumn ||
        (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return QString::fromLocal8Bit(Cell(index.row(), index.column()));
}

QVariant TRemoteDirectory::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return QVariant();
    return HeaderTexts.at(section);
}
