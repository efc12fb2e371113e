// quillsite-cli verifier SITE: what is wrong with a site, from its folders and every page's links.
#include "check/verifier.h"
#include "check/report.h"
#include "cli/command.h"
#include "cli/siteargument.h"
#include "lib/fileio.h"

#include <QCommandLineParser>
#include <QFile>
#include <QSaveFile>

namespace qs::cli {
namespace {

const QString kHelp = QStringLiteral(
    "Usage : quillsite-cli verifier [--format texte|json|html] [--sortie FICHIER] [--corriger-casse]\n"
    "                               [--aide] SITE\n\n"
    "Lit toutes les pages du site et signale :\n"
    "  lien-brise        un lien local vers un fichier qui n'existe pas\n"
    "  casse             un lien vers un fichier qui n'existe qu'avec une autre casse (il marche sous\n"
    "                    Windows ou macOS, pas sur un serveur Linux)\n"
    "  ancre-absente     page.htm#x alors que la page n'a ni id=\"x\" ni NAME=\"x\"\n"
    "  page-orpheline    une page de catégorie que l'index de sa catégorie ne cite pas (sans titre)\n"
    "                    ou qu'aucun lien n'atteint depuis la page d'accueil\n"
    "  image-inutilisee  un fichier d'un dossier « images » qu'aucune page n'utilise\n"
    "  page-sans-titre   une page sans <TITLE> ou au titre vide\n"
    "Les liens externes ne sont pas suivis (rien ne sort de la machine) : ils sont seulement comptés.\n\n"
    "Arguments :\n"
    "  SITE                 le dossier du site, ou sa page d'accueil\n\n"
    "Options :\n"
    "  --format F           texte (par défaut : « page:ligne: type: lien », un problème par ligne),\n"
    "                       json ou html (une page de rapport)\n"
    "  --sortie FICHIER     écrit le rapport dans FICHIER plutôt que sur la sortie standard\n"
    "  --corriger-casse     récrit chaque lien « casse » avec le vrai nom du fichier, sur place, sans\n"
    "                       toucher au reste de la page ni à sa date, et affiche ce qui a changé\n"
    "  -h, --aide           affiche cette aide\n\n"
    "Code de sortie : 0 si rien n'est signalé, 1 si des problèmes sont trouvés (ou si le rapport ne peut\n"
    "pas être écrit), 2 si la commande est mal formée.");

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption format(QStringLiteral("format"), QStringLiteral("Format du rapport."),
                                    QStringLiteral("F"), QStringLiteral("texte"));
    const QCommandLineOption output(QStringLiteral("sortie"), QStringLiteral("Fichier du rapport."),
                                    QStringLiteral("FICHIER"));
    const QCommandLineOption fix(QStringLiteral("corriger-casse"),
                                 QStringLiteral("Corrige la casse des liens."));
    parser.addOptions({format, output, fix});
    if (const auto stop =
            parseCommandLine(parser, arguments, kHelp, 1, QStringLiteral("Donnez un site, et un seul.")))
        return *stop;
    const QString formatName = parser.value(format);
    ReportFormat chosen = ReportFormat::Text;
    if (formatName == u"json")
        chosen = ReportFormat::Json;
    else if (formatName == u"html")
        chosen = ReportFormat::Html;
    else if (formatName != u"texte")
        return usageError(
            QStringLiteral("Format inconnu : « %1 ». Formats possibles : texte, json, html.").arg(formatName),
            kHelp);
    const QString root = siteFolderArgument(parser.positionalArguments().first());
    if (root.isEmpty())
        return kUsage;

    SiteCheck check = verifySite(root);
    if (parser.isSet(fix)) {
        QStringList errors;
        const QList<CaseFix> fixes = fixCase(root, check.problems, &errors);
        for (const CaseFix& f : fixes)
            out(QStringLiteral("%1:%2: %3 -> %4").arg(f.page).arg(f.line).arg(f.before, f.after));
        for (const QString& e : errors)
            err(e);
        if (!fixes.isEmpty())
            check = verifySite(root); // what is left
    }

    const QByteArray report = reportOf(check, chosen);
    if (parser.isSet(output)) {
        QSaveFile file(parser.value(output));
        if (!file.open(QIODevice::WriteOnly) || file.write(report) != report.size() || !file.commit()) {
            err(QStringLiteral("Je ne peux pas écrire le rapport « %1 » : %2.")
                    .arg(parser.value(output), fileErrorCause(file, FileError::Operation::Write)));
            return kFailure;
        }
    } else {
        outBytes(report);
    }
    err(summaryOf(check));
    return check.problems.isEmpty() ? kOk : kFailure;
}

const Registration registration{
    {QStringLiteral("verifier"),
     QStringLiteral("signale les liens brisés, pages orphelines, images inutilisées..."), run}};

} // namespace
} // namespace qs::cli
