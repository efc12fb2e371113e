#include "commands/selection.h"

#include "commands/mainstate.h"
#include "commands/regenerate.h"
#include "generate/imgindex.h"
#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/htmltext.h"
#include "lib/sitelock.h"
#include "site/listing.h"

#include <QDir>

namespace qs {

void tEffacer(MainState& state) {
    state.controls.tTitre.clear();
    state.controls.tTexte.clear();
}

void cEffacer(MainState& state) {
    tEffacer(state);
    state.tListe.clear();
    ControlState& c = state.controls;
    c.tAjouterEnabled = false;
    c.tModifierEnabled = false;
    c.tSupprimerEnabled = false;
    c.tImporterEnabled = false;
    c.ImgIndexEnabled = false;
}

void dEffacer(MainState& state) {
    cEffacer(state);
    state.cListe.clear();
    state.controls.cAjouterEnabled = false;
}

void domainesInit(MainState& state) {
    state.dListe.clear();
    state.cListe.clear();
    state.tListe.clear();
    state.controls.ImgIndexEnabled = false;
    // The lists of the site being left are gone: nothing of them can be regenerated correctly any more.
    state.currentDomain.clear();
    state.currentCategory.clear();
    state.pageNames = QStringList{QString()};
    for (const QString& name : siteDomains(state.values.Répertoire, DomainListing::Opening))
        state.dListe.add(name);
    state.notify();
}

void DomainesLister(MainState& state, const QString& name) {
    // Write what is current while the lists still describe it: once they are emptied, a later
    // regeneration would write its index pages without their categories and pages.
    dEnregistrer(state);
    state.currentDomain.clear();
    state.currentCategory.clear();

    state.dListe.clear();
    state.cListe.clear();
    state.tListe.clear();
    state.pageNames = QStringList{QString()};
    for (const QString& domain : siteDomains(state.values.Répertoire, DomainListing::Command))
        state.dListe.add(domain);
    if (!name.isEmpty()) {
        const int row = state.dListe.find(name);
        if (row >= 0) {
            state.dListe.select(row);
            dListe_Click(state);
        }
    }
    state.currentDomain = state.dListe.selectedText();
    state.currentCategory = state.cListe.selectedText();

    ControlState& c = state.controls;
    c.cAjouterEnabled = !state.currentDomain.isEmpty();
    c.tAjouterEnabled = c.tImporterEnabled = c.ImgIndexEnabled = !state.currentCategory.isEmpty();
    c.tModifierEnabled = false;
    c.tSupprimerEnabled = false;
    tEffacer(state);
    Enregistrer(state);
    state.notify();
}

void dListe_Click(MainState& state) {
    if (!state.currentDomain.isEmpty())
        dEnregistrer(state);
    dEffacer(state);
    if (state.dListe.selectedRow() >= 0) {
        const QString folder = withSeparator(state.values.Répertoire + state.dListe.selectedText());
        for (const QString& category : domainCategories(folder))
            state.cListe.add(category);
        state.controls.cAjouterEnabled = true;
        if (state.cListe.count() == 0)
            cAjouter_Click(state);
        if (state.cListe.count() == 0)
            state.dListe.select(-1);
    }
    state.currentDomain = state.dListe.selectedText();
    state.notify();
}

void cListe_Click(MainState& state) {
    if (!state.currentCategory.isEmpty())
        cEnregistrer(state);
    cEffacer(state);
    state.pageNames = QStringList{QString()};
    const QString domain = state.dListe.selectedText();
    if (state.cListe.selectedRow() >= 0 && !domain.isEmpty()) {
        BusyPointer busy(state.dialogs);
        const QString category = state.cListe.selectedText();
        state.dialogs.status(QStringLiteral("Lecture de la catégorie « %1 »...").arg(category));
        const QString folder = withSeparator(state.values.Répertoire + domain) + category + sep();
        state.pageNames.append(categoryPages(folder));
        // The rows go into the list at once: one change for the view, however many pages.
        QList<std::pair<QString, int>> rows;
        rows.reserve(state.pageNames.size());
        for (int i = 1; i < state.pageNames.size(); ++i) {
            const QString title = pageTitle(folder + state.pageNames[i]);
            if (!title.isEmpty())
                rows.append({decodeHtmlText(title), i});
            state.dialogs.processEvents();
        }
        state.tListe.addAll(rows);
        state.dialogs.status(
            rows.size() == 1 ? QStringLiteral("Catégorie « %1 » : 1 page").arg(category)
                             : QStringLiteral("Catégorie « %1 » : %2 pages").arg(category).arg(rows.size()));
        ControlState& c = state.controls;
        c.tAjouterEnabled = c.tImporterEnabled = c.ImgIndexEnabled = true;
    }
    state.currentCategory = state.cListe.selectedText();
    state.controls.ImgIndexCaption =
        QStringLiteral("Créer un index des images du répertoire : ") + state.currentCategory;
    state.notify();
}

void cAjouter_Click(MainState& state) {
    cEnregistrer(state);
    const QString domain = state.dListe.selectedText();
    if (domain.isEmpty())
        return;
    const QString name =
        newFolderName(state, NewNameKind::Category, withSeparator(state.values.Répertoire + domain));
    if (name.isEmpty())
        return;
    state.cListe.select(state.cListe.add(name));
    cListe_Click(state);
}

QString newFolderName(MainState& state, NewNameKind kind, const QString& parentFolder) {
    const StructureList& list = kind == NewNameKind::Category ? state.cListe : state.dListe;
    return askNewFolderName(state.dialogs, kind, parentFolder,
                            [&list](const QString& name) { return list.find(name) >= 0; });
}

void ImgIndex_Click(MainState& state) {
    const QString domain = state.dListe.selectedText();
    const QString category = state.cListe.selectedText();
    if (domain.isEmpty() || category.isEmpty() || state.values.Répertoire.isEmpty())
        return;
    const SiteLock lock(state.values.Répertoire);
    if (lockRefused(lock, state.dialogs))
        return;
    QString written;
    qsizetype images = 0;
    {
        BusyPointer busy(state.dialogs);
        const QString folder = withSeparator(state.values.Répertoire + domain) + category + sep();
        if (!writeImgIndex(folder, category, state.currentCategory, state.clock, state.dialogs))
            return;
        written = folder + QString::fromUtf16(kImgIndexFile);
        images = imageFiles(folder).size();
    }
    cListe_Click(state);
    state.currentDomain = state.dListe.selectedText();
    state.currentCategory = state.cListe.selectedText();
    state.notify();
    state.dialogs.message(QStringLiteral("Index des images de la catégorie « %1 » écrit (%2) :")
                                  .arg(category, images == 1 ? QStringLiteral("1 image")
                                                             : QStringLiteral("%1 images").arg(images)) +
                              CrLf() + QDir::toNativeSeparators(written),
                          Icon::Information, QStringLiteral("Liste d'images"));
}

} // namespace qs
