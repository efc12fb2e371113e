// The generated index pages, line for line as the site's readers and other tools expect them.
#include "generate/pages.h"
#include "lib/text1252.h"
#include "tablefile.h"
#include "testutil.h"

#include <gtest/gtest.h>

using namespace qs;
using namespace qs::test;

namespace {

// An expected page of tests/data as lines; characters outside Windows-1252 stay as their references.
QStringList dataLines(const char* file) {
    return splitLines(fromWindows1252(dataFile(QString::fromUtf8(file))));
}

CategoryPage category() {
    CategoryPage p;
    p.domain = QStringLiteral("Doc");
    p.category = QStringLiteral("Outils");
    p.right = QStringLiteral("3.htm");
    p.couleurFond = QStringLiteral("F0F0FF");
    p.couleurTitre = QStringLiteral("509000");
    p.couleurTexte = QStringLiteral("000090");
    p.id = QStringLiteral("(quillsite v1.2.3)");
    p.pages = {{QStringLiteral("Un titre de trente caractères!"), QStringLiteral("3.htm")},
               {QStringLiteral("B & <b>"), QStringLiteral("1.htm")},
               // The cut of the navigation counts characters: an emoji is one, and is never split.
               {QStringLiteral("Vingt-deux caractères \u2192\U0001F600 suite"), QStringLiteral("4.htm")},
               // Nor is an entity kept as written.
               {QStringLiteral("Vingt caractères pile &eacute;"), QStringLiteral("5.htm")}};
    return p;
}

} // namespace

TEST(UpdateDate, DayMonthAndHourWithoutLeadingZero) {
    EXPECT_EQ(updateDate(QDateTime(QDate(2026, 12, 5), QTime(9, 7))), QStringLiteral("5.12.26 à 9:07"));
    EXPECT_EQ(updateDate(QDateTime(QDate(2009, 1, 31), QTime(23, 59))), QStringLiteral("31.1.09 à 23:59"));
    EXPECT_EQ(updateDate(QDateTime(QDate(2000, 7, 1), QTime(0, 0))), QStringLiteral("1.7.00 à 0:00"));
}

TEST(DomainPageLines, EveryLine) {
    DomainPage p;
    p.domain = QStringLiteral("Réseaux & <LAN>");
    p.couleurFond = QStringLiteral("FFFFFF");
    p.id = QStringLiteral("(quillsite v1.2.3)");
    p.header = QStringLiteral("\r\nH1");
    p.footer = QStringLiteral("\r\nF1\r\nF2");
    p.categories = {QStringLiteral("alpha"), QStringLiteral("Beta Gamma")};
    const QStringList expected = dataLines("generate/domain.htm");
    EXPECT_EQ(crlf(domainPageLines(p)), crlf(expected));

    p.categories.clear(); // the same page without the two links
    EXPECT_EQ(crlf(domainPageLines(p)), crlf(expected.mid(0, 12) + expected.mid(14)));
}

TEST(CategoryPageLines, FramesetEveryLine) {
    const CategoryPage p = category();
    const QStringList expected = dataLines("generate/frameset.htm");
    EXPECT_EQ(crlf(framesetLines(p)), crlf(expected));
    EXPECT_EQ(sendheadert(p), expected.mid(0, 4));
    EXPECT_EQ(sendfootert(p), expected.mid(20));
}

TEST(CategoryPageLines, NavigationEveryLineWithShortTitles) {
    CategoryPage p = category();
    p.indexed = true;
    const QStringList expected = dataLines("generate/navigation.htm");
    EXPECT_EQ(crlf(navigationLines(p)), crlf(expected));

    p.indexed = false;
    QStringList notIndexed = expected;
    notIndexed.removeAt(18);
    EXPECT_EQ(crlf(navigationLines(p)), crlf(notIndexed));
}

// Whatever background the user picks for the navigation frame, its text, links and titles stay readable.
TEST(CategoryPageLines, NavigationInkContrastsWithAnyBackground) {
    for (const auto& row : tableRows("generate/ink.txt")) {
        const QString bg = str(row[0]);
        const ReadableColours ink = readableOn(bg);
        const QString measured = contrastRatio(bg, bg) == 0 ? QStringLiteral("FFFFFF") : bg;
        for (const QString& c : {ink.text, ink.link, ink.vlink})
            EXPECT_GE(contrastRatio(c, measured), 4.5) << bg << " " << c;
        CategoryPage p = category();
        p.couleurTexte = bg;
        const QStringList nav = navigationLines(p);
        EXPECT_EQ(nav[5], QStringLiteral("<BODY BACKGROUND=\"../../images/chapitre.gif\" BGCOLOR=\"#%1\" "
                                         "TEXT=\"#%2\" LINK=\"#%3\" VLINK=\"#%4\" TOPMARGIN=\"0\">")
                              .arg(bg, ink.text, ink.link, ink.vlink));
        EXPECT_TRUE(nav[7].contains(QStringLiteral("COLOR=\"#%1\"").arg(str(row[1])))) << bg << " " << nav[7];
    }
}

TEST(CategoryPageLines, EmptyCategoryHasEmptyLists) {
    CategoryPage p = category();
    p.pages.clear();
    p.right = QStringLiteral("IndexG.htm");
    EXPECT_EQ(crlf(framesetLines(p)), dataFile("generate/frameset-empty.htm"));
    EXPECT_EQ(crlf(navigationLines(p)), dataFile("generate/navigation-empty.htm"));
}
