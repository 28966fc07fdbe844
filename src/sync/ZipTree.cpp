#include "ZipTree.h"

#include <algorithm>

#include <QCollator>
#include <QHash>
#include <QPair>

#include "PathRules.h"
#include "UserInterface.h"
#include "ZipFile.h"

namespace {
using TNodeList = std::vector<std::unique_ptr<TZipNode>>;

bool IsNameSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The segments of an entry name; an empty remainder ends the name, so a
// trailing separator (a folder entry) adds no empty segment.
QList<QByteArray> Segments(const QByteArray& name)
{
    QList<QByteArray> segments;
    qsizetype start = 0;
    while (start < name.size()) {
        qsizetype end = start;
        while (end < name.size() && !IsNameSeparator(name.at(end)))
            ++end;
        segments.append(name.mid(start, end - start));
        start = end + 1;
    }
    return segments;
}

const QCollator& NodeCollator()
{
    static const QCollator collator = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

void SortLevel(TNodeList& nodes)
{
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const auto& a, const auto& b) { return CompareZipNodes(*a, *b); });
    for (auto& node : nodes)
        SortLevel(node->Children);
}

void CollectFiles(const TZipNode* node, QList<const TZipNode*>& files)
{
    if (!node->IsFolder()) {
        files.append(node);
        return;
    }
    for (const auto& child : node->Children)
        CollectFiles(child.get(), files);
}

void CollectFolderEntries(const TZipNode* node, QList<const TZipNode*>& folders)
{
    if (node->FolderEntry)
        folders.append(node);
    for (const auto& child : node->Children)
        CollectFolderEntries(child.get(), folders);
}

const TNodeList& SiblingsOf(const TZipNode* node, const TNodeList& roots)
{
    return node->Parent ? node->Parent->Children : roots;
}

// The sibling after `node`, or null when it is the last of its level.
const TZipNode* NextSibling(const TZipNode* node, const TNodeList& roots)
{
    const TNodeList& siblings = SiblingsOf(node, roots);
    const auto it = std::find_if(siblings.begin(), siblings.end(),
                                 [node](const auto& sibling) { return sibling.get() == node; });
    return it != siblings.end() && it + 1 != siblings.end() ? (it + 1)->get() : nullptr;
}

// The sibling of the exact text first; else the one whose text differs in
// case only, when there is just one such sibling.
const TZipNode* FindSibling(const TNodeList& siblings, const QByteArray& segment)
{
    const QByteArray exact = PathRules::ExactEntryKey(segment);
    for (const auto& node : siblings)
        if (PathRules::ExactEntryKey(node->Text) == exact)
            return node.get();
    const QByteArray key = PathRules::EntryKey(segment);
    const TZipNode* found = nullptr;
    for (const auto& node : siblings) {
        if (PathRules::EntryKey(node->Text) != key)
            continue;
        if (found)
            return nullptr;
        found = node.get();
    }
    return found;
}
} // namespace

bool CompareZipNodes(const TZipNode& a, const TZipNode& b)
{
    if (a.IsFolder() != b.IsFolder())
        return a.IsFolder();
    return NodeCollator().compare(QString::fromLocal8Bit(a.Text), QString::fromLocal8Bit(b.Text)) <
           0;
}

void TZipTree::Build(const TZipFile& zip, TUserInterface* ui)
{
    m_roots.clear();
    // Children of every node by their folded text, so each segment is found
    // in constant time and the build stays linear in the number of entries.
    QHash<QPair<const TZipNode*, QByteArray>, TZipNode*> children;
    for (int i = 0; i < zip.Count(); ++i) {
        if (ui)
            ui->ProcessEvents();
        TZipNode* parent = nullptr;
        const QByteArray name = zip.GetName(i);
        for (const QByteArray& segment : Segments(name)) {
            const auto key =
                qMakePair(static_cast<const TZipNode*>(parent), PathRules::ExactEntryKey(segment));
            TZipNode*& found = children[key];
            if (!found) {
                auto node = std::make_unique<TZipNode>();
                node->Text = segment;
                node->EntryIndex = i;
                node->Parent = parent;
                found = node.get();
                (parent ? parent->Children : m_roots).push_back(std::move(node));
            }
            parent = found;
        }
        if (parent && PathRules::IsFolderEntryName(name))
            parent->FolderEntry = true;
    }
    SortLevel(m_roots);
}

QByteArray TZipTree::NodePath(const TZipNode* node, const TZipNode* top)
{
    QList<QByteArray> parts;
    for (const TZipNode* n = node; n; n = n->Parent) {
        parts.prepend(n->Text);
        if (n == top)
            break;
    }
    QByteArray path = parts.join('\\');
    if (path.endsWith('\\'))
        path.chop(1);
    return path;
}

const TZipNode* TZipTree::FindNodeByPath(const QByteArray& path) const
{
    QList<QByteArray> segments = Segments(path);
    while (!segments.isEmpty() && segments.last().trimmed().isEmpty())
        segments.removeLast();
    const TNodeList* siblings = &m_roots;
    const TZipNode* node = nullptr;
    for (qsizetype i = 0; i < segments.size(); ++i) {
        if (i > 0 && !node->HasChildren())
            return nullptr;
        node = FindSibling(*siblings, segments.at(i));
        if (!node)
            return nullptr;
        siblings = &node->Children;
    }
    return node;
}

const TZipNode* TZipTree::NextNode(const TZipNode* node) const
{
    if (!node)
        return nullptr;
    if (node->HasChildren())
        return node->Children.front().get();
    for (const TZipNode* n = node; n; n = n->Parent)
        if (const TZipNode* next = NextSibling(n, m_roots))
            return next;
    return nullptr;
}

QList<const TZipNode*> TZipTree::FolderEntryNodes(const TZipNode* node)
{
    QList<const TZipNode*> folders;
    if (node)
        CollectFolderEntries(node, folders);
    return folders;
}

QList<const TZipNode*> TZipTree::FileNodes(const TZipNode* node)
{
    QList<const TZipNode*> files;
    if (node)
        CollectFiles(node, files);
    return files;
}
