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
    return createIndex(row, 0, p->children[size_t(row)]);
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
    nodes_.clear();
    slots_.clear();
    nodeCount_ = 0;
    foreignSuffixes_ = false;
    endResetModel();
}

LinkTreeModel::Node* LinkTreeModel::add(Node* parentNode, const QString& key, const QString& text,
                                        const QString& icon) {
    Node* p = parentNode ? parentNode : top_.get();
    Slot& slot = slots_[key];
    if (key.endsWith(u'>')) {
        foreignSuffixes_ = true;
    } else if (slot.next == 0) {
        // The key is occurrence 0 of itself.
        slot.next = 1;
        slot.addParent(p);
    }
    return insert(p, key, text, icon, &slot);
}

LinkTreeModel::Node* LinkTreeModel::insert(Node* p, const QString& key, const QString& text,
                                           const QString& icon, Slot* slot) {
    Node* n = &nodes_.emplace_back();
    n->key = key;
    n->text = text;
    n->icon = icon;
    n->parent = p;
    n->row = int(p->children.size());
    const QModelIndex parentIndex = p == top_.get() ? QModelIndex() : createIndex(p->row, 0, p);
    beginInsertRows(parentIndex, n->row, n->row);
    p->children.push_back(n);
    if (slot)
        slot->node = n;
    else
        slots_[key].node = n;
    ++nodeCount_;
    endInsertRows();
    return n;
}

LinkTreeModel::Node* LinkTreeModel::find(const QString& key) const {
    auto it = slots_.constFind(key);
    return it == slots_.cend() ? nullptr : it->node;
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
        order.emplace_back(upper1252(k->text), k);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    bool changed = false;
    for (size_t i = 0; i < order.size(); ++i)
        changed = changed || order[i].second != kids[i];
    if (!changed)
        return;

    const QModelIndex parentIndex = n->parent == nullptr || n == top_.get() ? QModelIndex() : indexOf(n);
    const QList<QPersistentModelIndex> parents{QPersistentModelIndex(parentIndex)};
    Q_EMIT layoutAboutToBeChanged(parents, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    for (size_t i = 0; i < kids.size(); ++i) {
        kids[i] = order[i].second;
        kids[i]->row = int(i);
    }
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

void LinkTreeModel::Slot::addParent(const Node* parent) {
    if (!many.isEmpty()) {
        many.insert(parent);
        return;
    }
    few.append(parent);
    if (few.size() > 8) {
        many = QSet<const Node*>(few.cbegin(), few.cend());
        few.clear();
    }
}

LinkTreeModel::Slot& LinkTreeModel::occurrencesOf(const QString& path) {
    Slot* slot = &slots_[path];
    // Only when a foreign key ends with ">" can path<next> be taken by a node this record does not
    // know of.
    while (foreignSuffixes_) {
        const Node* existing = find(occurrenceKey(path, slot->next));
        if (!existing)
            break;
        slot = &slots_[path]; // the look-up above may have moved the records
        slot->addParent(existing->parent);
        ++slot->next;
    }
    return *slot;
}

std::optional<int> LinkTreeModel::freeOccurrence(const Node* target, const QString& path) {
    const Slot& slot = occurrencesOf(path);
    if (slot.hasParent(target))
        return std::nullopt;
    return slot.next;
}

LinkTreeModel::Node*
LinkTreeModel::addOccurrence(Node* target, const QString& path,
                             const std::function<void(int, QString&, QString&, quint32&)>& describe) {
    Slot& slot = occurrencesOf(path);
    if (slot.hasParent(target))
        return nullptr;
    const int n = slot.next++;
    slot.addParent(target);
    QString text;
    QString icon;
    describe(n, text, icon, slot.scratch);
    if (n == 0) {
        if (path.endsWith(u'>'))
            foreignSuffixes_ = true;
        return insert(target, path, text, icon, &slot);
    }
    return insert(target, occurrenceKey(path, n), text, icon, nullptr);
}

QString LinkTreeModel::printout() const {
    QString out;
    printout([&out](const QString& line) {
        out += line;
        out += u'\n';
    });
    return out;
}

void LinkTreeModel::printout(const std::function<void(const QString&)>& write) const {
    QString line;
    forEachNode([&](const Node& n, int depth) {
        line.fill(u' ', qsizetype(depth) * 2);
        line.append(u'[').append(n.icon).append(QStringView(u"] ")).append(n.text);
        write(line);
    });
}

void LinkTreeModel::forEachNode(const std::function<void(const Node&, int)>& visit) const {
    // Iterative: a chain of pages can be deeper than the stack.
    std::vector<std::pair<const Node*, int>> stack;
    for (auto it = top_->children.rbegin(); it != top_->children.rend(); ++it)
        stack.emplace_back(*it, 0);
    while (!stack.empty()) {
        const auto [n, depth] = stack.back();
        stack.pop_back();
        visit(*n, depth);
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
            stack.emplace_back(*it, depth + 1);
    }
}

} // namespace qs
