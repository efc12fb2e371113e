#include "explorer/address.h"
#include "explorertest.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

TEST(AdresseComplete, ResolvesLinksAgainstTheBaseFolder) {
    struct Case {
        const char* base;
        const char* link;
        const char* expected; // in "/" form
    } cases[] = {
        {"/site/d/c/", "x.htm", "/site/d/c/x.htm"},
        {"/site/d/c/", "sub/x.htm", "/site/d/c/sub/x.htm"},
        {"/site/d/c/", "sub\\x.htm", "/site/d/c/sub/x.htm"},
        // Fragments are cut; a fragment alone is the folder itself.
        {"/site/d/c/", "page.htm#part", "/site/d/c/page.htm"},
        {"/site/d/c/", "#top", "/site/d/c/"},
        {"/site/d/c/", "", "/site/d/c/"},
        // Leading "../" and "..\" climb one folder each; only leading ones.
        {"/site/d/c/", "../b.htm", "/site/d/b.htm"},
        {"/s/a/b/", "..\\..\\x.htm", "/s/x.htm"},
        {"/s/a/b/", "../..\\../x.htm", "/x.htm"},
        // Every way of writing one address gives one path: "." and "x/.." segments go, as do the query
        // and repeated separators; escapes are decoded (UTF-8 when valid, else Windows-1252).
        {"/s/a/b/", "x/../y.htm", "/s/a/b/y.htm"},
        {"/s/a/b/", "./y.htm", "/s/a/b/y.htm"},
        {"/s/a/b/", "./x/./..//../y.htm?v=1#top", "/s/a/y.htm"},
        {"/s/", "a%20b.htm", "/s/a b.htm"},
        {"/s/", "caf%C3%A9.htm", "/s/caf\xc3\xa9.htm"},
        {"/s/", "caf%e9.htm", "/s/caf\xc3\xa9.htm"},
        {"/s/", "a%2Fb%00%zz%4.htm", "/s/a%2Fb%00%zz%4.htm"},
        {"/s/", "d%2e%2e/../x.htm", "/s/x.htm"},
        // More "../" than folders: the climb stops at the start of the base.
        {"/s/", "../../../../x.htm", "/x.htm"},
        {"/", "../x.htm", "/x.htm"},
        {"C:\\s\\", "..\\..\\x.htm", "C:/x.htm"},
        {"", "../x.htm", "x.htm"},
        // Absolute links keep no base.
        {"/site/", "/img/a.gif", "/img/a.gif"},
        {"/site/", "\\img\\a.gif", "/img/a.gif"},
        {"/site/", "HTTP://host/dir/a.htm", "host/dir/a.htm"},
        {"/site/", "http://HOST/A.HTM", "HOST/A.HTM"},
        {"/site/", "file:///C:/x.htm", "/C:/x.htm"},
        {"/site/", "FILE:///home/u/x.htm", "/home/u/x.htm"},
        {"/site/", "//server/share/x.htm", "server/share/x.htm"},
        {"/site/", "HTTPS://host/x.htm", "host/x.htm"},
        // Other schemes are relative names that no file will answer.
        {"/site/", "mailto:a@b.fr", "/site/mailto:a@b.fr"},
        // "../" after an absolute prefix is left alone.
        {"/site/d/", "http:../x.htm", "../x.htm"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AdresseComplète(QString::fromUtf8(c.base), QString::fromUtf8(c.link)),
                  native(QString::fromUtf8(c.expected)))
            << c.base << " + " << c.link;
    }
}

TEST(AdresseComplete, NeverFailsOnOddLinks) {
    // Climbing with a base that holds no separator, links of dots and separators only.
    EXPECT_EQ(AdresseComplète(QStringLiteral("abc"), QStringLiteral("../../x")), QStringLiteral("abcx"));
    EXPECT_EQ(AdresseComplète(QStringLiteral("/a/"), QStringLiteral("..")), native(QStringLiteral("/")));
    EXPECT_EQ(AdresseComplète(QString(), QStringLiteral("a/../../y/")), native(QStringLiteral("../y/")));
    EXPECT_EQ(AdresseComplète(QStringLiteral("/a/"), QStringLiteral("../")), native(QStringLiteral("/")));
    EXPECT_EQ(AdresseComplète(QStringLiteral("/a/"), QStringLiteral("HTTP:")), QString());
    EXPECT_EQ(AdresseComplète(QStringLiteral("/a/"), QStringLiteral("#")), native(QStringLiteral("/a/")));
}

TEST(IconKeys, FollowTheExtensionTable) {
    struct Case {
        const char* path;
        const char* key;
    } cases[] = {
        {"/s/a.htm", "htm"},
        {"/s/a.HTML", "htm"},
        {"/s/a.shtm", "htm"},
        {"/s/a.ShTmL", "htm"},
        {"/s/a.mid", "mid"},
        {"/s/a.wav", "wav"},
        {"/s/a.ra", "ra"},
        {"/s/a.gif", "gif"},
        {"/s/a.jpg", "jpg"},
        {"/s/a.jpeg", "jpg"},
        {"/s/a.bmp", "bmp"},
        {"/s/a.exe", "exe"},
        {"/s/a.txt", "txt"},
        {"/s/a.zip", "?"},
        {"/s/README", "?"},
        {"/s/cgi-bin/count", "cgi"},
        {"/s/x.Cgi", "cgi"},
        {"/s/run.pl?CGI=1", "cgi"},
        {"/s/v1.2/README", "?"},
        {"/s/a.htm/", "?"},
        {".htm", "htm"},
        {"htm", "?"},
        {"", "?"},
        // Only ASCII letters change case: a dotless i is no I.
        {"/s/a.g\xc4\xb1"
         "f",
         "?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(iconKeyFor(QString::fromUtf8(c.path)), QString::fromUtf8(c.key)) << c.path;
}

TEST(NodeKeys, OccurrenceSuffixes) {
    EXPECT_EQ(occurrenceKey(QStringLiteral("/s/a.htm"), 0), QStringLiteral("/s/a.htm"));
    EXPECT_EQ(occurrenceKey(QStringLiteral("/s/a.htm"), 12), QStringLiteral("/s/a.htm<12>"));
    EXPECT_EQ(baseKey(QStringLiteral("/s/a.htm<12>")), QStringLiteral("/s/a.htm"));
    EXPECT_EQ(baseKey(QStringLiteral("/s/a.htm")), QStringLiteral("/s/a.htm"));
    EXPECT_EQ(baseKey(QStringLiteral("/s/a>")), QStringLiteral("/s/a>"));
    EXPECT_EQ(baseKey(QStringLiteral("/s/<b>/a.htm<3>")), QStringLiteral("/s/<b>/a.htm"));
    EXPECT_EQ(occurrence(QStringLiteral("/s/a.htm<12>")), 12);
    EXPECT_EQ(occurrence(QStringLiteral("/s/a.htm")), 0);
    EXPECT_EQ(occurrence(QStringLiteral("/s/a<b>")), 0);
    EXPECT_EQ(occurrence(QStringLiteral("/s/a<>")), 0);

    EXPECT_TRUE(isPagePath(u"/s/A.HTM"));
    EXPECT_TRUE(isPagePath(u"/s/a.shtml"));
    EXPECT_TRUE(isPagePath(u"/s/a.Shtm"));
    EXPECT_FALSE(isPagePath(u"/s/a.htm#x"));
    EXPECT_FALSE(isPagePath(u"/s/a.txt"));
}
