// quillsite-cli generer SITE: every generated index page of a site, as the window writes them.
#include "cli/command.h"
#include "cli/consolesite.h"
#include "cli/siteargument.h"
#include "commands/mainstate.h"
#include "generate/wholesite.h"
#include "lib/clock.h"
#include "lib/settings.h"
#include "site/listing.h"

#include <QCommandLineParser>

namespace qs::cli {
namespace {

const QString kHelp = QStringLiteral(
    "Usage : quillsite-cli generer [--aide] SITE\n\n"
    "Écrit les pages d'index du site comme la fenêtre les écrit quand on choisit tour à tour chaque\n"
    "catégorie de chaque domaine puis qu'on enregistre : « Index.htm » et « IndexG.htm » de chaque\n"
    "catégorie, « Index.htm » de chaque domaine, et les pages d'accueil « Index.html » et « Index.htm ».\n"
    "Les couleurs et l'indicateur d'indexation sont ceux des réglages du programme. Un domaine sans\n"
    "catégorie est passé : aucune catégorie n'est créée, et son index n'est pas écrit.\n\n"
    "Arguments :\n"
    "  SITE        le dossier du site, ou sa page d'accueil\n\n"
    "Options :\n"
    "  -h, --aide  affiche cette aide\n\n"
    "Code de sortie : 0 si tout est écrit, 1 si un fichier n'a pas pu l'être (le message le nomme),\n"
    "2 si la commande est mal formée.");

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    if (const auto stop =
            parseCommandLine(parser, arguments, kHelp, 1, QStringLiteral("Donnez un site, et un seul.")))
        return *stop;
    const QString root = siteFolderArgument(parser.positionalArguments().first());
    if (root.isEmpty())
        return kFailure;

    SystemClock clock;
    ConsoleSite site(clock, root);
    if (!site.locked())
        return kFailure;
    {
        // A warning: the pages of the other folders are still written.
        ConsoleDialogs warnings;
        reportUndecodableFolders(root, warnings);
    }
    const WholeSiteReport report = regenerateWholeSite(site.state.values, clock, site.dialogs);
    for (const QString& s : report.passedOver)
        out(QStringLiteral("Domaine sans catégorie, passé : %1").arg(s));
    // Every page that could be written was; success is claimed only when that was all of them.
    if (site.dialogs.failures() > 0) {
        err(QStringLiteral("Des pages d'index n'ont pas pu être écrites : voir les messages ci-dessus."));
        return kFailure;
    }
    out(QStringLiteral("%1 domaine(s), %2 catégorie(s) : pages d'index écrites dans %3")
            .arg(report.domains)
            .arg(report.categories)
            .arg(root));
    return kOk;
}

const Registration registration{
    {QStringLiteral("generer"), QStringLiteral("écrit toutes les pages d'index d'un site"), run}};

} // namespace
} // namespace qs::cli
