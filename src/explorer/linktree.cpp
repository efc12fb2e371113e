#include "explorer/linktree.h"

#include "explorer/address.h"
#include "explorer/icons.h"
#include "lib/text1252.h"

#include <algorithm>

namespace qs {

LinkTreeModel::LinkTreeModel(QObject* parent) : QAbstractItemModel(parent), top_(std::make_unique<Node>()) {}

LinkTreeModel::~LinkTreeModel() = default;

QModelIndex LinkTreeModel::index(int row, int column, const QModelIndex& parentIndex) const {
    if (column != 0 || row < 0)
        return {};
    const Node* p = parentIndex.isValid() ? node(parentIndex) : top_.get();
    if (!p || size_t(row) >= p->children.size())
        return {};
    return createIndex(row, 0, p->children[size_t(row)].get());
}

QModelIndex LinkTreeModel::parent(const QModelIndex& child) const {
    const Node* n = node(child);
    if (!n || n->parent == top_.get() || !n->parent)
        return {};
    return createIndex(n->parent->row, 0, n->parent);
}

int LinkTreeModel::rowCount(const QModelIndex& parentIndex) const {
    if (parentIndex.isValid() && parentIndex.column() != 0)
        return 0;
    const Node* p = parentIndex.isValid() ? node(parentIndex) : top_.get();
    return p ? int(p->children.size()) : 0;
}

int LinkTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant LinkTreeModel::data(const QModelIndex& index, int role) const {
    const Node* n = node(index);
    if (!n)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return n->text;
    case Qt::ToolTipRole:
    case KeyRole:
        return n->key;
    case IconKeyRole:
        return n->icon;
    case Qt::DecorationRole:
        return linkIcon(n->icon);
    default:
        return {};
    }
}

QHash<int, QByteArray> LinkTreeModel::roleNames() const {
    QHash<int, QByteArray> names = QAbstractItemModel::roleNames();
    names.insert(KeyRole, "key");
    names.insert(IconKeyRole, "iconKey");
    return names;
}

void LinkTreeModel::clear() {
    beginResetModel();
    top_->children.clear();
    byKey_.clear();
    occurrences_.clear();
    endResetModel();
}

LinkTreeModel::Node* LinkTreeModel::add(Node* parentNode, const QString& key, const QString& text,
                                        const QString& icon) {
    Node* p = parentNode ? parentNode : top_.get();
    auto n = std::make_unique<Node>();
    n->key = key;
    n->text = text;
    n->icon = icon;
    n->parent = p;
    n->row = int(p->children.size());
    const QModelIndex parentIndex = p == top_.get() ? QModelIndex() : createIndex(p->row, 0, p);
    beginInsertRows(parentIndex, n->row, n->row);
    Node* raw = n.get();
    p->children.push_back(std::move(n));
    byKey_.insert(key, raw);
    endInsertRows();
    return raw;
}

LinkTreeModel::Node* LinkTreeModel::find(const QString& key) const {
    return byKey_.value(key, nullptr);
}

LinkTreeModel::Node* LinkTreeModel::node(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<Node*>(index.internalPointer());
}

QModelIndex LinkTreeModel::indexOf(const Node* n) const {
    if (!n || n == top_.get())
        return {};
    return createIndex(n->row, 0, const_cast<Node*>(n));
}

void LinkTreeModel::sortChildren(Node* n) {
    if (!n)
        return;
    n->sorted = true;
    auto& kids = n->children;
    if (kids.size() < 2)
        return;
    // Upper-cased once: the comparison runs n log n times.
    std::vector<std::pair<QString, Node*>> order;
    order.reserve(kids.size());
    for (const auto& k : kids)
        order.emplace_back(upper1252(k->text), k.get());
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    bool changed = false;
    for (size_t i = 0; i < order.size(); ++i)
        changed = changed || order[i].second != kids[i].get();
    if (!changed)
        return;

    const QModelIndex parentIndex = n->parent == nullptr || n == top_.get() ? QModelIndex() : indexOf(n);
    const QList<QPersistentModelIndex> parents{QPersistentModelIndex(parentIndex)};
    Q_EMIT layoutAboutToBeChanged(parents, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::unique_ptr<Node>> sorted;
    sorted.reserve(kids.size());
    for (auto& [text, child] : order)
        sorted.push_back(std::move(kids[size_t(child->row)]));
    kids = std::move(sorted);
    for (size_t i = 0; i < kids.size(); ++i)
        kids[i]->row = int(i);
    // Persistent indexes point at nodes, which have not moved: only their rows changed.
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before) {
        const Node* on = node(old);
        after.append(on ? createIndex(on->row, old.column(), const_cast<Node*>(on)) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged(parents, QAbstractItemModel::VerticalSortHint);
}

void LinkTreeModel::setExpanded(Node* n, bool expanded) {
    if (!n || n == top_.get() || n->expanded == expanded)
        return;
    n->expanded = expanded;
    if (expanded)
        Q_EMIT expandRequested(indexOf(n));
}

std::optional<int> LinkTreeModel::freeOccurrence(const Node* target, const QString& path) {
    Occurrences& o = occurrences_[path];
    // Nodes of other paths can hold one of these keys too (a file named "a.htm<1>"): look each key up
    // once, then remember how far the run of existing keys goes.
    while (const Node* existing = find(occurrenceKey(path, o.next))) {
        o.parents.insert(existing->parent);
        ++o.next;
    }
    if (o.parents.contains(target))
        return std::nullopt;
    return o.next;
}

QString LinkTreeModel::printout() const {
    QString out;
    // Iterative: a chain of pages can be deeper than the stack.
    std::vector<std::pair<const Node*, int>> stack;
    for (auto it = top_->children.rbegin(); it != top_->children.rend(); ++it)
        stack.emplace_back(it->get(), 0);
    while (!stack.empty()) {
        const auto [n, depth] = stack.back();
        stack.pop_back();
        out += QString(depth * 2, u' ') + u'[' + n->icon + QStringLiteral("] ") + n->text + u'\n';
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
            stack.emplace_back(it->get(), depth + 1);
    }
    return out;
}

} // namespace qs
