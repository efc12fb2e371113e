#include "explorertest.h"

#include <gtest/gtest.h>

#include "explorer/address.h"
#include "lib/text1252.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

#include <sys/stat.h>

using namespace qs;
using namespace qs::test;

namespace {

// Expected trees are written with "ROOT" standing for the temporary folder.
QString tree(const TempDir& dir, const QString& expected) {
    return QString(expected).replace(QStringLiteral("ROOT/"), native(dir.path()));
}

} // namespace

TEST(Walk, BuildsTheLinkTreeOfASite) {
    TempDir dir;
    writeFile(dir("index.htm"), "<HTML><BODY BACKGROUND=\"fond.gif\">\r\n"
                                "<FRAME SRC=\"left.htm\">\r\n"
                                "<A HREF=\"d/page.htm\">Page</A> <A HREF=\"missing.htm\">x</A>\r\n"
                                "<IMG SRC=logo.gif><A HREF=\"http://www.example.com/a.htm\">web</A>\r\n"
                                "<A HREF=\"Search.htm\">s</A></BODY></HTML>\r\n");
    writeFile(dir("left.htm"), "<A HREF=\"d/page.htm\" TARGET=main>Page</A>");
    writeFile(dir("d/page.htm"), "<A\r\nHREF=\"../index.htm\">Accueil</A>");
    writeFile(dir("fond.gif"), "GIF89a");
    writeFile(dir("logo.gif"), "GIF89a");

    Walk w;
    EXPECT_EQ(w.run(dir("index.htm")), tree(dir, "[htm] ROOT/index.htm\n"
                                                 "  [htm] ???   http://www.example.com/a.htm\n"
                                                 "  [htm] ???   missing.htm\n"
                                                 "  [htm] d/page.htm\n"
                                                 "    [htm] ../index.htm<1>\n"
                                                 "  [gif] fond.gif\n"
                                                 "  [htm] left.htm\n"
                                                 "    [htm] d/page.htm<1>\n"
                                                 "  [gif] logo.gif\n"));
    EXPECT_EQ(w.walker.depth(), 0);
    EXPECT_EQ(w.walker.pagesRead(), 3);
    // Keys are resolved paths with their occurrence suffix.
    ASSERT_NE(w.tree.find(native(dir("d/page.htm<1>"))), nullptr);
    EXPECT_EQ(w.tree.find(native(dir("d/page.htm<1>")))->parent->key, native(dir("left.htm")));
    EXPECT_EQ(w.tree.find(QStringLiteral("www.example.com") + native(QStringLiteral("/a.htm")))->icon,
              QStringLiteral("htm"));
}

TEST(Walk, RepeatedLinksAndSelfLinks) {
    TempDir dir;
    if (dir.path().contains(QStringLiteral("cgi"), Qt::CaseInsensitive))
        GTEST_SKIP() << "the temporary folder's name changes the icons";
    // The same link twice in one page is one node; a page linked from three pages shows three times,
    // read once; a page linking to itself shows itself once more, not read again.
    writeFile(dir("a.htm"),
              "<A HREF=b.htm><A HREF=c.htm><A HREF=shared.htm><A HREF=shared.htm><A HREF=a.htm>");
    writeFile(dir("b.htm"), "<A HREF=shared.htm>");
    writeFile(dir("c.htm"), "<a href=shared.htm#top><a href='shared.htm'><a href=shared.htm>");
    writeFile(dir("shared.htm"), "<IMG SRC=pic.gif><IMG SRC=pic.gif>");
    writeFile(dir("pic.gif"), "GIF89a");

    Walk w;
    EXPECT_EQ(w.run(dir("a.htm")), tree(dir, "[htm] ROOT/a.htm\n"
                                             "  [htm] a.htm<1>\n"
                                             "  [htm] b.htm\n"
                                             "    [htm] shared.htm<1>\n"
                                             "  [htm] c.htm\n"
                                             "    [?] ???   'shared.htm'\n"
                                             "    [htm] shared.htm#top<2>\n"
                                             "  [htm] shared.htm\n"
                                             "    [gif] pic.gif\n"));
    EXPECT_EQ(w.walker.pagesRead(), 4);
}

TEST(Walk, DepthLimitDecidesWhichPagesAreRead) {
    TempDir dir;
    for (int i = 1; i <= 5; ++i)
        writeFile(dir(QStringLiteral("p%1.htm").arg(i)),
                  QStringLiteral("<A HREF=p%1.htm>").arg(i + 1).toLatin1());
    const QString chain = QStringLiteral("[htm] ROOT/p1.htm\n"
                                         "  [htm] p2.htm\n"
                                         "    [htm] p3.htm\n"
                                         "      [htm] p4.htm\n"
                                         "        [htm] p5.htm\n"
                                         "          [htm] ???   p6.htm\n");
    const QStringList lines = chain.split(u'\n', Qt::SkipEmptyParts);
    auto firstLines = [&](int n) { return tree(dir, lines.mid(0, n).join(u'\n') + u'\n'); };

    // Limit 1: the root and the pages it links to are read; what those link to shows, unread.
    EXPECT_EQ(Walk(QStringLiteral("1")).run(dir("p1.htm")), firstLines(3));
    EXPECT_EQ(Walk(QStringLiteral("2")).run(dir("p1.htm")), firstLines(4));
    EXPECT_EQ(Walk(QStringLiteral("19")).run(dir("p1.htm")), firstLines(6));
    EXPECT_EQ(Walk(QStringLiteral("illimité")).run(dir("p1.htm")), firstLines(6));
}

TEST(Walk, BaseTagMovesTheBaseForTheRestOfThePage) {
    TempDir dir;
    writeFile(dir("site/i.htm"), "<A HREF=x.htm><BASE HREF=\"../other/\"><A HREF=x.htm><A HREF=../y.htm>"
                                 "<BASE HREF=\"http://host/\"><A HREF=z.htm>");
    writeFile(dir("site/x.htm"), "");
    writeFile(dir("other/x.htm"), "<IMG SRC=in-other.gif>");
    Walk w;
    EXPECT_EQ(w.run(dir("site/i.htm")), tree(dir, "[htm] ROOT/site/i.htm\n"
                                                  "  [htm] ???   ../y.htm\n"
                                                  "  [htm] ???   z.htm\n"
                                                  "  [htm] x.htm\n"
                                                  "  [htm] x.htm\n"
                                                  "    [gif] ???   in-other.gif\n"));
    EXPECT_NE(w.tree.find(native(dir("other/x.htm"))), nullptr);
    EXPECT_NE(w.tree.find(native(dir("y.htm"))), nullptr);
    EXPECT_NE(w.tree.find(QStringLiteral("host") + native(QStringLiteral("/z.htm"))), nullptr);
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

TEST(Walk, AliasesAndFolderLinksDoNotMakeItEndless) {
    TempDir dir;
    writeFile(dir("a.htm"),
              "<A HREF=\"./a.htm\"><A HREF=\"loop/a.htm\"><A HREF=\"sub/../a.htm\"><A HREF=b.htm>");
    writeFile(dir("b.htm"), "<A HREF=a.htm><A HREF=\"loop/loop/b.htm\">");
    makeDir(dir("sub"));
    ASSERT_TRUE(QFile::link(dir("."), dir("loop")));
    Walk w;
    // "./a.htm" and "sub/../a.htm" are the root's own address: one node, not read again.
    EXPECT_EQ(w.run(dir("a.htm")), tree(dir, "[htm] ROOT/a.htm\n"
                                             "  [htm] ./a.htm<1>\n"
                                             "  [htm] b.htm\n"
                                             "    [htm] a.htm<2>\n"
                                             "    [htm] loop/loop/b.htm\n"
                                             "  [htm] loop/a.htm\n"));
    EXPECT_EQ(w.walker.pagesRead(), 2);
    EXPECT_EQ(w.walker.depth(), 0);
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
                w.tree.setTag(QStringLiteral("STOP"));
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
    stopped.tree.setTag(QStringLiteral("STOP"));
    auto* root = stopped.tree.add(nullptr, dir("p0.htm"), dir("p0.htm"), QStringLiteral("htm"));
    stopped.walker.Explorer(root);
    EXPECT_EQ(stopped.tree.size(), 1);
    EXPECT_EQ(stopped.walker.depth(), 0);
}

TEST(Events, RunThrottledNotAfterEachNode) {
    TempDir dir;
    QByteArray page;
    for (int k = 0; k < 3000; ++k)
        page += QStringLiteral("<A HREF=f%1.txt>").arg(k).toLatin1();
    writeFile(dir("i.htm"), page);

    Walk eager;
    eager.run(dir("i.htm"));
    EXPECT_GE(eager.dialogs.eventRuns(), 3000);

    Walk throttled;
    throttled.walker.setEventInterval(60000);
    throttled.run(dir("i.htm"));
    EXPECT_EQ(throttled.tree.size(), 3001);
    EXPECT_EQ(throttled.dialogs.eventRuns(), 1);
    // The status line shows the progress, and is cleared at the end.
    ASSERT_FALSE(throttled.dialogs.statuses().isEmpty());
    EXPECT_TRUE(throttled.dialogs.statuses().first().startsWith(QStringLiteral("Exploration : ")));
    EXPECT_EQ(throttled.dialogs.statuses().last(), QString());
}

TEST(Walk, LongChainsNeedNoDeepStack) {
    TempDir dir;
    const int pages = 1000;
    for (int i = 0; i < pages; ++i)
        writeFile(dir(QStringLiteral("p%1.htm").arg(i)),
                  QStringLiteral("<A HREF=p%1.htm>").arg(i + 1).toLatin1());
    // A walk that recursed once per page would overflow this small stack.
    Walk w;
    QThread* thread = QThread::create([&] { w.run(dir("p0.htm")); });
    thread->setStackSize(64 * 1024);
    thread->start();
    ASSERT_TRUE(thread->wait(120000));
    delete thread;
    EXPECT_EQ(w.walker.pagesRead(), pages);
    EXPECT_EQ(w.tree.size(), pages + 1);
    EXPECT_EQ(w.walker.depth(), 0);
    EXPECT_EQ(w.tree.find(native(dir(QStringLiteral("p%1.htm").arg(pages))))->text,
              QStringLiteral("???   p%1.htm").arg(pages));
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
    };
    const QList<Page> pages = {
        {QStringLiteral("index.htm"), "<meta charset=\"utf-8\">", true},
        {QStringLiteral("sub/page un.htm"), "\xEF\xBB\xBF", true},
        {QStringLiteral("sub/café.htm"), "", true},
        {QStringLiteral("sub/deep/ancien.htm"), "<META CONTENT=\"text/html; charset=windows-1252\">", false},
        {QStringLiteral("autre/été.html"), "", false},
    };
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
            for (const QString& link :
                 {rel, QStringLiteral("./") + rel, escaped(rel), rel + QStringLiteral("#part"),
                  rel + QStringLiteral("?v=2"), folder + QStringLiteral("x/../") + rel.section(u'/', -1)})
                html += QStringLiteral("<A HREF=\"%1\">x</A>\r\n").arg(link);
        }
        html += QStringLiteral("<A HREF=\"#top\"><A HREF=\"https://example.org/a.htm\">"
                               "<A HREF=\"absent.htm\"><IMG SRC=\"../nulle part/x.gif\">\r\n");
        missing += 2;
        writeFile(dir(from.name), from.head + (from.utf8 ? html.toUtf8() : toWindows1252(html)));
    }

    Walk w;
    w.run(dir("index.htm"));
    EXPECT_EQ(w.walker.pagesRead(), pages.size());
    int marked = 0;
    w.tree.forEachNode([&](const LinkTreeModel::Node& node, int depth) {
        if (depth == 0 || !node.text.startsWith(QStringLiteral("???   ")))
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
