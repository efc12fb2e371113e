// quillsite-cli indexer SITE: the indexing run of the window's Tools menu, without a window.
#include "indexer/indexer.h"
#include "cli/clockoption.h"
#include "cli/command.h"
#include "cli/consolesite.h"
#include "cli/siteargument.h"
#include "cli/siteindexflag.h"
#include "commands/mainstate.h"
#include "commands/selection.h"
#include "lib/files.h"
#include "lib/settings.h"
#include "site/listing.h"

#include <QCommandLineParser>

namespace qs::cli {
namespace {

const QString kHelp = QStringLiteral(
    "Usage : quillsite-cli indexer [--maintenant \"AAAA-MM-JJ HH:MM\"] [--sans-texte] [--aide] SITE\n\n"
    "Parcourt tout le site et écrit dans son dossier les deux listes de l'outil « Générer un fichier\n"
    "d'index » : « Recent.htm », les pages modifiées dans les quatre jours qui précèdent le jour de\n"
    "référence (aujourd'hui, ou le samedi précédent un dimanche ou un lundi), et « Search.htm », celles\n"
    "des 300 derniers jours. Les listes qu'elles remplacent vont à la corbeille. Les pages d'index sont\n"
    "ensuite régénérées, et la page d'accueil mène à « Rechercher » et « Nouveautés ».\n"
    "La recherche dans le texte des pages, « Recherche.htm » et son index dans le dossier « recherche »,\n"
    "est écrite avec les listes.\n\n"
    "Arguments :\n"
    "  SITE                       le dossier du site, ou sa page d'accueil\n\n"
    "Options :\n"
    "  --maintenant \"AAAA-MM-JJ HH:MM\"\n"
    "                             la date et l'heure à prendre pour maintenant\n"
    "  --sans-texte               n'écrit pas la recherche dans le texte des pages (la précédente reste)\n"
    "  -h, --aide                 affiche cette aide\n\n"
    "Code de sortie : 0 si les deux listes sont écrites, 1 sinon (le message dit pourquoi), 2 si la\n"
    "commande est mal formée.");

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption now = nowOption();
    parser.addOption(now);
    const QCommandLineOption noText(QStringLiteral("sans-texte"));
    parser.addOption(noText);
    if (const auto stop =
            parseCommandLine(parser, arguments, kHelp, 1, QStringLiteral("Donnez un site, et un seul.")))
        return *stop;
    const std::unique_ptr<Clock> clock = clockFromOption(parser, now);
    if (!clock)
        return kUsage;
    const QString root = siteFolderArgument(parser.positionalArguments().first());
    if (root.isEmpty())
        return kFailure;

    ConsoleSite site(*clock, root);
    if (!site.locked())
        return kFailure;
    domainesInit(site.state);

    IndexProgress quiet;
    IndexResult result;
    {
        const SiteIndexFlag flag(root);
        result = runIndexing(site.state, quiet, !parser.isSet(noText));
    }

    if (result.outcome != IndexResult::Outcome::Written)
        return kFailure;
    out(QStringLiteral("« Recent.htm » : %1 page(s)").arg(result.recent));
    out(QStringLiteral("« Search.htm » : %1 page(s)").arg(result.search));
    if (!parser.isSet(noText))
        out(QStringLiteral("« Recherche.htm » : %1 page(s)").arg(result.fullText));
    for (const QString& path : result.unreadable)
        err(QStringLiteral("Illisible (titre vide ou dossier omis) : %1").arg(path));
    return site.dialogs.failures() > 0 ? kFailure : kOk;
}

const Registration registration{
    {QStringLiteral("indexer"), QStringLiteral("écrit les listes « Recent.htm » et « Search.htm » d'un site"),
     run}};

} // namespace
} // namespace qs::cli
