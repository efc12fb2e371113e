#include "site/listing.h"

#include "generate/regenerate.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/pagetitle.h"
#include "lib/text1252.h"
#include "site/mainstate.h"
#include "ui/dialogs.h"

#include <QDirIterator>
#include <QFile>

#include <algorithm>

namespace qs {

namespace {

// A stable order whatever the disk gives: case ignored first, then exact.
void sortNames(QStringList& names) {
    QList<std::pair<QString, QString>> keyed;
    keyed.reserve(names.size());
    for (const QString& n : names)
        keyed.append({upper1252(n), n});
    std::sort(keyed.begin(), keyed.end());
    for (qsizetype i = 0; i < keyed.size(); ++i)
        names[i] = keyed[i].second;
}

// The folders of a folder, less hidden ones and folder links.
QStringList subFolders(const QString& folder) {
    QStringList names;
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!name.startsWith(u'.'))
            names.append(name);
    }
    sortNames(names);
    return names;
}

} // namespace

QStringList siteDomains(const QString& siteFolder, DomainListing listing) {
    QStringList names = subFolders(siteFolder);
    names.removeIf([listing](const QString& n) {
        if (n == u"java" || n == u"sound" || n == u"images")
            return true;
        return listing == DomainListing::Opening && (n == u"Modifier" || n == u"ReadOnly");
    });
    return names;
}

QStringList domainCategories(const QString& domainFolder) {
    return subFolders(domainFolder);
}

QStringList categoryPages(const QString& categoryFolder) {
    QStringList names;
    QDirIterator it(categoryFolder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (name.startsWith(u'.') || !name.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive))
            continue;
        if (name.compare(QStringLiteral("Index.htm"), Qt::CaseInsensitive) == 0 ||
            name.compare(QStringLiteral("IndexG.htm"), Qt::CaseInsensitive) == 0)
            continue;
        names.append(name);
    }
    sortNames(names);
    return names;
}

QString pageTitle(QIODevice& device) {
    return readTitle(device, TitleRules::Listing);
}

QString pageTitle(const QString& path) {
    return readTitle(path, TitleRules::Listing);
}

QString pageTitleOf(QByteArrayView bytes) {
    return titleOf(bytes, TitleRules::Listing);
}

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
        const QString folder =
            withSeparator(state.values.Répertoire + domain) + state.cListe.selectedText() + sep();
        state.pageNames.append(categoryPages(folder));
        for (int i = 1; i < state.pageNames.size(); ++i) {
            const QString title = pageTitle(folder + state.pageNames[i]);
            if (!title.isEmpty())
                state.tListe.add(HTMLDécoder(title), i);
            state.dialogs.processEvents();
        }
        ControlState& c = state.controls;
        c.tAjouterEnabled = c.tImporterEnabled = c.ImgIndexEnabled = true;
    }
    state.currentCategory = state.cListe.selectedText();
    state.controls.ImgIndexCaption =
        QStringLiteral("Créer un index des images du répertoire :") + state.currentCategory;
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

QString invalidNameMessage() {
    return QStringLiteral("Ce nom est incorrect (ou contient des caractères incorrects)") + CrLf(2) +
           QStringLiteral("Donnez un nom qui puisse être utilisé comme nom de dossier sour Windows.");
}

QString newFolderName(MainState& state, NewNameKind kind, const QString& parentFolder) {
    QString prompt;
    QString taken;
    switch (kind) {
    case NewNameKind::Site:
        prompt = QStringLiteral("Nom du nouveau site :");
        taken = QStringLiteral("Ce domaine existe déjà! Saisissez un autre nom.");
        break;
    case NewNameKind::Domain:
        prompt = QStringLiteral("Nom du nouveau domaine :");
        taken = QStringLiteral("Ce domaine existe déjà! Saisissez un autre nom.");
        break;
    case NewNameKind::Category:
        prompt = QStringLiteral("Nom de la nouvelle catégorie :");
        taken = QStringLiteral("Cette catégorie existe déjà! Saisissez un autre nom.");
        break;
    }
    const QString parent = withSeparator(parentFolder);
    for (;;) {
        const QString name = state.dialogs.prompt(prompt).trimmed();
        if (name.isEmpty())
            return {};
        if (!isSafeName(name)) {
            state.dialogs.message(invalidNameMessage(), Icon::Exclamation, QStringLiteral("Erreur"));
            continue;
        }
        bool exists = false;
        switch (kind) {
        case NewNameKind::Site:
            exists = DossierExiste(parent + name);
            break;
        case NewNameKind::Domain:
            exists = state.dListe.find(name) >= 0;
            break;
        case NewNameKind::Category:
            exists = state.cListe.find(name) >= 0;
            break;
        }
        if (exists) {
            state.dialogs.message(taken, Icon::Exclamation, QStringLiteral("Erreur"));
            continue;
        }
        DossierCréer(parent + name);
        if (DossierExiste(parent + name))
            return name;
        state.dialogs.message(invalidNameMessage(), Icon::Exclamation, QStringLiteral("Erreur"));
    }
}

} // namespace qs
