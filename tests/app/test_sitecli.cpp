// quillsite-cli: lister, generer and ajouter-page against the window's own code path, and the scripts of
// tests/data/app.
#include "checksite.h"
#include "commands/pageeditor.h"
#include "commands/regenerate.h"
#include "commands/selection.h"
#include "lib/helpers.h"
#include "lib/settings.h"
#include "lib/text1252.h"
#include "site/listing.h"
#include "sitefixture.h"
#include "tablefile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSettings>

#include <memory>

using namespace qs;
using namespace qs::test;

namespace {

// The site of tests/data/app/awkward-site.txt under `top`.
void makeSite(const SiteFixture& s, const QString& top) {
    for (const DataRow& r : tableRows(QStringLiteral("app/awkward-site.txt"))) {
        const QString path = top + r.text(1);
        r.text(0) == u"page"   ? s.page(path, r.text(2))
        : r.text(0) == u"file" ? writeFile(s.at(path), r.value(2))
                               : s.folder(path);
    }
}

// Every generated file of a site, by path, with the date-and-user line masked.
QMap<QString, QStringList> generated(const QString& root) {
    QMap<QString, QStringList> out;
    QDirIterator it(root, {"Index.htm", "IndexG.htm", "Index.html"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QStringList lines = fileLines(path);
        for (QString& l : lines)
            if (l.contains(QStringLiteral("Mis à jour le ")))
                l = QStringLiteral("(date et utilisateur)");
        out.insert(path.mid(root.size()), lines);
    }
    return out;
}

// The file's lines without the one that carries the date and the user.
QStringList undated(const QString& path) {
    QStringList lines = fileLines(path);
    lines.removeIf([](const QString& l) { return l.contains(QStringLiteral("Mis à jour le ")); });
    return lines;
}

class CliScript : public ::testing::TestWithParam<const char*> {};

QDateTime when(const QString& text) {
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

bool matches(const QString& op, const QString& got, const QString& want) {
    return op == u"="    ? got == want
           : op == u"~"  ? got.contains(want)
           : op == u"^"  ? got.startsWith(want)
           : op == u"$"  ? got.endsWith(want)
           : op == u"!~" ? !got.contains(want)
                         : (ADD_FAILURE() << "unknown comparison " << op, false);
}

} // namespace

TEST(CliGenerer, WritesWhatTheWindowWrites) {
    SiteFixture s;
    makeSite(s, "fenetre/");
    makeSite(s, "cli/");
    ParamètreEcrire(QStringLiteral("Indexer"), QStringLiteral("Oui"));
    ParamètreEcrire(QStringLiteral("CouleurFond(rrggbb)"), QStringLiteral("ABCDEF"));

    // The window: open the site, select every category of every domain in turn, then save.
    s.state.values.Répertoire = s.at("fenetre/");
    OptionsCharger(s.state.values);
    domainesInit(s.state);
    // By row: "Doc" and "doc" are two domains. "Sans catégorie" asks for a first category: refused.
    s.dialogs.answer(QString());
    for (int d = 0; d < s.state.dListe.count(); ++d) {
        s.state.dListe.select(d);
        dListe_Click(s.state);
        for (int c = 0; c < s.state.cListe.count(); ++c) {
            s.state.cListe.select(c);
            cListe_Click(s.state);
        }
    }
    Enregistrer(s.state);
    EXPECT_TRUE(s.dialogs.texts().contains(QStringLiteral("Nom de la nouvelle catégorie :")));
    // The navigation page found there was not the program's: it went to the trash, both ways.
    ASSERT_EQ(s.dialogs.messages().size(), 1);
    EXPECT_TRUE(s.dialogs.messages()[0].endsWith(s.at("fenetre/Été & Cie/<b>/IndexG.htm")));

    const CliResult r = runCli({"generer", s.at("cli")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.isEmpty()) << r.err;
    EXPECT_TRUE(r.out.contains(QStringLiteral("Sans catégorie"))) << r.out;
    EXPECT_TRUE(r.out.contains(s.at("cli/Été & Cie/<b>/IndexG.htm"))) << r.out;

    const auto window = generated(s.at("fenetre/"));
    const auto headless = generated(s.at("cli/"));
    EXPECT_EQ(window.keys(), headless.keys());
    for (auto it = window.cbegin(); it != window.cend(); ++it)
        EXPECT_EQ(it.value(), headless.value(it.key())) << it.key();

    // What both wrote, and what neither did.
    EXPECT_TRUE(headless.contains("Été & Cie/vide/IndexG.htm"));
    EXPECT_TRUE(headless.value("Index.htm").join(u'\n').contains("BGCOLOR=\"#ABCDEF\""));
    EXPECT_EQ(headless.value("Index.html"), headless.value("Index.htm"));
    EXPECT_FALSE(headless.contains("Sans catégorie/Index.htm"));
    EXPECT_FALSE(headless.contains("images/Index.htm"));
    EXPECT_FALSE(headless.contains("ReadOnly/Index.htm"));
    EXPECT_FALSE(DossierExiste(s.at("cli/Sans catégorie/")) && !QDir(s.at("cli/Sans catégorie")).isEmpty());
    // The user's own lower-case "index.htm" is not a page and stays as it was.
    EXPECT_EQ(s.lines("cli/Été & Cie/<b>/index.htm").at(2), QStringLiteral("<TITLE>ancien</TITLE>"));
}

// quillsite-cli ajouter-page against the editor's own code path.
TEST(CliAjouterPage, WritesWhatTheEditorWrites) {
    PageSite s;
    ParamètreEcrire("CouleurFond(rrggbb)", "ABCDEF");
    s.state.values.CouleurFond = "ABCDEF";
    s.page("Doc/Guide/1.htm", "Existante");
    s.folder("Doc/Copie");

    // The editor: "Ajouter", a title and a body, OK.
    s.openCategory("Doc", "Copie");
    tAjouter_Click(s.state);
    s.state.controls.tTitre = "Été → hiver";
    s.state.controls.tTexte = "<P>Première</P>\r\nligne 2";
    tTexte_Change(s.state);
    ASSERT_EQ(tOk_Click(s.state), s.at("Doc/Copie/1.htm"));

    // The command, with the body on standard input in UTF-8 and a final line end.
    const CliResult r = runCli({"ajouter-page", s.root(), "doc", "GUIDE", "--titre", "Été → hiver"},
                               QByteArray("<P>Premi\xC3\xA8re</P>\nligne 2\n"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "2.htm\n");
    EXPECT_EQ(undated(s.at("Doc/Guide/2.htm")).replaceInStrings("Index Guide", "Index Copie"),
              undated(s.at("Doc/Copie/1.htm")));
    // The category was regenerated with the new page.
    // In French order: "Été" before "Existante".
    EXPECT_EQ(s.navigation("Doc/Guide/"), (QStringList{"2.htm|Été &#8594; hiver", "1.htm|Existante"}));
}

// quillsite-cli run on the scripts tests/data/app/*.cli (their steps: tests/data/app/README.txt).
TEST_P(CliScript, Runs) {
    QSettings(QStringLiteral("Vendrel"), QStringLiteral("quillsite")).clear();
    TempDir dir;
    std::vector<std::unique_ptr<ReadOnlyFolder>> locked;
    QMap<QString, QStringList> snaps;
    QByteArray input;
    CliResult last;
    const QByteArray trash = QFileInfo(trashFolder()).path().toUtf8();
    QList<DataRow> rows;
    for (const DataRow& row : tableRows(QStringLiteral("app/%1.cli").arg(GetParam())))
        rows += row.text(0) == u"include" ? tableRows(row.text(1)) : QList<DataRow>{row};
    for (DataRow row : rows) {
        for (QByteArray& f : row)
            f.replace("{D}", dir.path().toUtf8())
                .replace("{USER}", UtilisateurNom().toUtf8())
                .replace("{SRC}", QUILLSITE_SOURCE_DIR)
                .replace("{TRASH}", trash);
        SCOPED_TRACE(row.where + ": " + row.join('|').toStdString());
        const QString verb = row.text(0), text = row.text(2);
        const QString path = row.text(1).startsWith(u'/') ? row.text(1) : dir(row.text(1));
        const QString content = fromWindows1252(readFile(path));
        const auto expected = [&](const QString& name) {
            return dataFile(name).replace("{D}", dir.path().toUtf8()).replace("SITE/", dir.path().toUtf8());
        };
        if (verb == u"file") {
            writeFile(path, row.value(2));
        } else if (verb == u"page") {
            writeFile(path,
                      crlf({"<HTML><HEAD><TITLE>" + text + "</TITLE>", "</HEAD><BODY>",
                            "<!-- BEGIN -->" + (row.size() > 3 ? row.text(3) : "corps") + "<!-- END -->",
                            "</BODY></HTML>"}));
        } else if (verb == u"folder") {
            makeDir(path);
        } else if (verb == u"link") {
            ASSERT_TRUE(QFile::link(text.startsWith(u'/') ? text : dir(text), path));
        } else if (verb == u"copy") {
            writeFile(path, readFile(text));
        } else if (verb == u"checked-site") {
            writeCheckedSite(dir);
        } else if (verb == u"touch") {
            setModified(path, when(text));
        } else if (verb == u"setting") {
            ParamètreEcrire(row.text(1), text);
        } else if (verb == u"stored") {
            EXPECT_EQ(ParamètreLire(row.text(1)), text);
        } else if (verb == u"readonly") {
            locked.push_back(std::make_unique<ReadOnlyFolder>(path));
            if (!locked.back()->active())
                GTEST_SKIP() << "no read-only folder here";
        } else if (verb == u"input") {
            input = row.value(1);
        } else if (verb == u"run" || verb == u"run-tty") {
            QStringList arguments;
            for (qsizetype i = 2; i < row.size(); ++i)
                arguments.append(row.text(i));
            last = runCli(arguments, input, dir.path(), verb == u"run-tty");
            EXPECT_EQ(last.code, row.text(1).toInt()) << last.err;
        } else if (verb == u"out" || verb == u"err") {
            const QString& got = verb == u"out" ? last.out : last.err;
            if (row.text(1) == u"data")
                EXPECT_EQ(got, QString::fromUtf8(expected(text)));
            else
                EXPECT_TRUE(matches(row.text(1), got, text)) << got;
        } else if (verb == u"bytes") {
            EXPECT_EQ(readFile(path), row.value(2));
        } else if (verb == u"data") {
            EXPECT_EQ(readFile(path), expected(text));
        } else if (verb == u"has" || verb == u"lacks") {
            EXPECT_EQ(content.contains(text), verb == u"has") << content;
        } else if (verb == u"line") {
            EXPECT_EQ(splitLines(content).value(text.toInt()), row.text(3));
        } else if (verb == u"mtime") {
            EXPECT_EQ(QFileInfo(path).lastModified(), when(text));
        } else if (verb == u"absent" || verb == u"exists") {
            EXPECT_EQ(QFileInfo::exists(path) && !QFileInfo(path).isSymLink(), verb == u"exists");
        } else if (verb == u"files") {
            EXPECT_EQ(QDir(path).entryList(QDir::Files | QDir::Hidden, QDir::Name).join(u' '), text);
        } else if (verb == u"snap" || verb == u"same") {
            QStringList undated = splitLines(content);
            undated.removeIf([](const QString& l) { return l.contains(QStringLiteral("Mis à jour le ")); });
            if (verb == u"snap")
                snaps[path] = undated;
            EXPECT_EQ(undated, snaps.value(path));
        } else {
            ADD_FAILURE() << "unknown step";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(App, CliScript,
                         ::testing::Values("refusals", "replace", "import", "indexer", "images", "explorer",
                                           "modify-page", "move-page", "generate-readonly", "check",
                                           "check-generated", "links-follow", "generated-links", "lister",
                                           "links-out", "trash-refused", "body-1252"));
