// quillsite-cli renommer SITE DOMAINE [CATEGORIE] --nom NOUVEAU [--liens]: a domain or a category renamed
// as the window's context menu "Renommer" does.
#include "cli/command.h"
#include "cli/linksoption.h"
#include "cli/pagecommon.h"
#include "commands/commands.h"

#include <QCommandLineParser>

namespace qs::cli {
namespace {

const QString kHelp =
    QStringLiteral(
        "Usage : quillsite-cli renommer [--aide] SITE DOMAINE [CATEGORIE] --nom NOUVEAU [--liens]\n\n"
        "Renomme un domaine, ou une catégorie d'un domaine, comme la commande « Renommer » de la fenêtre :\n"
        "le dossier est déplacé sous son nouveau nom et les pages d'index sont réécrites.\n\n"
        "Arguments :\n"
        "  SITE        le dossier du site, ou sa page d'accueil\n"
        "  DOMAINE     le domaine à renommer, ou celui de la catégorie\n"
        "  CATEGORIE   la catégorie à renommer\n\n"
        "Options :\n"
        "  --nom NOUVEAU  le nouveau nom\n") +
    QString::fromUtf16(kLinksHelp) +
    QStringLiteral(
        "  -h, --aide     affiche cette aide\n\n"
        "Code de sortie : 0 si le dossier est renommé, 1 en cas d'échec (le message dit pourquoi), 2 si la\n"
        "commande est mal formée.");

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption name(QStringLiteral("nom"), QStringLiteral("Nouveau nom."),
                                  QStringLiteral("NOUVEAU"));
    const QCommandLineOption links = linksOption();
    parser.addOptions({name, links});
    if (const auto stop = parseCommandLine(parser, arguments, kHelp))
        return *stop;
    const QStringList args = parser.positionalArguments();
    const QString newName = parser.value(name).trimmed();
    if (args.size() < 2 || args.size() > 3 || newName.isEmpty())
        return usageError(QStringLiteral("Donnez le site, le domaine (et la catégorie) et le nouveau nom."),
                          kHelp);

    PageSession session;
    if (!session.open(args[0]))
        return kFailure;
    MainState& state = session.state;
    LinkFollower follower(state);
    const int domainRow = state.dListe.find(args[1]);
    if (domainRow < 0) {
        err(QStringLiteral("Le site n'a pas de domaine « %1 ».").arg(args[1]));
        return kFailure;
    }
    if (args.size() == 2) {
        if (!dListe_MouseUp(state, Qt::RightButton, domainRow))
            return kFailure;
        session.dialogs.answerNextPrompt(newName);
        mmod_Click(state, FolderCommand::Rename);
    } else {
        if (!session.select(args[1], args[2]))
            return kFailure;
        const int row = state.cListe.selectedRow();
        if (!cListe_MouseUp(state, Qt::RightButton, row))
            return kFailure;
        session.dialogs.answerNextPrompt(newName);
        mod2_Click(state, FolderCommand::Rename);
    }
    if (!follower.moved())
        return kFailure;
    if (parser.isSet(links) && !follower.follow())
        return kFailure;
    return session.dialogs.failures() > 0 ? kFailure : kOk;
}

const Registration registration{
    {QStringLiteral("renommer"), QStringLiteral("renomme un domaine ou une catégorie"), run}};

} // namespace
} // namespace qs::cli
