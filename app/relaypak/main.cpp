// relaypak "NEW VERSION" "PROGRAM": started by the program when a newer build waits in its update folder.
// Waits until the program has ended, replaces it by the new version and starts it again. On any failure the
// old program stays in place and the reason goes to standard error.
#include "replace.h"

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

    if (!relaypak::waitUntilFree(program, int(seconds * 1000))) {
        say(stderr,
            QStringLiteral("Le programme \"%1\" est toujours en cours d'exécution après %2 secondes : "
                           "mise à jour abandonnée, l'ancienne version est conservée.")
                .arg(program)
                .arg(seconds));
        return kFailure;
    }

    int code = kOk;
    const QString why = relaypak::replaceProgram(newVersion, program);
    if (!why.isEmpty()) {
        say(stderr, why + QStringLiteral("\nMise à jour abandonnée, l'ancienne version est conservée."));
        code = kFailure;
    }
    // The program has ended either way: bring it back, updated or not, so the user is not left without it.
    if (!parser.isSet(noRestart) && QFileInfo(program).isFile()) {
        if (!QProcess::startDetached(program, {}, QFileInfo(program).absolutePath())) {
            say(stderr, QStringLiteral("Je ne parviens pas à relancer le programme \"%1\".").arg(program));
            code = kFailure;
        }
    }
    return code;
}
