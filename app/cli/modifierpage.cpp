// quillsite-cli modifier-page SITE DOMAINE CATEGORIE FICHIER [--titre TITRE] [--corps FICHIER]: an existing
// page rewritten as "Modifier" then "OK" of the window rewrite it.
#include "cli/command.h"
#include "cli/pagecommon.h"

#include <QCommandLineParser>

namespace qs::cli {
namespace {

const QString kHelp = QStringLiteral(
    "Usage : quillsite-cli modifier-page [--aide] SITE DOMAINE CATEGORIE FICHIER [--titre TITRE]\n"
    "                                   [--corps FICHIER]\n\n"
    "Réécrit une page comme le bouton « Modifier » de la fenêtre puis « OK » : la page est relue, son\n"
    "titre et son texte remplacés par ceux qui sont donnés (gardés sinon), l'en-tête et le pied de page\n"
    "du programme réécrits, puis les pages d'index de la catégorie sont réécrites. Le fichier garde son\n"
    "nom, qui est affiché.\n\n"
    "Arguments :\n"
    "  SITE         le dossier du site, ou sa page d'accueil\n"
    "  DOMAINE      le domaine de la page\n"
    "  CATEGORIE    la catégorie de la page\n"
    "  FICHIER      le nom du fichier de la page dans sa catégorie (par exemple 3.htm)\n\n"
    "Options :\n"
    "  --titre TITRE    le nouveau titre de la page\n"
    "  --corps FICHIER  le nouveau texte HTML, lu dans ce fichier (« - » : l'entrée standard) ; UTF-8\n"
    "                   s'il est valide, Windows-1252 sinon ; une fin de ligne finale est ôtée\n"
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
    if (const auto stop =
            parseCommandLine(parser, arguments, kHelp, 4,
                             QStringLiteral("Donnez le site, le domaine, la catégorie et le fichier.")))
        return *stop;
    const QStringList args = parser.positionalArguments();
    if (parser.isSet(title) && !titleIsOneLine(parser.value(title)))
        return kUsage;
    std::optional<QByteArray> bytes;
    if (parser.isSet(body) && !(bytes = readBody(parser.value(body))))
        return kFailure;

    PageSession session;
    if (!session.open(args[0]) || !session.select(args[1], args[2]))
        return kFailure;
    MainState& state = session.state;
    const int row = session.pageRow(args[3]);
    if (row < 0)
        return kFailure;
    state.tListe.select(row);
    tListe_Click(state);
    tModifier_Click(state);
    if (!state.controls.tOkVisible)
        return kFailure; // the page could not be read: the message said why
    if (parser.isSet(title))
        state.controls.tTitre = parser.value(title);
    if (bytes)
        state.controls.tTexte = bodyText(*bytes);
    return session.save();
}

const Registration registration{
    {QStringLiteral("modifier-page"), QStringLiteral("réécrit une page existante d'une catégorie"), run}};

} // namespace
} // namespace qs::cli
