// The category commands: the right click on the category list and its menu "Edition2" (the add button
// is part of the listing: selecting a domain without categories presses it).
#include "commands/commands.h"
#include "commands/foldercommands.h"
#include "commands/fragmentedit.h"
#include "commands/mainstate.h"
#include "commands/pageeditor.h"
#include "commands/regenerate.h"
#include "commands/selection.h"
#include "generate/fragments.h"
#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/sitelock.h"
#include "site/listing.h"

namespace qs {

namespace {

QString quoted(const QString& s) {
    return u'"' + s + u'"';
}

QString renameRefusal(const QString& domainFolder, const QString& domain, const QString& category,
                      const QString& name) {
    if (name.compare(category, Qt::CaseInsensitive) == 0)
        return QStringLiteral("La catégorie s'appelle déjà %1.").arg(quoted(category)) + CrLf(2) +
               QStringLiteral("Donnez un autre nom.");
    if (const QString taken = existingEntry(domainFolder, name); !taken.isEmpty())
        return QStringLiteral(
                   "Le domaine %1 a déjà un dossier %2 : la catégorie %3 ne peut pas prendre ce nom.")
                   .arg(quoted(domain), quoted(taken), quoted(category)) +
               CrLf(2) + QStringLiteral("Donnez un autre nom.");
    return {};
}

// The lists after a copy, rename or delete: the domain's categories as found on disk, none selected, no
// page, and the home page rewritten. After a delete that left the domain empty, a first category is
// asked for; when none is given, no domain stays selected.
void rebuild(MainState& state, bool afterDelete, const QString& arrived = {}) {
    state.cListe.clear();
    state.tListe.clear();
    state.pageNames = QStringList{QString()};
    const QString domain = state.dListe.selectedText();
    for (const QString& category : domainCategories(withSeparator(state.values.Répertoire + domain)))
        state.cListe.add(category);
    // A renamed category is gone: nothing of it is to be written any more.
    state.currentCategory.clear();
    if (!arrived.isEmpty())
        regenerateCategories(state, {arrived});
    state.currentDomain = domain;
    state.currentCategory = state.cListe.selectedText();
    ControlState& c = state.controls;
    c.tAjouterEnabled = c.tModifierEnabled = c.tSupprimerEnabled = c.tImporterEnabled = c.ImgIndexEnabled =
        false;
    c.ImgIndexCaption = QStringLiteral("Créer un index des images du répertoire :");
    tEffacer(state);
    // After the buttons: the add command's own selection handling enables them for the new category.
    if (afterDelete && state.cListe.count() == 0) {
        cAjouter_Click(state);
        if (state.cListe.count() == 0) {
            state.dListe.select(-1);
            c.cAjouterEnabled = false;
        }
    }
    Enregistrer(state);
    state.notify();
}

// An abandoned command leaves what is current as the lists show it.
void abandon(MainState& state) {
    state.currentDomain = state.dListe.selectedText();
    state.currentCategory = state.cListe.selectedText();
}

void copyCategory(MainState& state, const QString& domainFolder, const QString& category) {
    const QString name = askFolderName(state, QStringLiteral("Donnez un nouveau nom : "),
                                       QStringLiteral("Copier la catégorie"), domainFolder);
    if (name.isEmpty())
        return abandon(state);
    const QString existing = existingEntry(domainFolder, name);
    {
        BusyPointer busy(state.dialogs);
        DossierCopier(domainFolder + category, domainFolder + (existing.isEmpty() ? name : existing),
                      state.dialogs);
    }
    // A new category holds the copied pages written under the old name: they are rewritten.
    rebuild(state, false, existing.isEmpty() ? name : QString());
}

void renameCategory(MainState& state, const QString& domainFolder, const QString& domain,
                    const QString& category) {
    const QString prompt = QStringLiteral("Le nom de la catégorie actuelle est : ") + category + CrLf(2) +
                           QStringLiteral("Nouveau nom :");
    const QString name =
        askFolderName(state, prompt, QStringLiteral("Renommer la catégorie"), domainFolder,
                      [&](const QString& n) { return renameRefusal(domainFolder, domain, category, n); });
    if (name.isEmpty())
        return abandon(state);
    RenameResult result;
    {
        BusyPointer busy(state.dialogs);
        result = renameFolder(state, domainFolder + category, domainFolder + name);
    }
    if (!result.moved)
        state.dialogs.message(
            QStringLiteral("La catégorie %1 est conservée : sa copie dans %2 est incomplète "
                           "(%3 fichier(s) copié(s)).")
                .arg(quoted(category), quoted(name))
                .arg(result.copied),
            Icon::Exclamation, QStringLiteral("Erreur"));
    rebuild(state, false, result.moved ? name : QString());
    if (result.moved)
        Q_EMIT state.relocated(domainFolder + category, domainFolder + name, true);
}

void deleteCategory(MainState& state, const QString& domainFolder, const QString& category) {
    if (!state.dialogs.questionNoByDefault(
            QStringLiteral("Êtes-vous sûr de vouloir supprimer cette catégorie ?"), Icon::Question,
            QStringLiteral("Attention")))
        return abandon(state);
    {
        BusyPointer busy(state.dialogs);
        DossierSupprimer(domainFolder + category);
    }
    rebuild(state, true);
}

} // namespace

bool cListe_MouseUp(MainState& state, Qt::MouseButton button, int row) {
    if (button != Qt::RightButton)
        return false;
    if (row < 0 || row >= state.cListe.count()) {
        state.dialogs.beep();
        return false;
    }
    if (state.cListe.selectedRow() != row) {
        state.cListe.select(row);
        cListe_Click(state);
    }
    state.currentDomain = state.dListe.selectedText();
    state.ListeCourante = &state.cListe;
    return true;
}

CommandOutcome mod2_Click(MainState& state, FolderCommand command) {
    const SiteLock lock(state.values.Répertoire);
    if (lockRefused(lock, state.dialogs))
        return CommandOutcome::Done;
    if (!state.ListeCourante) {
        state.dialogs.message(QStringLiteral("Erreur : ListeCourante pas définie !"), Icon::Exclamation);
        return CommandOutcome::EndProgram;
    }
    const QString category = state.ListeCourante->selectedText();
    const QString domain = state.dListe.selectedText();
    if (category.isEmpty() || domain.isEmpty() || state.values.Répertoire.isEmpty())
        return CommandOutcome::Done;
    const QString domainFolder = withSeparator(state.values.Répertoire + domain);
    switch (command) {
    case FolderCommand::EditHeader:
        fragmentEdit(state, Fragment::HeadC);
        break;
    case FolderCommand::EditFooter:
        fragmentEdit(state, Fragment::FootC);
        break;
    case FolderCommand::NewIndependentFile:
        independentFileNew(state, EditTarget::DomainFolder);
        break;
    case FolderCommand::ImportIndependentFile:
        if (tImporter_Click(state))
            state.editTarget = EditTarget::DomainFolder;
        break;
    case FolderCommand::Copy:
        copyCategory(state, domainFolder, category);
        break;
    case FolderCommand::Rename:
        renameCategory(state, domainFolder, domain, category);
        break;
    case FolderCommand::Delete:
        deleteCategory(state, domainFolder, category);
        break;
    }
    return CommandOutcome::Done;
}

} // namespace qs
