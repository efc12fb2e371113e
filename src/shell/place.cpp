#include "shell/place.h"

#include "commands/mainstate.h"
#include "commands/pageeditor.h"
#include "commands/selection.h"
#include "lib/files.h"
#include "site/listing.h"

#include <QDir>

namespace qs {

namespace {

QString domainFolder(const MainState& state) {
    const QString domain = state.dListe.selectedText();
    return domain.isEmpty() ? QString() : withSeparator(state.values.Répertoire + domain);
}

QString categoryFolder(const MainState& state) {
    const QString domain = domainFolder(state);
    const QString category = state.cListe.selectedText();
    return domain.isEmpty() || category.isEmpty() ? QString() : withSeparator(domain + category);
}

QString selectedPageFile(const MainState& state) {
    const int row = state.tListe.selectedRow();
    const int index = row < 0 ? -1 : state.tListe.number(row);
    return index >= 1 && index < state.pageNames.size() ? state.pageNames[index] : QString();
}

// The folder's "Index.htm" whatever its case, or "" when there is none.
QString indexPage(const QString& folder) {
    if (folder.isEmpty())
        return {};
    const QStringList found = QDir(folder).entryList({QStringLiteral("Index.htm")}, QDir::Files);
    return found.isEmpty() ? QString() : folder + found.first();
}

} // namespace

SitePlace currentPlace(const MainState& state) {
    return {state.dListe.selectedText(), state.cListe.selectedText(), selectedPageFile(state)};
}

void restorePlace(MainState& state, const SitePlace& place) {
    const int d = place.domain.isEmpty() ? -1 : state.dListe.find(place.domain);
    if (d < 0 || domainCategories(withSeparator(state.values.Répertoire + state.dListe.text(d))).isEmpty())
        return;
    state.dListe.select(d);
    dListe_Click(state);
    const int c = place.category.isEmpty() ? -1 : state.cListe.find(place.category);
    if (c < 0)
        return;
    state.cListe.select(c);
    cListe_Click(state);
    if (place.pageFile.isEmpty())
        return;
    for (int row = 0; row < state.tListe.count(); ++row) {
        const int index = state.tListe.number(row);
        if (index >= 1 && index < state.pageNames.size() &&
            state.pageNames[index].compare(place.pageFile, Qt::CaseInsensitive) == 0) {
            state.tListe.select(row);
            tListe_Click(state);
            return;
        }
    }
}

Preview previewTarget(const MainState& state) {
    if (const QString page = selectedPageFile(state); !page.isEmpty()) {
        const QString path = categoryFolder(state) + page;
        if (FichierExiste(path))
            return {path, {}};
    }
    const QString category = categoryFolder(state);
    const QString domain = domainFolder(state);
    const QString folder = !category.isEmpty() ? category : domain;
    if (folder.isEmpty())
        return {state.values.Adresse, {}};
    if (const QString index = indexPage(folder); !index.isEmpty())
        return {index, {}};
    const QString what = !category.isEmpty()
                             ? QStringLiteral("de la catégorie « %1 »").arg(state.cListe.selectedText())
                             : QStringLiteral("du domaine « %1 »").arg(state.dListe.selectedText());
    return {folder + QStringLiteral("Index.htm"),
            QStringLiteral("La page d'index %1 n'a pas encore été générée : Fichier → Enregistrer "
                           "(Ctrl+S) la génère.")
                .arg(what)};
}

} // namespace qs
