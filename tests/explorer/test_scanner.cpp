#include "explorer/scanner.h"
#include "explorertest.h"
#include "lib/text1252.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

TEST(Tokeniser, SplitsPagesIntoTags) {
    struct Case {
        QByteArray page;
        QStringList tags;
    } cases[] = {
        {"", {}},
        {"no tag at all\r\nnor here", {}},
        {"<A HREF=x.htm>", {"A HREF=x.htm"}},
        // Several tags on a line; closing tags and comments are tags too.
        {"<b>bold</b> <!-- note --><img src=a.gif>", {"b", "/b", "!-- note --", "img src=a.gif"}},
        // A tag over two lines: the pieces are joined with a blank, plus the one before the rest.
        {"text <A\r\nHREF=x.htm>", {"A  HREF=x.htm"}},
        {"<A\nHREF=x.htm\n>", {"A HREF=x.htm"}},
        {"<A\rHREF\r=\rx.htm>", {"A HREF =  x.htm"}},
        // An empty line inside a tag adds nothing; the bracket alone at a line's end neither.
        {"<\r\n\r\nA HREF=y>", {"A HREF=y"}},
        // Blanks trimmed at both ends of a finished tag, tabs kept.
        {"<   A HREF=x   >", {"A HREF=x"}},
        {"<\tA HREF=x\t>", {"\tA HREF=x\t"}},
        // A ">" in a value ends the tag; what follows is text.
        {"<a title=\"1>2\" href=y.htm>", {"a title=\"1"}},
        // "<" inside a tag is just a character.
        {"<a <b>", {"a <b"}},
        {"<>", {""}},
        // A tag still open at the end is passed as it stands (untrimmed, its line's blank kept).
        {"<A HREF=x.htm", {"A HREF=x.htm "}},
        {"x <", {""}},
        {"<A\r\nHREF=z", {"A HREF=z "}},
        // Text between tags, never inside.
        {">> <p> >", {"p"}},
        // Windows-1252 bytes.
        {"<IMG SRC=\"\xe9t\xe9 \x80.gif\">", {QStringLiteral("IMG SRC=\"été €.gif\"")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tagsOf(c.page), c.tags) << c.page.toStdString();
}

TEST(Tokeniser, StopsWhenAsked) {
    int seen = 0;
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
    EXPECT_EQ(tags[1], QStringLiteral("B"));

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
    struct Case {
        const char16_t* name;
        QByteArray rest;
        QString value;
    } cases[] = {
        {u"HREF", "HREF=x.htm", "x.htm"},
        {u"HREF", "href=x.htm target=_top", "x.htm"},
        {u"HREF", "href = \"a b.htm\"", "a b.htm"},
        {u"HREF", "href = a b.htm", "a"},
        {u"HREF", "href='x.htm'", "'x.htm'"},
        {u"HREF", "href=\"x.htm", "x.htm"},
        {u"HREF", "HrEf=Mixed.HTM", "Mixed.HTM"},
        // The first occurrence counts, even at the end of a longer name.
        {u"SRC", "lowsrc=lo.gif src=hi.gif", "lo.gif"},
        {u"HREF", "title=xhref href=y.htm", "href=y.htm"},
        {u"HREF", "title=\"see href=z.htm\" href=y.htm", "z.htm\""},
        // Blanks, "=" and quotes are all skipped: an empty quoted value takes what follows.
        {u"HREF", "href=\"\" target=x", "target=x"},
        {u"HREF", "href=", ""},
        {u"HREF", "name=a", ""},
        {u"HREF", "", ""},
        // Entities stay as written.
        {u"HREF", "href=a.htm?x=1&amp;y=2", "a.htm?x=1&amp;y=2"},
        {u"BACKGROUND", "bgcolor=#fff background=\"fond.jpg\"", "fond.jpg"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(attributeValue(c.rest, QStringView(c.name)), c.value) << c.rest.toStdString();
}

namespace {
LinkTypes typesWith(std::initializer_list<int> on) {
    LinkTypes t;
    t.on.fill(false);
    for (int i : on)
        t.on[size_t(i)] = true;
    return t;
}
} // namespace

TEST(Dispatch, TableOfTagsAndSwitches) {
    const LinkTypes all;
    const LinkTypes none = typesWith({});
    const LinkTypes images = typesWith({LinkTypes::Images});
    const LinkTypes cgi = typesWith({LinkTypes::Cgi});
    const LinkTypes programmes = typesWith({LinkTypes::Programmes});
    const LinkTypes sons = typesWith({LinkTypes::Sons});
    const LinkTypes zip = typesWith({LinkTypes::Zip});
    using K = TagAction::Kind;
    struct Case {
        QByteArray tag;
        LinkTypes types;
        K kind;
        QString value;
        bool explore;
    } cases[] = {
        {"FRAME SRC=left.htm", none, K::AddLink, "left.htm", true},
        {"iframe src=x.gif", none, K::AddLink, "x.gif", true},
        {"FORM ACTION=/cgi-bin/f", cgi, K::AddLink, "/cgi-bin/f", false},
        {"FORM ACTION=/cgi-bin/f", images, K::Ignore, "", false},
        {"IMG SRC=a.gif", images, K::AddLink, "a.gif", false},
        {"IMG SRC=a.gif", cgi, K::AddLink, "a.gif", false},
        {"IMG SRC=a.gif", programmes, K::Ignore, "", false},
        {"BGSOUND SRC=s.mid", sons, K::AddLink, "s.mid", false},
        {"BGSOUND SRC=s.mid", images, K::Ignore, "", false},
        {"BODY BACKGROUND=f.jpg", images, K::AddLink, "f.jpg", false},
        {"BODY BACKGROUND=f.jpg", cgi, K::Ignore, "", false},
        {"BODY BGCOLOR=#FFF", all, K::Ignore, "", false},
        // Anchors, by the last four characters of the value.
        {"A HREF=p.htm", none, K::AddLink, "p.htm", true},
        {"a href=P.HTML", none, K::AddLink, "P.HTML", true},
        {"A HREF=p.shtml", none, K::AddLink, "p.shtml", true},
        {"A HREF=p.shtm", none, K::AddLink, "p.shtm", false},
        {"A HREF=p.htm#part", none, K::AddLink, "p.htm#part", true},
        {"A HREF=p.html?img=a.gif", none, K::AddLink, "p.html?img=a.gif", true},
        {"A HREF=#top", none, K::AddLink, "#top", false},
        {"A HREF=a.GIF", images, K::AddLink, "a.GIF", false},
        {"A HREF=a.jpeg", none, K::Ignore, "", false},
        {"A HREF=a.jpg", cgi, K::Ignore, "", false},
        {"A HREF=setup.exe", programmes, K::AddLink, "setup.exe", false},
        {"A HREF=setup.exe", images, K::Ignore, "", false},
        {"A HREF=archive.zip", none, K::AddLink, "archive.zip", false},
        {"A HREF=archive.zip", zip, K::AddLink, "archive.zip", false},
        {"A HREF=mailto:x@y.fr", none, K::AddLink, "mailto:x@y.fr", false},
        // The indexer's own pages are left out, in exactly that spelling.
        {"A HREF=Search.htm", all, K::Ignore, "", false},
        {"A HREF=Recent.htm", all, K::Ignore, "", false},
        {"A HREF=search.htm", all, K::AddLink, "search.htm", true},
        {"A HREF=../Recent.htm", all, K::AddLink, "../Recent.htm", true},
        {"A NAME=top", all, K::Ignore, "", false},
        {"A", all, K::Ignore, "", false},
        {"BASE HREF=http://host/dir/", none, K::SetBase, "http://host/dir/", false},
        // Other names, and names glued to their attributes, are ignored.
        {"LINK HREF=style.css", all, K::Ignore, "", false},
        {"SCRIPT SRC=x.js", all, K::Ignore, "", false},
        {"IMGSRC=a.gif", all, K::Ignore, "", false},
        {"A\tHREF=x.htm", all, K::Ignore, "", false},
        {"", all, K::Ignore, "", false},
    };
    for (const Case& c : cases) {
        const TagAction a = dispatchTag(c.tag, c.types);
        EXPECT_EQ(a.kind, c.kind) << c.tag.toStdString();
        if (c.kind != K::Ignore) {
            EXPECT_EQ(a.value, c.value) << c.tag.toStdString();
            EXPECT_EQ(a.explore, c.explore) << c.tag.toStdString();
        }
    }
}

TEST(DepthLimits, FromTheStoredSetting) {
    struct Case {
        const char* text;
        int value;
        bool unlimited;
    } cases[] = {
        {"1", 1, false},  {"19", 19, false},      {"4", 4, false},        {"20", 20, true},
        {"99", 20, true}, {"illimité", 20, true}, {"illimite", 20, true}, {"ILLIMITÉ", 20, true},
        {"0", 1, false},  {"-3", 1, false},       {"", 4, false},         {"abc", 4, false},
    };
    for (const Case& c : cases) {
        const DepthLimit d = DepthLimit::parse(QString::fromUtf8(c.text));
        EXPECT_EQ(d.unlimited, c.unlimited) << c.text;
        EXPECT_TRUE(c.unlimited || d.value == c.value) << c.text;
    }
    EXPECT_EQ(DepthLimit::parse(QStringLiteral("illimité")).text(), QStringLiteral("illimité"));
    EXPECT_TRUE(DepthLimit::parse(QStringLiteral("2")).allows(2));
    EXPECT_FALSE(DepthLimit::parse(QStringLiteral("2")).allows(3));
    EXPECT_TRUE(DepthLimit::parse(QStringLiteral("illimité")).allows(100000));
}
