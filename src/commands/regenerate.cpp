#include "commands/regenerate.h"

#include "commands/fragmentedit.h"
#include "commands/mainstate.h"
#include "commands/selection.h"
#include "generate/pages.h"
#include "generate/pagewriter.h"
#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/settings.h"
#include "lib/text1252.h"
#include "site/listing.h"

#include <utility>

namespace qs {

namespace {

bool write(MainState& state, const QString& path, const QStringList& lines) {
    QString error;
    if (writePage(path, lines, &error, &state.trashedPages))
        return true;
    state.dialogs.message(error, Icon::Exclamation, QStringLiteral("Erreur"));
    return false;
}

// The regenerations nest (Enregistrer runs dEnregistrer, which runs cEnregistrer): the outermost one
// tells the user, in one message, which files of theirs went to the trash.
class TrashReport {
public:
    explicit TrashReport(MainState& state) : state_(state) { ++depth_; }
    ~TrashReport() {
        if (--depth_ > 0 || state_.trashedPages.isEmpty())
            return;
        const QStringList files = std::exchange(state_.trashedPages, {});
        state_.dialogs.message(trashedPagesMessage(files), Icon::Information,
                               QStringLiteral("Fichiers mis à la corbeille"));
    }
    TrashReport(const TrashReport&) = delete;
    TrashReport& operator=(const TrashReport&) = delete;

private:
    MainState& state_;
    static inline int depth_ = 0;
};

} // namespace

void cEnregistrer(MainState& state) {
    TrashReport report(state);
    if (state.currentDomain.isEmpty() || state.currentCategory.isEmpty() || state.values.Répertoire.isEmpty())
        return;
    const QString folder =
        withSeparator(state.values.Répertoire + state.currentDomain) + state.currentCategory + sep();

    CategoryPage page;
    page.domain = state.currentDomain;
    page.category = state.currentCategory;
    page.couleurFond = state.values.CouleurFond;
    page.couleurTitre = state.values.CouleurTitre;
    page.couleurTexte = state.values.CouleurTexte;
    page.id = ProgrammeID();
    page.indexed = siteIndexed();
    const int count = state.tListe.count();
    page.pages.reserve(count);
    for (int row = 0; row < count; ++row)
        page.pages.append({state.tListe.text(row), state.pageNames.value(state.tListe.number(row))});
    if (page.pages.isEmpty()) {
        page.right = QStringLiteral("IndexG.htm");
    } else {
        page.right = introductionPage(folder);
        if (page.right.isEmpty())
            page.right = page.pages.first().file;
    }

    // Each page is written if it can be: the navigation page still serves when the frameset cannot be
    // replaced.
    write(state, folder + QStringLiteral("Index.htm"), framesetLines(page));
    write(state, folder + QStringLiteral("IndexG.htm"), navigationLines(page));
    state.currentCategory.clear();
}

void dEnregistrer(MainState& state) {
    TrashReport report(state);
    if (!state.currentCategory.isEmpty())
        cEnregistrer(state);
    if (state.currentDomain.isEmpty() || state.values.Répertoire.isEmpty())
        return;

    DomainPage page;
    page.domain = state.currentDomain;
    page.couleurFond = state.values.CouleurFond;
    page.id = ProgrammeID();
    page.categories = state.cListe.texts();
    // A fragment that exists but cannot be read would drop the owner's decoration from the page: keep the
    // previous page instead.
    if (sendheaderc(state) && sendfooterc(state)) {
        page.header = state.categoryListHeader;
        page.footer = state.categoryListFooter;
        write(state,
              withSeparator(state.values.Répertoire + state.currentDomain) + QStringLiteral("Index.htm"),
              domainPageLines(page));
    }
    state.currentDomain.clear();
}

void Enregistrer(MainState& state) {
    TrashReport report(state);
    if (state.values.Répertoire.isEmpty())
        return;
    dEnregistrer(state);

    HomePage page;
    page.couleurFond = state.values.CouleurFond;
    page.couleurTitre = state.values.CouleurTitre;
    page.id = ProgrammeID();
    page.maker = QString::fromUtf16(kMakerAddress);
    page.user = state.clock.userName();
    page.indexed = siteIndexed();
    page.domains = state.dListe.texts();
    // The two copies are made one after the other, each with the fragments and the date of its moment.
    for (const QString& name : {QStringLiteral("Index.html"), QStringLiteral("Index.htm")}) {
        if (!sendheaderd(state) || !sendfooterd(state))
            return;
        page.header = state.homeHeader;
        page.footer = state.homeFooter;
        page.date = updateDate(state.clock.now());
        write(state, state.values.Répertoire + name, homePageLines(page));
    }
}

} // namespace qs
