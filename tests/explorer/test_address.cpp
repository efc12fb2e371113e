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
        // Odd links never fail: a base without separator, links of dots and separators only.
        {"abc", "../../x", "abcx"},
        {"/a/", "..", "/"},
        {"", "a/../../y/", "../y/"},
        {"/a/", "../", "/"},
        {"/a/", "HTTP:", ""},
        {"/a/", "#", "/a/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AdresseComplète(QString::fromUtf8(c.base), QString::fromUtf8(c.link)),
                  native(QString::fromUtf8(c.expected)))
            << c.base << " + " << c.link;
    }
}

TEST(IconKeys, FollowTheExtensionTable) {
    // Only ASCII letters change case: a dotless i is no I.
    const std::pair<const char*, const char*> cases[] = {
        {"/s/a.htm", "htm"},
        {"/s/a.HTML", "htm"},
        {"/s/a.shtm", "htm"},
        {"/s/a.ShTmL", "htm"},
        {"/s/a.jpeg", "jpg"},
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
    };
    for (const auto& [path, key] : cases)
        EXPECT_EQ(iconKeyFor(QString::fromUtf8(path)), QString::fromUtf8(key)) << path;
    EXPECT_EQ(iconKeyFor(QStringLiteral("/s/a.g\u0131f")), QStringLiteral("?"));
}

TEST(NodeKeys, OccurrenceSuffixes) {
    EXPECT_EQ(occurrenceKey(QStringLiteral("/s/a.htm"), 0), QStringLiteral("/s/a.htm"));
    EXPECT_EQ(occurrenceKey(QStringLiteral("/s/a.htm"), 12), QStringLiteral("/s/a.htm<12>"));
    const struct {
        const char* key;
        const char* base;
        int occurrence;
    } keys[] = {{"/s/a.htm<12>", "/s/a.htm", 12},       {"/s/a.htm", "/s/a.htm", 0}, {"/s/a>", "/s/a>", 0},
                {"/s/<b>/a.htm<3>", "/s/<b>/a.htm", 3}, {"/s/a<b>", nullptr, 0},     {"/s/a<>", nullptr, 0}};
    for (const auto& k : keys) {
        if (k.base) {
            EXPECT_EQ(baseKey(QString::fromUtf8(k.key)), QString::fromUtf8(k.base)) << k.key;
        }
        EXPECT_EQ(occurrence(QString::fromUtf8(k.key)), k.occurrence) << k.key;
    }
    for (const char16_t* page : {u"/s/A.HTM", u"/s/a.shtml", u"/s/a.Shtm"})
        EXPECT_TRUE(isPagePath(page));
    for (const char16_t* other : {u"/s/a.htm#x", u"/s/a.txt"})
        EXPECT_FALSE(isPagePath(other));
}
