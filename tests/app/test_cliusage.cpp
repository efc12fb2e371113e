// Every refusal of quillsite-cli: the exit code (2: usage, 1: what the site lacks), the French message,
// nothing on standard output, nothing written.
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace qs::test;

TEST(CliRefusals, CodeAndMessageAndNothingWritten) {
    TempDir dir;
    makeDir(dir("site/Doc/Guide"));
    writeFile(dir("a.htm"), "x");
    const QString site = dir("site/"), a = dir("a.htm"), absent = dir("absent");
    const struct {
        QStringList arguments;
        int code;
        QString error;      // what standard error holds ("" when any message will do)
        bool whole = false; // the message is the whole of standard error
    } cases[] = {
        {{"lister"}, 2, ""},
        {{"lister", "a", "b"}, 2, ""},
        {{"lister", "--inconnue", site}, 2, ""},
        {{"lister", absent}, 1, absent},
        {{"generer"}, 2, ""},
        {{"generer", "a", "b"}, 2, ""},
        {{"generer", "--inconnue", site}, 2, ""},
        {{"generer", absent}, 1, absent},
        {{"explorer"}, 2, "Donnez une page, et une seule."},
        {{"explorer", a, a}, 2, "Donnez une page, et une seule."},
        {{"explorer", "--profondeur", "0", a},
         2,
         "Profondeur non valable : « 0 ». Donnez un nombre de 1 à 19, ou « illimite »."},
        {{"explorer", "--profondeur", "21", a}, 2, "Profondeur non valable : « 21 »."},
        {{"explorer", "--profondeur", "beaucoup", a}, 2, "Profondeur non valable : « beaucoup »."},
        {{"explorer", "--types", "images,films", a}, 2, "Type de lien inconnu : « films »."},
        {{"explorer", "--inconnue", a}, 2, "inconnue"},
        {{"explorer", dir("absente.htm")}, 1, "Je ne trouve pas la page « " + dir("absente.htm") + " »."},
        {{"explorer", site}, 1, "Je ne trouve pas la page"},
        {{"indexer", "--maintenant", "9.3.26", site}, 2, "Date incorrecte : « 9.3.26 »"},
        {{"indexer"}, 2, ""},
        {{"indexer", site, site}, 2, ""},
        {{"indexer", absent}, 1, absent},
        {{"images", site, "Autre", "Guide"},
         1,
         "Le site « " + site + " » n'a pas de domaine « Autre ».\n",
         true},
        {{"images", site, "Doc", "Autre"}, 1, "Le domaine « Doc » n'a pas de catégorie « Autre ».\n", true},
        {{"images", site, "Doc"}, 2, ""},
        {{"remplacer", "--par", "y", a}, 2, ""},
        {{"remplacer", "--chercher", "", "--par", "y", a}, 2, ""},
        {{"remplacer", "--chercher", "x", "--par", "y"}, 2, ""},
        {{"ajouter-page", site, "Doc", "Guide", "--titre", "  "},
         2,
         "Le titre et le texte de la page ne doivent pas être vides."},
        {{"ajouter-page", site, "Doc", "Absente", "--titre", "T"},
         1,
         "Le domaine « Doc » n'a pas de catégorie « Absente »."},
        {{"ajouter-page", site, "Doc", "Guide"}, 2, ""},
        {{"ajouter-page", site, "Doc", "Guide", "--titre", "T", "--corps", dir("absent.txt")},
         1,
         "Je ne peux pas lire le fichier « " + dir("absent.txt") + " » : fichier ou dossier introuvable.\n",
         true},
        {{"ajouter-page", site, "Doc", "Guide", "--titre", "deux\nlignes"},
         2,
         "Le titre ne doit pas contenir de saut de ligne.\n",
         true},
    };
    for (const auto& c : cases) {
        const CliResult r = runCli(c.arguments, "texte");
        EXPECT_EQ(r.code, c.code) << c.arguments.join(u' ');
        if (c.whole)
            EXPECT_EQ(r.err, c.error) << c.arguments.join(u' ');
        else
            EXPECT_TRUE(r.err.contains(c.error)) << c.arguments.join(u' ') << ": " << r.err;
        EXPECT_EQ(r.out, QString()) << c.arguments.join(u' ');
    }
    for (const char* command : {"lister", "generer", "explorer", "indexer"}) {
        const CliResult help = runCli({QString::fromUtf8(command), "--aide"});
        EXPECT_EQ(help.code, 0);
        EXPECT_TRUE(help.out.startsWith("Usage : quillsite-cli " + QString::fromUtf8(command))) << help.out;
    }
    EXPECT_EQ(QDir(dir("site/Doc/Guide")).entryList(QDir::Files), QStringList());
    EXPECT_EQ(readFile(a), QByteArray("x"));
}
