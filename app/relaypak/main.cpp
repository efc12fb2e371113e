// relaypak "NEW VERSION" "PROGRAM": started by the program when a newer build waits in its update folder.
// Waits until the program has ended, checks that the new version runs here, replaces the program by it
// (the old one kept beside) and starts it again; a new version that stops at its start is replaced by the
// old one again. Whatever happens, the program is started again and finds the outcome beside it, in
// French, to show once; the reason of a failure also goes to standard error.
#include "replace.h"

#include "lib/updatefiles.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <cstdio>

namespace {

constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

void say(FILE* stream, const QString& text) {
    const QByteArray b = text.toLocal8Bit() + '\n';
    std::fwrite(b.constData(), 1, size_t(b.size()), stream);
    std::fflush(stream);
}

QString usage() {
    return QStringLiteral(
        "Usage : relaypak [--attente SECONDES] [--sans-relance] \"NOUVELLE VERSION\" \"PROGRAMME\"\n\n"
        "Attend la fin du PROGRAMME, le remplace par la NOUVELLE VERSION, puis le relance.\n\n"
        "Options :\n"
        "  --attente SECONDES  attente maximale de la fin du programme (30 par défaut)\n"
        "  --sans-relance      ne relance pas le programme\n"
        "  -h, --aide          affiche cette aide");
}

// Paths may come with the double quotes of a Windows-style command line still around them.
QString unquoted(QString s) {
    if (s.size() >= 2 && s.front() == u'"' && s.back() == u'"')
        s = s.mid(1, s.size() - 2);
    return s;
}

} // namespace

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // Started detached, its standard error may be a pipe nobody reads any more: writing the reason of a
    // failure must not kill it before it has restarted the program.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);

    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("aide"), QStringLiteral("help")},
                                  QStringLiteral("affiche cette aide"));
    const QCommandLineOption wait(QStringLiteral("attente"), QStringLiteral("attente maximale"),
                                  QStringLiteral("secondes"), QStringLiteral("30"));
    const QCommandLineOption noRestart(QStringLiteral("sans-relance"), QStringLiteral("ne relance pas"));
    parser.addOptions({help, wait, noRestart});
    if (!parser.parse(QCoreApplication::arguments())) {
        const QStringList unknown = parser.unknownOptionNames();
        say(stderr, (unknown.isEmpty() ? QStringLiteral("Valeur manquante après « --attente ».")
                                       : QStringLiteral("Option inconnue : « %1 ».").arg(unknown.first())) +
                        u'\n' + usage());
        return kUsage;
    }
    if (parser.isSet(help)) {
        say(stdout, usage());
        return kOk;
    }
    const QStringList paths = parser.positionalArguments();
    if (paths.size() != 2) {
        say(stderr, usage());
        return kUsage;
    }
    bool ok = false;
    const double seconds = parser.value(wait).toDouble(&ok);
    if (!ok || seconds < 0 || seconds > 24 * 3600) {
        say(stderr, QStringLiteral("Attente invalide : « %1 » (un nombre de secondes est attendu).")
                        .arg(parser.value(wait)));
        return kUsage;
    }

    const QString newVersion = QFileInfo(unquoted(paths.at(0))).absoluteFilePath();
    const QString program = QFileInfo(unquoted(paths.at(1))).absoluteFilePath();
    const bool restart = !parser.isSet(noRestart);
    // The program is never left closed: whatever happened, the version in place is started again.
    const auto fail = [&](const QString& why) {
        const QString text =
            why + QStringLiteral("\nMise à jour abandonnée, l'ancienne version est conservée.");
        say(stderr, text);
        relaypak::writeReport(program, false, QString(text).replace(u'\n', u' '));
        if (restart && QFileInfo(program).isFile() &&
            !QProcess::startDetached(program, {}, QFileInfo(program).absolutePath()))
            say(stderr, QStringLiteral("Je ne parviens pas à relancer le programme \"%1\".").arg(program));
        return kFailure;
    };

    if (!relaypak::waitUntilFree(program, int(seconds * 1000)))
        return fail(
            QStringLiteral("Le programme \"%1\" est toujours en cours d'exécution après %2 secondes (une "
                           "autre de ses fenêtres est sans doute ouverte).")
                .arg(program)
                .arg(seconds));
    const QString why = relaypak::replaceProgram(newVersion, program);
    if (!why.isEmpty())
        return fail(why);
    relaypak::writeReport(
        program, true,
        QStringLiteral("Le programme \"%1\" a été mis à jour avec la version du %2.")
            .arg(program,
                 QFileInfo(newVersion).lastModified().toString(QStringLiteral("dd.MM.yyyy à hh:mm"))));
    if (!restart)
        return kOk;
    const relaypak::Start start = relaypak::startAndWatch(program, 30000);
    if (start == relaypak::Start::Started || start == relaypak::Start::StillRunning)
        return kOk;
    QString cause;
    if (!relaypak::restoreBackup(program, &cause))
        return fail(QStringLiteral("La nouvelle version ne démarre pas et je ne parviens pas à remettre "
                                   "l'ancienne (%1) : elle est dans \"%2\".")
                        .arg(cause, qs::updatefiles::backupPath(program)));
    return fail(
        start == relaypak::Start::NotStarted
            ? QStringLiteral("La nouvelle version ne peut pas être lancée : l'ancienne est remise en place.")
            : QStringLiteral("La nouvelle version s'est arrêtée dès son démarrage : l'ancienne est remise "
                             "en place."));
}
