#include "cli/command.h"

#include "lib/fileio.h"
#include "lib/helpers.h"
#include "version.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace qs::cli {

namespace {
QList<Command>& registry() {
    static QList<Command> list;
    return list;
}
} // namespace

Registration::Registration(Command command) {
    registry().append(std::move(command));
}

const QList<Command>& commands() {
    return registry();
}

namespace {

// A terminal obeys the control characters it is sent: an ESC in a link of a hostile page could colour,
// clear or rewrite the screen. Text for a terminal shows each of them as a visible symbol (ESC as ␛, a
// C1 control as �); a pipe or a file gets the text unchanged, since scripts read it.
QString visibleControls(QString text) {
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 && u != u'\n' && u != u'\t')
            c = QChar(char16_t(0x2400 + u));
        else if (u == 0x7f)
            c = QChar(char16_t(0x2421));
        else if (u >= 0x80 && u < 0xa0)
            c = QChar::ReplacementCharacter;
    }
    return text;
}

void write(std::FILE* stream, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

bool isTerminal(std::FILE* stream) {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) == 1;
#endif
}

void writeLine(std::FILE* stream, const QString& text) {
    write(stream, (isTerminal(stream) ? visibleControls(text) : text).toLocal8Bit());
    std::fputc('\n', stream);
}

} // namespace

void out(const QString& text) {
    writeLine(stdout, text);
}

void err(const QString& text) {
    std::fflush(stdout);
    writeLine(stderr, text);
}

void outBytes(const QByteArray& utf8) {
    write(stdout, isTerminal(stdout) ? visibleControls(QString::fromUtf8(utf8)).toLocal8Bit() : utf8);
    std::fflush(stdout);
}

} // namespace qs::cli

namespace {

void usage(bool toError) {
    QString text = QStringLiteral("Usage : quillsite-cli COMMANDE [OPTIONS] [ARGUMENTS]\n\n"
                                  "Quillsite sans fenêtre : les mêmes opérations que la fenêtre, pour les "
                                  "scripts et les grands sites.\n\nCommandes :\n");
    QList<qs::cli::Command> list = qs::cli::commands();
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    for (const auto& c : list)
        text += QStringLiteral("  %1%2\n").arg(c.name.leftJustified(16), c.summary);
    text += QStringLiteral("\n« quillsite-cli COMMANDE --help » décrit une commande.");
    if (toError)
        qs::cli::err(text);
    else
        qs::cli::out(text);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Vendrel"));
    QCoreApplication::setApplicationName(QString::fromUtf16(qs::kProgramName));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLSITE_VERSION));

    // Test hook: the process ends just before its n-th file step, as a kill at that moment would.
    if (const int n = qEnvironmentVariableIntValue("QUILLSITE_STOP_BEFORE_STEP"); n > 0)
        qs::setStopBeforeFileStep(n);

    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        usage(true);
        return qs::cli::kUsage;
    }
    const QString& name = args.at(1);
    if (name == u"--help" || name == u"-h" || name == u"aide") {
        usage(false);
        return qs::cli::kOk;
    }
    if (name == u"--version" || name == u"-v") {
        qs::cli::out(QStringLiteral("quillsite-cli %1").arg(QStringLiteral(QUILLSITE_VERSION)));
        return qs::cli::kOk;
    }
    for (const auto& c : qs::cli::commands()) {
        if (c.name == name) {
            QStringList rest = args.mid(2);
            rest.prepend(QStringLiteral("quillsite-cli %1").arg(name));
            return c.run(rest);
        }
    }
    qs::cli::err(QStringLiteral("Commande inconnue : « %1 ».").arg(name));
    usage(true);
    return qs::cli::kUsage;
}
