#include "explorertest.h"

#include <gtest/gtest.h>

#include "explorer/address.h"
#include "lib/text1252.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

#include <memory>

#include <sys/stat.h>

using namespace qs;
using namespace qs::test;

namespace {

// Expected trees are written with "ROOT/" standing for the temporary folder.
QString tree(const TempDir& dir, const QString& expected) {
    return QString(expected).replace("ROOT/", native(dir.path()));
}

} // namespace

// The sites of tests/data/explorer/walks.txt, each walked from its first file.
TEST(Walk, BuildsTheLinkTreesOfTheSites) {
    TempDir skipCheck;
    if (skipCheck.path().contains("cgi", Qt::CaseInsensitive))
        GTEST_SKIP() << "the temporary folder's name changes the icons";
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<Walk> walk;
    QString site, first, header;
    QStringList body;
    const auto flush = [&] {
        while (!body.isEmpty() && body.last().isEmpty())
            body.removeLast();
        const QStringList words = header.split(u' ');
        SCOPED_TRACE((site + " / " + header).toStdString());
        if (header.endsWith(u'/')) {
            makeDir((*dir)(header));
        } else if (words.size() == 3 && words[1] == "->") {
            ASSERT_TRUE(QFile::link((*dir)(words[2]), (*dir)(words[0])));
        } else if (words[0] == "tree") {
            walk = std::make_unique<Walk>(words.value(1));
            EXPECT_EQ(walk->run((*dir)(first)), tree(*dir, body.join(u'\n') + u'\n'));
            EXPECT_EQ(walk->walker.depth(), 0);
            EXPECT_EQ(walk->walker.pagesRead(), words.value(2).toInt());
        } else if (words[0] == "keys") {
            for (const QString& key : body)
                EXPECT_NE(walk->tree.find(native(tree(*dir, key))), nullptr) << key;
        } else if (!header.isEmpty()) {
            writeFile((*dir)(header), toWindows1252(body.join("\r\n")));
            first = first.isEmpty() ? header : first;
        }
        header.clear();
        body.clear();
    };
    for (const QString& line : QString::fromUtf8(dataFile("explorer/walks.txt")).split(u'\n')) {
        if (line.startsWith("=== ") || line.startsWith("--- ")) {
            flush();
            if (line.startsWith(u'=')) {
                site = line.mid(4);
                first.clear();
                dir = std::make_unique<TempDir>();
            } else {
                header = line.mid(4);
            }
        } else if (dir) {
            body.append(line);
        }
    }
    flush();
}

TEST(Walk, PagesThatCannotBeReadStayLeaves) {
    TempDir dir;
    makeDir(dir("folder.htm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir("pipe.htm")).constData(), 0600), 0);
    writeFile(dir("locked.htm"), "<A HREF=never.htm>");
    QFile::setPermissions(dir("locked.htm"), QFileDevice::Permissions());
    const bool canReadLocked = QFile(dir("locked.htm")).open(QIODevice::ReadOnly); // root reads anyway
    writeFile(dir("i.htm"), "<A HREF=folder.htm><A HREF=pipe.htm><A HREF=gone.htm><A HREF=locked.htm>"
                            "<A HREF=\"http://host/x.htm\">");
    Walk w;
    QString expected = "[htm] ROOT/i.htm\n"
                       "  [htm] ???   folder.htm\n"
                       "  [htm] ???   gone.htm\n"
                       "  [htm] ???   http://host/x.htm\n"
                       "  [htm] locked.htm\n";
    if (canReadLocked)
        expected += "    [htm] ???   never.htm\n";
    expected += "  [htm] pipe.htm\n";
    // The pipe is not waited on: the walk ends.
    EXPECT_EQ(w.run(dir("i.htm")), tree(dir, expected));
    EXPECT_EQ(w.walker.depth(), 0);
    QFile::setPermissions(dir("locked.htm"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST(Stop, AStopDuringTheWalkUnwindsToDepthZero) {
    TempDir dir;
    // A wide and deep site: 30 pages in a chain, each with 20 images.
    for (int i = 0; i < 30; ++i) {
        QByteArray page = QStringLiteral("<A HREF=p%1.htm>").arg(i + 1).toLatin1();
        for (int k = 0; k < 20; ++k)
            page += QStringLiteral("<IMG SRC=i%1_%2.gif>").arg(i).arg(k).toLatin1();
        writeFile(dir(QStringLiteral("p%1.htm").arg(i)), page);
    }
    Walk full;
    full.run(dir("p0.htm"));
    const int all = full.tree.size();
    for (int stopAt : {1, 15, 21, 200, 500}) {
        Walk w;
        int deepest = 0;
        w.dialogs.onEvents = [&] {
            deepest = std::max(deepest, w.walker.depth());
            if (w.dialogs.eventRuns() == stopAt)
                w.tree.setTag("STOP");
        };
        w.run(dir("p0.htm"));
        EXPECT_EQ(w.walker.depth(), 0) << stopAt;
        // Nodes are added one per event: the walk ends on the node where it was stopped.
        EXPECT_EQ(w.tree.size(), 1 + stopAt) << stopAt;
        EXPECT_LT(w.tree.size(), all);
        EXPECT_EQ(w.dialogs.eventRuns(), stopAt);
        if (stopAt > 21) {
            EXPECT_GE(deepest, 2);
        }
    }
    // With the mark still set, a walk ends at once.
    Walk stopped;
    stopped.tree.setTag("STOP");
    auto* root = stopped.tree.add(nullptr, dir("p0.htm"), dir("p0.htm"), "htm");
    stopped.walker.Explorer(root);
    EXPECT_EQ(stopped.tree.size(), 1);
    EXPECT_EQ(stopped.walker.depth(), 0);
}

// A walk that recursed once per page would overflow this small stack. Events run throttled, not after
// each node (the stop test shows one per node without a throttle).
TEST(Walk, LongChainsNeedNoDeepStackAndRunEventsThrottled) {
    TempDir dir;
    const int pages = 1000;
    for (int i = 0; i < pages; ++i)
        writeFile(dir(QStringLiteral("p%1.htm").arg(i)),
                  QStringLiteral("<A HREF=p%1.htm><IMG SRC=a.gif>").arg(i + 1).toLatin1());
    Walk w;
    w.walker.setEventInterval(60000);
    QThread* thread = QThread::create([&] { w.run(dir("p0.htm")); });
    thread->setStackSize(64 * 1024);
    thread->start();
    ASSERT_TRUE(thread->wait(120000));
    delete thread;
    EXPECT_EQ(w.walker.pagesRead(), pages);
    EXPECT_EQ(w.tree.size(), 2 * pages + 1);
    EXPECT_EQ(w.walker.depth(), 0);
    EXPECT_EQ(w.tree.find(native(dir(QStringLiteral("p%1.htm").arg(pages))))->text,
              QStringLiteral("???   p%1.htm").arg(pages));
    EXPECT_EQ(w.dialogs.eventRuns(), 1);
    // The status line shows the progress, and is cleared at the end.
    ASSERT_FALSE(w.dialogs.statuses().isEmpty());
    EXPECT_TRUE(w.dialogs.statuses().first().startsWith("Exploration : "));
    EXPECT_EQ(w.dialogs.statuses().last(), QString());
}

// A tree written as other tools write documentation: UTF-8 names, pages in UTF-8 (declared or not) and
// in Windows-1252, and every page linking to every other in each way an address can be written. No
// node may be marked missing when a resolver of its own (QUrl, as a browser reads links) finds the
// file, and every page must be read.
TEST(Walk, RealSitesLinkFormsFindTheirFiles) {
    TempDir dir;
    struct Page {
        QString name;
        QByteArray head; // declares the encoding, or not
        bool utf8;
    } const pages[] = {{"index.htm", "<meta charset=\"utf-8\">", true},
                       {"sub/page un.htm", "\xEF\xBB\xBF", true},
                       {"sub/café.htm", "", true},
                       {"sub/deep/ancien.htm", "<META CONTENT=\"text/html; charset=windows-1252\">", false},
                       {"autre/été.html", "", false}};
    auto relative = [&](const QString& from, const QString& to) {
        return QDir(QFileInfo(dir(from)).path()).relativeFilePath(dir(to));
    };
    auto escaped = [](const QString& path) {
        return QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
    };
    int missing = 0;
    for (const Page& from : pages) {
        QString html;
        for (const Page& to : pages) {
            const QString rel = relative(from.name, to.name);
            const QString folder = rel.contains(u'/') ? rel.section(u'/', 0, -2) + u'/' : QString();
            for (const QString& link : {rel, "./" + rel, escaped(rel), rel + "#part", rel + "?v=2",
                                        folder + "x/../" + rel.section(u'/', -1)})
                html += QStringLiteral("<A HREF=\"%1\">x</A>\r\n").arg(link);
        }
        html += QStringLiteral("<A HREF=\"#top\"><A HREF=\"https://example.org/a.htm\">"
                               "<A HREF=\"absent.htm\"><IMG SRC=\"../nulle part/x.gif\">\r\n");
        missing += 2;
        writeFile(dir(from.name), from.head + (from.utf8 ? html.toUtf8() : toWindows1252(html)));
    }
    Walk w;
    w.run(dir("index.htm"));
    EXPECT_EQ(w.walker.pagesRead(), std::size(pages));
    int marked = 0;
    w.tree.forEachNode([&](const LinkTreeModel::Node& node, int depth) {
        if (depth == 0 || !node.text.startsWith("???   "))
            return;
        const QString link = baseKey(node.text.mid(6));
        const QUrl target = QUrl::fromLocalFile(baseKey(node.parent->key)).resolved(QUrl(link));
        if (!target.isLocalFile())
            return;
        ++marked;
        EXPECT_FALSE(QFileInfo(target.toLocalFile()).isFile())
            << link.toStdString() << " in " << node.parent->key.toStdString();
    });
    EXPECT_GE(marked, missing); // the missing files are marked, at least once each
}
