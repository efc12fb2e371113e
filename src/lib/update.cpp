#include "lib/update.h"

#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>

#include <filesystem>
#include <optional>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace qs {
namespace {

const QString kSetting = QStringLiteral("RépertoireMiseAJour");

QString tr(const char16_t* text) {
    return QString::fromUtf16(text);
}

// The program's name: its file name without the platform's executable suffix.
QString programName(const QString& fileName) {
    const QString suffix = executableSuffix();
    if (!suffix.isEmpty() && fileName.endsWith(suffix, Qt::CaseInsensitive))
        return fileName.chopped(suffix.size());
    return fileName;
}

// Modification time in whole seconds. Shares and older file systems keep coarser times than the local
// disk, so a copy would otherwise look a fraction of a second older than its original.
std::optional<qint64> modifiedSeconds(const QString& path) {
    const QFileInfo fi(path);
    if (!fi.exists() || fi.isDir())
        return std::nullopt;
    const QDateTime t = fi.lastModified();
    if (!t.isValid())
        return std::nullopt;
    return t.toSecsSinceEpoch();
}

// The updater next to the program, else the one in the update folder; empty when neither exists.
QString findUpdater(const QString& localFolder, const QString& updateFolder) {
    for (const QString& folder : {localFolder, updateFolder}) {
        const QString path = folder + updaterFileName();
        if (FichierExiste(path))
            return path;
    }
    return {};
}

bool sameFolder(const QString& a, const QString& b) {
    if (a.toUpper() == b.toUpper())
        return true;
    // The same folder reached through a link or a "..".
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

QString notFoundText(const QString& folder) {
    return tr(u"Je ne trouve pas le programme \"") + updaterFileName() + tr(u"\" dans le répertoire \"") +
           folder + tr(u"\" qui me sert à tenir vos programmes à jour !");
}

QString folderPromptText(const QString& previous) {
    QString text =
        tr(u"Ce programme est équipé du système de mise à jour automatique. Ceci lui permet de se mettre "
           u"automatiquement à jour dès qu'une nouvelle version est disponible dans le répertoire de mise à "
           u"jour.") +
        CrLf(2) + tr(u"Répertoire de mise à jour :") + CrLf(2) +
        tr(u"(Typer un signe moins (-) si votre ordinateur n'est pas en réseau ou si vous ne désirez pas "
           u"bénéficier de la mise à jour automatique");
    if (!previous.trimmed().isEmpty())
        text += tr(u", ou cliquez sur \"Annuler\" pour conserver le répertoire actuel et renoncer "
                   u"temporairement à la mise à jour automatique jusqu'à que ce répertoire soit à nouveau "
                   u"accessible)");
    else
        text += u')';
    return text;
}

// Copies `source` into a hidden temporary file of `folder`, with the source's permissions and
// modification time. Returns its path, or empty with `error` set; nothing is left behind on failure.
QString copyToTemporary(const QString& source, const QString& folder, QString& error) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        error = in.errorString();
        return {};
    }
    QTemporaryFile out(folder + u'.' + QFileInfo(source).fileName() + QStringLiteral(".XXXXXX"));
    out.setAutoRemove(false);
    if (!out.open()) {
        error = out.errorString();
        return {};
    }
    auto fail = [&](const QString& why) {
        error = why;
        out.remove();
        return QString();
    };
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            return fail(in.errorString());
        if (out.write(chunk) != chunk.size())
            return fail(out.errorString());
    }
    if (!out.flush() || out.size() != in.size())
        return fail(out.errorString());
#ifdef Q_OS_UNIX
    if (::fsync(out.handle()) != 0)
        return fail(out.errorString());
#endif
    out.setPermissions(in.permissions());
    out.setFileTime(in.fileTime(QFileDevice::FileModificationTime), QFileDevice::FileModificationTime);
    out.close();
    return out.fileName();
}

// The build machine: puts the local build into the update folder when it is newer than the one there.
// The copy is made beside the published file first, so that a failed or partial copy never takes its
// place: users would otherwise receive a truncated program.
UpdateOutcome publish(Dialogs& dialogs, const QString& local, qint64 localDate, const QString& N,
                      const QString& L, const QString& U) {
    const QString target = U + QFileInfo(local).fileName();
    const QString title = tr(u"Vendrel - Avertissement");
    const bool hadOld = FichierExiste(target);
    if (hadOld) {
        const auto networkDate = modifiedSeconds(target);
        if (!networkDate || *networkDate >= localDate)
            return UpdateOutcome::Continue;
        dialogs.beep();
    }

    const QString copyFailed = tr(u"Je ne parviens pas à copier la nouvelle version du programme \"") + N +
                               tr(u"\" dans le répertoire réseau \"") + U +
                               tr(u"\" à partir de celle se trouvant dans le répertoire \"") + L +
                               tr(u"\" !");
    const QString gone = tr(u"CE PROGRAMME N'EXISTE DONC PLUS SUR LE RÉSEAU !");
    QString error;
    const QString temporary = copyToTemporary(local, U, error);
    if (temporary.isEmpty()) {
        if (hadOld)
            dialogs.message(copyFailed + CrLf(2) + u'(' + error + u')' + CrLf(2) +
                                tr(u"L'ancienne version reste disponible sur le réseau."),
                            Icon::Exclamation, title);
        else
            dialogs.message(copyFailed + CrLf(2) + gone, Icon::Exclamation, title);
        return UpdateOutcome::Continue;
    }

    // One rename replaces the old version, so the update folder never lacks the program.
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(temporary.toStdU16String()),
                            std::filesystem::path(target.toStdU16String()), ec);
    if (ec) {
        QFile::remove(temporary);
        const QString why = QString::fromLocal8Bit(ec.message());
        if (hadOld)
            dialogs.message(tr(u"Je ne parviens pas à détruire l'ancienne version du programme \"") + N +
                                tr(u"\" dans le répertoire réseau \"") + U +
                                tr(u"\" pour la mettre à jour !") + CrLf(2) + u'(' + why + u')',
                            Icon::Exclamation, title);
        else
            dialogs.message(copyFailed + CrLf(2) + gone, Icon::Exclamation, title);
    }
    return UpdateOutcome::Continue;
}

} // namespace

QString executableSuffix() {
#ifdef Q_OS_WIN
    return QStringLiteral(".exe");
#else
    return {};
#endif
}

QString updaterFileName() {
    return QStringLiteral("relaypak") + executableSuffix();
}

QString publishMarkerPath(const QString& programPath) {
    const QFileInfo fi(programPath);
    return withSeparator(fi.absolutePath()) + programName(fi.fileName()) + QStringLiteral(".publish");
}

UpdateEnvironment currentUpdateEnvironment() {
    UpdateEnvironment env;
    env.programPath = QCoreApplication::applicationFilePath();
    env.launch = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments, QFileInfo(program).absolutePath());
    };
    return env;
}

UpdateOutcome MiseAJour(Dialogs& dialogs) {
    return MiseAJour(dialogs, currentUpdateEnvironment());
}

UpdateOutcome MiseAJour(Dialogs& dialogs, const UpdateEnvironment& env) {
    const QFileInfo program(env.programPath);
    const QString L = withSeparator(program.absolutePath());
    const QString fileName = program.fileName();
    const QString N = programName(fileName);

    QString U = ParamètreLire(kSetting);
    QString P = U;

    if (U != u"-" && !U.isEmpty()) {
        U = withSeparator(U);
        if (!DossierExiste(U))
            return UpdateOutcome::Continue; // off the network: go on without a word
        if (findUpdater(L, U).isEmpty()) {
            const QString text =
                notFoundText(U) + CrLf() + tr(u"Désirez-vous CONSERVER ce nom de répertoire ?") + CrLf(2) +
                tr(u"Répondez OUI S'IL EST TEMPORAIREMENT INATTEIGNABLE.") + CrLf(2) +
                tr(u"Répondez NON pour changer de répertoire ou renoncer définitivement à ce "
                   u"service.");
            if (dialogs.question(text, Icon::Question, tr(u"Vendrel - Attention")))
                return UpdateOutcome::Continue;
            U.clear();
        }
    }

    if (U.isEmpty()) {
        const QString text = folderPromptText(P);
        for (;;) {
            U = dialogs.prompt(text, tr(u"Vendrel"), P).trimmed();
            if (U.isEmpty())
                return UpdateOutcome::Continue; // the setting keeps its value
            if (U == u"-")
                break;
            U = withSeparator(U);
            if (!findUpdater(L, U).isEmpty())
                break;
            dialogs.message(notFoundText(U), Icon::Exclamation, tr(u"Vendrel - Attention !"));
            P = U;
        }
        ParamètreEcrire(kSetting, U);
    }

    if (U == u"-")
        return UpdateOutcome::Continue;

    if (sameFolder(L, U)) {
        dialogs.message(
            tr(u"Il n'est pas permis d'exécuter ce programme depuis son répertoire de mise à jour !") +
                CrLf(2) +
                tr(u"Vous pouvez cependant en faire une copie sur votre disque dur et exécuter cette "
                   u"dernière !"),
            Icon::Exclamation, tr(u"Vendrel - Attention"));
        return UpdateOutcome::EndProgram;
    }

    const auto localDate = modifiedSeconds(L + fileName);
    if (!localDate) {
        dialogs.message(tr(u"Je ne peux pas obtenir la date du fichier \"") + L + fileName + tr(u"\" !"),
                        Icon::Exclamation, tr(u"Vendrel - Avertissement"));
        return UpdateOutcome::Continue;
    }

    if (FichierExiste(publishMarkerPath(env.programPath)))
        return publish(dialogs, L + fileName, *localDate, N, L, U);

    const QString network = U + fileName;
    if (!FichierExiste(network))
        return UpdateOutcome::Continue;
    const auto networkDate = modifiedSeconds(network);
    if (!networkDate || *networkDate <= *localDate)
        return UpdateOutcome::Continue;

    const QString updater = findUpdater(L, U);
    if (!updater.isEmpty() && env.launch && env.launch(updater, {network, L + fileName}))
        return UpdateOutcome::EndProgram; // the updater waits for this program to end

    const QString text =
        tr(u"Le programme \"") + N +
        tr(u"\" doit être mis à jour mais je ne peux pas lancer le programme de mise à jour (") +
        updaterFileName() + tr(u") !") + CrLf(2);
    return dialogs.question(text, Icon::Question, tr(u"Vendrel - Attention")) ? UpdateOutcome::Continue
                                                                              : UpdateOutcome::EndProgram;
}

} // namespace qs
