#include "commands/pageeditor.h"
#include "commands/fragmentedit.h"

#include "commands/mainstate.h"
#include "commands/regenerate.h"
#include "editor/pagefile.h"
#include "generate/fragments.h"
#include "generate/pages.h"
#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/sitelock.h"
#include "lib/text1252.h"

#include <QFileInfo>

namespace qs {

namespace {

const QString kErreur = QStringLiteral("Erreur");

QString pagePath(const MainState& state, int row) {
    const QString folder = selectedCategoryFolder(state);
    const int index = state.tListe.number(row);
    if (folder.isEmpty() || index < 1 || index >= state.pageNames.size())
        return {};
    return folder + state.pageNames[index];
}

// Saving or deleting a page regenerates the category it belongs to. The category may have stopped being
// current (an earlier save or Save of the File menu wrote it and emptied it): it is the selected one
// again, so that its navigation follows every change and the page's foot names it.
void keepCategoryCurrent(MainState& state) {
    if (!state.currentCategory.isEmpty())
        return;
    state.currentDomain = state.dListe.selectedText();
    state.currentCategory = state.cListe.selectedText();
}

void openEditor(MainState& state) {
    ControlState& c = state.controls;
    c.catalogueTabEnabled = false;
    c.tOkVisible = true;
    c.tOkEnabled = false;
    c.tAnnulerVisible = true;
    c.tAnnulerEnabled = true;
    c.tTexteEnabled = true;
    c.currentTab = Tab::Editor;
}

// Back to browsing: the lists usable, the editor's buttons hidden, every box usable, no target.
void closeEditor(MainState& state) {
    ControlState& c = state.controls;
    c.tOkVisible = false;
    c.tOkEnabled = false;
    c.tAnnulerVisible = false;
    c.tAnnulerEnabled = false;
    c.catalogueTabEnabled = true;
    c.tTexteEnabled = true;
    c.tTexteHeadEnabled = true;
    c.tTexteFootEnabled = true;
    // The boxes' page-editing notes ("Bientôt, on pourra...") mean nothing once the page is closed.
    c.tTexteHead.clear();
    c.tTexteFoot.clear();
    state.editTarget = EditTarget::CategoryPage;
}

// A title is one line that is not blank: anything else would write a page that no list shows.
bool titleWritable(const QString& title) {
    return !TexteVide(title) && !title.contains(u'\n') && !title.contains(u'\r');
}

void setNumber(StructureList& list, int row, int number) {
    list.model().item(row)->setData(number, Qt::UserRole);
}

} // namespace

QString selectedCategoryFolder(const MainState& state) {
    const QString domain = state.dListe.selectedText();
    const QString category = state.cListe.selectedText();
    if (domain.isEmpty() || category.isEmpty() || state.values.Répertoire.isEmpty())
        return {};
    return withSeparator(state.values.Répertoire + domain) + category + sep();
}

void tListe_Click(MainState& state) {
    ControlState& c = state.controls;
    const int row = state.tListe.selectedRow();
    c.tModifierEnabled = c.tSupprimerEnabled = c.ImgIndexEnabled = row >= 0;
    c.tTitre.clear();
    c.tTexte.clear();
    if (row >= 0) {
        const QString path = pagePath(state, row);
        QString error;
        const auto lines = path.isEmpty() ? std::nullopt : readLines(path, &error);
        if (lines) {
            c.tTitre = state.tListe.text(row);
            c.tTexte = pageBody(*lines);
        } else {
            c.tModifierEnabled = false;
            state.dialogs.message(error.isEmpty()
                                      ? QStringLiteral("Je ne trouve pas le fichier de la page \"%1\".")
                                            .arg(state.tListe.text(row))
                                      : error,
                                  Icon::Exclamation, kErreur);
        }
    }
    state.notify();
}

void tListe_DblClick(MainState& state) {
    if (state.tListe.selectedRow() >= 0 && state.controls.tModifierVisible &&
        state.controls.tModifierEnabled && state.controls.catalogueTabEnabled)
        tModifier_Click(state);
}

void tAjouter_Click(MainState& state) {
    // A new page belongs to the selected category: without one, OK would have nowhere to write it.
    if (selectedCategoryFolder(state).isEmpty())
        return;
    state.tListe.select(-1);
    tListe_Click(state);
    state.editTarget = EditTarget::CategoryPage;
    openEditor(state);
    state.controls.tTitre = QStringLiteral("Nouveau chapitre");
    state.controls.tTexte.clear();
    state.notify();
}

void tModifier_Click(MainState& state) {
    if (state.tListe.selectedRow() < 0)
        return;
    // The page is edited as it is on disk, whatever the boxes held before (a fragment's text, a note).
    tListe_Click(state);
    if (!state.controls.tModifierEnabled)
        return;
    openEditor(state);
    ControlState& c = state.controls;
    c.tTexteHead = QStringLiteral("Bientôt, on pourra éditer l'en-tête...");
    c.tTexteFoot = QStringLiteral("Bientôt, on pourra éditer le pied de page...");
    c.tTexteHeadEnabled = false;
    c.tTexteFootEnabled = false;
    state.notify();
}

void independentFileNew(MainState& state, EditTarget target) {
    openEditor(state);
    state.controls.tTitre = QStringLiteral("Nouveau chapitre");
    state.controls.tTexte.clear();
    state.editTarget = target;
    state.notify();
}

void Contrôle(MainState& state) {
    const ControlState& c = state.controls;
    const bool enabled = titleWritable(c.tTitre) && (state.imported || !TexteVide(c.tTexte));
    if (enabled != c.tOkEnabled) {
        state.controls.tOkEnabled = enabled;
        state.notify();
    }
}

void tTexte_Change(MainState& state) {
    Contrôle(state);
}

QString tOk_Click(MainState& state) {
    const QString root = state.values.Répertoire;
    const SiteLock lock(root);
    if (lockRefused(lock, state.dialogs))
        return {};
    const bool independent = state.editTarget != EditTarget::CategoryPage;
    QString folder;
    QString name;
    int row = -1;
    int index = 0;
    if (state.editTarget == EditTarget::SiteFolder) {
        folder = root;
    } else if (state.editTarget == EditTarget::DomainFolder) {
        if (!state.dListe.selectedText().isEmpty())
            folder = withSeparator(root + state.dListe.selectedText());
    } else {
        folder = selectedCategoryFolder(state);
        row = state.tListe.selectedRow();
        if (row >= 0) {
            index = state.tListe.number(row);
            name = state.pageNames.value(index);
        }
        if (name.isEmpty()) {
            row = -1;
            index = int(state.pageNames.size());
        }
    }
    if (!titleWritable(state.controls.tTitre)) {
        state.dialogs.message(QStringLiteral("Donnez à la page un titre d'une seule ligne : une page sans "
                                             "titre n'apparaîtrait dans aucune liste."),
                              Icon::Exclamation, kErreur);
        return {};
    }
    if (root.isEmpty() || folder.isEmpty()) {
        // The editor stays open with what was typed: the user can copy it before leaving.
        state.dialogs.message(
            QStringLiteral("La page ne peut pas être enregistrée : aucune catégorie n'est choisie.") +
                CrLf(2) +
                QStringLiteral("Copiez votre texte, cliquez sur « Renoncer », choisissez une catégorie puis "
                               "« Ajouter » et collez-le."),
            Icon::Exclamation, kErreur);
        return {};
    }
    const bool newPage = name.isEmpty();
    if (!independent)
        keepCategoryCurrent(state);

    const ControlState& c = state.controls;
    PageFile page;
    page.independent = independent;
    page.title = c.tTitre;
    page.body = c.tTexte;
    page.couleurFond = state.values.CouleurFond;
    page.couleurTitre = state.values.CouleurTitre;
    page.couleurTexte = state.values.CouleurTexte;
    page.id = ProgrammeID();
    page.date = updateDate(state.clock.now());
    page.user = state.clock.userName();
    page.category = state.currentCategory;
    QString error;
    if (newPage) {
        // Created exclusively: a page another program adds meanwhile keeps its number.
        const QByteArray bytes = encodeLines(pageFileLines(page));
        FileError why;
        name = createNumberedPage(
            folder, {},
            [&](const QString& p, const WriteOptions& o, FileError* e) {
                return writeFileWhole(p, bytes, o, e);
            },
            &why);
        if (name.isEmpty()) {
            state.dialogs.message(fileErrorMessage(folder + freePageName(folder), why), Icon::Exclamation,
                                  kErreur);
            return {};
        }
    } else if (!writeLines(folder + name, pageFileLines(page), &error)) {
        state.dialogs.message(error, Icon::Exclamation, kErreur);
        return {};
    }
    QString path = folder + name;

    int added = -1;
    if (!independent) {
        if (row >= 0)
            state.tListe.removeRow(row);
        else
            state.pageNames.append(name);
        added = state.tListe.add(page.title, index);
    }
    closeEditor(state);
    if (added >= 0)
        state.tListe.select(added);
    // An independent file is not in the list: the editor shows the selected page again.
    tListe_Click(state);
    state.controls.currentTab = Tab::Catalogue;
    cEnregistrer(state);
    state.notify();
    return path;
}

void tAnnuler_Click(MainState& state) {
    if (state.controls.HFOKVisible || !state.fragmentPath.isEmpty())
        fragmentEditEnd(state);
    state.controls.tTitre.clear();
    state.controls.tTexte.clear();
    closeEditor(state);
    const int row = state.tListe.selectedRow();
    state.tListe.select(-1);
    state.tListe.select(row);
    tListe_Click(state);
    state.controls.currentTab = Tab::Catalogue;
    state.notify();
}

bool tSupprimer_Click(MainState& state) {
    const int row = state.tListe.selectedRow();
    if (row < 0)
        return false;
    const SiteLock lock(state.values.Répertoire);
    if (lockRefused(lock, state.dialogs))
        return false;
    const int k = state.tListe.number(row);
    const QString path = pagePath(state, row);
    // A file that is already gone leaves the list all the same; one that stays on disk stays listed, or
    // the list and the folder would disagree.
    if (!path.isEmpty() && FichierExiste(path) && !FichierCorbeille(path)) {
        state.dialogs.message(
            QStringLiteral(
                "Je ne peux pas mettre le fichier \"%1\" à la corbeille : la page \"%2\" est conservée.")
                .arg(path, state.tListe.text(row)),
            Icon::Exclamation, kErreur);
        return false;
    }
    keepCategoryCurrent(state);
    state.controls.tTitre.clear();
    state.controls.tTexte.clear();
    state.tListe.removeRow(row);
    if (k >= 1 && k < state.pageNames.size()) {
        state.pageNames.removeAt(k);
        for (int r = 0; r < state.tListe.count(); ++r)
            if (state.tListe.number(r) > k)
                setNumber(state.tListe, r, state.tListe.number(r) - 1);
    }
    state.tListe.select(-1);
    state.controls.tModifierEnabled = false;
    state.controls.tSupprimerEnabled = false;
    cEnregistrer(state);
    state.notify();
    return true;
}

bool tImporter_Click(MainState& state) {
    state.tListe.select(-1);
    tListe_Click(state);
    const QString path =
        state.dialogs.openFile(QStringLiteral("Importer une page"), state.values.Répertoire,
                               QStringLiteral("Fichiers HTML (*.htm *.html *.shtm *.shtml);;Text (*.txt)"));
    if (path.isEmpty())
        return false;
    QString error;
    const auto lines = readLines(path, &error);
    if (!lines) {
        state.dialogs.message(error, Icon::Exclamation, kErreur);
        return false;
    }
    const ImportedPage imported = importedPage(*lines);
    state.imported = true;
    openEditor(state);
    // A file without a title would give a page that no list shows: its name is proposed instead.
    state.controls.tTitre = TexteVide(imported.title) ? QFileInfo(path).completeBaseName() : imported.title;
    state.controls.tTexte = imported.body;
    Contrôle(state);
    state.notify();
    return true;
}

} // namespace qs
