#include "explorer/walker.h"

#include "explorer/address.h"
#include "explorer/encoding.h"
#include "lib/dialogs.h"
#include "lib/fileio.h"
#include "lib/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qs {

bool isFilePath(const QString& path) {
    return QDir::isAbsolutePath(path) && !path.contains(QChar(0));
}

bool readOrdinaryFile(const QString& path, QByteArray& bytes, QByteArray* id) {
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxWholeFile) {
        ::close(fd);
        return false;
    }
    if (id)
        *id = QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino));
    bytes.resize(qsizetype(st.st_size) + 1);
    qsizetype got = 0;
    for (;;) {
        if (got > kMaxWholeFile) { // grown since the fstat
            ::close(fd);
            return false;
        }
        if (got == bytes.size())
            bytes.resize(qMin<qsizetype>(bytes.size() * 2 + 4096, kMaxWholeFile + 1));
        const ssize_t r = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0) {
            ::close(fd);
            bytes.truncate(got);
            return r == 0;
        }
        got += r;
    }
#else
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxWholeFile)
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    bytes = f.readAll();
    if (id)
        *id = info.canonicalFilePath().toUtf8();
    return f.error() == QFileDevice::NoError;
#endif
}

LinkWalker::LinkWalker(LinkTreeModel& tree, Dialogs& dialogs)
    : readBytes([](const QString& path, QByteArray& bytes, QByteArray& id) {
          return readOrdinaryFile(path, bytes, &id);
      }),
      tree_(tree), dialogs_(dialogs) {}

bool LinkWalker::exists(const QString& path, quint32& scratch) {
    if (scratch >> 1 == walkNumber_)
        return scratch & 1;
    bool found = false;
    if (isFilePath(path)) {
#ifdef Q_OS_UNIX
        struct stat st {};
        found = ::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISDIR(st.st_mode);
#else
        found = FichierExiste(path);
#endif
    }
    scratch = walkNumber_ << 1 | quint32(found);
    return found;
}

void LinkWalker::pump() {
    if (interval_ > 0 && sinceEvents_.isValid() && sinceEvents_.elapsed() < interval_)
        return;
    dialogs_.status(
        QStringLiteral("Exploration : %1 liens, %2 pages lues...").arg(nodesAdded_).arg(pagesRead_));
    dialogs_.processEvents();
    sinceEvents_.start();
}

void LinkWalker::AjouterNoeud(Node* target, const QString& path, const QString& link, bool explore,
                              QList<Node*>& queue) {
    int n = 0;
    Node* added = tree_.addOccurrence(
        target, path, [&](int occurrence, QString& text, QString& icon, quint32& scratch) {
            n = occurrence;
            text = exists(path, scratch) ? link : QStringLiteral("???   ") + link;
            if (n > 0)
                text += u'<' + QString::number(n) + u'>';
            icon = iconKeyFor(path);
        });
    if (!added) {
        // The page already shows this path: an earlier link that was not to be read (an image, a
        // link the page repeats) gives way to this one, which is.
        Node* shown = explore ? tree_.find(path) : nullptr;
        if (shown && shown->parent == target && !queued_.contains(shown)) {
            queued_.insert(shown);
            queue.append(shown);
        }
        return;
    }
    ++nodesAdded_;
    tree_.setExpanded(target, true);
    if (n == 0 && explore) {
        queued_.insert(added);
        queue.append(added);
    }
    pump();
}

bool LinkWalker::readPage(Node* node, Node* parent, QList<Node*>& queue) {
    QByteArray bytes;
    QByteArray id;
    if (!isFilePath(node->key) || !readBytes(node->key, bytes, id) || read_.contains(id))
        return false;
    read_.insert(id);
    ++pagesRead_;

    QString base = FichierRépertoire(node->key);
    if (!base.endsWith(u'/') && !base.endsWith(u'\\'))
        base += sep();
    bool baseMoved = false;
    Node* target = parent ? parent : node;
    const PageEncoding encoding = pageEncoding(bytes);

    int sincePump = 0;
    readTags(bytes, [&](QByteArrayView tag) {
        const TagAction action = dispatchTag(tag, types, encoding);
        if (action.kind == TagAction::AddLink) {
            // "#part" or "?q" alone names the page itself (unless a BASE tag moved the base elsewhere).
            const bool samePage =
                !baseMoved && (action.value.front() == u'#' || action.value.front() == u'?');
            const QString path = samePage ? node->key : AdresseComplète(base, action.value);
            AjouterNoeud(target, path, action.value, action.explore, queue);
        } else if (action.kind == TagAction::SetBase) {
            base = AdresseComplète(base, action.value);
            baseMoved = true;
        }
        // A page of many tags and few links still lets the window breathe.
        if (++sincePump == 1024) {
            sincePump = 0;
            pump();
        }
        return !tree_.stopRequested();
    });
    tree_.sortChildren(target);
    return true;
}

void LinkWalker::Explorer(Node* node, Node* parent) {
    if (!node || tree_.stopRequested())
        return;
    const bool outermost = depth_ == 0;
    if (outermost) {
        read_.clear();
        queued_.clear();
        // Numbers from 1: a path's record starts at 0, "never tested".
        walkNumber_ = (walkNumber_ + 1) & 0x7fffffff;
        if (walkNumber_ == 0)
            walkNumber_ = 1;
        pagesRead_ = 0;
        nodesAdded_ = 0;
        sinceEvents_.invalidate();
    }

    // The calls of the recursive description, one frame per page whose queue is being explored; the
    // depth counter goes up on entering a page and down when its frame (or its failed read) ends.
    struct Frame {
        QList<Node*> queue;
        qsizetype next = 0;
    };
    std::vector<Frame> frames;
    auto enter = [&](Node* page, Node* under) {
        ++depth_;
        Frame frame;
        if (readPage(page, under, frame.queue))
            frames.push_back(std::move(frame));
        else
            --depth_;
    };

    enter(node, parent);
    while (!frames.empty()) {
        Frame& top = frames.back();
        if (tree_.stopRequested() || !limit.allows(depth_) || top.next >= top.queue.size()) {
            frames.pop_back();
            --depth_;
            continue;
        }
        Node* next = top.queue[top.next++];
        enter(next, nullptr); // may grow `frames`: `top` is not used after this
    }
    if (outermost)
        dialogs_.status(QString());
}

} // namespace qs
