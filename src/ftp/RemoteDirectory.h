#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QList>
#include <QString>

class TFtpClient;

// One directory of the FTP server as a table, one row per line of the
// server's listing, and the moves through the directory tree: the logic of
// the remote directory browser, which the browser window shows. It owns no
// connection; it works with the client it is handed before every use.
//
// A listing line fills the ten columns from right to left: field i of
// ParseListingLine goes into column 9 - i, so column 1 holds the name
// ("[name]" for a directory), column 5 the size and column 9 the permission
// string. After a move the first row is the up entry "[..]".
class TRemoteDirectory : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 10;
    static constexpr int IconColumn = 0;
    static constexpr int NameColumn = 1;
    static constexpr int SizeColumn = 5;
    static constexpr int AttributeColumn = 9;
    static constexpr const char* UpEntry = "[..]";

    explicit TRemoteDirectory(QObject* parent = nullptr);

    TFtpClient* Client() const { return m_client; }
    void SetClient(TFtpClient* client) { m_client = client; }
    bool PickMode() const { return m_pickMode; }
    void SetPickMode(bool pickMode) { m_pickMode = pickMode; }
    const QByteArray& PickedFile() const { return m_pickedFile; }
    qint64 PickedSize() const { return m_pickedSize; }
    // The shown directory below the login directory: each entered name
    // preceded by "/"; empty for the login directory.
    const QByteArray& RemotePath() const { return m_remotePath; }
    // For a retrieval without the browser: the directory ("/a/b") of the file.
    void SetRemotePath(const QByteArray& path);
    const QString& Caption() const { return m_caption; }

    // Showing the browser: a listing of the login directory of a new
    // connection. Failures to connect go to the caller.
    void Open();
    // Closing the browser, by OK or Cancel: the connection is closed.
    void Close();

    // Moves as the entry says ("[..]" up, a name into it, empty stays), lists
    // the directory and fills the rows. A failure to connect goes to the
    // caller; any later failure closes the connection and keeps the rows.
    void ShowDirectory(const QByteArray& entry);
    void FillGrid(const QList<QByteArray>& lines, bool up);
    // Lists the connection's current directory and looks for a row with the
    // name (ASCII letters without case).
    bool RemoteFileExists(const QByteArray& name);
    void SetPickedFile(const QByteArray& name);
    // From the login directory, the client goes where the picked file was
    // listed: the moves that led there are replayed ("[..]" above the login
    // directory included, which RemotePath cannot show).
    void EnterPickedDirectory();

    // A click picks the row's name and size; a double-click moves into a
    // directory or picks a file, and returns true when the browser should
    // then close with OK (a file in pick mode).
    void Click(int row);
    bool DoubleClick(int row);

    QByteArray Cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void PickedFileChanged(const QString& name);
    void CaptionChanged(const QString& caption);

private:
    using TRow = QList<QByteArray>;

    void SetCaption(const QString& caption);
    void Move(const QByteArray& entry);
    static TRow RowOfLine(const QByteArray& line);
    // The moves from the login directory: names, and UpEntry for a CDUP.
    using TMoves = QList<QByteArray>;
    static void AddMove(TMoves& moves, const QByteArray& entry);
    static QByteArray PathOf(const TMoves& moves);
    void Replay(const TMoves& moves);
    void Reconnect();

    TFtpClient* m_client = nullptr;
    bool m_pickMode = false;
    QByteArray m_pickedFile;
    qint64 m_pickedSize = 0;
    QByteArray m_remotePath;
    TMoves m_shownMoves;  // to the directory whose listing the rows hold
    TMoves m_pickedMoves; // to the directory of the picked file
    QString m_caption;
    QList<TRow> m_rows;
};
