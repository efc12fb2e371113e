// quillsite-cli remplacer: one string replaced by another in files, as the replacement window does
// without confirmation.
#include "cli/command.h"
#include "tools/replace.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace qs::cli {
namespace {

const QString kHelp = QStringLiteral(
    "Usage : quillsite-cli remplacer --chercher TEXTE --par TEXTE [--casse] FICHIER...\n\n"
    "Remplace chaque occurrence de TEXTE dans les fichiers donnés, ligne par ligne, sans demander de\n"
    "confirmation, puis affiche le nombre de chaînes remplacées et de fichiers modifiés. Un fichier\n"
    "modifié est réécrit d'un seul coup (fichier de travail « .new » renommé) ; les octets qui ne sont\n"
    "pas remplacés restent tels quels ; un fichier sans remplacement n'est pas touché.\n\n"
    "Arguments :\n"
    "  FICHIER           un ou plusieurs fichiers texte (Windows-1252, ou UTF-8)\n\n"
    "Options :\n"
    "  --chercher TEXTE  le texte à chercher (non vide, sur une seule ligne)\n"
    "  --par TEXTE       le texte qui le remplace (peut être vide : --par \"\")\n"
    "  --casse           distingue les majuscules des minuscules\n"
    "  -h, --aide        affiche cette aide\n\n"
    "Code de sortie : 0 terminé, 1 arrêté par une erreur ou fichier illisible, 2 usage incorrect.");

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption find(QStringLiteral("chercher"), QStringLiteral("Texte à chercher."),
                                  QStringLiteral("TEXTE"));
    const QCommandLineOption by(QStringLiteral("par"), QStringLiteral("Texte de remplacement."),
                                QStringLiteral("TEXTE"));
    const QCommandLineOption matchCase(QStringLiteral("casse"),
                                       QStringLiteral("Distingue les majuscules des minuscules."));
    parser.addOptions({find, by, matchCase});
    if (const auto stop = parseCommandLine(parser, arguments, kHelp))
        return *stop;
    if (!parser.isSet(find) || !parser.isSet(by))
        return usageError(
            QStringLiteral("Donnez le texte à chercher (--chercher) et son remplaçant (--par)."), kHelp);
    const ReplaceRequest request{parser.value(find), parser.value(by), parser.isSet(matchCase), false};
    if (request.find.isEmpty()) {
        err(QStringLiteral("Le texte à chercher est vide."));
        return kUsage;
    }
    if (request.find.contains(u'\n') || request.find.contains(u'\r')) {
        err(QStringLiteral("Le texte à chercher tient sur une seule ligne : la recherche se fait ligne par "
                           "ligne."));
        return kUsage;
    }
    QStringList files;
    for (const QString& f : parser.positionalArguments())
        files.append(QFileInfo(f).absoluteFilePath());
    if (files.isEmpty())
        return usageError(QStringLiteral("Sélectionnez au moins un fichier svp !"), kHelp);

    const ReplaceOutcome outcome = replaceInFiles(files, request);
    for (const QString& f : outcome.unreadable)
        err(QStringLiteral("Fichier ignoré, illisible : « %1 ».").arg(QDir::toNativeSeparators(f)));
    if (!outcome.error.isEmpty())
        err(QString(outcome.error).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    out(replaceSummary(outcome.replaced, outcome.changedFiles));
    return outcome.error.isEmpty() && outcome.unreadable.isEmpty() ? kOk : kFailure;
}

const Registration registration{{QStringLiteral("remplacer"),
                                 QStringLiteral("remplace une chaîne de caractères dans des fichiers"), run}};

} // namespace
} // namespace qs::cli
