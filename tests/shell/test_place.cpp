// The user's place in the lists across Save and Refresh, and what the preview shows for a selection.
#include "commands/pageeditor.h"
#include "commands/selection.h"
#include "shell/place.h"
#include "shellfixture.h"
#include "site/listing.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace qs;
using namespace qs::test;

namespace {

class Place : public ::testing::Test, public ShellFixture {
protected:
    // Site "S": domains "Alpha" and "Beta", each with category "C"; Alpha/C holds pages 1 and 2.
    void SetUp() override {
        site = makeSite("S", {"Alpha", "Beta"});
        writeFile(site + "Alpha/C/1.htm", "<TITLE>Premier</TITLE>");
        writeFile(site + "Alpha/C/2.htm", "<TITLE>Second</TITLE>");
        storeSite(site + "Index.htm");
        shell->Form_Load();
    }
    void select(const QString& domain, const QString& category = {}, const QString& title = {}) {
        state->dListe.select(state->dListe.find(domain));
        dListe_Click(*state);
        if (category.isEmpty())
            return;
        state->cListe.select(state->cListe.find(category));
        cListe_Click(*state);
        if (!title.isEmpty()) {
            state->tListe.select(state->tListe.find(title));
            tListe_Click(*state);
        }
    }
    QString site;
};

} // namespace

// What was selected comes back after Refresh (and Save, which ends as Refresh does) as far as it
// still exists on disk.
TEST_F(Place, RefreshAndSaveKeepWhatStillExists) {
    struct Row {
        const char* removed; // removed from the site between selecting and refreshing
        bool save;
        const char* domain;
        const char* category;
        const char* page;
    } rows[] = {
        {"", false, "Alpha", "C", "Second"},
        {"", true, "Alpha", "C", "Second"},
        {"Alpha/C/2.htm", false, "Alpha", "C", ""},
        {"Alpha/C", false, "", "", ""}, // a domain left without category is not selected
        {"Alpha", true, "", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.removed);
        writeFile(site + "Alpha/C/2.htm", "<TITLE>Second</TITLE>");
        makeDir(site + "Alpha/C");
        shell->mnuViewRefresh_Click();
        select("Alpha", "C", "Second");
        const QString removed = site + QString::fromUtf8(row.removed);
        const bool gone = !*row.removed || (QFileInfo(removed).isDir() ? QDir(removed).removeRecursively()
                                                                       : QFile::remove(removed));
        ASSERT_TRUE(gone);
        row.save ? shell->mnuFileSave_Click() : shell->mnuViewRefresh_Click();
        EXPECT_EQ(state->dListe.selectedText(), QString::fromUtf8(row.domain));
        EXPECT_EQ(state->cListe.selectedText(), QString::fromUtf8(row.category));
        EXPECT_EQ(state->tListe.selectedText(), QString::fromUtf8(row.page));
        EXPECT_EQ(state->currentDomain, QString::fromUtf8(row.domain));
    }
}

TEST_F(Place, FirstStartEndsOnTheNewDomain) {
    ShellFixture fresh;
    fresh.dialogs.answer("Neuf");
    fresh.domainsToAdd = {"Premier domaine"};
    fresh.shell->Form_Load();
    EXPECT_EQ(fresh.state->dListe.selectedText(), "Premier domaine");
    EXPECT_EQ(fresh.state->cListe.count(), 1);
}

// The preview follows the deepest selected level; an index not yet generated is said so, not replaced.
TEST_F(Place, PreviewShowsTheSelection) {
    auto preview = [this] {
        const Preview p = previewTarget(*state);
        return p.address.mid(site.size()) + (p.missing.isEmpty() ? QString() : " | " + p.missing);
    };
    const QString home = state->values.Adresse.mid(site.size());
    EXPECT_EQ(preview(), home);
    select("Alpha", "C", "Premier");
    EXPECT_EQ(preview(), "Alpha/C/1.htm");
    writeFile(site + "Alpha/C/Index.htm", "cadres");
    writeFile(site + "Alpha/Index.htm", "domaine");
    // A page that is not there any more gives way to its category.
    QFile::remove(site + "Alpha/C/1.htm");
    EXPECT_EQ(preview(), "Alpha/C/Index.htm");
    QFile::remove(site + "Alpha/C/Index.htm");
    EXPECT_EQ(preview(),
              QStringLiteral("Alpha/C/Index.htm | La page d'index de la catégorie « C » n'a pas encore "
                             "été générée : Fichier → Enregistrer (Ctrl+S) la génère."));
    state->cListe.select(-1);
    EXPECT_EQ(preview(), "Alpha/Index.htm");
    QFile::remove(site + "Alpha/Index.htm");
    EXPECT_EQ(preview(),
              QStringLiteral("Alpha/Index.htm | La page d'index du domaine « Alpha » n'a pas encore "
                             "été générée : Fichier → Enregistrer (Ctrl+S) la génère."));
}
