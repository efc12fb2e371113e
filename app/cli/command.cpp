#include "cli/command.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace qs::cli {

std::optional<int> parseCommandLine(QCommandLineParser& parser, const QStringList& arguments,
                                    const QString& help) {
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("aide"), QStringLiteral("help")},
                                        QStringLiteral("Affiche cette aide."));
    parser.addOption(helpOption);
    if (!parser.parse(arguments)) {
        err(parser.errorText() + u'\n' + help);
        return kUsage;
    }
    if (parser.isSet(helpOption)) {
        out(help);
        return kOk;
    }
    return std::nullopt;
}

std::optional<int> parseCommandLine(QCommandLineParser& parser, const QStringList& arguments,
                                    const QString& help, qsizetype count, const QString& problem) {
    if (const auto stop = parseCommandLine(parser, arguments, help))
        return stop;
    if (parser.positionalArguments().size() != count)
        return usageError(problem, help);
    return std::nullopt;
}

int usageError(const QString& problem, const QString& help) {
    err(problem + u'\n' + help);
    return kUsage;
}

} // namespace qs::cli
