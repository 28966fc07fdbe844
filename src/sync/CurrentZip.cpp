#include "CurrentZip.h"

#include <QFileInfo>

#include "PathRules.h"
#include "SyncDates.h"
#include "ZipFile.h"
#include "ZipLookup.h"
#include "ZipProject.h"

namespace {
// The part of a path after its last separator, whichever system wrote it.
QString FileNamePart(const QString& path)
{
    qsizetype at = path.size();
    while (at > 0 && !PathRules::IsSeparator(path.at(at - 1)))
        --at;
    return path.mid(at);
}
} // namespace

TCurrentZip::TCurrentZip() = default;
TCurrentZip::~TCurrentZip() = default;

void TCurrentZip::LoadZipTree(const QString& fileName, TUserInterface* ui, bool buildTree)
{
    auto zip = std::make_unique<TZipFile>();
    zip->LoadFromFile(fileName);
    TZipTree tree;
    if (buildTree)
        tree.Build(*zip, ui);
    m_zip = std::move(zip);
    m_tree = std::move(tree);
    m_fileName = fileName;
    m_buildTree = buildTree;
}

void TCurrentZip::SaveZipAndReload(TUserInterface* ui)
{
    if (!m_zip)
        return;
    m_zip->SaveToFile(m_fileName);
    Reload(ui);
}

void TCurrentZip::Reload(TUserInterface* ui)
{
    if (m_zip)
        LoadZipTree(m_fileName, ui, m_buildTree);
}

void TCurrentZip::Restore(TUserInterface* ui) noexcept
{
    try {
        Reload(ui);
    } catch (...) {
        try {
            m_tree.Clear();
            if (m_zip && m_buildTree)
                m_tree.Build(*m_zip, ui);
        } catch (...) {
            m_tree.Clear(); // an empty tree names no entry at all
        }
    }
}

int TCurrentZip::FindZipEntry(const QString& path) const
{
    return m_zip ? ZipLookup::FindZipEntry(*m_zip, path) : -1;
}

QString TCurrentZip::HintText(const TZipNode& node) const
{
    if (!m_zip || node.EntryIndex < 0 || node.EntryIndex >= m_zip->Count())
        return QString();
    const TLocalFile& entry = m_zip->Entries.at(node.EntryIndex);
    // Kilobytes rounded up, so a file that is not empty never shows 0 kb.
    const quint64 kilobytes = (quint64(entry.UncompressedSize) + 1023) / 1024;
    return QStringLiteral("Size : %1 kb, Date %2")
        .arg(kilobytes)
        .arg(TSyncDates::DisplayDateTime(m_zip->GetDateTime(node.EntryIndex)));
}

QString TCurrentZip::LocateProjectZip(const TZipProject& project)
{
    const QString lastZip = project.LastZipFile();
    if (lastZip.isEmpty() || QFileInfo::exists(lastZip))
        return lastZip;
    const QString name = FileNamePart(lastZip);
    for (const QString& directory : {project.MachineRelDir(), project.RelDir()}) {
        if (directory.isEmpty())
            continue;
        const QString candidate = PathRules::WithTrailingSeparator(directory) + name;
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return lastZip;
}
