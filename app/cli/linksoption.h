#pragma once

// The --liens option of the commands that move pages or folders: the links of the site follow.
#include "cli/command.h"
#include "commands/mainstate.h"
#include "explorer/linkupdate.h"
#include "lib/changejournal.h"

#include <QCommandLineOption>
#include <QObject>

namespace qs::cli {

inline QCommandLineOption linksOption() {
    return QCommandLineOption(QStringLiteral("liens"),
                              QStringLiteral("Met à jour les liens des pages vers l'ancienne adresse."));
}

inline constexpr const char16_t* kLinksHelp =
    u"  --liens     met à jour, sans demander, les liens des pages du site qui menaient à l'ancienne\n"
    u"              adresse (annulable par « quillsite-cli remplacer --annuler »)\n";

// Records where the command moved things, then rewrites the links to them.
class LinkFollower {
public:
    explicit LinkFollower(MainState& state) : state_(state) {
        QObject::connect(&state, &MainState::relocated,
                         [this](const QString& from, const QString& to, bool folder) {
                             moves_.append({from, to, folder});
                         });
    }
    bool moved() const { return !moves_.isEmpty(); }
    // False when a page could not be updated (the message names it).
    bool follow() {
        if (moves_.isEmpty())
            return true;
        ChangeJournal journal(ChangeJournal::defaultFolder(QStringLiteral("remplacement")));
        const LinkUpdateOutcome outcome =
            updateLinks(state_.dialogs, state_.values.Répertoire, moves_, false, &journal);
        out(QStringLiteral("%1 lien(s) mis à jour dans %2 page(s).")
                .arg(outcome.links)
                .arg(outcome.changed.size()));
        return outcome.errors.isEmpty();
    }

private:
    MainState& state_;
    QList<Relocation> moves_;
};

} // namespace qs::cli
