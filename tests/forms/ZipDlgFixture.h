#pragma once

#include <memory>

#include <QModelIndex>
#include <QStringList>

#include "FakeUserInterface.h"
#include "TestUtil.h"
#include "ZipDlg.h"
#include "ZipGlobal.h"

class QAction;
class QAbstractButton;
class TZipTreeView;

// A main window in a temporary folder: projects and archives are written
// there, the settings file too, and every question goes to the scripted
// user interface. Errors that escape a handler are recorded.
class TZipDlgFixture {
public:
    TZipDlgFixture();
    ~TZipDlgFixture();

    // A project "name.qrz" whose RelDir is the folder "work" (created) with
    // the row docs / *.txt and the given archive, in the temporary folder or
    // in one below it.
    QString WriteProject(const QString& name, const QString& zip = QString(),
                         const QString& folder = QString()) const;
    // Settings naming the current project and the three recent ones.
    void WriteSettings(const QString& current, const QStringList& recent = {}) const;
    // An archive of the named entries, each holding a few bytes.
    QString WriteZip(const QString& name, const QList<QByteArray>& entries) const;
    QList<QByteArray> EntriesOf(const QString& zip) const;
    QString Work(const QString& name = QString()) const;

    TZipDlg& Start(const QStringList& arguments = {});
    TZipDlg& Dlg() { return *m_dlg; }
    void ShowWindow();

    template <class T> T* Find(const QString& name) const { return m_dlg->findChild<T*>(name); }
    QAction* Action(const QString& name) const;
    void Click(const QString& buttonName) const;
    TZipTreeView* Tree() const;
    QStringList TreeTexts(const QModelIndex& parent = {}) const;

    TestUtil::TempTree Dir;
    FakeUserInterface Ui;
    QStringList Errors;

private:
    TZipGlobal m_global;
    std::unique_ptr<TZipDlg> m_dlg;
    QString m_previousDir;
};
