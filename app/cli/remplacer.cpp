// quillsite-cli remplacer: one string replaced by another in files, as the replacement window does
// without confirmation; its preview, and the undo of the last run.
#include "cli/command.h"
#include "lib/changejournal.h"
#include "tools/replace.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace qs::cli {
namespace {

const QString kHelp = QStringLiteral(
    "Usage : quillsite-cli remplacer --chercher TEXTE --par TEXTE [--casse] [--apercu] FICHIER...\n"
    "        quillsite-cli remplacer --annuler\n\n"
    "Remplace chaque occurrence de TEXTE dans les fichiers donnés, ligne par ligne, sans demander de\n"
    "confirmation, puis affiche le nombre de chaînes remplacées et de fichiers modifiés. Un fichier\n"
    "modifié est réécrit d'un seul coup (fichier de travail renommé) ; les octets qui ne sont pas\n"
    "remplacés restent tels quels ; un fichier sans remplacement n'est pas touché. Chaque fichier garde\n"
    "son codage (UTF-8 s'il le déclare ou en contient, sinon Windows-1252). Le contenu d'avant de chaque\n"
    "fichier modifié est conservé pour --annuler (les 10 derniers remplacements).\n\n"
    "Arguments :\n"
    "  FICHIER           un ou plusieurs fichiers texte\n\n"
    "Options :\n"
    "  --chercher TEXTE  le texte à chercher (non vide, sur une seule ligne)\n"
    "  --par TEXTE       le texte qui le remplace (peut être vide : --par \"\")\n"
    "  --casse           distingue les majuscules des minuscules\n"
    "  --apercu          montre chaque ligne changée (avant « - », après « + ») sans rien écrire\n"
    "  --annuler         rétablit les fichiers du dernier remplacement, sauf ceux modifiés depuis\n"
    "  -h, --aide        affiche cette aide\n\n"
    "Code de sortie : 0 terminé, 1 arrêté par une erreur, fichier illisible ou laissé inchangé,\n"
    "2 usage incorrect.");

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString plain(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

int preview(const QStringList& files, const ReplaceRequest& request) {
    QStringList unreadable;
    const QList<FilePreview> previews = previewReplacement(files, request, &unreadable);
    qint64 count = 0;
    for (const FilePreview& p : previews) {
        QString text = QStringLiteral("--- %1\n+++ %1\n").arg(native(p.file));
        if (p.unrepresentable)
            text += QStringLiteral("# laissé inchangé : son codage (Windows-1252) ne peut pas représenter le "
                                   "texte de remplacement\n");
        for (const LineChange& c : p.lines)
            text += QStringLiteral("@@ -%1 +%1 @@\n-%2\n+%3\n").arg(c.line).arg(c.before, c.after);
        text.chop(1);
        out(text);
        if (!p.unrepresentable)
            count += p.count;
    }
    for (const QString& f : unreadable)
        err(QStringLiteral("Fichier ignoré, illisible : « %1 ».").arg(native(f)));
    qsizetype changing = 0;
    for (const FilePreview& p : previews)
        changing += p.unrepresentable ? 0 : 1;
    out(QStringLiteral(
            "Aperçu : %1 chaîne(s) à remplacer dans %2 fichier(s) ; aucun fichier n'a été modifié.")
            .arg(count)
            .arg(changing));
    return unreadable.isEmpty() ? kOk : kFailure;
}

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption find(QStringLiteral("chercher"), QStringLiteral("Texte à chercher."),
                                  QStringLiteral("TEXTE"));
    const QCommandLineOption by(QStringLiteral("par"), QStringLiteral("Texte de remplacement."),
                                QStringLiteral("TEXTE"));
    const QCommandLineOption matchCase(QStringLiteral("casse"),
                                       QStringLiteral("Distingue les majuscules des minuscules."));
    const QCommandLineOption previewOnly(QStringLiteral("apercu"), QStringLiteral("Aperçu sans écrire."));
    const QCommandLineOption undo(QStringLiteral("annuler"),
                                  QStringLiteral("Annule le dernier remplacement."));
    parser.addOptions({find, by, matchCase, previewOnly, undo});
    if (const auto stop = parseCommandLine(parser, arguments, kHelp))
        return *stop;
    ChangeJournal journal(ChangeJournal::defaultFolder(QStringLiteral("remplacement")));
    if (parser.isSet(undo)) {
        if (parser.isSet(find) || parser.isSet(by) || parser.isSet(previewOnly) ||
            !parser.positionalArguments().isEmpty())
            return usageError(QStringLiteral("--annuler s'emploie seul."), kHelp);
        const UndoOutcome outcome = journal.undoLast();
        const QString report = plain(undoReport(outcome));
        const bool clean = outcome.runDate.isValid() && outcome.refused.isEmpty() && outcome.error.isEmpty();
        clean ? out(report) : err(report);
        return clean ? kOk : kFailure;
    }
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
    const QDir here = QDir::current();
    for (const QString& f : parser.positionalArguments())
        files.append(QDir::cleanPath(here.absoluteFilePath(f)));
    if (files.isEmpty())
        return usageError(QStringLiteral("Sélectionnez au moins un fichier svp !"), kHelp);
    if (parser.isSet(previewOnly))
        return preview(files, request);

    ReplaceOptions options;
    options.journal = &journal;
    const ReplaceOutcome outcome = replaceInFiles(files, request, options);
    for (const QString& f : outcome.unreadable)
        err(QStringLiteral("Fichier ignoré, illisible : « %1 ».").arg(native(f)));
    if (!outcome.error.isEmpty())
        err(plain(outcome.error));
    out(plain(replaceReport(outcome)));
    const bool clean = outcome.error.isEmpty() && outcome.unreadable.isEmpty() &&
                       outcome.unrepresentable.isEmpty() && outcome.changedMeanwhile.isEmpty();
    return clean ? kOk : kFailure;
}

const Registration registration{{QStringLiteral("remplacer"),
                                 QStringLiteral("remplace une chaîne de caractères dans des fichiers"), run}};

} // namespace
} // namespace qs::cli
