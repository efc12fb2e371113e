#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QSet>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace qs {

// The link tree (tree view N): nodes with a unique key, a text and an icon key, found by key through a
// hash, so that a look-up costs the same on a 100,000-node tree as on a 10-node one. One column. A node's
// children keep the order they were added in until the node is marked sorted; they are then ordered by
// text without regard to case, as the tree view shows them. The model also carries the tree view's tag,
// which holds the stop mark of a walk.
class LinkTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role { KeyRole = Qt::UserRole + 1, IconKeyRole };

    struct Node {
        QString key;
        QString text;
        QString icon;
        Node* parent = nullptr;      // the hidden top node for a top-level node, nullptr for the top node
        std::vector<Node*> children; // owned by the model
        int row = 0;
        bool sorted = false;
        bool expanded = false;
    };

    explicit LinkTreeModel(QObject* parent = nullptr);
    ~LinkTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Removes every node.
    void clear();
    // Adds a node as the last child of `parent` (nullptr: a top-level node). The key must not be in use.
    Node* add(Node* parent, const QString& key, const QString& text, const QString& icon);
    Node* find(const QString& key) const;
    // The node of an index of this model, nullptr for an invalid one.
    Node* node(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* node) const;
    int size() const { return nodeCount_; }

    // Orders the node's children by text and keeps them so (its "sorted" flag).
    void sortChildren(Node* node);
    // The expanded flag follows the view; expanding from here asks the view through expandRequested().
    void setExpanded(Node* node, bool expanded);
    void setExpanded(const QModelIndex& index, bool expanded) { setExpanded(this->node(index), expanded); }

    // The duplicate suffix a new node for `path` takes under `target`: the smallest n such that no node
    // has the key path + "<n>" (n = 0: the path alone), or nothing when one of the nodes path, path<1>,
    // ... path<n-1> already sits under the target (a link repeated in one page is shown once). Costs the
    // same however many nodes of the path exist.
    std::optional<int> freeOccurrence(const Node* target, const QString& path);
    // Adds that node as the last child of the target, keyed path + suffix, its text and icon given by
    // `describe` for the suffix number; nullptr (nothing added) when the target already shows the path.
    // `scratch` is the caller's own value for the path, kept until the tree is cleared (0 at first).
    Node*
    addOccurrence(Node* target, const QString& path,
                  const std::function<void(int n, QString& text, QString& icon, quint32& scratch)>& describe);

    // The stop mark of a walk ("STOP" asks every running walk to finish).
    const QString& tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }
    bool stopRequested() const { return tag_ == u"STOP"; }

    // The tree as text, one node a line, two blanks of indent per level, its icon key in brackets, then
    // its text:
    //   [htm] /site/Index.htm
    //     [gif] logo.gif
    //     [htm] ???   absent.htm
    QString printout() const;
    // The same, line by line (without line ends), for trees whose printout is too big to hold: an
    // unlimited walk nests pages thousands of levels deep.
    void printout(const std::function<void(const QString& line)>& write) const;
    // Every node in the order of the printout, with its depth (0 for a top-level node).
    void forEachNode(const std::function<void(const Node& node, int depth)>& visit) const;

Q_SIGNALS:
    // A node was expanded from the logic (a link was added under it); the view should show it expanded.
    void expandRequested(const QModelIndex& index);

private:
    // One record per key: the node that holds it, and for a path, its occurrences: path, path<1>, ...
    // path<next-1> exist and `few` or `many` holds their parents (most paths have a few: a plain list
    // until it grows). A single look-up per link finds both the node and the occurrences.
    struct Slot {
        Node* node = nullptr;
        int next = 0;
        quint32 scratch = 0;
        QList<const Node*> few;
        QSet<const Node*> many;
        bool hasParent(const Node* parent) const {
            return many.isEmpty() ? few.contains(parent) : many.contains(parent);
        }
        void addParent(const Node* parent);
    };
    Slot& occurrencesOf(const QString& path);
    Node* insert(Node* parent, const QString& key, const QString& text, const QString& icon, Slot* slot);

    // Nodes live in blocks that only grow until the tree is cleared: no allocation of their own, and
    // their addresses never change.
    std::deque<Node> nodes_;
    std::unique_ptr<Node> top_;
    QHash<QString, Slot> slots_;
    int nodeCount_ = 0;
    // Set once a key ending with ">" came from anywhere but an occurrence suffix (a file named
    // "a.htm<1>"): the keys of occurrences may then be taken, and each must be looked up.
    bool foreignSuffixes_ = false;
    QString tag_;
};

} // namespace qs
