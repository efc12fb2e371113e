#include "commands/mainstate.h"
#include "commands/regenerate.h"
#include "indexer/indexer.h"
#include "lib/dialogs.h"
#include "lib/settings.h"

namespace qs {

namespace {

// "1 page récente", "0 page récente", "12 pages récentes": French keeps 0 and 1 singular.
QString count(qsizetype n, const QString& singular, const QString& plural) {
    return QString::number(n) + QLatin1Char(' ') + (n > 1 ? plural : singular);
}

} // namespace

IndexResult runIndexing(MainState& state, IndexProgress& progress, bool fullText) {
    BusyPointer busy(state.dialogs);
    // The previous lists are trashed only once the new ones are ready, so a stopped run keeps them.
    const bool indexed = siteIndexed();
    const FullTextOptions options{fullText, state.values.CouleurFond, state.values.CouleurTitre,
                                  state.values.CouleurTexte};
    IndexResult result =
        IndexerSite(state.values.Répertoire, state.clock, state.dialogs, progress, indexed, options);
    switch (result.outcome) {
    case IndexResult::Outcome::Written: {
        setSiteIndexed(true);
        progress.written();
        Enregistrer(state);
        QString text =
            QStringLiteral("Indexation terminée : ") +
            count(result.recent, QStringLiteral("page récente"), QStringLiteral("pages récentes")) +
            QStringLiteral(", ") +
            count(result.search, QStringLiteral("page dans l'index"), QStringLiteral("pages dans l'index")) +
            QLatin1Char('.');
        if (!result.unreadable.isEmpty())
            text += QStringLiteral(" Illisibles (titre vide ou dossier omis) : %1.")
                        .arg(result.unreadable.size());
        state.dialogs.status(text);
        break;
    }
    case IndexResult::Outcome::Cancelled:
        state.dialogs.status(
            QStringLiteral("Indexation interrompue : les listes précédentes sont conservées."));
        break;
    case IndexResult::Outcome::Failed:
        state.dialogs.status({});
        break;
    }
    return result;
}

} // namespace qs
