// Times the page commands on two categories of 5,000 pages each and on one page of about 4 MB.
#include "commands/mainstate.h"
#include "commands/pageeditor.h"
#include "commands/pagemove.h"
#include "commands/regenerate.h"
#include "commands/selection.h"
#include "lib/clock.h"
#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/text1252.h"
#include "site/listing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

void time(const char* what, const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    std::printf("%-58s %8.1f ms\n", what, double(t.nsecsElapsed()) / 1e6);
}

bool writePage(const QString& path, const QString& title, const QString& body) {
    return qs::writeLines(path, {"<HTML>", "<HEAD>", "<TITLE>" + title + "</TITLE>", "</HEAD>",
                                 "<!-- BEGIN -->", body, "<!-- END -->", "</HTML>"});
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    // The deleted pages go to a trash of the benchmark's own.
    qputenv("XDG_DATA_HOME", (dir.path() + "/data").toLocal8Bit());
    const QString root = dir.path() + "/site/";
    const int count = 5000;
    for (const char* category : {"D/Source/", "D/Cible/"}) {
        qs::DossierCréer(root + category);
        for (int i = 1; i <= count; ++i)
            writePage(root + category + QString::number(i) + ".htm",
                      QStringLiteral("Page %1 de la catégorie").arg(count + 1 - i), "<P>texte</P>");
    }
    QString big;
    for (int i = 0; i < 60000; ++i)
        big += QStringLiteral("<P>Ligne %1 : du texte &lt;balisé&gt; assez long pour peser.</P>\r\n").arg(i);
    writePage(root + "D/Source/grand.htm", "AAA grande page", big);

    // A message other than information means the benchmark failed: it is shown on standard error.
    qs::NoDialogs dialogs([](const char* kind, const QString& text, qs::Icon icon) {
        if (qstrcmp(kind, "message") == 0 && icon != qs::Icon::Information)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    qs::FixedClock clock(QDateTime(QDate(2026, 12, 5), QTime(9, 7)), "bench");
    qs::MainState state(dialogs, clock, dir.path() + "/");
    state.values.Répertoire = root;
    qs::domainesInit(state);
    state.dListe.select(0);
    qs::dListe_Click(state);
    std::printf("%d pages in each of two categories, one page of %lld bytes\n", count,
                qlonglong(qs::toWindows1252(big).size()));

    time("select the category (titles of every page)", [&] {
        state.cListe.select(state.cListe.find("Source"));
        qs::cListe_Click(state);
    });
    time("show the large page", [&] {
        state.tListe.select(state.tListe.find("AAA grande page"));
        qs::tListe_Click(state);
    });
    time("save the large page unchanged (and regenerate)", [&] {
        qs::tModifier_Click(state);
        qs::tTexte_Change(state);
        qs::tOk_Click(state);
    });
    time("add a page (and regenerate)", [&] {
        qs::tAjouter_Click(state);
        state.controls.tTitre = "Nouvelle";
        state.controls.tTexte = "<P>nouvelle</P>";
        qs::tTexte_Change(state);
        qs::tOk_Click(state);
    });
    time("delete a page in the middle (and regenerate)", [&] {
        state.tListe.select(count / 2);
        qs::tSupprimer_Click(state);
    });
    time("move a page to the other category (both regenerated)", [&] {
        state.tListe.select(10);
        qs::tListe_Click(state);
        const auto page = qs::tListe_MouseDown(state, 10);
        qs::cListe_DragDrop(state, *page, state.cListe.find("Cible"));
    });
    return 0;
}
