// The synthetic-site maker that the benchmarks rely on: the same site for the same seed, pages the
// program reads, links of every kind, a few of them broken.
#include "sitemaker.h"

#include "site/listing.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

using namespace qs;
using namespace qs::test;

namespace {

QMap<QString, QByteArray> tree(const QString& root) {
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out.insert(path.mid(root.size()), readFile(path));
    }
    return out;
}

} // namespace

TEST(SiteMaker, TheSameSeedMakesTheSameSite) {
    TempDir dir;
    bench::SiteShape shape;
    shape.domains = 2;
    shape.categories = 3;
    shape.pages = 4;
    const auto a = bench::makeSite(dir("a"), shape);
    ASSERT_TRUE(a && bench::makeSite(dir("b"), shape));
    EXPECT_EQ(a->pages, 24);
    EXPECT_EQ(tree(dir("a/")), tree(dir("b/")));
    shape.seed = 2;
    ASSERT_TRUE(bench::makeSite(dir("c"), shape));
    EXPECT_NE(tree(dir("a/")), tree(dir("c/")));
    EXPECT_FALSE(bench::makeSite(dir("a"), shape)); // never into a folder that holds something
}

TEST(SiteMaker, PagesHaveTitlesLinksAndSomeMissingTargets) {
    TempDir dir;
    bench::SiteShape shape;
    shape.domains = 3;
    shape.categories = 3;
    shape.pages = 10;
    shape.links = 20;
    shape.missingPerMille = 50;
    const auto stats = bench::makeSite(dir("s"), shape);
    ASSERT_TRUE(stats);
    EXPECT_GT(stats->missingLinks, 0);
    EXPECT_LT(stats->missingLinks, stats->links / 5);
    EXPECT_EQ(categoryPages(dir("s/Domaine001/Categorie01/")).size(), 10);

    // Every relative target resolves, but for the named missing ones and the category index (written by
    // the generator).
    const QRegularExpression ref(QStringLiteral("(?:HREF|SRC)=\"([^\"]+)\""));
    qint64 found = 0;
    qint64 missing = 0;
    QDirIterator it(dir("s"), {"*.htm"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QStringList lines = fileLines(path);
        const qsizetype begin = lines.indexOf(QStringLiteral("<!-- BEGIN -->"));
        const qsizetype end = lines.indexOf(QStringLiteral("<!-- END -->"));
        ASSERT_TRUE(begin > 0 && end > begin) << path;
        EXPECT_FALSE(pageTitle(path).isEmpty()) << path;
        for (qsizetype i = begin + 1; i < end; ++i) {
            auto m = ref.globalMatch(lines[i]);
            while (m.hasNext()) {
                const QString target = m.next().captured(1);
                if (target.startsWith(QStringLiteral("https:")) || target == u"Index.htm")
                    continue;
                const bool exists = QFileInfo::exists(QFileInfo(path).absolutePath() + u'/' + target);
                (exists ? found : missing)++;
                EXPECT_EQ(!exists, target.contains(QStringLiteral("absent"))) << target;
            }
        }
    }
    EXPECT_EQ(missing, stats->missingLinks);
    EXPECT_GT(found, 0);
}
