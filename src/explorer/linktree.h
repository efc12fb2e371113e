#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QSet>
#include <QString>

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
        Node* parent = nullptr; // the hidden top node for a top-level node, nullptr for the top node
        std::vector<std::unique_ptr<Node>> children;
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
    bool isTopLevel(const Node* node) const { return node && node->parent == top_.get(); }
    int size() const { return int(byKey_.size()); }
    const Node* topNode() const { return top_.get(); }

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

Q_SIGNALS:
    // A node was expanded from the logic (a link was added under it); the view should show it expanded.
    void expandRequested(const QModelIndex& index);

private:
    // Occurrences 0 .. next-1 of a path exist; `parents` holds the parents of those nodes.
    struct Occurrences {
        int next = 0;
        QSet<const Node*> parents;
    };

    std::unique_ptr<Node> top_;
    QHash<QString, Node*> byKey_;
    QHash<QString, Occurrences> occurrences_;
    QString tag_;
};

} // namespace qs
