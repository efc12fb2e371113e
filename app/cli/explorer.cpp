// quillsite-cli explorer PAGE: the link tree of a page, as the Explorer tab shows it.
#include "cli/command.h"
#include "cli/consoledialogs.h"
#include "explorer/linktree.h"
#include "explorer/walker.h"
#include "lib/fileio.h"
#include "lib/files.h"
#include "lib/settings.h"

#include <QCommandLineParser>
#include <QDir>

namespace qs::cli {
namespace {

const QString kHelp = QStringLiteral(
    "Usage : quillsite-cli explorer [--profondeur N|illimite] [--types LISTE] [--resume] [--aide] PAGE\n\n"
    "Lit la page, ses cadres, formulaires, liens, images, sons et fonds, puis les pages trouvées, et\n"
    "affiche l'arborescence des liens comme l'onglet « Explorer » : un nœud par ligne, décalé de deux\n"
    "blancs par niveau, la clé de son icône entre crochets, puis son texte (« ???   » devant un fichier\n"
    "introuvable, <n> après la n-ième répétition d'une même adresse). N'écrit rien.\n\n"
    "Arguments :\n"
    "  PAGE                 le fichier de la page de départ\n\n"
    "Options :\n"
    "  --profondeur N       niveaux lus : de 1 à 19, ou « illimite » (par défaut, le réglage\n"
    "                       « NiveauRep » de la fenêtre, sinon 4)\n"
    "  --types LISTE        types de liens affichés, séparés par des virgules, parmi images, zip,\n"
    "                       programmes, cgi et sons ; « aucun » pour aucun (par défaut, les réglages\n"
    "                       NivImg, NivZip, NivExe, NivCgi et NivSnd de la fenêtre)\n"
    "  --resume             n'affiche que le nombre de nœuds, de pages lues et de fichiers introuvables\n"
    "  -h, --aide           affiche cette aide");

// The switches as the window loads them: a level counts as ticked when it is 1, and a missing one is 1.
LinkTypes storedTypes() {
    LinkTypes types;
    const char16_t* keys[] = {u"NivImg", u"NivZip", u"NivExe", u"NivCgi", u"NivSnd"};
    for (int i = 0; i < 5; ++i) {
        const QString level = ParamètreLire(QString::fromUtf16(keys[i])).trimmed();
        types.on[size_t(i)] = level.isEmpty() || level.toInt() == 1;
    }
    return types;
}

std::optional<LinkTypes> parseTypes(const QString& list) {
    const QStringList names{QStringLiteral("images"), QStringLiteral("zip"), QStringLiteral("programmes"),
                            QStringLiteral("cgi"), QStringLiteral("sons")};
    LinkTypes types;
    types.on.fill(false);
    for (const QString& part : list.split(u',', Qt::SkipEmptyParts)) {
        const QString name = part.trimmed().toLower();
        if (name == u"aucun" || name.isEmpty())
            continue;
        const qsizetype i = names.indexOf(name);
        if (i < 0) {
            err(QStringLiteral("Type de lien inconnu : « %1 ». Types possibles : %2.")
                    .arg(part.trimmed(), names.join(QStringLiteral(", "))));
            return std::nullopt;
        }
        types.on[size_t(i)] = true;
    }
    return types;
}

std::optional<DepthLimit> parseDepth(const QString& text) {
    const DepthLimit limit = DepthLimit::parse(text);
    bool number = false;
    const int n = text.trimmed().toInt(&number);
    if (limit.unlimited ? (number && n != 20) : !(number && n >= 1)) {
        err(QStringLiteral("Profondeur non valable : « %1 ». Donnez un nombre de 1 à 19, ou « illimite ».")
                .arg(text));
        return std::nullopt;
    }
    return limit;
}

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption depth(QStringLiteral("profondeur"), QStringLiteral("Niveaux lus."),
                                   QStringLiteral("N"));
    const QCommandLineOption types(QStringLiteral("types"), QStringLiteral("Types de liens affichés."),
                                   QStringLiteral("LISTE"));
    const QCommandLineOption summary(QStringLiteral("resume"), QStringLiteral("Résumé seulement."));
    parser.addOptions({depth, types, summary});
    if (const auto stop =
            parseCommandLine(parser, arguments, kHelp, 1, QStringLiteral("Donnez une page, et une seule.")))
        return *stop;

    ConsoleDialogs dialogs;
    LinkTreeModel tree;
    LinkWalker walker(tree, dialogs);

    QString stored = ParamètreLire(QStringLiteral("NiveauRep"));
    const auto limit =
        parser.isSet(depth) ? parseDepth(parser.value(depth)) : std::optional(DepthLimit::parse(stored));
    if (!limit)
        return kUsage;
    walker.limit = *limit;
    const auto chosen = parser.isSet(types) ? parseTypes(parser.value(types)) : std::optional(storedTypes());
    if (!chosen)
        return kUsage;
    walker.types = *chosen;

    // Relative names are taken from the current folder; links are resolved against the page's folder.
    const QString argument = parser.positionalArguments().first();
    const QString page =
        QDir::toNativeSeparators(QDir::cleanPath(QDir::current().absoluteFilePath(argument)));
    if (!FichierExiste(page)) {
        err(QStringLiteral("Je ne trouve pas la page « %1 ».").arg(argument));
        return kFailure;
    }
    walker.Explorer(tree.add(nullptr, page, page, QStringLiteral("htm")));
    if (walker.pagesRead() == 0) { // a folder, a pipe, a device, no permission or too big
        err(QStringLiteral("Je ne peux pas lire la page « %1 » : seul un fichier ordinaire lisible de %2 Mio "
                           "au plus est lu.")
                .arg(argument)
                .arg(kMaxWholeFile >> 20));
        return kFailure;
    }
    if (parser.isSet(summary)) {
        qsizetype missing = 0;
        tree.forEachNode(
            [&missing](const LinkTreeModel::Node& n, int) { missing += n.text.startsWith(u"???   "); });
        out(QStringLiteral("%1 nœuds, %2 pages lues, %3 introuvables.")
                .arg(tree.size())
                .arg(walker.pagesRead())
                .arg(missing));
        return kOk;
    }
    // Line by line: an unlimited walk of a big site indents some nodes by thousands of blanks.
    tree.printout([](const QString& line) { out(line); });
    return kOk;
}

const Registration registration{
    {QStringLiteral("explorer"), QStringLiteral("affiche l'arborescence des liens d'une page"), run}};

} // namespace
} // namespace qs::cli
