#include "VornBase.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>

#include "UserInterface.h"
#include "WideFStringGrid.h"

TVornBase::TVornBase(QObject* parent) : QObject(parent), m_menu(std::make_unique<QMenu>())
{
    setObjectName(QStringLiteral("VornBase"));
    acSGCut = MakeAction("acSGCut", QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X),
                         QStringLiteral("Cut|Cuts the selection and puts it on the Clipboard"),
                         &TVornBase::Cut);
    acSGCopy = MakeAction("acSGCopy", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C),
                          QStringLiteral("Copy|Copies the selection and puts it on the Clipboard"),
                          &TVornBase::Copy);
    acSGPaste =
        MakeAction("acSGPaste", QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V),
                   QStringLiteral("Paste|Inserts Clipboard contents"), &TVornBase::Paste);
    acSGSelectAll = MakeAction(
        "acSGSelectAll", QStringLiteral("Select &All"), QKeySequence(Qt::CTRL | Qt::Key_A),
        QStringLiteral("Select All|Selects the entire document"), &TVornBase::SelectAll);
    acSGtDelete = MakeAction("acSGtDelete", QStringLiteral("&Delete"), QKeySequence(Qt::Key_Delete),
                             QStringLiteral("Delete|Erases the selection"), &TVornBase::Delete);
    acSGAdjustWidth = MakeAction("acSGAdjustWidth", QStringLiteral("Adjust Widths"), {}, {},
                                 &TVornBase::AdjustWidth);
    agSGDefineColumns = MakeAction("agSGDefineColumns", QStringLiteral("Define Columns"), {}, {},
                                   &TVornBase::DefineColumns);
    acSGLoad = MakeAction("acSGLoad", QStringLiteral("Load CSV"),
                          QKeySequence(Qt::CTRL | Qt::Key_O), {}, &TVornBase::Load);
    acSGSave = MakeAction("acSGSave", QStringLiteral("Save As CSV"),
                          QKeySequence(Qt::CTRL | Qt::Key_S), {}, &TVornBase::Save);
    acSGInsert = MakeAction("acSGInsert", QStringLiteral("Insert Row"),
                            QKeySequence(Qt::Key_Insert), {}, &TVornBase::Insert);
    acSGEditable =
        MakeAction("acSGEditable", QStringLiteral("Editable"), {}, {}, &TVornBase::Editable);
    acSGEditable->setCheckable(true);
    BuildMenu();
    BuildImages();
}

TVornBase::~TVornBase() = default;

TVornBase& TVornBase::Instance()
{
    static TVornBase* instance = [] {
        auto* created = new TVornBase(qApp);
        return created;
    }();
    return *instance;
}

TWideFStringGrid* TVornBase::FocusedGrid()
{
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (auto* grid = qobject_cast<TWideFStringGrid*>(widget))
            return grid;
        if (widget->isWindow())
            break;
    }
    return nullptr;
}

QAction* TVornBase::MakeAction(const char* name, const QString& caption,
                               const QKeySequence& shortcut, const QString& hint,
                               void (TVornBase::*handler)(TWideFStringGrid&))
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setProperty("Category", QStringLiteral("StringGrid"));
    action->setShortcut(shortcut);
    if (!hint.isEmpty()) {
        action->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
        action->setStatusTip(hint.section(QLatin1Char('|'), 1));
    }
    connect(action, &QAction::triggered, this, [this, handler] {
        if (TWideFStringGrid* grid = FocusedGrid())
            (this->*handler)(*grid);
    });
    return action;
}

QList<QAction*> TVornBase::Actions() const
{
    return {acSGCut,           acSGCopy, acSGPaste, acSGSelectAll, acSGtDelete, acSGAdjustWidth,
            agSGDefineColumns, acSGLoad, acSGSave,  acSGInsert,    acSGEditable};
}

void TVornBase::BuildMenu()
{
    m_menu->setObjectName(QStringLiteral("pmStrGrid"));
    m_menu->addActions({acSGCut, acSGCopy, acSGPaste, acSGSelectAll, acSGtDelete, acSGInsert});
    m_menu->addSeparator();
    m_menu->addActions({acSGAdjustWidth, agSGDefineColumns, acSGEditable});
    m_menu->addSeparator();
    m_menu->addActions({acSGLoad, acSGSave});
}

void TVornBase::BuildImages()
{
    // Image 0 is a green tick for OK, image 1 a red cross for Cancel.
    for (int image = 0; image < 2; ++image) {
        QPixmap pixmap(64, 32);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(image == 0 ? QColor(0, 140, 0) : QColor(200, 0, 0), 4));
        if (image == 0) {
            painter.drawPolyline(QPolygon({QPoint(22, 16), QPoint(29, 24), QPoint(42, 8)}));
        } else {
            painter.drawLine(24, 8, 40, 24);
            painter.drawLine(40, 8, 24, 24);
        }
        m_okCancel.append(QIcon(pixmap));
    }
}

void TVornBase::Cut(TWideFStringGrid& grid)
{
    grid.CopyRows();
    grid.DeleteRow();
}

void TVornBase::Copy(TWideFStringGrid& grid)
{
    grid.CopyRows();
}

void TVornBase::Paste(TWideFStringGrid& grid)
{
    grid.PasteRows();
}

void TVornBase::SelectAll(TWideFStringGrid& grid)
{
    grid.SelectAll();
}

void TVornBase::Delete(TWideFStringGrid& grid)
{
    const TGridRect selection = grid.Selection();
    const bool oneRow = selection.Top == selection.Bottom;
    const QString question =
        oneRow ? QStringLiteral("Delete Row?") : QStringLiteral("Delete all selected records?");
    // Rows are never deleted without the user's confirmation.
    if (!m_ui || m_ui->Confirm(question, TMsgButton::Ok | TMsgButton::Cancel) == TMsgButton::Cancel)
        return;
    if (oneRow)
        grid.DeleteRow();
    else
        grid.DeleteSelectedRows();
}

void TVornBase::AdjustWidth(TWideFStringGrid& grid)
{
    grid.AdjustWidths(true, true);
}

void TVornBase::DefineColumns(TWideFStringGrid& grid)
{
    grid.DefineColumns();
}

void TVornBase::Load(TWideFStringGrid& grid)
{
    grid.LoadCSV(true);
}

void TVornBase::Save(TWideFStringGrid& grid)
{
    grid.SaveCSV();
}

void TVornBase::Insert(TWideFStringGrid& grid)
{
    grid.InsertRowBelow();
}

void TVornBase::Editable(TWideFStringGrid& grid)
{
    TGridOptions options = grid.Options();
    if (!options.testFlag(goEditing)) {
        options |= goEditing;
        options &= ~TGridOptions(goRowSelect);
    } else {
        options |= goRowSelect;
        options &= ~TGridOptions(goEditing);
    }
    grid.SetOptions(options);
    acSGEditable->setChecked(options.testFlag(goEditing));
}
