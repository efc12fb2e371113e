// The link scanner and the address resolver on any bytes: the tags, their dispatch, the resolution of
// every link against many bases (the page's own links among them), and a whole walk of the input as a
// page among a few real files. Besides crashes and sanitizer reports, it stops on a broken rule: a tag
// holding its closing bracket, more tags than opening brackets, a walk that does not end at depth 0,
// nodes that are not all in the key hash. The walk reads the input from memory, the other files from disk.
#include "fuzzcheck.h"

#include "explorer/address.h"
#include "explorer/linktree.h"
#include "explorer/scanner.h"
#include "explorer/walker.h"
#include "lib/dialogs.h"

namespace {

using fuzz::check;
using fuzz::writeFile;

const QByteArray kInputHere = "the input, read from memory";

// A small site in the scratch folder: the input page links into it.
QString siteFolder() {
    static const QString root = [] {
        const QString r = fuzz::scratchFolder() + QStringLiteral("site/");
        writeFile(r + QStringLiteral("a.htm"), "<A HREF=page.htm><FRAME SRC=sub/b.htm><A HREF=a.htm>");
        writeFile(r + QStringLiteral("sub/b.htm"), "<A HREF=../a.htm><IMG SRC=../img.gif><BASE HREF=..>");
        writeFile(r + QStringLiteral("img.gif"), "GIF89a");
        writeFile(r + QStringLiteral("page.htm"), kInputHere);
        QFile::link(r, r + QStringLiteral("sub/loop"));
        return r;
    }();
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses the type switches and the depth limit.
    qs::LinkTypes types;
    for (int i = 0; i < 5; ++i)
        types.on[size_t(i)] = (data[0] >> i) & 1;
    const int depth = data[0] >> 5; // 0 to 7, 0 standing for no limit
    const QByteArrayView page(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));

    qsizetype tags = 0;
    qsizetype links = 0;
    QString previous; // the link before, none (an empty base) for the first
    // Bases of every shape a page's folder or a BASE HREF gives, then the page's first link values. Each
    // link is resolved against the page's folder, against the bases in turn and against the link before
    // it: each base meets a link in turn, and the work grows with the links, not with links times bases.
    QStringList bases = {
        QStringLiteral("/site/d/c/"),  QStringLiteral("/"),           QString(),
        QStringLiteral("C:\\s\\"),     QStringLiteral("host/dir"),    QStringLiteral("\\\\srv\\p\\"),
        QStringLiteral("file:///s/"),  QStringLiteral("http://h/a/"), QStringLiteral("../"),
        QStringLiteral("/s/d/../../"), QStringLiteral("//"),          QStringLiteral("/s/%41/")};
    qs::readTags(page, [&](QByteArrayView tag) {
        ++tags;
        check(!tag.contains('>'), "a tag never holds its closing bracket");
        const qs::TagAction action = qs::dispatchTag(tag, types);
        if (action.kind != qs::TagAction::Ignore) {
            check(!action.value.isEmpty(), "links are never empty");
            for (const QString& base : {bases.constFirst(), bases.at(++links % bases.size()), previous}) {
                const QString path = qs::AdresseComplète(base, action.value);
                const QString key = qs::occurrenceKey(path, 3);
                check(qs::baseKey(key) == path, "a key's base is its path");
                check(qs::occurrence(key) == 3, "a key's occurrence is its suffix");
                check(!qs::iconKeyFor(path).isEmpty(), "every path has an icon");
            }
            previous = action.value;
            if (bases.size() < 24)
                bases.append(action.value);
        }
        return true;
    });
    check(tags <= page.count('<'), "no more tags than opening brackets");
    // The whole walk, the input being the site's page: the files from disk, page.htm (by whatever path)
    // holding the input.
    qs::NoDialogs dialogs;
    qs::LinkTreeModel tree;
    qs::LinkWalker walker(tree, dialogs);
    walker.readBytes = [&](const QString& path, QByteArray& bytes, QByteArray& id) {
        const bool read = qs::readOrdinaryFile(path, bytes, &id);
        bytes = read && bytes == kInputHere ? page.toByteArray() : bytes;
        return read;
    };
    walker.types = types;
    walker.limit = depth == 0 ? qs::DepthLimit{20, true} : qs::DepthLimit{depth, false};
    const QString start = siteFolder() + QStringLiteral("page.htm");
    walker.Explorer(tree.add(nullptr, start, start, QStringLiteral("htm")));
    check(walker.depth() == 0, "a walk ends at depth 0");
    check(tree.printout().count(u'\n') == tree.size(), "every node is found by its key");
    // page.htm, a.htm, sub/b.htm and img.gif, which a frame may name: no file is read twice.
    check(walker.pagesRead() <= 4, "each file is read once");
    return 0;
}
