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
    const auto change = [this, &rows] {
        TSyncExecution(m_current, m_project.RelDir(), m_ui)
            .ExecuteSync(rows, TZipOperation(m_list->ZipOperation()));
    };
    if (OnZipChange)
        OnZipChange(change);
    else
        change();
}
