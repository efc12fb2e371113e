#pragma once

#include <QString>
#include <QStringList>

#include <functional>

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

// Messages for the user: standard output for results, standard error for failures.
void out(const QString& text);
void err(const QString& text);

} // namespace qs::cli
