#include "commands/pagemove.h"
#include "commands/selection.h"

#include "commands/mainstate.h"
#include "commands/pageeditor.h"
#include "commands/regenerate.h"
#include "editor/pagefile.h"
#include "lib/dialogs.h"
#include "lib/fileio.h"
#include "lib/files.h"
#include "lib/sitelock.h"
#include "lib/text1252.h"
#include "site/listing.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>

namespace qs {

namespace {

QString quoted(const QString& s) {
    return u'"' + s + u'"';
}

// Copies a page file whole or not at all into `folder` under its smallest free number (created
// exclusively), checked to the last byte and forced to the disk before the source may go; a journal
// written first lets the next run take the copy back if this one is stopped before the source goes.
// Returns the copy's path; `why` gets the cause in French, naming the file.
QString copyPage(const QString& root, const QString& from, const QString& folder, QString* why,
                 std::optional<MoveJournal>& journal) {
    FileError error;
    QString failed;
    const QString name = createNumberedPage(
        folder, {.sync = true, .keepPermissions = true, .skipUnchanged = false},
        [&](const QString& to, const WriteOptions& options, FileError* e) {
            journal.reset();
            journal.emplace(root, from, to);
            return copyFileWhole(from, to, options, e, &failed);
        },
        &error);
    if (!name.isEmpty())
        return folder + name;
    journal.reset();
    *why = (error.operation == FileError::Operation::Read ? QStringLiteral("impossible de lire \"%1\" : %2")
                                                          : QStringLiteral("impossible d'écrire \"%1\" : %2"))
               .arg(failed, fileErrorCause(error));
    return {};
}

// The row of the page list that shows `page`, when the lists still show its category.
int listedRow(const MainState& state, const DraggedPage& page) {
    if (page.file.isEmpty() || state.dListe.selectedText() != page.domain ||
        state.cListe.selectedText() != page.category)
        return -1;
    for (int r = 0; r < state.tListe.count(); ++r)
        if (state.pageNames.value(state.tListe.number(r)) == page.file)
            return r;
    return -1;
}

void selectDomain(MainState& state, const QString& name) {
    state.dListe.select(state.dListe.find(name));
    dListe_Click(state);
}

void selectCategory(MainState& state, const QString& name) {
    state.cListe.select(state.cListe.find(name));
    cListe_Click(state);
}

} // namespace

QString pageMimeType() {
    return QStringLiteral("application/x-quillsite-page");
}

QByteArray encodeDraggedPage(const DraggedPage& page) {
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << page.domain << page.category << page.file;
    return data;
}

std::optional<DraggedPage> decodeDraggedPage(const QByteArray& data) {
    QDataStream in(data);
    DraggedPage page;
    in >> page.domain >> page.category >> page.file;
    if (in.status() != QDataStream::Ok || page.file.isEmpty())
        return std::nullopt;
    return page;
}

std::optional<DraggedPage> tListe_MouseDown(const MainState& state, int row) {
    if (row < 0 || row >= state.tListe.count())
        return std::nullopt;
    const QString file = state.pageNames.value(state.tListe.number(row));
    if (file.isEmpty() || state.dListe.selectedText().isEmpty() || state.cListe.selectedText().isEmpty())
        return std::nullopt;
    return DraggedPage{state.dListe.selectedText(), state.cListe.selectedText(), file};
}

bool cListe_DragOver(const MainState& state, const DraggedPage& page, int row) {
    return listedRow(state, page) >= 0 && row >= 0 && row < state.cListe.count() &&
           row != state.cListe.selectedRow();
}

bool dListe_DragOver(const MainState& state, const DraggedPage& page, int row) {
    return listedRow(state, page) >= 0 && row >= 0 && row < state.dListe.count() &&
           row != state.dListe.selectedRow();
}

QString receivingCategory(const QString& domainFolder) {
    return domainCategories(domainFolder).value(0);
}

QString movePage(MainState& state, const DraggedPage& page, const QString& domain, const QString& category) {
    const int row = listedRow(state, page);
    const QString root = state.values.Répertoire;
    if (row < 0 || root.isEmpty() || domain.isEmpty() || category.isEmpty())
        return {};
    const bool otherDomain = domain != page.domain;
    if (!otherDomain && category == page.category)
        return {};
    const QString title = state.tListe.text(row);
    const QString sourceFolder = withSeparator(root + page.domain) + page.category + sep();
    const QString targetFolder = withSeparator(root + domain) + category + sep();
    if (!DossierExiste(targetFolder))
        return {};

    const SiteLock lock(root);
    if (lockRefused(lock, state.dialogs))
        return {};
    QString moved;
    {
        BusyPointer busy(state.dialogs);
        QString why;
        std::optional<MoveJournal> journal;
        moved = copyPage(root, sourceFolder + page.file, targetFolder, &why, journal);
        if (moved.isEmpty()) {
            state.dialogs.message(QStringLiteral("Je ne peux pas déplacer ce fichier (") + why + u')',
                                  Icon::Exclamation, QStringLiteral("Erreur"));
            return {};
        }
        state.tListe.select(row);
        if (!tSupprimer_Click(state)) {
            // The page stays where it was: it must not be in both places.
            QFile::remove(moved);
            return {};
        }
        journal.reset();
        state.dialogs.processEvents();

        if (otherDomain)
            selectDomain(state, domain);
        selectCategory(state, category);
        state.dialogs.processEvents();
        cEnregistrer(state);

        if (otherDomain)
            selectDomain(state, page.domain);
        selectCategory(state, page.category);
    }
    QString text = quoted(title) + QStringLiteral(" a été déplacé dans la catégorie ") + quoted(category);
    if (otherDomain)
        text += QStringLiteral(" du domaine ") + quoted(domain);
    state.dialogs.message(text + u'.', Icon::Information, QStringLiteral("Ok"));
    Q_EMIT state.relocated(sourceFolder + page.file, moved, false);
    return moved;
}

QString cListe_DragDrop(MainState& state, const DraggedPage& page, int row) {
    if (!cListe_DragOver(state, page, row))
        return {};
    return movePage(state, page, page.domain, state.cListe.text(row));
}

QString dListe_DragDrop(MainState& state, const DraggedPage& page, int row) {
    if (!dListe_DragOver(state, page, row))
        return {};
    const QString domain = state.dListe.text(row);
    const QString category = receivingCategory(withSeparator(state.values.Répertoire + domain));
    if (category.isEmpty()) {
        state.dialogs.message(QStringLiteral("Le domaine ") + quoted(domain) +
                                  QStringLiteral(" n'a pas de catégories définies.") + CrLf(2) +
                                  QStringLiteral("Définissez-en une avant de faire le transfert svp."),
                              Icon::Exclamation, QStringLiteral("Erreur"));
        return {};
    }
    return movePage(state, page, domain, category);
}

} // namespace qs
