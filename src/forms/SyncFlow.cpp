#include "SyncFlow.h"

#include "CurrentZip.h"
#include "SyncComparison.h"
#include "SyncExecution.h"
#include "SyncList.h"
#include "ZipProject.h"

TSyncFlow::TSyncFlow(TZipProject& project, TCurrentZip& current, TUserInterface& ui,
                     QWidget* windowParent)
    : QObject(windowParent), m_project(project), m_current(current), m_ui(ui),
      m_list(new TSyncList(project, windowParent))
{
    if (!windowParent)
        m_ownList.reset(m_list);
    m_list->OnExecute = [this] {
        ExecuteSync();
    };
}

TSyncFlow::~TSyncFlow() = default;

void TSyncFlow::SetSettings(TAppSettings* settings)
{
    m_list->SetSettings(settings);
}

void TSyncFlow::bnSyncClick()
{
    if (!m_current.HasZip())
        return;
    TSyncComparison comparison(m_project, m_current, m_ui, m_list->Model());
    if (!comparison.CompareZipWithFiles())
        return;
    m_list->LoadItems();
    m_list->exec();
}

void TSyncFlow::ExecuteSync()
{
    const QList<TSyncItem> rows = m_list->ShownItems();
    TSyncExecution execution(m_current, m_project.RelDir(), m_ui);
    // Restoring the current project keeps this computer's section and
    // password; the window then reads it back, so a later save writes the
    // restored rows instead of the ones held before the run.
    execution.SetProjectFile(m_project.CFGFileName());
    const auto change = [this, &rows, &execution] {
        execution.ExecuteSync(rows, TZipOperation(m_list->ZipOperation()));
    };
    try {
        if (OnZipChange)
            OnZipChange(change);
        else
            change();
    } catch (...) {
        ReloadRestoredProject(execution);
        throw;
    }
    ReloadRestoredProject(execution);
}

void TSyncFlow::ReloadRestoredProject(const TSyncExecution& execution)
{
    if (execution.ProjectFileRestored())
        m_project.LoadProject(m_project.CFGFileName());
}
