#include "FtpCommander.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "FtpClient.h"
#include "FtpError.h"
#include "RemoteDirectory.h"
#include "UserInterface.h"
#include "ZipGlobal.h"

namespace {
constexpr int FormWidth = 476;
constexpr int FormHeight = 319;
constexpr int GridHeight = 259;
constexpr int FileNameWidth = 269;
constexpr int NameColumnWidth = 150;
constexpr int TextInset = 2;
constexpr int IconSize = 16;
// Date, day, month, size, group, owner, links, permissions.
constexpr int OtherColumnWidths[] = {48, 28, 36, 80, 56, 56, 36, 84};

// Draws every cell: the selected row and the current cell in the highlight
// colours, text 2 pixels in from the top-left corner, the file-type icon of
// the row's name in column 0 and the focus rectangle around the current cell.
class TCommanderDelegate : public QStyledItemDelegate {
public:
    TCommanderDelegate(TRemoteDirectory& browser, TZipGlobal& global, QObject* parent)
        : QStyledItemDelegate(parent), m_browser(browser), m_global(global)
    {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        painter->save();
        painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
        painter->setPen(selected ? palette.color(QPalette::HighlightedText)
                                 : palette.color(QPalette::Text));
        painter->setClipRect(option.rect);
        if (index.column() == TRemoteDirectory::IconColumn)
            DrawIcon(*painter, option.rect, index.row());
        else
            painter->drawText(option.rect.adjusted(TextInset, TextInset, 0, 0),
                              Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                              index.data().toString());
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.rect = option.rect;
            focus.state = option.state;
            focus.backgroundColor = palette.color(QPalette::Highlight);
            QStyle* style = option.widget ? option.widget->style() : nullptr;
            if (style)
                style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
        }
        painter->restore();
    }

private:
    void DrawIcon(QPainter& painter, const QRect& rect, int row) const
    {
        const bool directory =
            m_browser.Cell(row, TRemoteDirectory::AttributeColumn).startsWith('d');
        const int index = m_global.ImageIndexOf(
            QString::fromLocal8Bit(m_browser.Cell(row, TRemoteDirectory::NameColumn)),
            directory ? m_global.FolderImageIndex() : m_global.FileImageIndex());
        const int y = rect.top() + (rect.height() - IconSize) / 2;
        m_global.Icon(index).paint(&painter, QRect(TextInset, y, IconSize, IconSize));
    }

    TRemoteDirectory& m_browser;
    TZipGlobal& m_global;
};
} // namespace

TFTPCommander::TFTPCommander(TRemoteDirectory& browser, TZipGlobal& global, TUserInterface& ui,
                             QWidget* parent)
    : QDialog(parent), m_browser(browser), m_global(global), m_ui(ui)
{
    setObjectName(QStringLiteral("FTPCommander"));
    resize(FormWidth, FormHeight);
    CreateControls();
    connect(&m_browser, &TRemoteDirectory::CaptionChanged, this, &QWidget::setWindowTitle);
    connect(&m_browser, &TRemoteDirectory::PickedFileChanged, m_fileName, &QLineEdit::setText);
    connect(&m_browser, &QAbstractItemModel::modelReset, this, &TFTPCommander::FillDone);
}

void TFTPCommander::CreateControls()
{
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("sg"));
    m_grid->setModel(&m_browser);
    m_grid->setItemDelegate(new TCommanderDelegate(m_browser, m_global, m_grid));
    for (int column = 2; column < TRemoteDirectory::ColumnCount; ++column)
        m_grid->setColumnWidth(column, OtherColumnWidths[column - 2]);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setShowGrid(false);
    m_grid->setWordWrap(false);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setStyleSheet(
        QStringLiteral("QTableView::item { border-bottom: 1px solid palette(mid); }"));
    QFont font = m_grid->font();
    font.setBold(true);
    m_grid->setFont(font);
    const int height = QFontMetrics(font).height();
    m_grid->verticalHeader()->setDefaultSectionSize(2 + 3 * height / 2);
    m_grid->setMinimumHeight(GridHeight);
    connect(m_grid, &QAbstractItemView::clicked, this, &TFTPCommander::sgClick);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, &TFTPCommander::sgDblClick);

    m_fileName = new QLineEdit(this);
    m_fileName->setObjectName(QStringLiteral("edFileName"));
    m_fileName->setReadOnly(true);
    m_fileName->setFixedWidth(FileNameWidth);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("BitBtn1"));
    m_ok = new QPushButton(QStringLiteral("Ok"), this);
    m_ok->setObjectName(QStringLiteral("bnOk"));
    m_ok->setDefault(true);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_fileName);
    bottom->addStretch();
    bottom->addWidget(m_cancel);
    bottom->addWidget(m_ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(bottom);
}

int TFTPCommander::Execute()
{
    m_browser.Open();
    return exec();
}

// Column 0 fits the icons, column 1 the names; the others keep their widths.
void TFTPCommander::FillDone()
{
    m_grid->setColumnWidth(TRemoteDirectory::IconColumn, IconSize + 4);
    m_grid->setColumnWidth(TRemoteDirectory::NameColumn, NameColumnWidth);
}

bool TFTPCommander::ClientBusy() const
{
    return m_browser.Client() && m_browser.Client()->Running();
}

void TFTPCommander::sgClick(const QModelIndex& index)
{
    if (!ClientBusy())
        m_browser.Click(index.row());
}

void TFTPCommander::sgDblClick(const QModelIndex& index)
{
    // A listing still arriving keeps the client; the click waits for nothing.
    if (ClientBusy())
        return;
    bool picked = false;
    try {
        picked = m_browser.DoubleClick(index.row());
    } catch (const EFtpCancelled&) {
        return;
    } catch (const Exception& error) {
        // The connection could not be opened again: the browser cannot go on.
        m_ui.ShowMessage(error.Message());
        reject();
        return;
    }
    if (picked)
        accept();
}

// Closing by OK, Cancel or the close box closes the connection. While a
// listing runs it is aborted first and the window stays until it returned.
void TFTPCommander::done(int result)
{
    if (ClientBusy()) {
        m_browser.Client()->Abort();
        return;
    }
    if (m_browser.Client())
        m_browser.Close();
    QDialog::done(result);
}

void TFTPCommander::closeEvent(QCloseEvent* event)
{
    if (ClientBusy()) {
        m_browser.Client()->Abort();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
