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

    web::allowRunningAsRoot();
    QWebEnginePage page;
    QUrl url = QUrl::fromLocalFile(site("Recherche.htm"));
    url.setFragment(QStringLiteral("q=MODELE"));
    ASSERT_TRUE(web::load(page, url));
    QStringList got = answer(page, 0);
    // The title holding the word comes first; "modèles" matches as a longer word.
    EXPECT_EQ(got, (QStringList{
                       "2 pages trouvées.",
                       "Modèle de configuration | Logiciel/Reglages/1.htm | Logiciel / Reglages | modèle",
                       "Notes sur la sécurité | Logiciel/Reglages/3.htm | Logiciel / Reglages | modèles"}));

    // Further queries typed into the address, then into the box.
    const struct {
        const char* query;
        QStringList expected;
    } rows[] = {
        {"oeuvre",
         {"1 page trouvée.", "L'œuvre complète | Logiciel/Reglages/2.htm | Logiciel / Reglages | Œuvre"}},
        {"config",
         {"2 pages trouvées.",
          "Modèle de configuration | Logiciel/Reglages/1.htm | Logiciel / Reglages | configuration",
          "L'œuvre complète | Logiciel/Reglages/2.htm | Logiciel / Reglages | configurer"}},
        {"Config  ŒUVRE",
         {"1 page trouvée.",
          "L'œuvre complète | Logiciel/Reglages/2.htm | Logiciel / Reglages | configurer Œuvre"}},
        {"securite",
         {"1 page trouvée.",
          "Notes sur la sécurité | Logiciel/Reglages/3.htm | Logiciel / Reglages | sécurité"}},
        {"hors marqueurs", {"Aucune page ne contient tous ces mots."}},
        {"copie", {"Aucune page ne contient tous ces mots."}},
        {"e", {"Tapez au moins deux lettres d'un mot."}},
    };
    for (const auto& r : rows) {
        const int turn = web::searchTurn(page);
        web::askInAddress(page, QString::fromUtf8(r.query));
        EXPECT_EQ(answer(page, turn), r.expected) << r.query;
    }
    const int turn = web::searchTurn(page);
    evaluate(page, QStringLiteral("var q = document.getElementById('q'); q.value = 'fables'; "
                                  "q.dispatchEvent(new Event('input'));"));
    EXPECT_EQ(answer(page, turn),
              (QStringList{"1 page trouvée.",
                           "L'œuvre complète | Logiciel/Reglages/2.htm | Logiciel / Reglages | fables"}));
    EXPECT_EQ(evaluate(page, QStringLiteral("location.hash")).toString(), QStringLiteral("#q=fables"));
}

} // namespace
