// The controls of the main window: the button column, the report and archive
// panels, the menus, the editing commands and the archive tree's popup menu.
// The "Files To Zip" panel is built in ZipDlgFilesPanel.cpp.
#include "ZipDlg.h"

#include <functional>

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "CurrentZip.h"
#include "ZipTreeModel.h"
#include "ZipTreeView.h"

namespace {
constexpr int ControlWidth = 130;
constexpr int SpeedButtonSize = 98;
constexpr int GlyphSize = 56;
constexpr int HintPeriodMs = 1000;
const QColor MoneyGreen(192, 220, 192);

QPushButton* CreateButton(const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    return button;
}

// A button that triggers an action and is enabled with it.
QPushButton* CreateActionButton(const QString& name, QAction* action)
{
    QPushButton* button = CreateButton(name, action->text().remove(QLatin1String(" ...")));
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button,
                     [button, action] { button->setEnabled(action->isEnabled()); });
    return button;
}

// The text field an editing command acts on: the focused line or text edit.
QWidget* FocusedTextField()
{
    QWidget* focus = QApplication::focusWidget();
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QPlainTextEdit*>(focus) ||
        qobject_cast<QTextEdit*>(focus))
        return focus;
    return nullptr;
}

// Calls the slot of that name on the focused text field; the line and text
// edits all have cut, copy, paste, selectAll and undo.
void OnFocusedTextField(const char* slot)
{
    if (QWidget* field = FocusedTextField())
        QMetaObject::invokeMethod(field, slot);
}

void DeleteSelectedText()
{
    QWidget* field = FocusedTextField();
    if (auto* line = qobject_cast<QLineEdit*>(field))
        line->del();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(field))
        plain->textCursor().removeSelectedText();
    else if (auto* rich = qobject_cast<QTextEdit*>(field))
        rich->textCursor().removeSelectedText();
}
} // namespace

void TZipDlg::CreateControls()
{
    auto* central = new QWidget;
    central->setObjectName(QStringLiteral("ClientArea"));
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_panels = new QStackedWidget;
    m_panels->setObjectName(QStringLiteral("Panels"));
    // The actions come first: the buttons of the panels follow their state.
    CreateMenus();
    layout->addWidget(CreateButtonColumn());
    m_pnFiles = CreateFilesPanel();
    m_pnReport = CreateReportPanel();
    m_pnSync = CreateSyncPanel();
    m_panels->addWidget(m_pnFiles);
    m_panels->addWidget(m_pnReport);
    m_panels->addWidget(m_pnSync);
    layout->addWidget(m_panels, 1);
    setCentralWidget(central);
    CreateEditActions();
    CreatePopupZip();

    m_hintWindow = new QLabel(this, Qt::ToolTip);
    m_hintWindow->setObjectName(QStringLiteral("HintWindow"));
    m_hintWindow->setWordWrap(true);
    m_hintWindow->setMargin(3);
    m_hintWindow->hide();
    m_hintTimer = new QTimer(this);
    m_hintTimer->setObjectName(QStringLiteral("HintTimer"));
    m_hintTimer->setInterval(HintPeriodMs);
    connect(m_hintTimer, &QTimer::timeout, this, &TZipDlg::HintTimerTimer);
}

QToolButton* TZipDlg::CreateSpeedButton(const QString& name, const QString& caption,
                                        const QString& glyph)
{
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(caption);
    button->setIcon(QIcon(QStringLiteral(":/glyphs/%1.svg").arg(glyph)));
    button->setIconSize(QSize(GlyphSize, GlyphSize));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFixedSize(SpeedButtonSize, SpeedButtonSize);
    button->setAutoRaise(true);
    return button;
}

QFrame* TZipDlg::CreateButtonColumn()
{
    auto* column = new QFrame;
    column->setObjectName(QStringLiteral("pnControl"));
    column->setFrameShape(QFrame::StyledPanel);
    column->setFixedWidth(ControlWidth);
    auto* layout = new QVBoxLayout(column);
    layout->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_bnFilesToZip = CreateSpeedButton(QStringLiteral("bnFilesToZip"),
                                       QStringLiteral("Files To Zip"), QStringLiteral("files"));
    m_bnZipThem = CreateSpeedButton(QStringLiteral("bnZipThem"), QStringLiteral("Zip' them"),
                                    QStringLiteral("zip"));
    m_bnSyncZip = CreateSpeedButton(QStringLiteral("bnSyncZip"), QStringLiteral("Sync Zip"),
                                    QStringLiteral("tree"));
    m_bnReport = CreateSpeedButton(QStringLiteral("bnReport"), QStringLiteral("Report"),
                                   QStringLiteral("report"));
    for (QToolButton* button : {m_bnFilesToZip, m_bnZipThem, m_bnSyncZip, m_bnReport})
        layout->addWidget(button, 0, Qt::AlignHCenter);
    for (QToolButton* button : {m_bnFilesToZip, m_bnSyncZip, m_bnReport}) {
        button->setCheckable(true);
        connect(button, &QToolButton::clicked, this, [this, button] { bnFilesToZipClick(button); });
    }
    connect(m_bnZipThem, &QToolButton::clicked, this, &TZipDlg::bnZipClick);
    return column;
}

QWidget* TZipDlg::CreateReportPanel()
{
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("pnReport"));
    auto* layout = new QVBoxLayout(panel);
    m_mmReport = new QPlainTextEdit;
    m_mmReport->setObjectName(QStringLiteral("mmReport"));
    m_mmReport->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_mmReport->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_mmReport->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_mmReport->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(m_mmReport);
    return panel;
}

QWidget* TZipDlg::CreateSyncPanel()
{
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("pnSync"));
    auto* layout = new QVBoxLayout(panel);
    m_tvZip = new TZipTreeView;
    m_tvZip->setObjectName(QStringLiteral("tvZip"));
    m_treeModel = new TZipTreeModel(m_currentZip->Tree(), m_global, this);
    m_tvZip->setModel(m_treeModel);
    connect(m_tvZip, &TZipTreeView::MouseDown, this, &TZipDlg::tvZipMouseDown);
    layout->addWidget(m_tvZip, 1);

    auto* buttons = new QHBoxLayout;
    QPushButton* load = CreateButton(QStringLiteral("bnLoadZip"), QStringLiteral("Load Zip"));
    connect(load, &QPushButton::clicked, this, &TZipDlg::bnLoadZipClick);
    buttons->addWidget(load);
    buttons->addWidget(CreateActionButton(QStringLiteral("bnSync"), m_acSync));
    buttons->addWidget(CreateActionButton(QStringLiteral("bnFTP"), m_acFTP));
    buttons->addStretch(1);
    layout->addLayout(buttons);

    auto* zipFile = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("Zip File:"));
    caption->setObjectName(QStringLiteral("Label1"));
    zipFile->addWidget(caption);
    m_lbZipFile = new QLabel;
    m_lbZipFile->setObjectName(QStringLiteral("lbZipFile"));
    m_lbZipFile->setAutoFillBackground(true);
    QPalette palette = m_lbZipFile->palette();
    palette.setColor(QPalette::Window, MoneyGreen);
    palette.setColor(QPalette::WindowText, Qt::black);
    m_lbZipFile->setPalette(palette);
    m_lbZipFile->setFrameShape(QFrame::Panel);
    m_lbZipFile->setFrameShadow(QFrame::Sunken);
    zipFile->addWidget(m_lbZipFile, 1);
    layout->addLayout(zipFile);
    return panel;
}

QAction* TZipDlg::CreateAction(const QString& name, const QString& caption,
                               const QKeySequence& shortcut)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    addAction(action);
    return action;
}

void TZipDlg::CreateMenus()
{
    CreateProjectMenu();
    QMenu* zip = menuBar()->addMenu(QStringLiteral("Zip"));
    zip->setObjectName(QStringLiteral("mnZip"));
    QAction* open = CreateAction(QStringLiteral("acLoadZip"), QStringLiteral("Open ..."));
    connect(open, &QAction::triggered, this, &TZipDlg::bnLoadZipClick);
    QAction* zipThem = CreateAction(QStringLiteral("acZipThem"), QStringLiteral("Zip them ..."),
                                    QKeySequence(Qt::Key_F2));
    connect(zipThem, &QAction::triggered, this, &TZipDlg::bnZipClick);
    m_acSync = CreateAction(QStringLiteral("acSync"), QStringLiteral("Sync ..."),
                            QKeySequence(Qt::Key_F3));
    zip->addActions({open, zipThem, m_acSync});

    QMenu* ftp = menuBar()->addMenu(QStringLiteral("FTP"));
    ftp->setObjectName(QStringLiteral("mnFTP"));
    m_acFTP = CreateAction(QStringLiteral("acFTP"), QStringLiteral("FTP Transfer"),
                           QKeySequence(Qt::Key_F4));
    ftp->addAction(m_acFTP);
    ConnectWindows();

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("mnHelp"));
    QAction* about = CreateAction(QStringLiteral("acAbout"), QStringLiteral("About"));
    connect(about, &QAction::triggered, this, &TZipDlg::AboutClick);
    help->addAction(about);
}

void TZipDlg::CreateProjectMenu()
{
    QMenu* projects = menuBar()->addMenu(QStringLiteral("Projects"));
    projects->setObjectName(QStringLiteral("mnProjects"));
    QAction* acNew = CreateAction(QStringLiteral("acNew"), QStringLiteral("New"),
                                  QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(acNew, &QAction::triggered, this, &TZipDlg::acNewExecute);
    QAction* open = CreateAction(QStringLiteral("FileOpen1"), QStringLiteral("&Open..."),
                                 QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, &TZipDlg::FileOpen1Accept);
    projects->addActions({acNew, open});

    QMenu* last = projects->addMenu(QStringLiteral("Last Projects ..."));
    last->setObjectName(QStringLiteral("mnLastProjects"));
    const QStringList captions{QStringLiteral("File1"), QStringLiteral("File 2"),
                               QStringLiteral("File3")};
    for (int k = 1; k <= 3; ++k) {
        m_recent[k - 1] = CreateAction(QStringLiteral("mnFile%1").arg(k), captions[k - 1]);
        connect(m_recent[k - 1], &QAction::triggered, this, [this, k] { acLoadLastExecute(k); });
        last->addAction(m_recent[k - 1]);
    }

    projects->addSeparator();
    QAction* save = CreateAction(QStringLiteral("acSave"), QStringLiteral("Save"),
                                 QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save, &QAction::triggered, this, &TZipDlg::acSaveExecute);
    QAction* saveAs = CreateAction(QStringLiteral("FileSaveAs1"), QStringLiteral("Save &As..."));
    connect(saveAs, &QAction::triggered, this, &TZipDlg::FileSaveAs1Accept);
    projects->addActions({save, saveAs});
    projects->addSeparator();
    QAction* exitAction = CreateAction(QStringLiteral("acExit"), QStringLiteral("E&xit"));
    connect(exitAction, &QAction::triggered, this, &QWidget::close);
    projects->addAction(exitAction);
}

void TZipDlg::CreateEditActions()
{
    struct Command {
        const char* Name;
        const char* Caption;
        QKeySequence Keys;
        std::function<void()> Run;
    };
    const QList<Command> commands{
        {"EditCut1", "Cu&t", QKeySequence::Cut,
         [] {
             OnFocusedTextField("cut");
         }},
        {"EditCopy1", "&Copy", QKeySequence::Copy,
         [] {
             OnFocusedTextField("copy");
         }},
        {"EditPaste1", "&Paste", QKeySequence::Paste,
         [] {
             OnFocusedTextField("paste");
         }},
        {"EditSelectAll1", "Select &All", QKeySequence::SelectAll,
         [] {
             OnFocusedTextField("selectAll");
         }},
        {"EditUndo1", "&Undo", QKeySequence::Undo,
         [] {
             OnFocusedTextField("undo");
         }},
        {"EditDelete1", "&Delete", QKeySequence(Qt::Key_Delete),
         [] {
             DeleteSelectedText();
         }},
        {"SearchFind1", "&Find...", QKeySequence::Find,
         [this] {
             FindInReport();
         }},
    };
    QList<QAction*> actions;
    for (const Command& command : commands) {
        QAction* action =
            CreateAction(QLatin1String(command.Name), QLatin1String(command.Caption), command.Keys);
        action->setEnabled(false);
        connect(action, &QAction::triggered, this, command.Run);
        actions.append(action);
    }
    // The commands act on the focused text field only, so they are enabled
    // only while one has the focus and never take a key from another control.
    connect(qApp, &QApplication::focusChanged, this, [actions](QWidget*, QWidget*) {
        const bool onText = FocusedTextField() != nullptr;
        for (QAction* action : actions)
            action->setEnabled(onText);
    });
}

void TZipDlg::CreatePopupZip()
{
    m_pmZip = new QMenu(this);
    m_pmZip->setObjectName(QStringLiteral("pmZip"));
    const QList<QPair<QString, QString>> deletes{
        {QStringLiteral("mnDelZipFile"), QStringLiteral("Delete in Zip")},
        {QStringLiteral("mnDeleteFS"), QStringLiteral("Delete in File System")},
        {QStringLiteral("mnDeleteBoth"), QStringLiteral("Delete on Both")}};
    for (int target = dtZipFile; target <= dtBoth; ++target) {
        QAction* item = m_pmZip->addAction(deletes[target].second);
        item->setObjectName(deletes[target].first);
        connect(item, &QAction::triggered, this,
                [this, target] { mnDelZipFileClick(TDeleteTarget(target)); });
    }
    m_pmZip->addSeparator();
    QAction* versions = m_pmZip->addAction(QStringLiteral("Delete Versions Files"));
    versions->setObjectName(QStringLiteral("mnDelVersionFiles"));
    connect(versions, &QAction::triggered, this, &TZipDlg::mnDelVersionFilesClick);
    m_pmZip->addSeparator();
    QAction* extract = m_pmZip->addAction(QStringLiteral("Extract to ..."));
    extract->setObjectName(QStringLiteral("mnExtractTo"));
    connect(extract, &QAction::triggered, this, &TZipDlg::mnExtractToClick);
    connect(m_tvZip, &QWidget::customContextMenuRequested, this, [this](const QPoint& point) {
        m_pmZip->popup(m_tvZip->viewport()->mapToGlobal(point));
    });
}
