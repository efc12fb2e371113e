// Recherche.htm as a reader opens it: from the disk (file://), in Qt WebEngine, the query in the address.
#include "fulltextsite.h"

#include "webpage.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

using namespace qs;
using namespace qs::test;
using web::evaluate;

namespace {

// Waits until the page has answered a query after `previous` answers, and returns its answer: the
// state line, then one "title | category | highlighted words" per result.
QStringList answer(QWebEnginePage& page, int previous) {
    web::waitUntil([&] { return web::searchTurn(page) > previous; });
    const QString json =
        evaluate(page, QStringLiteral(R"(JSON.stringify([document.getElementById('etat').textContent]
        .concat([...document.querySelectorAll('#resultats li')].map(li =>
            li.querySelector('a').textContent + ' | ' + li.querySelector('a').getAttribute('href') + ' | ' +
            (li.querySelector('.categorie') || {}).textContent + ' | ' +
            [...li.querySelectorAll('mark')].map(m => m.textContent).join(' ')))))"))
            .toString();
    QStringList lines;
    for (const QJsonValue v : QJsonDocument::fromJson(json.toUtf8()).array())
        lines.append(v.toString());
    return lines;
}

TEST(SearchPage, AnswersQueriesFromTheAddressAndTheBox) {
    TempDir site;
    copyFullTextSite(site);
    ScriptedDialogs dialogs;
    ASSERT_EQ(indexWithFullText(site, dialogs).outcome, IndexResult::Outcome::Written);

    // The queries of tests/data/indexer/queries.txt and their answers.
    QList<std::pair<QString, QStringList>> queries;
    for (const QString& line : QString::fromUtf8(dataFile("indexer/queries.txt")).split(u'\n'))
        if (line.startsWith(u"? "))
            queries.append({line.mid(2), {}});
        else if (!line.isEmpty() && !line.startsWith(u'#'))
            queries.back().second.append(line);
    ASSERT_EQ(queries.size(), 8);

    web::allowRunningAsRoot();
    QWebEnginePage page;
    QUrl url = QUrl::fromLocalFile(site("Recherche.htm"));
    url.setFragment("q=" + queries[0].first);
    ASSERT_TRUE(web::load(page, url));
    EXPECT_EQ(answer(page, 0), queries[0].second);
    for (const auto& [query, expected] : queries.mid(1)) {
        const int turn = web::searchTurn(page);
        web::askInAddress(page, query);
        EXPECT_EQ(answer(page, turn), expected) << query;
    }
    // Typed into the box, the query goes to the address.
    const int turn = web::searchTurn(page);
    evaluate(page, QStringLiteral("var q = document.getElementById('q'); q.value = 'fables'; "
                                  "q.dispatchEvent(new Event('input'));"));
    EXPECT_EQ(answer(page, turn),
              (QStringList{"1 page trouvée.",
                           "L'œuvre complète | Logiciel/Reglages/2.htm | Logiciel / Reglages | fables"}));
    EXPECT_EQ(evaluate(page, QStringLiteral("location.hash")).toString(), QStringLiteral("#q=fables"));
}

} // namespace
