// Start-up, re-opening and closing of the main window, and the File menu's site commands.
#include "shell/shell.h"
#include "commands/selection.h"

#include "commands/regenerate.h"
#include "lib/files.h"
#include "lib/settings.h"
#include "shell/place.h"
#include "site/listing.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace qs {

namespace {

QString setting(const char16_t* name) {
    return ParamètreLire(QString::fromUtf16(name));
}

// Reads a setting; when it is empty, stores and returns the default.
QString settingOrDefault(const char16_t* name, const char16_t* fallback) {
    QString value = setting(name);
    if (value.isEmpty()) {
        value = QString::fromUtf16(fallback);
        ParamètreEcrire(QString::fromUtf16(name), value);
    }
    return value;
}

// A file of the site folder whatever the case of its name: sites made on Windows may write
// "recent.htm" where the indexer writes "Recent.htm".
bool siteFileExists(const QString& folder, const QString& name) {
    if (FichierExiste(folder + name))
        return true;
    const QDir dir(folder);
    const QStringList found = dir.entryList({name}, QDir::Files | QDir::Hidden | QDir::CaseSensitive);
    if (!found.isEmpty())
        return true;
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

QString siteAddressProblem(const QString& adresse) {
    if (adresse.isEmpty())
        return {};
    const QString shown = QDir::toNativeSeparators(adresse);
    if (!QDir::isAbsolutePath(adresse))
        return QStringLiteral("L'adresse du site « %1 » n'est pas un chemin complet : je ne sais pas où "
                              "se trouve le site.")
            .arg(shown);
    const QString folder = FichierRépertoire(adresse) + sep();
    if (FichierRépertoire(adresse).isEmpty() || QDir(folder).isRoot())
        return QStringLiteral("L'adresse du site « %1 » désigne la racine du disque, qui ne peut pas être "
                              "le dossier d'un site.")
            .arg(shown);
    if (!DossierExiste(folder))
        return QStringLiteral("Le dossier du site « %1 » est introuvable : il a été déplacé ou supprimé, "
                              "ou le disque qui le porte n'est pas branché.")
            .arg(QDir::toNativeSeparators(folder));
    return {};
}

bool Shell::hasSite() const {
    return !state.values.Adresse.isEmpty() && !state.values.Répertoire.isEmpty();
}

void Shell::endProgram() {
    programEnded = true;
    if (hooks.endProgram)
        hooks.endProgram();
}

void Shell::markUnindexedWithout(const QString& fileName) {
    if (!siteFileExists(state.values.Répertoire, fileName))
        setSiteIndexed(false);
}

void Shell::Form_Load() {
    BusyPointer busy(state.dialogs);
    state.controls.tFichier.clear();
    state.notify();

    state.values.Adresse = setting(u"Adresse");
    if (const QString problem = siteAddressProblem(state.values.Adresse); !problem.isEmpty()) {
        offerAnotherSite(problem);
        state.controls.currentTab = Tab::Catalogue;
        state.notify();
        return;
    }
    if (state.values.Adresse.isEmpty()) {
        state.dialogs.message(QStringLiteral("Vous devez créer un nouveau site..."));
        mnuFileNew_Click();
        state.controls.currentTab = Tab::Catalogue;
        state.notify();
        return;
    }

    takerépertoire(state.values.Adresse);
    // Read back as stored; should the store have refused the value, keep the one just derived.
    const QString stored = setting(u"Répertoire");
    if (!stored.isEmpty())
        state.values.Répertoire = stored;
    OptionsCharger(state.values);
    Mru();
    markUnindexedWithout(QStringLiteral("Recent.htm"));
    setTypesFromLevels();
    state.values.editMode = storedEditMode(true);
    state.values.NiveauRep = settingOrDefault(u"NiveauRep", u"4");
    applyReadOnly();
    init();
    if (programEnded)
        return;
    BaseCopy();
    state.controls.currentTab = Tab::Catalogue;
    state.notify();
}

void Shell::init() {
    if (state.values.Adresse.isEmpty()) {
        state.controls.tFichier.clear();
        state.controls.tTitre.clear();
        state.notify();
        return;
    }
    state.controls.tFichier = state.values.Adresse;
    state.notify();
    if (hooks.bExplorer)
        hooks.bExplorer();
    WWW(state, state.controls.tFichier);

    domainesInit(state);
    reportUndecodableFolders(state.values.Répertoire, state.dialogs);
    // Nothing is selected any more: the buttons that act on a selection go with it.
    dEffacer(state);
    state.controls.ImgIndexCaption.clear();
    state.notify();
    if (state.dListe.count() == 0) {
        if (hooks.showWindow)
            hooks.showWindow();
        if (hooks.dAjouter)
            hooks.dAjouter();
        if (state.dListe.count() == 0)
            endProgram();
    }
}

void Shell::offerAnotherSite(const QString& problem) {
    // Nothing of the stored site is used: its folder is not to be re-created nor written into.
    state.values.Répertoire.clear();
    const QString stored = state.values.Adresse;
    QString why = problem;
    for (;;) {
        if (state.dialogs.question(why + CrLf(2) + QStringLiteral("Voulez-vous ouvrir un autre site ?"),
                                   Icon::Exclamation, QStringLiteral("Site introuvable"))) {
            mnuFileOpen_Click();
        } else if (state.dialogs.question(QStringLiteral("Voulez-vous créer un nouveau site ?"),
                                          Icon::Question, QStringLiteral("Site introuvable"))) {
            mnuFileNew_Click();
        } else {
            state.dialogs.message(QStringLiteral("Aucun site n'est ouvert : Quillsite va se fermer."),
                                  Icon::Information, QStringLiteral("Site introuvable"));
            endProgram();
            return;
        }
        if (programEnded || (hasSite() && state.values.Adresse != stored))
            return;
        why = QStringLiteral("Aucun site n'est ouvert.");
    }
}

bool Shell::Form_Unload(const WindowGeometry* geometry) {
    if (geometry)
        storeGeometry(*geometry);
    if (state.controls.tAnnulerVisible && state.controls.tAnnulerEnabled) {
        const QString text =
            QStringLiteral("Vous n'avez pas validé les modifications apportées à ce document !") + CrLf(2) +
            QStringLiteral("Voulez-vous tout de même quitter ?");
        if (!state.dialogs.questionNoByDefault(text, Icon::Question, QStringLiteral("Attention")))
            return false;
    }
    if (hasSite())
        Enregistrer(state);
    return true;
}

bool Shell::openSiteAt(const QString& adresse) {
    if (const QString problem = siteAddressProblem(adresse); !problem.isEmpty()) {
        state.dialogs.message(problem, Icon::Exclamation, QStringLiteral("Erreur"));
        return false;
    }
    state.values.Adresse = adresse;
    state.controls.tFichier = adresse;
    takerépertoire(adresse);
    init();
    if (programEnded)
        return false;
    BaseCopy();
    return true;
}

void Shell::reloadSettings() {
    OptionsCharger(state.values);
    setTypesFromLevels();
    // A value missing here keeps its default without being stored: start-up and New Site store them.
    const QString depth = setting(u"NiveauRep");
    state.values.NiveauRep = depth.isEmpty() ? QStringLiteral("4") : depth;
    state.values.editMode = storedEditMode();
    applyReadOnly();
}

void Shell::mnuFileNew_Click() {
    const QString program = withSeparator(state.programFolder);
    // Sites are made in the program folder: when it takes no new folder, every name would be refused
    // as invalid, which would mislead.
    if (!QTemporaryDir(program + QStringLiteral(".quillsite-XXXXXX")).isValid()) {
        state.dialogs.message(
            QStringLiteral("Impossible de créer un site dans le dossier du programme :") + CrLf() +
                QDir::toNativeSeparators(program) + CrLf(2) +
                QStringLiteral("Ce dossier est protégé en écriture. Installez Quillsite dans "
                               "un dossier où vous pouvez écrire."),
            Icon::Exclamation, QStringLiteral("Erreur"));
        return;
    }
    const QString name = newFolderName(state, NewNameKind::Site, program);
    if (name.isEmpty())
        return;
    // Pages still due for the site being left are written there before its lists go.
    if (hasSite())
        dEnregistrer(state);

    state.dListe.clear();
    state.cListe.clear();
    state.tListe.clear();
    state.values.Adresse = program + name + sep() + QStringLiteral("Index.htm");
    state.controls.tFichier = state.values.Adresse;
    ParamètreEcrire(QStringLiteral("Adresse"), state.values.Adresse);
    state.notify();

    takerépertoire(state.values.Adresse);
    const QString stored = setting(u"Répertoire");
    if (!stored.isEmpty())
        state.values.Répertoire = stored;

    if (hooks.dAjouter)
        hooks.dAjouter();
    state.currentDomain = state.dListe.selectedText();
    // The new site's first domain and category are where the user goes on working.
    const SitePlace made = currentPlace(state);

    state.values.CouleurFond = settingOrDefault(u"CouleurFond(rrggbb)", u"F0F0FF");
    state.values.CouleurTitre = settingOrDefault(u"CouleurTitre(rrggbb)", u"509000");
    state.values.CouleurTexte = settingOrDefault(u"CouleurTexte(rrggbb)", u"000090");
    state.values.editMode = storedEditMode(true);
    state.values.NiveauRep = settingOrDefault(u"NiveauRep", u"4");
    applyReadOnly();

    BaseCopy();
    Enregistrer(state);
    state.dialogs.processEvents();
    init();
    if (programEnded)
        return;
    restorePlace(state, made);
    markUnindexedWithout(QStringLiteral("Search.htm"));
}

void Shell::mnuFileOpen_Click() {
    ParamètreEcrire(QStringLiteral("LastOpen"), state.values.Adresse);
    const QString folder = state.values.Répertoire.isEmpty() ? QDir::homePath() : state.values.Répertoire;
    const QString chosen = state.dialogs.openFile(QStringLiteral("Ouvrir un site"), folder, htmlFilter());
    if (chosen.isEmpty() || !FichierExiste(chosen))
        return;
    const QString adresse = QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath());
    if (const QString problem = siteAddressProblem(adresse); !problem.isEmpty()) {
        state.dialogs.message(problem, Icon::Exclamation, QStringLiteral("Erreur"));
        return;
    }
    if (hasSite())
        dEnregistrer(state);
    ParamètreEcrire(QStringLiteral("Adresse"), adresse);
    if (!openSiteAt(adresse))
        return;
    state.dialogs.processEvents();
    Mru();
    markUnindexedWithout(QStringLiteral("Search.htm"));
}

void Shell::mnuFileMRU_Click() {
    const QString previous = mnuFileMRU.tag;
    // A previous site that cannot be opened stays the previous one: the current site goes on.
    if (const QString problem = siteAddressProblem(previous); !problem.isEmpty()) {
        state.dialogs.message(problem, Icon::Exclamation, QStringLiteral("Erreur"));
        return;
    }
    ParamètreEcrire(QStringLiteral("LastOpen"), state.values.Adresse);
    if (!previous.isEmpty()) {
        if (hasSite())
            dEnregistrer(state);
        if (!openSiteAt(previous))
            return;
        state.dialogs.processEvents();
    }
    Mru();
}

void Shell::mnuFileSave_Click() {
    BusyPointer busy(state.dialogs);
    OptionsCharger(state.values);
    setTypesFromLevels();
    if (state.controls.tFichier.isEmpty()) {
        const QString adresse = setting(u"Adresse");
        // Without a stored site there is nothing to re-open: the site folder would be the disk's root.
        if (!adresse.isEmpty()) {
            ParamètreEcrire(QStringLiteral("Adresse"), adresse);
            if (!openSiteAt(adresse))
                return;
        }
    }
    // From here Save does what Refresh does.
    mnuViewRefresh_Click();
}

void Shell::mnuViewRefresh_Click() {
    reloadSettings();
    if (!hasSite())
        return;
    // The lists are read again from the disk; the user stays where they were when it still exists.
    const SitePlace place = currentPlace(state);
    Enregistrer(state);
    init();
    if (!programEnded)
        restorePlace(state, place);
}

void Shell::mnuOptionsMAJ_Click() {
    mnuFileSave_Click();
    if (programEnded)
        return;
    state.dialogs.processEvents();
    const UpdateProcedure& update = updateProcedure();
    if (update && !update(state.dialogs))
        endProgram();
}

} // namespace qs
