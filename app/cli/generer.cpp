// quillsite-cli generer SITE: every generated index page of a site, as the window writes them.
#include "cli/command.h"
#include "cli/consoledialogs.h"
#include "cli/siteargument.h"
#include "generate/regenerate.h"
#include "lib/clock.h"
#include "lib/settings.h"
#include "site/listing.h"
#include "site/mainstate.h"

#include <QCommandLineParser>
#include <QCoreApplication>

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
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("aide"), QStringLiteral("help")},
                                  QStringLiteral("Affiche cette aide."));
    parser.addOption(help);
    if (!parser.parse(arguments)) {
        err(parser.errorText() + u'\n' + kHelp);
        return kUsage;
    }
    if (parser.isSet(help)) {
        out(kHelp);
        return kOk;
    }
    if (parser.positionalArguments().size() != 1) {
        err(QStringLiteral("Donnez un site, et un seul.\n") + kHelp);
        return kUsage;
    }
    const QString root = siteFolderArgument(parser.positionalArguments().first());
    if (root.isEmpty())
        return kFailure;

    ConsoleDialogs dialogs;
    SystemClock clock;
    MainState state(dialogs, clock, withSeparator(QCoreApplication::applicationDirPath()));
    state.values.Répertoire = root;
    state.values.Adresse = root + QStringLiteral("Index.htm");
    OptionsCharger(state.values);

    // The window's own path: select every category of every domain in turn, then save.
    domainesInit(state);
    int categories = 0;
    QStringList skipped;
    for (int d = 0; d < state.dListe.count(); ++d) {
        state.dListe.select(d);
        dListe_Click(state); // asks for a first category when there is none: no answer here
        if (state.dListe.selectedRow() != d) {
            skipped.append(state.dListe.text(d));
            continue;
        }
        for (int c = 0; c < state.cListe.count(); ++c) {
            state.cListe.select(c);
            cListe_Click(state);
            ++categories;
        }
    }
    Enregistrer(state);

    out(QStringLiteral("%1 domaine(s), %2 catégorie(s) : pages d'index écrites dans %3")
            .arg(state.dListe.count() - skipped.size())
            .arg(categories)
            .arg(root));
    for (const QString& s : skipped)
        out(QStringLiteral("Domaine sans catégorie, passé : %1").arg(s));
    return dialogs.messages() > 0 ? kFailure : kOk;
}

const Registration registration{
    {QStringLiteral("generer"), QStringLiteral("écrit toutes les pages d'index d'un site"), run}};

} // namespace
} // namespace qs::cli
