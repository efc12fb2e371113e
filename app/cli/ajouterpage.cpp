// quillsite-cli ajouter-page SITE DOMAINE CATEGORIE --titre TITRE [--corps FICHIER]: a new page written
// as the editor's OK writes it, then its category regenerated.
#include "cli/command.h"
#include "cli/pagecommon.h"

#include <QCommandLineParser>

namespace qs::cli {
namespace {

const QString kHelp = QStringLiteral(
    "Usage : quillsite-cli ajouter-page [--aide] SITE DOMAINE CATEGORIE --titre TITRE [--corps FICHIER]\n\n"
    "Ajoute une page à une catégorie comme le bouton « Ajouter » de la fenêtre puis « OK » : le fichier\n"
    "prend le plus petit numéro libre (1.htm, 2.htm...), la page reçoit l'en-tête et le pied de page du\n"
    "programme, puis les pages d'index de la catégorie sont réécrites. Le nom du fichier écrit est\n"
    "affiché.\n\n"
    "Arguments :\n"
    "  SITE         le dossier du site, ou sa page d'accueil\n"
    "  DOMAINE      le domaine (sans tenir compte des majuscules)\n"
    "  CATEGORIE    la catégorie du domaine\n\n"
    "Options :\n"
    "  --titre TITRE    le titre de la page\n"
    "  --corps FICHIER  le texte HTML de la page, lu dans ce fichier (« - » ou rien : l'entrée standard) ;\n"
    "                   UTF-8 s'il est valide, Windows-1252 sinon ; une fin de ligne finale est ôtée\n"
    "  -h, --aide       affiche cette aide\n\n"
    "Code de sortie : 0 si la page est écrite, 1 en cas d'échec (le message dit pourquoi), 2 si la\n"
    "commande est mal formée, si le titre ou le texte est vide ou si le titre tient sur plusieurs lignes.");

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption title(QStringLiteral("titre"), QStringLiteral("Titre de la page."),
                                   QStringLiteral("TITRE"));
    const QCommandLineOption body(QStringLiteral("corps"), QStringLiteral("Fichier du texte."),
                                  QStringLiteral("FICHIER"));
    parser.addOptions({title, body});
    if (const auto stop = parseCommandLine(parser, arguments, kHelp))
        return *stop;
    const QStringList args = parser.positionalArguments();
    if (args.size() != 3 || !parser.isSet(title))
        return usageError(QStringLiteral("Donnez le site, le domaine, la catégorie et le titre."), kHelp);
    if (!titleIsOneLine(parser.value(title)))
        return kUsage;
    const auto bytes = readBody(parser.value(body));
    if (!bytes)
        return kFailure;

    PageSession session;
    if (!session.open(args[0]) || !session.select(args[1], args[2]))
        return kFailure;
    MainState& state = session.state;
    tAjouter_Click(state);
    state.controls.tTitre = parser.value(title);
    state.controls.tTexte = bodyText(*bytes);
    return session.save();
}

const Registration registration{
    {QStringLiteral("ajouter-page"), QStringLiteral("ajoute une page à une catégorie"), run}};

} // namespace
} // namespace qs::cli
