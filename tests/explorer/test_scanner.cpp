// How a page is read: its tags, their attributes, what each tag does, and the addresses and keys of the
// links. The case tables are in tests/data/explorer.
#include "explorer/address.h"
#include "explorer/encoding.h"
#include "explorer/scanner.h"
#include "explorertest.h"
#include "tablefile.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

TEST(Tokeniser, SplitsPagesIntoTags) {
    for (const auto& row : tableRows("explorer/tags.txt")) {
        QStringList tags;
        for (const QByteArray& tag : row.mid(1))
            tags.append(str(tag));
        EXPECT_EQ(tagsOf(row[0]), tags) << row[0].toStdString();
    }
    int seen = 0; // the reader stops when asked
    readTags("<a><b><c>", [&](QByteArrayView) { return ++seen < 2; });
    EXPECT_EQ(seen, 2);
}

TEST(Tokeniser, HugeLinesAndUnbalancedBrackets) {
    // 8 MB on one line: an unclosed tag, then a closed one at the very end.
    QByteArray huge = "<A HREF=first.htm ";
    huge.append(QByteArray(8 << 20, 'x'));
    huge.append("><B>");
    const QStringList tags = tagsOf(huge);
    ASSERT_EQ(tags.size(), 2);
    EXPECT_EQ(tags[0].size(), 18 + (8 << 20) - 1);
    EXPECT_EQ(tags[1], "B");
    // Millions of brackets, no closing one: a single tag holding the rest of the line.
    EXPECT_EQ(tagsOf(QByteArray(4 << 20, '<')).size(), 1);
    // Millions of empty tags.
    int count = 0;
    readTags(QByteArray("<>").repeated(1 << 20), [&](QByteArrayView t) {
        count += t.isEmpty() ? 1 : 1000;
        return true;
    });
    EXPECT_EQ(count, 1 << 20);
}

TEST(Attributes, ExtractionRules) {
    for (const auto& row : tableRows("explorer/attributes.txt"))
        EXPECT_EQ(attributeValue(row[1], str(row[0])), str(row[2])) << row[1].toStdString();
}

TEST(Dispatch, TableOfTagsAndSwitches) {
    const QStringList switches{"images", "zip", "programmes", "cgi", "sons"};
    const QStringList kinds{"Ignore", "AddLink", "SetBase"};
    for (const auto& row : tableRows("explorer/dispatch.txt")) {
        LinkTypes types;
        for (int i = 0; i < 5; ++i)
            types.on[size_t(i)] = row[1] == "all" || switches[i] == str(row[1]);
        const TagAction a = dispatchTag(row[0], types);
        EXPECT_EQ(kinds.value(a.kind), str(row[2])) << row[0].toStdString();
        if (row.size() == 5) {
            EXPECT_EQ(a.value + (a.explore ? " explore" : " leaf"), str(row[3] + ' ' + row[4]))
                << row[0].toStdString();
        }
    }
}

TEST(DepthLimits, FromTheStoredSetting) {
    for (const auto& row : tableRows("explorer/depths.txt")) {
        const DepthLimit d = DepthLimit::parse(str(row[0]));
        EXPECT_EQ(d.unlimited ? "- | unlimited" : QString::number(d.value) + " | limited",
                  str(row[1] + " | " + row[2]))
            << row[0].toStdString();
    }
    EXPECT_EQ(DepthLimit::parse("illimité").text(), "illimité");
    EXPECT_TRUE(DepthLimit::parse("2").allows(2));
    EXPECT_FALSE(DepthLimit::parse("2").allows(3));
    EXPECT_TRUE(DepthLimit::parse("illimité").allows(100000));
}

TEST(AdresseComplete, ResolvesLinksAgainstTheBaseFolder) {
    for (const auto& row : tableRows("explorer/addresses.txt"))
        EXPECT_EQ(AdresseComplète(str(row[0]), str(row[1])), native(str(row[2])))
            << row[0].toStdString() << " + " << row[1].toStdString();
}

TEST(PageEncoding, DeclaredInAnyCase) {
    const QByteArrayList names = {"Windows1252", "Utf8", "Guess"};
    for (const auto& row : tableRows("explorer/encodings.txt"))
        EXPECT_EQ(names.value(int(pageEncoding(row[0]))), row[1]) << row[0].toStdString();
}

TEST(IconKeys, FollowTheExtensionTable) {
    for (const auto& row : tableRows("explorer/icons.txt"))
        EXPECT_EQ(iconKeyFor(str(row[0])), str(row[1])) << row[0].toStdString();
}

TEST(NodeKeys, OccurrenceSuffixes) {
    EXPECT_EQ(occurrenceKey("/s/a.htm", 0), "/s/a.htm");
    EXPECT_EQ(occurrenceKey("/s/a.htm", 12), "/s/a.htm<12>");
    for (const auto& row : tableRows("explorer/keys.txt")) {
        const QString key = str(row[1]);
        if (row[0] == "page") {
            EXPECT_EQ(isPagePath(key), row[2] == "yes") << row[1].toStdString();
            continue;
        }
        if (!row[1].isEmpty()) {
            EXPECT_EQ(baseKey(str(row[0])), key) << row[0].toStdString();
        }
        EXPECT_EQ(occurrence(str(row[0])), row[2].toInt()) << row[0].toStdString();
    }
}
