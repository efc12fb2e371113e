#include "fulltextsite.h"
#include "indexer/fulltext.h"
#include "indexer/indexer.h"
#include "lib/clock.h"
#include "lib/fileio.h"
#include "lib/helpers.h"
#include "lib/text1252.h"
#include "scenario.h"
#include "scripteddialogs.h"
#include "tablefile.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>

using namespace qs;
using namespace qs::test;
using namespace Qt::Literals::StringLiterals;

namespace {

QDateTime at(int y, int m, int d, int h = 0, int min = 0, int s = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min, s));
}

// 1 March 2026 is a Sunday.
const QDateTime kMonday = at(2026, 3, 9, 10, 0);

void page(const TempDir& dir, const QString& relative, const QByteArray& bytes, const QDateTime& modified) {
    writeFile(dir(relative), bytes);
    setModified(dir(relative), modified);
}

QByteArray titled(const QByteArray& title) {
    return "<HTML>\r\n<HEAD>\r\n<TITLE>" + title + "</TITLE>\r\n</HEAD>\r\n<BODY>\r\n</BODY>\r\n</HTML>\r\n";
}

// Writes the pages of a table of tests/data/indexer: path | modified | title, or bytes starting with "<".
void pages(const TempDir& dir, const QString& table) {
    for (const auto& r : tableRows(table)) {
        const QByteArray text = toWindows1252(str(r[2]));
        page(dir, str(r[0]), r[2].startsWith('<') ? text : titled(text),
             QDateTime::fromString(str(r[1]), Qt::ISODate));
    }
}

QStringList row(const QString& link, const QString& name, const QString& title, const QString& date) {
    return {"<TR>", "<TD><A HREF=\"" + link + "\">" + name + "</A></TD>", "<TD>" + title + "</TD>",
            "<TD>" + date + "</TD>", "</TR>"};
}

// Stops the run once more than `afterFolders` folders have been announced or `afterPages` pages found
// (-1: never).
struct StoppingProgress : IndexProgress {
    StoppingProgress(int f, int p) : afterFolders(f), afterPages(p) {}
    void folder(const QString& path) override { folders.append(path); }
    void found(qsizetype, qsizetype count) override { pages = count; }
    bool stopRequested() override {
        return (afterFolders >= 0 && folders.size() > afterFolders) ||
               (afterPages >= 0 && pages >= afterPages);
    }
    int afterFolders, afterPages;
    QStringList folders;
    qsizetype pages = 0;
};

class ScriptedProgress : public IndexProgress {
public:
    explicit ScriptedProgress(bool stop) : stop_(stop) {}
    bool stopRequested() override { return stop_; }
    void written() override { ++writtenCalls; }
    int writtenCalls = 0;

private:
    bool stop_;
};

void skip() {
    GTEST_SKIP() << "no read-only folder here";
}

} // namespace

TEST(IndexDays, ReferenceDayFallsBackToSaturdayOnSundayAndMonday) {
    for (const DataRow& r : tableRows("indexer/days.txt")) {
        const IndexDays days = indexDays(QDateTime::fromString(r.text(0), Qt::ISODate));
        EXPECT_EQ(days.reference, QDate::fromString(r.text(1), Qt::ISODate)) << r.where;
        EXPECT_EQ(days.recentLimit, QDate::fromString(r.text(2), Qt::ISODate).startOfDay()) << r.where;
    }
    EXPECT_EQ(indexDays(kMonday).indexLimit, at(2025, 5, 11));
}

TEST(IndexNames, SkipRulesOfTheWalk) {
    for (const auto& r : tableRows("indexer/names.txt")) {
        const bool passes = r[0] == "indexed"  ? isIndexedFile(str(r[1]))
                            : r[0] == "walked" ? isWalkedFolder(str(r[1]))
                                               : isListedPage(str(r[1]));
        EXPECT_EQ(passes, r[2] == "yes") << str(r[1]);
    }
}

TEST(IndexTitle, ReadsOverLinesInAnyCaseAndAcrossReadBlocks) {
    TempDir dir;
    int i = 0;
    for (const auto& r : tableRows("indexer/titles.txt")) {
        const QString path = dir(QString("p%1.htm").arg(i++));
        writeFile(path, toWindows1252(str(r[0])));
        bool readable = false;
        EXPECT_EQ(indexTitle(path, &readable), str(r[1])) << r.where;
        EXPECT_TRUE(readable) << r.where;
    }
    makeDir(dir("dossier.htm"));
    for (const char* name : {"absent.htm", "dossier.htm"}) {
        bool readable = true;
        EXPECT_EQ(indexTitle(dir(name), &readable), QString());
        EXPECT_FALSE(readable) << name;
    }
}

TEST(IndexList, GeneratorKeepsTitlesAsTheyAre) {
    IndexListInput in{"Quillsite - Index", "(id)", at(2026, 12, 5, 9, 7), QDate(2026, 12, 5), {}};
    in.rows.append({"D/C/1.htm", "1", "50 % <b>&amp; %1</b>", QDate(2026, 1, 2)});
    // A file name the code page cannot hold reaches the page as numeric references.
    in.rows.append({"D/Été/Flèche→.htm", "Flèche→", "Œuvre “citée”", QDate(1999, 10, 31)});
    // Expected pages: tests/data/indexer/list.htm, and row.htm for a row written on its own.
    EXPECT_EQ(crlf(indexListLines(in)), dataFile("indexer/list.htm"));
    QByteArray bytes;
    appendIndexRow(bytes, u"D/Été/→.htm", u"→", u"Œuvre “citée”", QDate(2026, 3, 7));
    EXPECT_EQ(bytes, dataFile("indexer/row.htm"));
}

class IndexRun : public ::testing::Test {
protected:
    void SetUp() override { QDir(QFileInfo(trashFolder()).path()).removeRecursively(); }

    IndexResult run(const QDateTime& now, IndexProgress* progress = nullptr, bool toTrash = false) {
        FixedClock clock(now, "marie");
        IndexProgress none;
        return IndexerSite(site.path(), clock, dialogs, progress ? *progress : none, toTrash);
    }
    void expectLists(const char* name) {
        EXPECT_EQ(readFile(site("Recent.htm")),
                  dataFile(QString("indexer/%1-recent.htm").arg(name), {{"ID", ProgrammeID()}}));
        EXPECT_EQ(readFile(site("Search.htm")),
                  dataFile(QString("indexer/%1-search.htm").arg(name), {{"ID", ProgrammeID()}}));
    }

    TempDir site;
    ScriptedDialogs dialogs;
};

// A site with every kind of entry that the walk meets, on a Monday.
TEST_F(IndexRun, MondayListsAndSkipRules) {
    pages(site, "indexer/monday-site.txt");
    makeDir(site("images"));
    ASSERT_TRUE(QFile::link(site("Dom"), site("Dom/Cat/boucle")));         // a folder link back up the tree
    ASSERT_TRUE(QFile::link(site("Dom/Cat/1.htm"), site("Dom/Lien.htm"))); // a file link is a page

    const IndexResult result = run(kMonday);
    EXPECT_EQ(result.outcome, IndexResult::Outcome::Written);
    EXPECT_TRUE(dialogs.calls().isEmpty()) << dialogs.messages().join('\n');
    expectLists("monday");
    EXPECT_EQ(result.recent, 7);
    EXPECT_EQ(result.search, 9);
    // The walk found the copy and the two pages too old, not the skipped names.
    EXPECT_EQ(result.pages, 12);
    EXPECT_TRUE(result.unreadable.isEmpty());
}

TEST_F(IndexRun, WednesdayRecentMeansSinceSaturdayAndAnEmptySiteHasHeaderAndFooterOnly) {
    pages(site, "indexer/wednesday-site.txt");
    ASSERT_EQ(run(at(2026, 3, 11, 14, 5)).outcome, IndexResult::Outcome::Written);
    expectLists("wednesday");

    QDir(site("D")).removeRecursively();
    page(site, "Dom/Cat/Index.htm", titled("Cadre"), kMonday);
    const IndexResult result = run(at(2026, 3, 8, 9, 7));
    ASSERT_EQ(result.outcome, IndexResult::Outcome::Written);
    EXPECT_EQ(result.folders, 3);
    EXPECT_GE(dialogs.eventRuns(), 3); // once a folder at least: the window repaints
    expectLists("empty");
}

TEST_F(IndexRun, WalkGivesThePathsInOrdinalOrder) {
    // '-' < '.' < '/' < '0' < 'A' < 'a': a folder's pages and sub-folders interleave by their names.
    const QStringList relative{"A/1.htm", "a-b/1.htm", "a.htm",   "a/1.htm", "a/Z.htm",
                               "a/b.htm", "a/b/1.htm", "a/é.htm", "a0.htm",  "b.htm"};
    for (const QString& r : relative)
        page(site, r, titled("x"), kMonday);
    IndexProgress none;
    QStringList walked;
    for (const IndexedPage& p : Explore(site.path(), QDateTime(), dialogs, none))
        walked.append(p.path.mid(site.path().size()));
    EXPECT_EQ(walked, relative);
}

TEST_F(IndexRun, UnreadableAndSpecialFilesGetAnEmptyTitleOrAreNotOpened) {
    const QDateTime sunday = kMonday.addDays(-1);
    page(site, "D/C/1.htm", titled("Lisible"), sunday);
    page(site, "D/C/2.htm", titled("Illisible"), sunday);
    page(site, "D/Fermé/1.htm", titled("Dans un dossier fermé"), sunday);
    // Opening a FIFO for reading would wait for a writer forever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(site("D/C/5.htm")).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(site("D/C/5.htm"), site("D/C/6.htm")));
    ASSERT_TRUE(QFile::link(site("D/C/absent.htm"), site("D/C/7.htm"))); // a broken link
    QFile::setPermissions(site("D/C/2.htm"), QFileDevice::Permissions());
    QFile::setPermissions(site("D/Fermé"), QFileDevice::Permissions());
    const bool canRead = QFile(site("D/C/2.htm")).open(QIODevice::ReadOnly);
    const IndexResult result = run(kMonday);
    QFile::setPermissions(site("D/Fermé"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(result.outcome, IndexResult::Outcome::Written);
    EXPECT_TRUE(dialogs.calls().isEmpty());
    // Neither the FIFO nor the links to it or to nowhere are pages.
    EXPECT_EQ(result.pages, canRead ? 3 : 2);
    EXPECT_EQ(fileLines(site("Search.htm")).mid(13, 10),
              row("D/C/1.htm", "1", "Lisible", "08.03.26") +
                  row("D/C/2.htm", "2", canRead ? "Illisible" : "", "08.03.26"));
    EXPECT_EQ(result.unreadable,
              canRead ? QStringList() : (QStringList{site("D/C/2.htm"), site("D/Fermé/")}));
}

TEST_F(IndexRun, ACancelledOrFailedRunLeavesThePreviousListsByteIdentical) {
    for (int i = 0; i < 30; ++i)
        page(site, QString("D%1/C/%1.htm").arg(i), titled("Page"), kMonday.addDays(-1));
    writeFile(site("Recent.htm"), "récentes\r\n");
    writeFile(site("Search.htm"), "index\r\n");

    StoppingProgress duringWalk(5, -1);
    EXPECT_EQ(run(kMonday, &duringWalk, true).outcome, IndexResult::Outcome::Cancelled);
    EXPECT_EQ(duringWalk.folders.size(), 6);
    // A stop is heard inside a folder of many pages too.
    for (int i = 0; i < 200; ++i)
        page(site, QString("Grand/C/%1.htm").arg(i), titled("Page"), kMonday.addDays(-1));
    StoppingProgress insideAFolder(-1, 64);
    EXPECT_EQ(run(kMonday, &insideAFolder, true).outcome, IndexResult::Outcome::Cancelled);
    EXPECT_EQ(insideAFolder.pages, 64);
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_EQ(QDir(site.path()).entryList(QDir::Files), (QStringList{"Recent.htm", "Search.htm"}));
}

TEST_F(IndexRun, AFailureAtAnyStepLeavesBothPreviousLists) {
    page(site, "D/C/1.htm", titled("Un"), kMonday.addDays(-1));
    using S = WriteFault::Step;
    const WriteFault faults[] = {{1, S::Create, 0, ENOSPC},
                                 {1, S::Write, 100, ENOSPC},
                                 {2, S::Write, 3, ENOSPC},
                                 {2, S::Finish, 0, ENOSPC},
                                 {2, S::Commit, 0, ENOSPC}};
    for (const WriteFault& fault : faults) {
        writeFile(site("Recent.htm"), "ancienne");
        writeFile(site("Search.htm"), "ancien");
        dialogs.clear();
        setWriteFault(fault);
        const IndexResult result = run(kMonday, nullptr, false);
        setWriteFault(std::nullopt);
        EXPECT_EQ(result.outcome, IndexResult::Outcome::Failed);
        const QString failed = site(fault.file == 1 ? "Recent.htm" : "Search.htm");
        EXPECT_EQ(dialogs.messages(),
                  QStringList{"Je ne peux pas écrire le fichier \"" + failed + "\" : disque plein."});
        EXPECT_EQ(readFile(site("Recent.htm")), QByteArray("ancienne")) << int(fault.step);
        EXPECT_EQ(readFile(site("Search.htm")), QByteArray("ancien")) << int(fault.step);
        EXPECT_EQ(QDir(site.path()).entryList(QDir::Files | QDir::Hidden),
                  (QStringList{"Recent.htm", "Search.htm"}));
    }
}

// "Générer un fichier d'index" from the window, as scenarios (tests/data/indexer/command.txt).
TEST_P(Scenario, Runs) {
    PageSite s;
    ScenarioRunner runner(s);
    std::unique_ptr<ReadOnlyFolder> lockedTrash;
    runner.more = [&](const QString& verb, const QStringList& a) {
        if (verb == u"index") {
            ScriptedProgress progress(a.value(1) == u"stop");
            const auto outcome = runIndexing(s.state, progress).outcome;
            const QStringList names{"written", "cancelled", "failed"};
            EXPECT_EQ(names.value(int(outcome)), a.value(0)) << runner.where;
            // Each run that writes the lists says so once.
            EXPECT_EQ(progress.writtenCalls, outcome == IndexResult::Outcome::Written ? 1 : 0)
                << runner.where;
        } else if (verb == u"lock-trash") {
            const QString trash = QFileInfo(trashFolder()).path();
            makeDir(trashFolder());
            makeDir(trash + "/info");
            lockedTrash = std::make_unique<ReadOnlyFolder>(trash + "/info");
            if (!lockedTrash->active()) {
                runner.skipped = true;
                skip();
            }
        } else
            return false;
        return true;
    };
    runner.run(GetParam());
}

INSTANTIATE_TEST_SUITE_P(IndexCommand, Scenario, scenarioCases("indexer/command.txt"), scenarioName);

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
