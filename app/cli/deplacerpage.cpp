// quillsite-cli deplacer-page SITE DOMAINE CATEGORIE FICHIER --vers DOMAINE[/CATEGORIE]: a page moved as
// a drop on a category or on a domain of the window moves it.
#include "cli/command.h"
#include "cli/linksoption.h"
#include "cli/pagecommon.h"
#include "commands/pageeditor.h"
#include "commands/pagemove.h"

#include <QCommandLineParser>

namespace qs::cli {
namespace {

const QString kHelp =
    QStringLiteral(
        "Usage : quillsite-cli deplacer-page [--aide] SITE DOMAINE CATEGORIE FICHIER --vers "
        "DOMAINE[/CATEGORIE] [--liens]\n\n"
        "Déplace une page comme un glisser-déposer de la fenêtre : elle est copiée dans la catégorie de\n"
        "destination sous le plus petit numéro libre, envoyée à la corbeille dans sa catégorie, et les "
        "pages\n"
        "d'index des deux catégories sont réécrites. Sans catégorie de destination, la page va dans la\n"
        "catégorie du domaine dont le nom vient en premier, comme quand on la dépose sur un domaine. Le nom\n"
        "du fichier dans la catégorie de destination est affiché.\n\n"
        "Arguments :\n"
        "  SITE        le dossier du site, ou sa page d'accueil\n"
        "  DOMAINE     le domaine de la page\n"
        "  CATEGORIE   la catégorie de la page\n"
        "  FICHIER     le nom du fichier de la page dans sa catégorie (par exemple 3.htm)\n\n"
        "Options :\n"
        "  --vers DOMAINE[/CATEGORIE]  la destination\n") +
    QString::fromUtf16(kLinksHelp) +
    QStringLiteral(
        "  -h, --aide                  affiche cette aide\n\n"
        "Code de sortie : 0 si la page est déplacée, 1 en cas d'échec (le message dit pourquoi), 2 si la\n"
        "commande est mal formée.");

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption to(QStringLiteral("vers"), QStringLiteral("Destination."),
                                QStringLiteral("DOMAINE[/CATEGORIE]"));
    const QCommandLineOption links = linksOption();
    parser.addOptions({to, links});
    if (const auto stop = parseCommandLine(parser, arguments, kHelp))
        return *stop;
    const QStringList args = parser.positionalArguments();
    const QString target = parser.value(to).trimmed();
    if (args.size() != 4 || target.isEmpty())
        return usageError(
            QStringLiteral("Donnez le site, le domaine, la catégorie, le fichier et la destination."), kHelp);
    const qsizetype slash = target.indexOf(u'/');
    const QString targetDomain = slash < 0 ? target : target.left(slash);
    const QString targetCategory = slash < 0 ? QString() : target.mid(slash + 1);

    PageSession session;
    if (!session.open(args[0]) || !session.select(args[1], args[2]))
        return kFailure;
    MainState& state = session.state;
    LinkFollower follower(state);

    // The press on the page's row: it is selected and shown, and the drag takes it.
    const int row = session.pageRow(args[3]);
    if (row < 0)
        return kFailure;
    state.tListe.select(row);
    tListe_Click(state);
    const auto page = tListe_MouseDown(state, row);
    if (!page)
        return kFailure;

    const int domainRow = state.dListe.find(targetDomain);
    if (domainRow < 0) {
        err(QStringLiteral("Le site n'a pas de domaine « %1 ».").arg(targetDomain));
        return kFailure;
    }
    const bool sameDomain = domainRow == state.dListe.selectedRow();
    QString moved;
    if (targetCategory.isEmpty()) {
        if (sameDomain) {
            err(QStringLiteral(
                    "La page est déjà dans le domaine « %1 » : donnez aussi la catégorie de destination.")
                    .arg(page->domain));
            return kUsage;
        }
        moved = dListe_DragDrop(state, *page, domainRow);
    } else if (sameDomain) {
        const int categoryRow = state.cListe.find(targetCategory);
        if (categoryRow < 0) {
            err(QStringLiteral("Le domaine « %1 » n'a pas de catégorie « %2 ».")
                    .arg(page->domain, targetCategory));
            return kFailure;
        }
        if (categoryRow == state.cListe.selectedRow()) {
            err(QStringLiteral("La page est déjà dans la catégorie « %1 ».").arg(page->category));
            return kFailure;
        }
        moved = cListe_DragDrop(state, *page, categoryRow);
    } else {
        const QString domain = state.dListe.text(domainRow);
        const QString category = exactOrCaseless(
            domainCategories(withSeparator(state.values.Répertoire + domain)), targetCategory);
        if (category.isEmpty()) {
            err(QStringLiteral("Le domaine « %1 » n'a pas de catégorie « %2 ».").arg(domain, targetCategory));
            return kFailure;
        }
        moved = movePage(state, *page, domain, category);
    }
    if (moved.isEmpty())
        return kFailure;
    out(FichierNom(moved));
    if (parser.isSet(links) && !follower.follow())
        return kFailure;
    return session.dialogs.failures() > 0 ? kFailure : kOk;
}

const Registration registration{
    {QStringLiteral("deplacer-page"), QStringLiteral("déplace une page vers une autre catégorie"), run}};

} // namespace
} // namespace qs::cli
