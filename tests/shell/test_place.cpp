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
    void select(const QString& domain, const QString& category, const QString& title) {
        state->dListe.select(state->dListe.find(domain));
        dListe_Click(*state);
        state->cListe.select(state->cListe.find(category));
        cListe_Click(*state);
        state->tListe.select(state->tListe.find(title));
        tListe_Click(*state);
    }
    QString site;
};

} // namespace

// What was selected comes back after Refresh (and Save, which ends as Refresh does) as far as it
// still exists on disk.
TEST_F(Place, RefreshAndSaveKeepWhatStillExists) {
    // What is removed between selecting and refreshing, the command, then the domain, category and page
    // selected and the current domain.
    const char* rows[][3] = {
        {"", "refresh", "Alpha|C|Second|Alpha"},
        {"", "save", "Alpha|C|Second|Alpha"},
        {"Alpha/C/2.htm", "refresh", "Alpha|C||Alpha"},
        {"Alpha/C", "refresh", "|||"}, // a domain left without category is not selected
        {"Alpha", "save", "|||"},
    };
    for (const auto& [removed, command, selected] : rows) {
        SCOPED_TRACE(removed);
        writeFile(site + "Alpha/C/2.htm", "<TITLE>Second</TITLE>");
        makeDir(site + "Alpha/C");
        shell->mnuViewRefresh_Click();
        select("Alpha", "C", "Second");
        const QString path = site + removed;
        ASSERT_TRUE(!*removed ||
                    (QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path)));
        QByteArray(command) == "save" ? shell->mnuFileSave_Click() : shell->mnuViewRefresh_Click();
        EXPECT_EQ(QStringList({state->dListe.selectedText(), state->cListe.selectedText(),
                               state->tListe.selectedText(), state->currentDomain})
                      .join(u'|'),
                  selected);
    }
}

// The preview follows the deepest selected level; an index not yet generated is said so, not replaced.
TEST_F(Place, PreviewShowsTheSelection) {
    auto preview = [this] {
        const Preview p = previewTarget(*state);
        return p.address.mid(site.size()) + (p.missing.isEmpty() ? QString() : " | " + p.missing);
    };
    EXPECT_EQ(preview(), "Index.htm"); // the home page
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
