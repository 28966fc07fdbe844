#pragma once

#include <functional>
#include <memory>

#include <QObject>

class QWidget;
class TAppSettings;
class TCurrentZip;
class TSyncExecution;
class TSyncList;
class TUserInterface;
class TZipProject;

// The road of "Sync" in the main window: the comparison with the progress
// window, the sync list when it found differences ("Files are
// synchronized!" otherwise), and on the list's "Sync" the run of the rows it
// shows, with the report lines, the archive saved and its tree rebuilt.
// The list window is created once, with the flow, and kept.
class TSyncFlow : public QObject {
    Q_OBJECT

public:
    TSyncFlow(TZipProject& project, TCurrentZip& current, TUserInterface& ui,
              QWidget* windowParent);
    ~TSyncFlow() override;

    TSyncList& SyncList() const { return *m_list; }
    void SetSettings(TAppSettings* settings);

    // "Sync" on the sync panel and "Sync ..." (F3).
    void bnSyncClick();
    // The list's "Sync": carries out the rows the list shows.
    void ExecuteSync();

    // Runs a change of the current archive, which ends with the archive
    // loaded again and its tree rebuilt, however the change ends; the main
    // window keeps its tree view still around it. Without it the change just runs.
    std::function<void(const std::function<void()>& change)> OnZipChange;

private:
    void ReloadRestoredProject(const TSyncExecution& execution);

    TZipProject& m_project;
    TCurrentZip& m_current;
    TUserInterface& m_ui;
    TSyncList* m_list;                    // owned by the parent window,
    std::unique_ptr<TSyncList> m_ownList; // or by this flow without one
};
