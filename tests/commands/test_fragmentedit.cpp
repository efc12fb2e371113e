// The header and footer fragments as the pages read them (their editing is in the scenarios).
#include "commands/fragmentedit.h"
#include "commands/regenerate.h"
#include "generate/fragments.h"
#include "lib/text1252.h"

#include "sitefixture.h"
#include "tablefile.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

TEST(Fragments, EachLineIsPrecededByALineBreak) {
    SiteFixture s;
    for (const auto& r : tableRows("commands/fragment-reads.txt")) {
        writeFile(s.at("f.txt"), toWindows1252(str(r[0])));
        EXPECT_EQ(readFragment(s.at("f.txt")), str(r[1])) << str(r[0]);
    }
    EXPECT_EQ(readFragment(s.at("absent.txt")), QString());
    s.folder("dossier.txt");
    QString error;
    EXPECT_FALSE(readFragment(s.at("dossier.txt"), &error).has_value());
    EXPECT_TRUE(error.contains(s.at("dossier.txt")));
}

TEST(Fragments, TheReadersFillTheStateFromTheSiteFolder) {
    SiteFixture s;
    writeFile(s.at("head_d.txt"), "hd");
    writeFile(s.at("foot_d.txt"), "fd");
    writeFile(s.at("head_c.txt"), "hc");
    writeFile(s.at("foot_c.txt"), "fc");
    EXPECT_TRUE(sendheaderd(s.state) && sendfooterd(s.state) && sendheaderc(s.state) && sendfooterc(s.state));
    EXPECT_EQ(s.state.homeHeader, QStringLiteral("\r\nhd"));
    EXPECT_EQ(s.state.homeFooter, QStringLiteral("\r\nfd"));
    EXPECT_EQ(s.state.categoryListHeader, QStringLiteral("\r\nhc"));
    EXPECT_EQ(s.state.categoryListFooter, QStringLiteral("\r\nfc"));
}
