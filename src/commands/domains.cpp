// The domain commands: "Nouveau Domaine", the right click on the domain list and its menu "Edition".
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
#include "lib/settings.h"
#include "lib/sitelock.h"
#include "site/listing.h"

namespace qs {

namespace {

QString quoted(const QString& s) {
    return u'"' + s + u'"';
}

// A new name for a domain must not be its own nor that of another folder of the site (a domain, or a
// reserved folder such as "images"): the copy would go into that folder.
QString renameRefusal(const QString& root, const QString& domain, const QString& name) {
    if (name.compare(domain, Qt::CaseInsensitive) == 0)
        return QStringLiteral("Le domaine s'appelle déjà %1.").arg(quoted(domain)) + CrLf(2) +
               QStringLiteral("Donnez un autre nom.");
    if (const QString taken = existingEntry(root, name); !taken.isEmpty())
        return QStringLiteral("Le site a déjà un dossier %1 : le domaine %2 ne peut pas prendre ce nom.")
                   .arg(quoted(taken), quoted(domain)) +
               CrLf(2) + QStringLiteral("Donnez un autre nom.");
    return {};
}

void copyDomain(MainState& state, const QString& domain) {
    const QString root = state.values.Répertoire;
    const QString name = askFolderName(
        state, QStringLiteral("Nouveau nom de domaine où copier ") + quoted(domain) + QStringLiteral(" :"),
        QStringLiteral("Copier le domaine"), root);
    if (name.isEmpty())
        return;
    qint64 count = 0;
    {
        BusyPointer busy(state.dialogs);
        // An existing folder is the one the name denotes, whatever the case it was typed in.
        const QString existing = existingEntry(root, name);
        count = DossierCopier(root + domain, root + (existing.isEmpty() ? name : existing), state.dialogs);
        DomainesLister(state, name);
        // The copied categories hold pages written for the domain copied: they are rewritten for theirs.
        regenerateCategories(state);
    }
    state.dialogs.message(QString::number(count) + QStringLiteral(" fichier(s) copié(s)"));
}

void renameDomain(MainState& state, const QString& domain) {
    const QString root = state.values.Répertoire;
    const QString name = askFolderName(
        state, QStringLiteral("Nouveau nom du domaine ") + quoted(domain) + QStringLiteral(" :"),
        QStringLiteral("Renommer le domaine"), root,
        [&](const QString& n) { return renameRefusal(root, domain, n); });
    if (name.isEmpty())
        return;
    RenameResult result;
    {
        BusyPointer busy(state.dialogs);
        result = renameFolder(state, root + domain, root + name);
        if (result.moved) {
            // The old domain's pages are gone: nothing of it is to be written any more.
            state.currentDomain.clear();
            state.currentCategory.clear();
        }
        DomainesLister(state, result.moved ? name : domain);
        if (result.moved)
            regenerateCategories(state);
    }
    if (result.moved) {
        state.dialogs.message(QString::number(result.copied) + QStringLiteral(" fichier(s) déplacé(s)"));
        Q_EMIT state.relocated(root + domain, root + name, true);
    } else
        state.dialogs.message(QStringLiteral("Le domaine %1 est conservé : sa copie dans %2 est incomplète "
                                             "(%3 fichier(s) copié(s)).")
                                  .arg(quoted(domain), quoted(name))
                                  .arg(result.copied),
                              Icon::Exclamation, QStringLiteral("Erreur"));
}

CommandOutcome deleteDomain(MainState& state, const QString& domain) {
    const QString question = QStringLiteral("Êtes-vous sûr de vouloir supprimer le domaine ") +
                             quoted(domain) + QStringLiteral(" ?");
    if (!state.dialogs.questionNoByDefault(question, Icon::Question, QStringLiteral("Attention")))
        return CommandOutcome::Done;
    {
        BusyPointer busy(state.dialogs);
        DossierSupprimer(state.values.Répertoire + domain);
        state.currentDomain.clear();
        state.currentCategory.clear();
        DomainesLister(state);
    }
    if (state.dListe.count() == 0)
        dAjouter_Click(state);
    return state.dListe.count() == 0 ? CommandOutcome::EndProgram : CommandOutcome::Done;
}

} // namespace

QList<FolderMenuEntry> folderMenu() {
    return {{QStringLiteral("Modifier l'en-tête"), FolderCommand::EditHeader},
            {QStringLiteral("Modifier le pied de page"), FolderCommand::EditFooter},
            {{}, std::nullopt},
            {QStringLiteral("Ajouter un fichier indépendant"), FolderCommand::NewIndependentFile},
            {QStringLiteral("Importer un fichier indépendant"), FolderCommand::ImportIndependentFile},
            {{}, std::nullopt},
            {QStringLiteral("Copier"), FolderCommand::Copy},
            {QStringLiteral("Renommer"), FolderCommand::Rename},
            {QStringLiteral("Supprimer"), FolderCommand::Delete}};
}

void dAjouter_Click(MainState& state) {
    const QString root = state.values.Répertoire;
    if (root.isEmpty())
        return;
    const SiteLock lock(root);
    if (lockRefused(lock, state.dialogs))
        return;
    dEnregistrer(state);
    if (state.controls.tFichier.isEmpty()) {
        ParamètreEcrire(QStringLiteral("Répertoire"), root);
        ParamètreEcrire(QStringLiteral("Dossier"), root);
        ParamètreEcrire(QStringLiteral("Adresse"), root + QStringLiteral("Index.htm"));
        state.values.Adresse = ParamètreLire(QStringLiteral("Adresse"));
        state.controls.tFichier = state.values.Adresse;
        state.notify();
    }
    const QString name = newFolderName(state, NewNameKind::Domain, root);
    if (name.isEmpty())
        return;
    state.dListe.select(state.dListe.add(name));
    dListe_Click(state);
}

bool dListe_MouseUp(MainState& state, Qt::MouseButton button, int row) {
    if (button != Qt::RightButton)
        return false;
    if (row < 0 || row >= state.dListe.count()) {
        state.dialogs.beep();
        return false;
    }
    if (state.dListe.selectedRow() != row) {
        state.dListe.select(row);
        dListe_Click(state);
    }
    // A domain without categories whose first category was refused is no longer selected.
    if (state.dListe.selectedRow() != row)
        return false;
    state.ListeCourante = &state.dListe;
    return true;
}

CommandOutcome mmod_Click(MainState& state, FolderCommand command) {
    const SiteLock lock(state.values.Répertoire);
    if (lockRefused(lock, state.dialogs))
        return CommandOutcome::Done;
    if (!state.ListeCourante) {
        state.dialogs.message(
            QStringLiteral("Erreur de programmation : \"ListeCourante\" n'est pas définie !"),
            Icon::Exclamation);
        return CommandOutcome::Done;
    }
    const QString domain = state.ListeCourante->selectedText();
    if (domain.isEmpty())
        return CommandOutcome::Done;
    switch (command) {
    case FolderCommand::EditHeader:
        fragmentEdit(state, Fragment::HeadD);
        break;
    case FolderCommand::EditFooter:
        fragmentEdit(state, Fragment::FootD);
        break;
    case FolderCommand::NewIndependentFile:
        independentFileNew(state, EditTarget::SiteFolder);
        break;
    case FolderCommand::ImportIndependentFile:
        // A cancelled import must not leave the target set: the next "Ajouter" would write its page
        // into the site folder instead of the category.
        if (tImporter_Click(state))
            state.editTarget = EditTarget::SiteFolder;
        break;
    case FolderCommand::Copy:
        copyDomain(state, domain);
        break;
    case FolderCommand::Rename:
        renameDomain(state, domain);
        break;
    case FolderCommand::Delete:
        return deleteDomain(state, domain);
    }
    return CommandOutcome::Done;
}

} // namespace qs
