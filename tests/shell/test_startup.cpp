// Start-up, closing, the File menu's site commands and the user's place in the lists, played from the
// scenarios of tests/data/shell/startup.txt through ScriptedDialogs.
#include "commands/pageeditor.h"
#include "commands/selection.h"
#include "shell/place.h"
#include "shellfixture.h"
#include "tablefile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace qs;
using namespace qs::test;

namespace {

class Startup : public ::testing::Test, public ShellFixture {};

// The texts a scenario sets and reads by name.
QMap<QString, QString*> texts(MainState& s) {
    return {{"Adresse", &s.values.Adresse},
            {"Répertoire", &s.values.Répertoire},
            {"CouleurFond", &s.values.CouleurFond},
            {"tFichier", &s.controls.tFichier},
            {"currentDomain", &s.currentDomain}};
}

// What a check names, as text: the dialogs' log, lists, counters, settings and the window's state.
QStringList probe(ShellFixture& f, const QString& what, const QString& arg) {
    MainState& s = *f.state;
    const ControlState& c = s.controls;
    if (what == "settings")
        return {f.settings(arg)};
    if (what == "value" && texts(s).contains(arg))
        return {*texts(s)[arg]};
    if (what == "preview")
        return {previewTarget(s).address, previewTarget(s).missing};
    const auto bits = [](const auto&... b) { return (QString() + ... + (b ? u'1' : u'0')); };
    const auto& mru = f.shell->mnuFileMRU;
    QStringList chooser;
    for (const auto& call : f.dialogs.calls())
        if (call.kind == ScriptedDialogs::Kind::OpenFile)
            chooser << call.extra;
    const QMap<QString, QStringList> probes{
        {"log", f.dialogs.log()},
        {"texts", f.dialogs.texts()},
        {"calls", {QString::number(f.dialogs.calls().size())}},
        {"chooser", chooser},
        {"busy", {bits(f.dialogs.busyDepth(), f.dialogs.busyEntries() > 0)}},
        {"domains", s.dListe.texts()},
        {"categories", s.cListe.texts()},
        {"pages", s.tListe.texts()},
        {"selected",
         {s.dListe.selectedText(), s.cListe.selectedText(), s.tListe.selectedText(), s.currentDomain}},
        {"browsed", f.browsed},
        {"explored", {QString::number(f.explored)}},
        {"counts",
         {QString::asprintf("prompts=%d shown=%d ends=%d ended=%d", f.domainPrompts, f.windowShown,
                            f.endRequests, f.shell->programEnded)}},
        {"mru", mru.visible ? QStringList{mru.caption, mru.tag} : QStringList{"hidden"}},
        // Catalogue tab, "Modifier", "Supprimer", "Nouvelle Catégorie", "Ajouter", then the link types.
        {"controls",
         {bits(c.currentTab == Tab::Catalogue, c.tModifierVisible, c.tSupprimerVisible, c.cAjouterEnabled,
               c.tAjouterEnabled),
          bits(c.cType[0], c.cType[1], c.cType[2], c.cType[3], c.cType[4])}},
    };
    EXPECT_TRUE(probes.contains(what)) << what.toStdString();
    return probes.value(what);
}

// Plays one step: an action on the fixture, or a check.
void step(ShellFixture& f, const QString& verb, const QString& arg, const QStringList& fields) {
    MainState& s = *f.state;
    const QString field = fields.value(0);
    if (verb == "site") {
        QStringList words = arg.split(u' ', Qt::SkipEmptyParts);
        f.makeSite(words.takeFirst(), words);
    } else if (verb == "dir") {
        makeDir(arg);
    } else if (verb == "write") {
        writeFile(arg, field.toUtf8());
    } else if (verb == "remove") {
        ASSERT_TRUE(QFileInfo(arg).isDir() ? QDir(arg).removeRecursively() : QFile::remove(arg)) << arg;
    } else if (verb == "store") {
        ParamètreEcrire(arg, field);
    } else if (verb == "set") {
        if (arg == "editing") {
            s.controls.tAnnulerVisible = field.contains("visible");
            s.controls.tAnnulerEnabled = field.contains("enabled");
        } else {
            ASSERT_TRUE(texts(s).contains(arg)) << arg;
            *texts(s)[arg] = field;
        }
    } else if (verb == "answer") {
        f.dialogs.answer(field);
    } else if (verb == "yes" || verb == "no") {
        verb == "yes" ? f.dialogs.yes() : f.dialogs.no();
    } else if (verb == "file") {
        f.dialogs.file(field);
    } else if (verb == "add") {
        f.domainsToAdd << fields;
    } else if (verb == "clear") {
        f.dialogs.clear();
    } else if (verb == "restart") {
        f.restart();
    } else if (verb == "run") {
        const QMap<QString, void (Shell::*)()> commands{{"load", &Shell::Form_Load},
                                                        {"new", &Shell::mnuFileNew_Click},
                                                        {"open", &Shell::mnuFileOpen_Click},
                                                        {"save", &Shell::mnuFileSave_Click},
                                                        {"refresh", &Shell::mnuViewRefresh_Click},
                                                        {"previous", &Shell::mnuFileMRU_Click}};
        ASSERT_TRUE(commands.contains(arg)) << arg;
        (f.shell.get()->*commands[arg])();
    } else if (verb == "close") { // the geometry, then "closes" or "stays"
        const QStringList g = arg.split(u' ');
        const WindowGeometry geometry{g[0].toInt(), g[1].toInt(), g[2].toInt(), g[3].toInt()};
        EXPECT_EQ(f.shell->Form_Unload(&geometry) ? "closes" : "stays", field);
    } else if (verb == "select") { // domain, category, page; "-" stops there
        StructureList* lists[] = {&s.dListe, &s.cListe, &s.tListe};
        void (*clicks[])(MainState&) = {dListe_Click, cListe_Click, tListe_Click};
        for (int i = 0; i < fields.size() && fields[i] != "-"; ++i) {
            lists[i]->select(lists[i]->find(fields[i]));
            clicks[i](s);
        }
    } else if (verb == "update") { // the update command, which ends the program; the file | whether it
        // existed when the update began
        bool existed = false;
        setUpdateProcedure([&](Dialogs&) {
            existed = QFileInfo::exists(arg);
            return false;
        });
        f.shell->mnuOptionsMAJ_Click();
        setUpdateProcedure({});
        EXPECT_EQ(existed ? "yes" : "no", field);
    } else if (verb == "take") { // a home page's address, its folder then taken as the site's
        f.shell->takerépertoire(arg);
    } else if (verb == "copy") {
        f.shell->BaseCopy();
    } else if (verb == "templates") { // which templates the folder holds as copies of the program's
        QStringList copies;
        for (const char* name :
             {"images/logo.gif", "head_d.txt", "foot_d.txt", "head_c.txt", "foot_c.txt", "index.txt"}) {
            const QString at = arg + name, from = f.program + QString(name).remove("images/");
            if (QFile::exists(at) && readFile(at) == readFile(from))
                copies << name;
        }
        EXPECT_EQ(copies, fields);
    } else if (verb == "unselect") {
        s.cListe.select(-1);
    } else if (verb == "expect") {
        const QString what = arg.section(u' ', 0, 0);
        EXPECT_EQ(probe(f, what, arg.section(u' ', 1)), fields);
    } else if (verb == "exists" || verb == "absent") {
        for (const QString& path : fields)
            EXPECT_EQ(QFileInfo::exists(path), verb == "exists") << path;
    } else if (verb == "contains") {
        EXPECT_TRUE(readFile(arg).contains(field.toUtf8())) << arg;
    } else if (verb == "bytes") {
        EXPECT_EQ(readFile(arg), field.toUtf8()) << arg;
    } else if (verb == "holds") { // exactly these files and folders
        EXPECT_EQ(QDir(arg).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), fields) << arg;
    } else {
        ADD_FAILURE() << "unknown step " << verb.toStdString();
    }
}

} // namespace

// Each "=== title" block of the file is played on a fresh program folder and settings store.
TEST(Scenario, StartUpAndTheSiteCommands) {
    std::unique_ptr<ShellFixture> f;
    const QString previousCwd = QDir::currentPath();
    QString title;
    for (const auto& row : tableRows("shell/startup.txt")) {
        QString head = str(row[0]);
        if (head.startsWith("=== ")) {
            QDir::setCurrent(previousCwd);
            f = std::make_unique<ShellFixture>();
            title = head;
            makeDir(f->temp("cwd/"));
            QDir::setCurrent(f->temp("cwd/")); // nothing may be written here
            continue;
        }
        ASSERT_NE(f, nullptr);
        QStringList fields;
        const auto paths = [&](QString text) {
            return text.replace("PROGRAM/", f->program).replace("TEMP/", f->temp.path());
        };
        for (const QByteArray& field : row.mid(1))
            fields << paths(str(field));
        SCOPED_TRACE((title + " / " + head).toStdString());
        head = paths(head);
        step(*f, head.section(u' ', 0, 0), head.section(u' ', 1), fields);
    }
    QDir::setCurrent(previousCwd);
}

TEST_F(Startup, AProgramFolderThatTakesNoSiteIsSaidSo) {
    ReadOnlyFolder locked(withoutSeparator(program));
    if (!locked.active())
        GTEST_SKIP() << "the folder cannot be made read-only here";
    shell->mnuFileNew_Click();
    EXPECT_EQ(dialogs.log(),
              QStringList{"message(!) Erreur: Impossible de créer un site dans le dossier du "
                          "programme :\r\n" +
                          program +
                          "\r\n\r\nCe dossier est protégé en écriture. Installez Quillsite dans "
                          "un dossier où vous pouvez écrire."});
    EXPECT_EQ(settings("Adresse"), "Adresse=");
}
