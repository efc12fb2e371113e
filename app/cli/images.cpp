// quillsite-cli images SITE DOMAINE CATEGORIE: the image index of a category, as its button writes it.
#include "cli/clockoption.h"
#include "cli/command.h"
#include "cli/consolesite.h"
#include "cli/siteargument.h"
#include "cli/siteindexflag.h"
#include "commands/mainstate.h"
#include "commands/regenerate.h"
#include "commands/selection.h"
#include "generate/imgindex.h"
#include "lib/files.h"
#include "lib/settings.h"
#include "site/listing.h"

#include <QCommandLineParser>

namespace qs::cli {
namespace {

const QString kHelp = QStringLiteral(
    "Usage : quillsite-cli images [--maintenant \"AAAA-MM-JJ HH:MM\"] [--aide] SITE DOMAINE CATEGORIE\n\n"
    "Écrit « ImgIndex.htm » dans le dossier de la catégorie : un tableau de ses images (.jpg, .jpeg et\n"
    ".gif), chacune avec son nom, comme le bouton « Créer un index des images du répertoire ». Les pages\n"
    "de la catégorie, de son domaine et la page d'accueil sont ensuite régénérées, comme à la fermeture\n"
    "de la fenêtre, si bien que l'index des images paraît dans la navigation de la catégorie.\n\n"
    "Arguments :\n"
    "  SITE                       le dossier du site, ou sa page d'accueil\n"
    "  DOMAINE, CATEGORIE         les noms des dossiers du domaine et de la catégorie\n\n"
    "Options :\n"
    "  --maintenant \"AAAA-MM-JJ HH:MM\"\n"
    "                             la date et l'heure à prendre pour maintenant\n"
    "  -h, --aide                 affiche cette aide\n\n"
    "Code de sortie : 0 si tout est écrit, 1 sinon (le message dit pourquoi), 2 si la commande est mal\n"
    "formée.");

// The row of the list holding exactly this name, else one that differs only in case; -1 when none.
int rowOf(const StructureList& list, const QString& name) {
    for (int row = 0; row < list.count(); ++row)
        if (list.text(row) == name)
            return row;
    return list.find(name);
}

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption now = nowOption();
    parser.addOption(now);
    if (const auto stop = parseCommandLine(parser, arguments, kHelp, 3,
                                           QStringLiteral("Donnez un site, un domaine et une catégorie.")))
        return *stop;
    const QStringList args = parser.positionalArguments();
    const std::unique_ptr<Clock> clock = clockFromOption(parser, now);
    if (!clock)
        return kUsage;
    const QString root = siteFolderArgument(args[0]);
    if (root.isEmpty())
        return kFailure;

    const SiteIndexFlag flag(root);
    ConsoleSite site(*clock, root);
    if (!site.locked())
        return kFailure;
    MainState& state = site.state;
    domainesInit(state);

    const int domain = rowOf(state.dListe, args[1]);
    if (domain < 0) {
        err(QStringLiteral("Le site « %1 » n'a pas de domaine « %2 ».").arg(root, args[1]));
        return kFailure;
    }
    state.dListe.select(domain);
    dListe_Click(state); // a domain without categories is deselected: no category is asked for here
    const int category = rowOf(state.cListe, args[2]);
    if (state.dListe.selectedRow() < 0 || category < 0) {
        err(QStringLiteral("Le domaine « %1 » n'a pas de catégorie « %2 ».")
                .arg(state.dListe.text(domain), args[2]));
        return kFailure;
    }
    state.cListe.select(category);
    cListe_Click(state);
    ImgIndex_Click(state);
    if (site.dialogs.failures() > 0)
        return kFailure;
    const QString folder =
        withSeparator(root + state.dListe.selectedText()) + state.cListe.selectedText() + sep();
    // What the window writes when it closes: the category, its domain and the home page.
    Enregistrer(state);
    out(QStringLiteral("%1 : %2 image(s)")
            .arg(folder + QString::fromUtf16(kImgIndexFile))
            .arg(imageFiles(folder).size()));
    return site.dialogs.failures() > 0 ? kFailure : kOk;
}

const Registration registration{{QStringLiteral("images"),
                                 QStringLiteral("écrit l'index des images d'une catégorie (ImgIndex.htm)"),
                                 run}};

} // namespace
} // namespace qs::cli
