// quillsite-cli importer-word: the viewer pages of Word documents, as the import window writes them.
#include "cli/command.h"
#include "cli/consoledialogs.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "tools/wordimport.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace qs::cli {
namespace {

const QString kHelp = QStringLiteral(
    "Usage : quillsite-cli importer-word --source DOSSIER --destination DOSSIER FICHIER.doc...\n\n"
    "Écrit dans le dossier de destination, pour chaque document Word (.doc, .docx ou .rtf), une page\n"
    "« visionneuse » du même nom avec l'extension .htm, qui incorpore le document (il n'est pas converti).\n"
    "Une page visionneuse existante du même nom est remplacée ; tout autre fichier de ce nom est d'abord\n"
    "mis à la corbeille. Le document est désigné par un chemin relatif entre les dossiers réels, ou par\n"
    "son adresse complète quand les deux dossiers n'ont pas de racine commune.\n\n"
    "Arguments :\n"
    "  FICHIER.doc            un ou plusieurs documents Word du dossier source (nom ou chemin)\n\n"
    "Options :\n"
    "  --source DOSSIER       le dossier des documents Word\n"
    "  --destination DOSSIER  le dossier où écrire les pages\n"
    "  -h, --aide             affiche cette aide");

QString existingFolder(const QString& argument, const QString& role) {
    const QFileInfo info(argument);
    if (!info.isDir()) {
        err(QStringLiteral("Le dossier %1 « %2 » n'existe pas.").arg(role, argument));
        return {};
    }
    return withSeparator(QDir::cleanPath(info.absoluteFilePath()));
}

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption source(QStringLiteral("source"), QStringLiteral("Dossier des documents."),
                                    QStringLiteral("DOSSIER"));
    const QCommandLineOption destination(QStringLiteral("destination"), QStringLiteral("Dossier des pages."),
                                         QStringLiteral("DOSSIER"));
    parser.addOptions({source, destination});
    if (const auto stop = parseCommandLine(parser, arguments, kHelp))
        return *stop;
    if (!parser.isSet(source) || !parser.isSet(destination) || parser.positionalArguments().isEmpty())
        return usageError(
            QStringLiteral("Donnez le dossier source, le dossier de destination et au moins un document."),
            kHelp);
    const QString from = existingFolder(parser.value(source), QStringLiteral("source"));
    const QString to = existingFolder(parser.value(destination), QStringLiteral("de destination"));
    if (from.isEmpty() || to.isEmpty())
        return kFailure;

    // A document is named by its name in the source folder, or by a path that leads there.
    QStringList names;
    for (const QString& argument : parser.positionalArguments()) {
        const QFileInfo info(
            argument.contains(u'/') || argument.contains(QDir::separator()) ? argument : from + argument);
        if (!info.isFile() || withSeparator(QDir::cleanPath(info.absolutePath())) != from) {
            err(QStringLiteral("Le document « %1 » n'est pas un fichier du dossier source « %2 ».")
                    .arg(argument, QDir::toNativeSeparators(from)));
            return kFailure;
        }
        names.append(info.fileName());
    }

    ConsoleDialogs dialogs;
    ImporterWord(from, to, names, ProgrammeID(), dialogs);
    return dialogs.failures() == 0 ? kOk : kFailure;
}

const Registration registration{
    {QStringLiteral("importer-word"), QStringLiteral("écrit les pages visionneuses de documents Word"), run}};

} // namespace
} // namespace qs::cli
