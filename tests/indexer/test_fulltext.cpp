#include "fulltextsite.h"
#include "indexer/fulltext.h"
#include "lib/helpers.h"
#include "tablefile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>

#include <sys/stat.h>

using namespace qs;
using namespace qs::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// The cases of tests/data/indexer/fulltext.txt: terms of a text, pages of the fixture site, markup.
TEST(FullTextTerms, Table) {
    const QString base = QStringLiteral(QUILLSITE_SOURCE_DIR "/tests/data/fulltext/site/");
    for (const DataRow& r : tableRows("indexer/fulltext.txt")) {
        SCOPED_TRACE(r.where);
        if (r.text(0) == u"terms") {
            EXPECT_EQ(searchTerms(r.text(1)).join(u' '), r.text(2));
        } else if (r.text(0) == u"page") {
            const PageText page = extractPageText(decodePage(readFile(base + r.text(1))));
            EXPECT_EQ(page.title, r.text(2));
            EXPECT_EQ(page.text, r.text(3));
        } else {
            EXPECT_EQ(extractPageText(decodePage(r.value(1))).text, r.text(2));
        }
    }
}

TEST(FullTextData, ShardsCoverEveryTermOnceAndStaySmall) {
    FullTextIndex index;
    // Enough different words for the terms beginning with "co" to need longer keys, and titles (too
    // long to be terms) too big for the result lines to be loaded with the index.
    for (int p = 0; p < 300; ++p) {
        QString text;
        for (int w = 0; w < 200; ++w)
            text += QStringLiteral(" co%1 co%1x mot%2").arg(p * 200 + w).arg(w % 7);
        index.addPage(u"D/C/%1.htm"_s.arg(p), u"D / C"_s, {u"T%1"_s.arg(p).leftJustified(15000, u'x'), text});
    }
    const QMap<QString, QByteArray> files = index.files();
    const QByteArray manifest = files.value(QStringLiteral("index.js"));
    ASSERT_TRUE(manifest.startsWith("QS_recherche.index({pages:300,bloc:64,categories:[\"D / C\"],"));
    const QRegularExpression keyList(QStringLiteral("cles:\\[([^\\]]*)\\]"));
    const QStringList keys =
        keyList.match(QString::fromLatin1(manifest)).captured(1).remove(u'"').split(u',');
    ASSERT_GT(keys.size(), 3);
    QSet<QString> seen;
    for (const QString& raw : keys) {
        const QString key = raw.trimmed();
        const QByteArray shard = files.value(QStringLiteral("t%1.js").arg(key));
        ASSERT_FALSE(shard.isEmpty()) << key;
        EXPECT_LT(shard.size(), 2 * kShardTarget) << key;
        // Every term of a shard begins with its key, and is in no other shard.
        const QRegularExpression term(QStringLiteral("\"([a-z0-9]+)\":\""));
        for (auto m = term.globalMatch(QString::fromLatin1(shard)); m.hasNext();) {
            const QString t = m.next().captured(1);
            EXPECT_TRUE(t.startsWith(key)) << t << " in " << key;
            EXPECT_FALSE(seen.contains(t)) << t;
            seen.insert(t);
        }
    }
    EXPECT_EQ(seen.size(), 300 * 200 * 2 + 7);
    // Page 0 holds "mot0" 29 times early: 20 at most for the count, 2 for being early; 300 pages in turn.
    EXPECT_TRUE(files.value(QStringLiteral("tm.js")).contains("\"mot0\":\"0.m,1.m,1.m"));
    // Result lines (folder, category, file name, title) in small files loaded on demand; excerpts apart.
    EXPECT_TRUE(QString::fromLatin1(manifest).contains(QRegularExpression(
        u"dossiers:\\[\"D/C/\"\\],\ntitres:\\[0,2,4,6,[0-9,]*,298\\],\nprecharger:false,"_s)));
    for (const auto& [file, start] : {std::pair{"n1.js", "QS_recherche.titres(1,[0,0,\"2.htm\",\"T2xx"},
                                      {"p0.js", "QS_recherche.extraits(0,[\n\" co0 co0x mot0"}})
        EXPECT_TRUE(files.value(QString::fromLatin1(file)).startsWith(start)) << file;
}

TEST(FullTextData, WrittenWithTheListsAndLeftAsTheyWereOtherwise) {
    TempDir site;
    copyFullTextSite(site);
    ScriptedDialogs dialogs;
    const IndexResult first = indexWithFullText(site, dialogs);
    ASSERT_EQ(first.outcome, IndexResult::Outcome::Written);
    EXPECT_EQ(first.fullText, 3); // not the copy, the index page nor the test folder
    EXPECT_EQ(dialogs.messages(), QStringList());
    EXPECT_EQ(readFile(site("Recherche.htm")).replace(ProgrammeID().toLatin1(), "(id)"),
              readFile(QStringLiteral(QUILLSITE_SOURCE_DIR "/tests/data/fulltext/Recherche.htm")));
    EXPECT_EQ(fileLines(site("Search.htm")).at(5),
              u"<CENTER><A HREF=\"Recherche.htm\">Rechercher dans le texte des pages</A></CENTER>"_s);
    EXPECT_EQ(fileLines(site("Recent.htm")).at(5),
              QStringLiteral("<FONT SIZE=\"1\">") + ProgrammeID() + "</FONT><BR>");
    EXPECT_EQ(QDir(site("recherche")).entryList(QDir::Files, QDir::Name),
              (QStringList{"index.js", "n0.js", "p0.js", "ta.js", "tc.js", "td.js", "te.js", "tf.js", "tg.js",
                           "tl.js", "tm.js", "tn.js", "to.js", "tp.js", "tr.js", "ts.js", "tv.js"}));
    EXPECT_TRUE(readFile(site("recherche/tm.js")).contains("\"modele\":\"0.17\",\n\"modeles\":\"2.3\""));
    // Nothing left aside in the root.
    EXPECT_EQ(
        QDir(site.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
        (QStringList{"Essais_test", "Logiciel", "Recent.htm", "Recherche.htm", "Search.htm", "recherche"}));

    // A stopped run and a run without the full text leave the previous files as they were.
    writeFile(site("Logiciel/Reglages/5.htm"), "<body>nouveau</body>");
    const QByteArray before = readFile(site("recherche/index.js"));
    struct Stop final : IndexProgress {
        void fullText(qsizetype, qsizetype) override { stop = true; }
        bool stopRequested() override { return stop; }
        bool stop = false;
    } stop;
    EXPECT_EQ(indexWithFullText(site, dialogs, &stop).outcome, IndexResult::Outcome::Cancelled);
    EXPECT_EQ(readFile(site("recherche/index.js")), before);
    EXPECT_EQ(indexWithFullText(site, dialogs, nullptr, false).outcome, IndexResult::Outcome::Written);
    EXPECT_EQ(readFile(site("recherche/index.js")), before);
    EXPECT_TRUE(fileLines(site("Search.htm")).at(5).contains(QStringLiteral("Recherche.htm")));

    // A root where nothing can be made aside: the run fails, says so, and changes nothing.
    if (::geteuid() != 0) {
        ::chmod(site.path().toLocal8Bit(), 0555);
        EXPECT_EQ(indexWithFullText(site, dialogs).outcome, IndexResult::Outcome::Failed);
        ::chmod(site.path().toLocal8Bit(), 0755);
        EXPECT_EQ(dialogs.messages().value(0),
                  QStringLiteral("Je ne peux pas créer de dossier dans \"%1/\" pour l'index de recherche.")
                      .arg(QDir::toNativeSeparators(site.path())));
        EXPECT_EQ(readFile(site("recherche/index.js")), before);
    }
    EXPECT_EQ(indexWithFullText(site, dialogs).fullText, 4);
}

} // namespace
