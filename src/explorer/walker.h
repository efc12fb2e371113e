#pragma once

#include "explorer/linktree.h"
#include "explorer/scanner.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QSet>

#include <functional>

namespace qs {

class Dialogs;

// Only absolute paths name files: what is left of a web address ("host/dir/a.htm") must never be found
// relative to whatever folder the program was started in. A NUL would cut the name short (and Qt warns).
bool isFilePath(const QString& path);

// Reads an ordinary file whole, in one open, one fstat and the reads; devices, pipes and folders are
// refused without waiting on them, and so is a file of more than kMaxWholeFile bytes (a page so big is
// no page, and memory stays bounded whatever the site holds). `id`, when given, identifies the file
// itself (device and inode), whatever path leads to it.
bool readOrdinaryFile(const QString& path, QByteArray& bytes, QByteArray* id = nullptr);

// The link walk: reads a page, adds a node for every link it finds (AjouterNoeud), then reads the pages
// found, depth first by page but each page's links all added before any of them is read. The stop mark
// is the tree's tag, seen by every loop; pending window events run while the walk goes on, throttled.
//
// A file is read at most once per walk, however many keys lead to it ("./a.htm", "x/../a.htm", folder
// links), so that no site makes the walk endless; and the walk keeps its own stack, so that a chain of
// pages deeper than the program's stack cannot overflow it.
class LinkWalker {
public:
    using Node = LinkTreeModel::Node;

    LinkWalker(LinkTreeModel& tree, Dialogs& dialogs);

    LinkTypes types;
    DepthLimit limit;
    // How a page is read, with what identifies its file (each file is read once per walk): the file on
    // disk, whole. A caller that already holds a page's bytes hands them over here.
    std::function<bool(const QString& path, QByteArray& bytes, QByteArray& id)> readBytes;

    // Reads the page named by the node's key and adds the links found under `parent` (under the node
    // itself when none), then explores the pages found as deep as the limit allows. Returns at once
    // when the stop mark is set.
    void Explorer(Node* node, Node* parent = nullptr);

    // Adds the node for one link under the target: its key is the path with the duplicate suffix, its
    // text the link as written (after "???   " when no file exists at the path), its icon from the path.
    // Nothing is added when the target already shows the path; a node without suffix whose link is
    // marked for exploration goes into the queue.
    void AjouterNoeud(Node* target, const QString& path, const QString& link, bool explore,
                      QList<Node*>& queue);

    // Shared by every Explorer call: 0 while no walk runs.
    int depth() const { return depth_; }
    // Pending window events run at most this often (milliseconds; 0: after every node).
    void setEventInterval(int ms) { interval_ = ms; }

    // Counts of the last walk, for the status line and the command line.
    int pagesRead() const { return pagesRead_; }

private:
    // Reads one page (once per walk) and queues a node for each of its links; false when it could not be
    // read or was read already (nothing to descend into).
    bool readPage(Node* node, Node* parent, QList<Node*>& queue);
    bool exists(const QString& path, quint32& scratch);
    void pump();

    LinkTreeModel& tree_;
    Dialogs& dialogs_;
    int depth_ = 0;
    int interval_ = 30;
    QElapsedTimer sinceEvents_;
    int pagesRead_ = 0;
    int nodesAdded_ = 0;
    // For one walk: files already read (by identity). Whether a path exists is kept beside it in the
    // tree, stamped with the walk's number.
    QSet<QByteArray> read_;
    QSet<const Node*> queued_;
    quint32 walkNumber_ = 0;
};

} // namespace qs
