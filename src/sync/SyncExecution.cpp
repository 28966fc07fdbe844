#include "SyncExecution.h"

#include <QFileInfo>

#include "CurrentZip.h"
#include "PathRules.h"
#include "SyncActions.h"
#include "Utils.h"
#include "ZipFile.h"

namespace {
bool YesToAll(TMsgButton answer)
{
    return answer == TMsgButton::YesToAll;
}

// Yes to All stands for the rest of the run: a row that was not asked
// (answer None) keeps it, so every later row of that kind is not asked either.
void Remember(TMsgButton& kept, TMsgButton answer)
{
    if (answer != TMsgButton::None)
        kept = answer;
}
} // namespace

TSyncExecution::TSyncExecution(TCurrentZip& current, QString relDir, TUserInterface& ui)
    : m_current(current), m_relDir(std::move(relDir)), m_ui(ui), m_today(QDate::currentDate())
{}

QString TSyncExecution::NewZipName() const
{
    const QString fileName = m_current.FileName();
    const QString directory = PathRules::WithTrailingSeparator(QFileInfo(fileName).path());
    const QString stem =
        directory + FileBaseName(fileName, true) + QLatin1Char(' ') + m_dates.FileNameDate(m_today);
    QString name = stem + QStringLiteral(".zip");
    for (int number = 2; QFileInfo::exists(name); ++number)
        name = stem + QStringLiteral(" (%1).zip").arg(number);
    return name;
}

void TSyncExecution::ExecuteSync(const QList<TSyncItem>& rows, TZipOperation operation)
{
    if (!m_current.HasZip())
        return;
    m_fileDeleteAnswer = TMsgButton::None;
    m_entryDeleteAnswer = TMsgButton::None;
    m_ui.SetProgressTitle(QStringLiteral("Synchronize .."));
    m_ui.SetProgressMaximum(int(rows.size()));
    m_ui.SetProgressPosition(0);
    m_ui.ShowProgress();
    m_ui.ProcessEvents();
    TZipFile newZip;
    const bool intoNewZip = operation == zoCreateInNewZip;
    try {
        RunRows(rows, intoNewZip ? newZip : m_current.Zip(), operation);
        m_ui.CloseProgress();
        Finish(intoNewZip ? &newZip : nullptr);
    } catch (...) {
        m_ui.CloseProgress();
        m_current.Restore(&m_ui);
        throw;
    }
}

void TSyncExecution::RunRows(const QList<TSyncItem>& rows, TZipFile& target,
                             TZipOperation operation)
{
    TSyncActions actions(target, m_relDir, m_ui);
    actions.SetProjectFile(m_projectFile);
    m_projectRestored = false;
    const struct TRestoredNote {
        TSyncActions& Actions;
        bool& Restored;
        ~TRestoredNote() { Restored = Actions.ProjectFileRestored(); }
    } note{actions, m_projectRestored};
    for (int r = 0; r < rows.size(); ++r) {
        m_ui.SetProgressPosition(r + 1);
        m_ui.ProcessEvents();
        if (m_ui.Cancelled())
            break;
        m_ui.SetProgressText(rows.at(r).Operation);
        RunRow(rows.at(r), actions, operation);
    }
}

void TSyncExecution::RunRow(const TSyncItem& row, TSyncActions& actions, TZipOperation operation)
{
    const QByteArray entryName = row.EntryName.toLocal8Bit();
    const bool noEntry = row.EntryName.trimmed().isEmpty();
    switch (SyncOperations::Code(row.Operation)) {
    case soCopyToFileSystem:
        // Writes the file the row paired, which may differ in letter case.
        if (!noEntry)
            actions.ExtractEntry(entryName, true,
                                 row.FilePath.isEmpty() ? QString()
                                                        : actions.FullPath(row.FilePath));
        break;
    case soCopyToZip:
        if (operation == zoReplaceFile && !noEntry)
            actions.ReplaceFileInZip(row.FilePath, entryName);
        else
            actions.AddFileToZip(row.FilePath);
        break;
    case soCopyMissingToFileSystem:
        actions.ExtractEntry(entryName, true);
        break;
    case soCopyMissingToZip:
        actions.AddFileToZip(row.FilePath);
        break;
    case soDeleteInZip:
        Remember(m_entryDeleteAnswer,
                 actions.DeleteEntryAsk(entryName, !YesToAll(m_entryDeleteAnswer)));
        break;
    case soDeleteInFileSystem:
        Remember(m_fileDeleteAnswer,
                 actions.DeleteFileAsk(row.FilePath, !YesToAll(m_fileDeleteAnswer)));
        break;
    default: // "=" and texts that are no operation
        break;
    }
}

void TSyncExecution::Finish(TZipFile* newZip)
{
    if (newZip) {
        newZip->SaveToFile(NewZipName());
        m_current.Reload(&m_ui);
    } else {
        m_current.SaveZipAndReload(&m_ui);
    }
}
