// quillsite-cli lister SITE: the site's structure as the window lists it.
#include "cli/command.h"
#include "cli/consoledialogs.h"
#include "cli/siteargument.h"
#include "commands/mainstate.h"
#include "lib/helpers.h"
#include "lib/htmltext.h"
#include "site/listing.h"

#include <QCommandLineParser>

namespace qs::cli {
namespace {

const QString kHelp = QStringLiteral(
    "Usage : quillsite-cli lister [--aide] SITE\n\n"
    "Affiche les domaines du site, les catégories de chaque domaine et les pages de chaque catégorie\n"
    "(titre, puis nom du fichier entre parenthèses), triés et filtrés comme dans la fenêtre à l'ouverture\n"
    "du site : les dossiers réservés, les dossiers cachés et les liens vers des dossiers sont omis, ainsi\n"
    "que les pages sans titre. N'écrit rien.\n\n"
    "Arguments :\n"
    "  SITE        le dossier du site, ou sa page d'accueil\n\n"
    "Options :\n"
    "  -h, --aide  affiche cette aide");

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    if (const auto stop =
            parseCommandLine(parser, arguments, kHelp, 1, QStringLiteral("Donnez un site, et un seul.")))
        return *stop;
    const QString root = siteFolderArgument(parser.positionalArguments().first());
    if (root.isEmpty())
        return kFailure;

    // Left out of every list: said on standard error, the listing goes on.
    ConsoleDialogs dialogs;
    reportUndecodableFolders(root, dialogs);

    // The window's own lists, for their order.
    StructureList domains;
    for (const QString& d : siteDomains(root, DomainListing::Opening))
        domains.add(d);
    for (const QString& domain : domains.texts()) {
        out(domain);
        StructureList categories;
        for (const QString& c : domainCategories(withSeparator(root + domain)))
            categories.add(c);
        for (const QString& category : categories.texts()) {
            out(QStringLiteral("  ") + category);
            const QString folder = withSeparator(root + domain) + category + sep();
            const QStringList files = categoryPages(folder);
            StructureList pages;
            for (int i = 0; i < files.size(); ++i) {
                const QString title = pageTitle(folder + files[i]);
                if (!title.isEmpty())
                    pages.add(decodeHtmlText(title), i);
            }
            for (int row = 0; row < pages.count(); ++row)
                out(QStringLiteral("    %1 (%2)").arg(pages.text(row), files[pages.number(row)]));
        }
    }
    return kOk;
}

const Registration registration{
    {QStringLiteral("lister"), QStringLiteral("affiche les domaines, catégories et pages d'un site"), run}};

} // namespace
} // namespace qs::cli
