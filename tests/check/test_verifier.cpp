#include "check/report.h"
#include "check/verifier.h"
#include "checksite.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

using namespace qs;
using namespace qs::test;

TEST(Verifier, FindsEachKindInAllThreeFormats) {
    TempDir dir;
    writeCheckedSite(dir);
    const SiteCheck check = verifySite(dir.path());
    EXPECT_EQ(check.pages, 9);
    EXPECT_EQ(check.externalLinks, 2);
    for (const auto& [format, file] :
         {std::pair{ReportFormat::Text, "report.txt"}, std::pair{ReportFormat::Json, "report.json"},
          std::pair{ReportFormat::Html, "report.html"}}) {
        const QByteArray report = reportOf(check, format);
        EXPECT_EQ(report, expectedReport(QString::fromLatin1(file), dir)) << file;
    }
}

TEST(Verifier, StopsWhenAsked) {
    TempDir dir;
    writeCheckedSite(dir);
    int calls = 0;
    const SiteCheck check = verifySite(dir.path(), [&](int done, int total) {
        EXPECT_EQ(total, 9);
        EXPECT_EQ(done, calls);
        return ++calls < 3;
    });
    EXPECT_TRUE(check.stopped);
    EXPECT_EQ(calls, 3);
    // Site-wide kinds need every page: none is reported from a part of the site.
    for (const Problem& p : check.problems)
        EXPECT_TRUE(p.kind != Problem::OrphanPage && p.kind != Problem::UnusedImage) << p.page;
}

// Each case mismatch is rewritten in place: only the link's bytes change, in the page's own encoding,
// and the page keeps its date. tests/data/check/casefix holds the site before and its pages after.
TEST(Verifier, FixesCaseInPlace) {
    TempDir dir;
    copyDataTree("check/casefix/before", dir);
    const QStringList pages =
        QDir(QStringLiteral(QUILLSITE_SOURCE_DIR "/tests/data/check/casefix/after")).entryList(QDir::Files);
    ASSERT_EQ(pages.size(), 4);
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    for (const QString& page : pages)
        setModified(dir(page), old);
    const SiteCheck check = verifySite(dir.path());
    QStringList errors;
    const QList<CaseFix> fixes = fixCase(dir.path(), check.problems, &errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_EQ(fixes.size(), 5);
    for (const QString& page : pages) {
        const QByteArray after = dataFile("check/casefix/after/" + page);
        EXPECT_EQ(readFile(dir(page)), after) << page;
        if (after != dataFile("check/casefix/before/" + page)) {
            EXPECT_EQ(QFileInfo(dir(page)).lastModified(), old) << page;
        }
    }
    // What could not be rewritten safely (written with an entity) is still reported.
    QStringList left;
    for (const Problem& p : verifySite(dir.path()).problems)
        if (p.kind == Problem::CaseMismatch)
            left << p.link;
    EXPECT_EQ(left, QStringList{QStringLiteral("x&Y.htm")});

    // A page changed since the check is left alone and named.
    writeFile(dir("a.htm"), "<IMG SRC=\"IMAGES/LOGO.gif\">");
    const QList<Problem> stale = verifySite(dir.path()).problems;
    writeFile(dir("a.htm"), "<IMG  SRC=\"IMAGES/LOGO.gif\">");
    errors.clear();
    EXPECT_TRUE(fixCase(dir.path(), stale, &errors).isEmpty());
    EXPECT_EQ(errors,
              QStringList{QStringLiteral("Le fichier \"%1\" a changé depuis la vérification : il n'est "
                                         "pas corrigé.")
                              .arg(dir("a.htm"))});
}

// A link out of the site is looked for on the disk, unless its name cannot exist there.
TEST(Verifier, LinksOutOfTheSiteWithANulAreBrokenWithoutAWarning) {
    TempDir dir;
    writeFile(dir("site/a.htm"), QByteArray("<A HREF=\"../x\0y.htm\"><A HREF=\"../out.htm\">", 42));
    writeFile(dir("out.htm"), "");
    QList<Problem> problems;
    {
        const CapturedMessages qt;
        problems = verifySite(dir("site")).problems;
        EXPECT_TRUE(qt.messages().isEmpty()) << qt.messages().join(u'\n').toStdString();
    }
    QStringList broken;
    for (const Problem& p : problems)
        if (p.kind == Problem::BrokenLink)
            broken << p.link;
    EXPECT_EQ(broken, QStringList{QString::fromUtf8("../x\0y.htm", 10)});
}
