#include "lib/update.h"

#include "lib/dialogs.h"
#include "lib/fileio.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/settings.h"
#include "lib/updatefiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>

#include <filesystem>
#include <optional>
#include <system_error>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
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
        QString path = folder + updaterFileName();
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
        error = fileErrorCause(in, FileError::Operation::Read);
        return {};
    }
    QTemporaryFile out(folder + u'.' + QFileInfo(source).fileName() + QStringLiteral(".XXXXXX"));
    out.setAutoRemove(false);
    if (!out.open()) {
        error = fileErrorCause(out, FileError::Operation::Write);
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
            return fail(fileErrorCause(in, FileError::Operation::Read));
        if (out.write(chunk) != chunk.size())
            return fail(fileErrorCause(out, FileError::Operation::Write));
    }
    if (!out.flush() || out.size() != in.size())
        return fail(fileErrorCause(out, FileError::Operation::Write));
#ifdef Q_OS_UNIX
    if (::fsync(out.handle()) != 0)
        return fail(fileErrorCause(out, FileError::Operation::Write));
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

QList<qint64> runningInstances(const QString& programPath) {
    QList<qint64> pids;
#if defined(Q_OS_LINUX)
    // A process runs the file when its /proc/<pid>/exe is that very file, whatever path started it.
    struct stat target {};
    if (::stat(QFile::encodeName(programPath).constData(), &target) != 0)
        return pids;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return pids;
    const qint64 self = ::getpid();
    while (const dirent* entry = ::readdir(proc)) {
        const char* name = entry->d_name;
        if (name[0] < '1' || name[0] > '9')
            continue;
        const qint64 pid = QByteArray(name).toLongLong();
        struct stat st {};
        const QByteArray exe = QByteArrayLiteral("/proc/") + name + QByteArrayLiteral("/exe");
        if (pid != self && ::stat(exe.constData(), &st) == 0 && st.st_dev == target.st_dev &&
            st.st_ino == target.st_ino)
            pids.append(pid);
    }
    ::closedir(proc);
#else
    Q_UNUSED(programPath);
#endif
    return pids;
}

std::optional<UpdateReport> updateFinished(const QString& programPath) {
    QFile::remove(updatefiles::backupPath(programPath));
    QFile file(updatefiles::reportPath(programPath));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(64 << 10);
    file.close();
    file.remove();
    const qsizetype eol = bytes.indexOf('\n');
    UpdateReport report;
    report.ok = bytes.left(eol).trimmed() == "ok";
    report.text = QString::fromUtf8(eol < 0 ? QByteArray() : bytes.mid(eol + 1)).trimmed();
    if (report.text.isEmpty())
        return std::nullopt;
    return report;
}

bool printVersionIfAsked(int argc, char** argv) {
    if (argc != 2 || QByteArray(argv[1]) != updatefiles::versionOption())
        return false;
    const QByteArray line = ProgrammeID().toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
    return true;
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
        if (!DossierExiste(U)) {
            // Off the network: at start-up, go on without a word.
            if (env.fromMenu)
                dialogs.message(tr(u"Le répertoire de mise à jour \"") + U +
                                    tr(u"\" est inaccessible : la mise à jour n'est pas faite."),
                                Icon::Exclamation, tr(u"Vendrel - Mise à jour"));
            return UpdateOutcome::Continue;
        }
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
            // A folder that does not exist or lacks the program is refused, never stored.
            QString refusal;
            if (!DossierExiste(U))
                refusal = tr(u"Le répertoire \"") + U + tr(u"\" n'existe pas ou n'est pas accessible.");
            else if (!FichierExiste(U + fileName))
                refusal = tr(u"Le répertoire \"") + U + tr(u"\" ne contient pas le programme \"") + fileName +
                          tr(u"\".");
            else if (findUpdater(L, U).isEmpty())
                refusal = notFoundText(U);
            if (refusal.isEmpty())
                break;
            dialogs.message(refusal, Icon::Exclamation, tr(u"Vendrel - Attention !"));
            P = U;
        }
        ParamètreEcrire(kSetting, U);
    }

    if (U == u"-") {
        if (env.fromMenu)
            dialogs.message(
                tr(u"La mise à jour automatique est désactivée (répertoire de mise à jour « - »)."),
                Icon::Information, tr(u"Vendrel - Mise à jour"));
        return UpdateOutcome::Continue;
    }

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
    const auto tell = [&](const QString& text) {
        if (env.fromMenu)
            dialogs.message(text, Icon::Information, tr(u"Vendrel - Mise à jour"));
        return UpdateOutcome::Continue;
    };
    if (!FichierExiste(network))
        return tell(tr(u"Le répertoire de mise à jour \"") + U + tr(u"\" ne contient pas le programme \"") +
                    fileName + tr(u"\" : la mise à jour n'est pas faite."));
    const auto networkDate = modifiedSeconds(network);
    if (!networkDate || *networkDate <= *localDate)
        return tell(tr(u"Le programme \"") + N + tr(u"\" est à jour : le répertoire \"") + U +
                    tr(u"\" n'en contient pas de version plus récente."));
    // The program closes only for an update that can take place.
    QFile newer(network);
    if (!newer.open(QIODevice::ReadOnly) || newer.read(1).isEmpty())
        return tell(tr(u"Je ne peux pas lire la nouvelle version \"") + network +
                    tr(u"\" : la mise à jour n'est pas faite."));
    newer.close();
    const QList<qint64> others =
        env.otherInstances ? env.otherInstances(L + fileName) : runningInstances(L + fileName);
    if (!others.isEmpty()) {
        QStringList numbers;
        for (const qint64 pid : others)
            numbers.append(QString::number(pid));
        dialogs.message(
            tr(u"Une nouvelle version du programme \"") + N +
                tr(u"\" est disponible, mais une autre de ses fenêtres est ouverte (processus n° ") +
                numbers.join(QStringLiteral(", ")) +
                tr(u") : fermez-la, puis choisissez « Mise à jour » dans le menu Outils.") + CrLf(2) +
                tr(u"La mise à jour n'est pas faite pour l'instant."),
            Icon::Exclamation, tr(u"Vendrel - Attention"));
        return UpdateOutcome::Continue;
    }

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
