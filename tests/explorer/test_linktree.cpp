#include "explorer/icons.h"
#include "explorer/linktree.h"
#include "explorertest.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace qs;
using namespace qs::test;

TEST(LinkTree, IsAConsistentItemModelThroughAWalk) {
    TempDir dir;
    writeFile(dir("i.htm"), "<A HREF=z.htm><A HREF=b.htm><A HREF=a.htm><IMG SRC=y.gif><IMG SRC=c.gif>");
    writeFile(dir("b.htm"), "<A HREF=i.htm><A HREF=z.htm><A HREF=a.htm>");
    writeFile(dir("a.htm"), "<A HREF=b.htm>");
    const CapturedMessages qt; // the model tester reports its complaints as warnings
    {
        Walk w;
        QAbstractItemModelTester tester(&w.tree, QAbstractItemModelTester::FailureReportingMode::Warning);
        // Keep an index into the tree across the sorts and a second walk.
        w.run(dir("i.htm"));
        QPersistentModelIndex z = w.tree.indexOf(w.tree.find(native(dir("z.htm"))));
        ASSERT_TRUE(z.isValid());
        w.tree.sortChildren(w.tree.find(native(dir("i.htm"))));
        EXPECT_EQ(z.data().toString(), "???   z.htm");
        w.run(dir("i.htm"));
        EXPECT_FALSE(z.isValid());
        w.tree.clear();
        EXPECT_EQ(w.tree.rowCount(), 0);
    }
    EXPECT_EQ(qt.messages().filter(QStringLiteral("FAIL!")).size(), 0);
}

TEST(LinkTree, SortingOrdersByTextAndKeepsIndexesOnTheirNodes) {
    LinkTreeModel tree;
    auto* root = tree.add(nullptr, "r", "r", "htm");
    const QStringList texts{"zèbre", "Écran", "??? x", "b", "B", "a", "éclair"};
    for (const QString& t : texts)
        tree.add(root, "k-" + t, t, "?");
    const QModelIndex rootIndex = tree.indexOf(root);
    QList<QPersistentModelIndex> kept;
    for (int row = 0; row < tree.rowCount(rootIndex); ++row)
        kept.append(QPersistentModelIndex(tree.index(row, 0, rootIndex)));
    QSignalSpy layout(&tree, &QAbstractItemModel::layoutChanged);
    tree.sortChildren(root);
    EXPECT_TRUE(root->sorted);
    EXPECT_EQ(layout.count(), 1);
    QStringList shown;
    for (int row = 0; row < tree.rowCount(rootIndex); ++row)
        shown << tree.index(row, 0, rootIndex).data().toString();
    // Without regard to case (Windows-1252 upper case, then character codes), equal texts in their
    // order of arrival.
    EXPECT_EQ(shown, (QStringList{"??? x", "a", "b", "B", "zèbre", "éclair", "Écran"}));
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(kept[i].data(LinkTreeModel::KeyRole).toString(), "k-" + texts[i]);
    // Sorting what is already in order moves nothing.
    tree.sortChildren(root);
    EXPECT_EQ(layout.count(), 1);
}

TEST(LinkTree, OccurrencesFollowTheKeysInTheTree) {
    LinkTreeModel tree;
    auto* r = tree.add(nullptr, "/s/r.htm", "r", "htm");
    auto* x = tree.add(r, "/s/x.htm", "x", "htm");
    auto* y = tree.add(r, "/s/y.htm", "y", "htm");
    // A file whose very name looks like an occurrence.
    tree.add(r, "/s/a.htm<1>", "a.htm<1>", "?");
    EXPECT_EQ(tree.freeOccurrence(x, "/s/a.htm"), 0);
    tree.add(x, "/s/a.htm", "a", "htm");
    // Under x already: nothing more there.
    EXPECT_EQ(tree.freeOccurrence(x, "/s/a.htm"), std::nullopt);
    // r holds the node keyed "/s/a.htm<1>": a repeat there, too.
    EXPECT_EQ(tree.freeOccurrence(r, "/s/a.htm"), std::nullopt);
    EXPECT_EQ(tree.freeOccurrence(y, "/s/a.htm"), 2);
    tree.add(y, "/s/a.htm<2>", "a<2>", "htm");
    EXPECT_EQ(tree.freeOccurrence(y, "/s/a.htm"), std::nullopt);
    // The root's own key counts like any other.
    EXPECT_EQ(tree.freeOccurrence(x, "/s/r.htm"), 1);
    tree.clear();
    EXPECT_EQ(tree.size(), 0);
    EXPECT_EQ(tree.find("/s/a.htm"), nullptr);
    auto* again = tree.add(nullptr, "/s/r.htm", "r", "htm");
    EXPECT_EQ(tree.freeOccurrence(again, "/s/a.htm"), 0);
}

TEST(LinkIcons, ElevenDistinctPictures) {
    const QStringList keys = linkIconKeys();
    ASSERT_EQ(keys.size(), 11);
    QList<QImage> seen;
    for (const QString& key : keys) {
        const QImage image = linkIconImage(key);
        EXPECT_EQ(image.size(), QSize(16, 16)) << key;
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                opaque += qAlpha(image.pixel(x, y)) > 128;
        EXPECT_GT(opaque, 30) << key << " draws something";
        for (const QImage& other : seen)
            EXPECT_NE(image, other) << key << " looks like another icon";
        seen.append(image);
    }
    EXPECT_EQ(linkIconImage("nope"), linkIconImage("?"));
    // Without a GUI the model hands out images, which views accept as decorations.
    EXPECT_EQ(linkIcon("htm").typeId(), QMetaType::QImage);
}
