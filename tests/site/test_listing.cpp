// What the lists show of a site on disk: reserved names, hidden entries, links, page titles, new names.
#include "commands/selection.h"
#include "site/listing.h"

#include "sitefixture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <sys/stat.h>

using namespace qs;
using namespace qs::test;

TEST(DomainListing, ReservedHiddenAndLinkedFoldersAreLeftOut) {
    SiteFixture s;
    for (const char* name :
         {"images", "sound", "java", ".cache", "Images", "Modifier", "ReadOnly", "zeta", "Alpha"})
        s.folder(QString::fromUtf8(name));
    writeFile(s.at("fichier.htm"), "not a folder");
    // A link to a folder would make the generators write through it.
    ASSERT_TRUE(QFile::link(s.at("zeta"), s.at("lien")));

    domainesInit(s.state);
    EXPECT_EQ(s.state.dListe.texts(), (QStringList{"Alpha", "Images", "zeta"}));
    EXPECT_FALSE(s.state.controls.ImgIndexEnabled);

    // A domain command lists "Modifier" and "ReadOnly" like any folder.
    EXPECT_EQ(siteDomains(s.root(), DomainListing::Command),
              (QStringList{"Alpha", "Images", "Modifier", "ReadOnly", "zeta"}));
}

TEST(DomainListing, CategoriesSkipOnlyHiddenAndLinks) {
    SiteFixture s;
    for (const char* name : {"D/images", "D/.svn", "D/Zoo", "D/arbre", "D/Modifier"})
        s.folder(QString::fromUtf8(name));
    ASSERT_TRUE(QFile::link(s.at("D/Zoo"), s.at("D/raccourci")));
    EXPECT_EQ(domainCategories(s.at("D")), (QStringList{"arbre", "images", "Modifier", "Zoo"}));
    EXPECT_TRUE(domainCategories(s.at("absent")).isEmpty());
}

TEST(DomainListing, PagesAreTheHtmFilesLessTheGeneratedOnes) {
    SiteFixture s;
    for (const char* name : {"index.htm", "INDEXG.HTM", "Index.html", "2.htm", "10.HTM", "note.txt",
                             ".cache.htm", "1.htm", "page.htm.bak"})
        writeFile(s.at(QStringLiteral("D/C/") + QString::fromUtf8(name)), "x");
    s.folder("D/C/dossier.htm");
    EXPECT_EQ(categoryPages(s.at("D/C/")), (QStringList{"1.htm", "10.HTM", "2.htm"}));
}

TEST(DomainListing, PagesThatCannotBeReadAreSkipped) {
    SiteFixture s;
    s.page("D/C/1.htm", "Lisible");
    ASSERT_TRUE(QFile::link(s.at("D/C/absent.htm"), s.at("D/C/2.htm"))); // dangling link
    ASSERT_EQ(::mkfifo(QFile::encodeName(s.at("D/C/3.htm")).constData(), 0600), 0);
    s.page("D/C/4.htm", "Aussi");
    domainesInit(s.state);
    s.clickDomain("D");
    s.clickCategory("C");
    EXPECT_EQ(s.state.tListe.texts(), (QStringList{"Aussi", "Lisible"}));
    EXPECT_TRUE(s.dialogs.messages().isEmpty());
}

TEST(PageTitle, FollowsTheTitleOverLinesAndStopsAtTheFirstTag) {
    const std::pair<const char*, const char*> cases[] = {
        {"<HTML>\r\n<TITLE>Mode d'emploi</TITLE>\r\n", "Mode d'emploi"},
        {"<html><head><title>  Deux\r\n\r\n   lignes </title>", "Deux lignes"},
        {"<TiTlE>\r\nsuite\r\n</TITLE>", "suite"},
        {"<TITLE>A &amp; B<BR>encore</TITLE>", "A &amp; B"},
        {"<TITLE></TITLE>", ""},
        {"<HTML>\r\n<BODY>pas de titre</BODY>", ""},
        {"<TITLE>sans fin", "sans fin"},
        // Any line end: CR alone, LF alone.
        {"<TITLE>un\rdeux\ntrois</TITLE>", "un deux trois"},
        {"<TITLE>\xC9t\xE9 \x80</TITLE>", "Été €"}, // Windows-1252 bytes
        // Only blanks are trimmed; the inner spacing of one line stays.
        {"<TITLE>a  b</TITLE>", "a  b"},
    };
    for (const auto& [bytes, title] : cases)
        EXPECT_EQ(pageTitleOf(QByteArrayView(bytes)), QString::fromUtf8(title)) << bytes;
}

TEST(PageTitle, ReadsAcrossBufferBoundariesAndNoFurtherThanNeeded) {
    // The title starts far into the file, and a CR LF pair straddles a read boundary.
    for (int pad : {4090, 4094, 4095, 4096, 4097, 9000}) {
        for (const char fill : {'x', ' '}) {
            QByteArray bytes = QByteArray(pad, fill) + "\r\n<TITLE>Loin\r\ndans le fichier</TITLE>\r\n";
            bytes += QByteArray(1 << 20, 'x');
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            EXPECT_EQ(pageTitle(buffer), QStringLiteral("Loin dans le fichier")) << pad;
            EXPECT_LE(buffer.pos(), pad + 8192) << pad;
        }
    }
    SiteFixture s;
    EXPECT_EQ(pageTitle(s.at("absent.htm")), QString());
    s.folder("dossier.htm");
    EXPECT_EQ(pageTitle(s.at("dossier.htm")), QString());
}

namespace {
const QString kInvalid = QStringLiteral("Ce nom est incorrect (ou contient des caractères "
                                        "incorrects)\r\n\r\nDonnez un nom qui puisse être utilisé "
                                        "comme nom de dossier sur ce système.");
} // namespace

TEST(NewFolderName, TakenNamesAreRefusedWhateverTheirCase) {
    SiteFixture s;
    s.state.dListe.add(QStringLiteral("Réseau"));
    s.state.cListe.add(QStringLiteral("Outils"));
    s.dialogs.answer("RÉSEAU").answer("  Nouveau  ");
    EXPECT_EQ(newFolderName(s.state, NewNameKind::Domain, s.root()), QStringLiteral("Nouveau"));
    EXPECT_TRUE(DossierExiste(s.at("Nouveau")));
    s.dialogs.answer("outils").answer("");
    EXPECT_EQ(newFolderName(s.state, NewNameKind::Category, s.at("Nouveau")), QString());

    const auto& calls = s.dialogs.calls();
    ASSERT_EQ(calls.size(), 6);
    EXPECT_EQ(calls[0].text, QStringLiteral("Nom du nouveau domaine :"));
    EXPECT_EQ(calls[1].text, QStringLiteral("Ce domaine existe déjà ! Saisissez un autre nom."));
    EXPECT_EQ(calls[1].icon, Icon::Exclamation);
    EXPECT_EQ(calls[1].title, QStringLiteral("Erreur"));
    EXPECT_EQ(calls[3].text, QStringLiteral("Nom de la nouvelle catégorie :"));
    EXPECT_EQ(calls[4].text, QStringLiteral("Cette catégorie existe déjà ! Saisissez un autre nom."));
    EXPECT_EQ(calls[5].kind, ScriptedDialogs::Kind::Prompt);
}

TEST(NewFolderName, ASiteNameIsTakenWhenItsFolderExists) {
    SiteFixture s;
    s.folder("Existant");
    s.dialogs.answer("Existant").answer("Neuf");
    EXPECT_EQ(newFolderName(s.state, NewNameKind::Site, s.root()), QStringLiteral("Neuf"));
    EXPECT_EQ(s.dialogs.texts(),
              (QStringList{"Nom du nouveau site :", "Ce domaine existe déjà ! Saisissez un autre nom.",
                           "Nom du nouveau site :"}));
}

TEST(NewFolderName, NamesLeavingTheParentAreRefused) {
    SiteFixture s;
    s.folder("D");
    for (const QString& bad :
         {QStringLiteral("a/b"), QStringLiteral("../dehors"), QStringLiteral(".."), QStringLiteral("."),
          QStringLiteral("a\\b"), QStringLiteral("tab\there"), QStringLiteral("fin\x01")})
        s.dialogs.answer(bad);
    s.dialogs.answer("");
    EXPECT_EQ(newFolderName(s.state, NewNameKind::Category, s.at("D")), QString());
    EXPECT_EQ(s.dialogs.messages(), QStringList(7, kInvalid));
    // Nothing was created anywhere.
    EXPECT_EQ(QDir(s.at("D")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList());
    EXPECT_EQ(QDir(s.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"D"});
}

TEST(NewFolderName, AFolderThatCannotBeCreatedIsRefused) {
    SiteFixture s;
    s.folder("D");
    writeFile(s.at("D/fichier"), "x"); // a file of that name: no folder can take it
    s.dialogs.answer("fichier").answer(QString(300, u'n')).answer("Bon & <nom>");
    EXPECT_EQ(newFolderName(s.state, NewNameKind::Category, s.at("D")), QStringLiteral("Bon & <nom>"));
    EXPECT_EQ(s.dialogs.messages(), QStringList(2, kInvalid));
    EXPECT_TRUE(DossierExiste(s.at("D/Bon & <nom>")));

    ReadOnlyFolder locked(s.at("D"));
    if (!locked.active())
        GTEST_SKIP() << "no read-only folder here";
    s.dialogs.clear();
    s.dialogs.answer("Autre").answer("");
    EXPECT_EQ(newFolderName(s.state, NewNameKind::Category, s.at("D")), QString());
    EXPECT_EQ(s.dialogs.messages(), QStringList{kInvalid});
}
