#pragma once

#include "cli/command.h"
#include "lib/clock.h"
#include "lib/helpers.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <memory>

namespace qs::cli {

// --maintenant "AAAA-MM-JJ HH:MM": the moment a command takes as now, so that a script or a test can
// reproduce a run (dates written into pages, the indexer's reference day).
inline QCommandLineOption nowOption() {
    return QCommandLineOption(QStringLiteral("maintenant"),
                              QStringLiteral("Date et heure à prendre pour maintenant (AAAA-MM-JJ HH:MM)."),
                              QStringLiteral("AAAA-MM-JJ HH:MM"));
}

// The clock of the command: the system's, or the moment given. Nothing after a message when the moment
// cannot be read.
inline std::unique_ptr<Clock> clockFromOption(const QCommandLineParser& parser,
                                              const QCommandLineOption& option) {
    if (!parser.isSet(option))
        return std::make_unique<SystemClock>();
    const QString text = parser.value(option).trimmed();
    const std::optional<QDateTime> when = parseMoment(text);
    if (!when) {
        err(QStringLiteral("Date incorrecte : « %1 ». Donnez-la sous la forme AAAA-MM-JJ HH:MM, par exemple "
                           "2026-03-09 10:00.")
                .arg(text));
        return nullptr;
    }
    return std::make_unique<FixedClock>(*when, UtilisateurNom());
}

} // namespace qs::cli
