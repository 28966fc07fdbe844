// The archive side of the main window: "Zip them", "Load Zip", the archive
// tree with its size and date hint, and the commands of its popup menu.
#include "ZipDlg.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

#include "CurrentZip.h"
#include "MainUserInterface.h"
#include "ZipBuild.h"
#include "ZipProject.h"
#include "ZipTree.h"
#include "ZipTreeModel.h"
#include "ZipTreeView.h"

namespace {
constexpr int HintShowMs = 5000;
constexpr int HintGap = 8;
const QString ZipFilter = QStringLiteral("Zip Files(*.zip)|*.zip|All Files |*.*");

// While an archive is read and its tree rebuilt, pending events run (the
// window stays responsive), but the tree view must neither paint nor take
// input: its items still point at the nodes being replaced. Afterwards the
// model announces the new tree, when there is one (a command the user
// cancelled keeps the tree, its expanded folders and the selection).
class TTreeFreeze {
public:
    TTreeFreeze(TZipTreeView& view, TZipTreeModel& model, const TZipTree& tree)
        : m_view(view), m_model(model), m_tree(tree), m_before(Signature(tree)),
          m_hadFocus(view.hasFocus())
    {
        m_view.setUpdatesEnabled(false);
        m_view.setEnabled(false);
    }
    ~TTreeFreeze()
    {
        if (Signature(m_tree) != m_before) {
            m_model.BeginReset();
            m_model.EndReset();
        }
        m_view.setEnabled(true);
        m_view.setUpdatesEnabled(true);
        if (m_hadFocus)
            m_view.setFocus();
    }
    TTreeFreeze(const TTreeFreeze&) = delete;
    TTreeFreeze& operator=(const TTreeFreeze&) = delete;

private:
    // A rebuilt tree is made while the old one still exists, so its first
    // node has another address.
    static QPair<const TZipNode*, size_t> Signature(const TZipTree& tree)
    {
        return {tree.IsEmpty() ? nullptr : tree.Roots().front().get(), tree.Roots().size()};
    }

    TZipTreeView& m_view;
    TZipTreeModel& m_model;
    const TZipTree& m_tree;
    QPair<const TZipNode*, size_t> m_before;
    bool m_hadFocus;
};
} // namespace

void TZipDlg::LoadZipTree(const QString& fileName)
{
    const TTreeFreeze freeze(*m_tvZip, *m_treeModel, m_currentZip->Tree());
    m_currentZip->LoadZipTree(fileName, m_ui.get());
}

void TZipDlg::SaveZipAndReload()
{
    const TTreeFreeze freeze(*m_tvZip, *m_treeModel, m_currentZip->Tree());
    m_currentZip->SaveZipAndReload(m_ui.get());
}

void TZipDlg::ChangeZip(const std::function<void()>& change)
{
    const TTreeFreeze freeze(*m_tvZip, *m_treeModel, m_currentZip->Tree());
    change();
}

void TZipDlg::bnZipClick()
{
    // The build clears the report (also when the name is declined) and saves
    // the project before archiving it: the project file is always in the
    // archive, and a project never saved before must exist by then.
    StoreValueHolders();
    TZipBuild build(*m_project, *m_ui);
    build.SetSaveProject(true);
    const bool written = build.Run();
    m_clbFiles->clear();
    for (const TFileList::TItem& item : build.FileList().Items()) {
        auto* row = new QListWidgetItem(item.Path, m_clbFiles);
        row->setCheckState(item.Checked ? Qt::Checked : Qt::Unchecked);
    }
    if (written)
        LoadZipTree(m_project->LastZipFile());
}

void TZipDlg::bnLoadZipClick()
{
    TFileRequest request;
    request.Title = QStringLiteral("Load Zip File");
    request.Filter = ZipFilter;
    request.DefaultExt = QStringLiteral(".zip");
    request.Preset = m_project->LastZipFile();
    request.Options = TFileRequest::FileMustExist;
    const QString chosen = m_ui->OpenFileName(request);
    if (chosen.isEmpty())
        return;
    LoadZipTree(chosen);
    m_project->SetLastZipFile(chosen);
    WriteSettings();
}

QList<const TZipNode*> TZipDlg::SelectedNodes() const
{
    QList<const TZipNode*> nodes;
    for (const QModelIndex& index : m_tvZip->selectionModel()->selectedIndexes()) {
        if (const TZipNode* node = m_treeModel->Node(index))
            nodes.append(node);
    }
    return nodes;
}

void TZipDlg::mnDelZipFileClick(TDeleteTarget target)
{
    TZipTreeCommands commands(*m_currentZip, m_project->RelDir(), *m_ui);
    const QList<const TZipNode*> selection = SelectedNodes();
    const TZipNode* following = nullptr;
    {
        const TTreeFreeze freeze(*m_tvZip, *m_treeModel, m_currentZip->Tree());
        following = commands.DeleteSelected(selection, target);
    }
    const QModelIndex index = m_treeModel->IndexOf(following);
    if (index.isValid()) {
        m_tvZip->setCurrentIndex(index);
        m_tvZip->scrollTo(index);
    }
}

void TZipDlg::mnDelVersionFilesClick()
{
    TZipTreeCommands commands(*m_currentZip, m_project->RelDir(), *m_ui);
    const TTreeFreeze freeze(*m_tvZip, *m_treeModel, m_currentZip->Tree());
    commands.DeleteVersionFiles();
}

void TZipDlg::mnExtractToClick()
{
    TZipTreeCommands commands(*m_currentZip, m_project->RelDir(), *m_ui);
    commands.SetProjectFile(m_project->CFGFileName());
    commands.ExtractTo(SelectedNodes());
}

void TZipDlg::tvZipMouseDown(const QPoint&, const QModelIndex& index)
{
    if (m_inMouseDown)
        return;
    m_inMouseDown = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{m_inMouseDown};
    m_hintTimer->start(HintShowMs);
    const TZipNode* node = m_treeModel->Node(index);
    if (!node) {
        m_hintWindow->hide();
        return;
    }
    // Beside the item's text, just below its row, in the client area.
    const QRect label = m_tvZip->LabelRect(index);
    const QPoint origin = m_tvZip->viewport()->mapTo(centralWidget(), QPoint(0, 0));
    ShowHintAt(QPoint(origin.x() + label.right() + HintGap, origin.y() + label.bottom()),
               m_currentZip->HintText(*node));
}
