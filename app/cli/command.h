#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

QT_BEGIN_NAMESPACE
class QCommandLineParser;
QT_END_NAMESPACE

namespace qs::cli {

// Exit codes of quillsite-cli.
inline constexpr int kOk = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsage = 2;

// One sub-command: `quillsite-cli NAME ARGS...`. `run` gets the arguments after the name (argv[0] first,
// then the rest, ready for QCommandLineParser) and returns the exit code.
struct Command {
    QString name;
    QString summary;
    std::function<int(const QStringList& arguments)> run;
};

// Registers a command at start-up; each command's source file holds one static Registration.
struct Registration {
    explicit Registration(Command command);
};

const QList<Command>& commands();

// Messages for the user, each a line: standard output for results, standard error for failures. On a
// terminal, control characters (from a page's links, say) are shown as symbols rather than obeyed.
void out(const QString& text);
void err(const QString& text);
// UTF-8 bytes for standard output, as they are unless it is a terminal (then as out() shows them).
void outBytes(const QByteArray& utf8);

// Reads a command's line with the options already added to `parser`, plus "-h, --aide, --help". Returns
// the exit code when the command stops there: kUsage after the parser's complaint and `help` on standard
// error, kOk after `help` on standard output when it is asked for. std::nullopt when the command goes on.
std::optional<int> parseCommandLine(QCommandLineParser& parser, const QStringList& arguments,
                                    const QString& help);

// The same, then exactly `count` positional arguments, else usageError(problem, help).
std::optional<int> parseCommandLine(QCommandLineParser& parser, const QStringList& arguments,
                                    const QString& help, qsizetype count, const QString& problem);

// A malformed command: `problem`, then `help`, on standard error. Returns kUsage.
int usageError(const QString& problem, const QString& help);

} // namespace qs::cli
