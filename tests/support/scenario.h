#pragma once

// Scenarios of the main window's commands, written as scripts in tests/data (the format is described at
// the top of tests/data/commands/pages.txt). Each "== Name" block runs on a fresh PageSite as one test.
#include "commands/commands.h"
#include "commands/fragmentedit.h"
#include "commands/pageeditor.h"
#include "commands/pagemove.h"
#include "commands/regenerate.h"
#include "lib/helpers.h"
#include "lib/text1252.h"
#include "pagesite.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDirIterator>

#include <functional>
#include <map>
#include <memory>

namespace qs::test {

struct ScenarioCase {
    QString file;
    QString name;
    int line = 0;
    QStringList lines; // from the line after the name, blank and comment lines kept for the numbering
};

inline void PrintTo(const ScenarioCase& c, std::ostream* os) {
    *os << c.file.toStdString() << ':' << c.line << ' ' << c.name.toStdString();
}

inline std::vector<ScenarioCase> scenarios(const QString& relative) {
    QFile f(QStringLiteral(QUILLSITE_SOURCE_DIR "/tests/data/") + relative);
    std::vector<ScenarioCase> out;
    if (!f.open(QIODevice::ReadOnly))
        return {{relative, QStringLiteral("missing"), 0, {QStringLiteral("fail missing script")}}};
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(u"== "))
            out.push_back({relative, lines[i].mid(3).trimmed(), i + 1, {}});
        else if (!out.empty())
            out.back().lines.append(lines[i]);
    }
    return out;
}

// Runs one scenario: each line is a command word and its arguments separated by " | ". In arguments,
// "\r", "\n", "\t" and "\x01" are those characters, "{SITE}" the site folder and "" alone an empty text.
class ScenarioRunner {
public:
    explicit ScenarioRunner(PageSite& site) : s(site) {
        // What the window shows: the controls as they were at the last notification.
        QObject::connect(&s.state, &MainState::changed, [this] { shown = s.state.controls; });
    }

    void run(const ScenarioCase& c) {
        QDir(QFileInfo(trashFolder()).path()).removeRecursively(); // checked whole, info files too
        const QString cwd = QDir::currentPath();
        for (int i = 0; i < c.lines.size() && !skipped; ++i) {
            QString line = c.lines[i];
            if (line.endsWith(u'\r'))
                line.chop(1);
            if (line.trimmed().isEmpty() || line.startsWith(u'#'))
                continue;
            where = c.file.toStdString() + ":" + std::to_string(c.line + i + 1) + ": " + line.toStdString();
            const qsizetype space = line.indexOf(u' ');
            const QString verb = line.left(space);
            QStringList a;
            // Lists may start on a bar of their own: "messages | first | second".
            const QString rest = line.mid(space + 1);
            if (space > 0)
                for (const QString& arg :
                     (rest.startsWith(u"| ") ? rest.mid(2) : rest).split(QStringLiteral(" | ")))
                    a.append(decode(arg));
            step(verb, a);
        }
        QDir::setCurrent(cwd);
        for (auto e = environment.crbegin(); e != environment.crend(); ++e)
            qputenv(e->first.constData(), e->second);
    }
    bool skipped = false;
    // Verbs of a test's own, tried before the common ones: returns whether it knew the verb.
    std::function<bool(const QString& verb, const QStringList& args)> more;
    std::string where; // the script line being run, for failure messages

private:
    PageSite& s;
    DraggedPage dragged;
    QStringList remembered;
    ControlState shown;
    QList<std::pair<QByteArray, QByteArray>> environment; // the variables changed, with their values before

    // Every file below a folder but the generated index pages, relative and sorted, with a digest of its
    // bytes: what a copy, a rename or a save of what was loaded must keep.
    static QStringList tree(const QString& folder) {
        QStringList out;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileName() != u"Index.htm" && it.fileName() != u"IndexG.htm")
                out.append(path.mid(folder.size()) + u':' +
                           QCryptographicHash::hash(readFile(path), QCryptographicHash::Md5).toHex());
        }
        out.sort();
        return out;
    }
    std::vector<std::unique_ptr<ReadOnlyFolder>> locks;

    QString decode(QString arg) const {
        if (arg == u"\"\"")
            return {};
        return arg.replace(QStringLiteral("\\r"), QStringLiteral("\r"))
            .replace(QStringLiteral("\\n"), QStringLiteral("\n"))
            .replace(QStringLiteral("\\t"), QStringLiteral("\t"))
            .replace(QStringLiteral("\\x01"), QStringLiteral("\x01"))
            .replace(QStringLiteral("{SITE}"), s.root());
    }
    static bool yes(const QString& word) { return word == u"yes"; }
    // A path of the site, "" staying "".
    QString path(const QString& relative) const { return relative.isEmpty() ? relative : s.at(relative); }
    StructureList& list(const QString& which) {
        return which == u"domain" ? s.state.dListe : which == u"category" ? s.state.cListe : s.state.tListe;
    }
    int row(const QString& which, const QString& arg) {
        bool number = false;
        const int r = arg.toInt(&number);
        return number ? r : list(which).find(arg);
    }
    // The folder menus' entries, in their order.
    static FolderCommand command(const QString& name) {
        const int i =
            QStringList{"header", "footer", "file", "import", "copy", "rename", "delete"}.indexOf(name);
        EXPECT_GE(i, 0) << name.toStdString();
        return FolderCommand(i);
    }
    // The flags and texts of the controls and the state that a script reads and sets, by the code's names
    // ("yes"/"no" for flags).
#define QS_CONTROL(name) std::make_pair(QStringLiteral(#name), &c.name)
#define QS_VALUE(name) std::make_pair(QStringLiteral(#name), &v.name)
#define QS_STATE(name) std::make_pair(QStringLiteral(#name), &s.state.name)
    bool* flag(const QString& name) {
        ControlState& c = s.state.controls;
        const std::map<QString, bool*> flags{
            QS_CONTROL(cAjouterEnabled),    QS_CONTROL(tAjouterEnabled),  QS_CONTROL(tImporterEnabled),
            QS_CONTROL(ImgIndexEnabled),    QS_CONTROL(tModifierEnabled), QS_CONTROL(tSupprimerEnabled),
            QS_CONTROL(tModifierVisible),   QS_CONTROL(tAnnulerVisible),  QS_CONTROL(tAnnulerEnabled),
            QS_CONTROL(tOkVisible),         QS_CONTROL(tOkEnabled),       QS_CONTROL(tTexteHeadEnabled),
            QS_CONTROL(tTexteFootEnabled),  QS_CONTROL(tTexteEnabled),    QS_CONTROL(HFOKVisible),
            QS_CONTROL(catalogueTabEnabled)};
        if (name == u"imported")
            return &s.state.imported;
        const auto f = flags.find(name);
        return f == flags.end() ? nullptr : f->second;
    }
    QString field(const QString& name) {
        if (const bool* f = flag(name))
            return *f ? QStringLiteral("yes") : QStringLiteral("no");
        if (name == u"tab")
            return s.state.controls.currentTab == Tab::Editor ? QStringLiteral("editor")
                                                              : QStringLiteral("catalogue");
        if (name == u"target")
            return QStringList{"category-page", "site", "domain"}.at(int(s.state.editTarget));
        if (name == u"list") // the list a context menu acts on
            return s.state.ListeCourante == &s.state.dListe   ? QStringLiteral("domain")
                   : s.state.ListeCourante == &s.state.cListe ? QStringLiteral("category")
                                                              : QStringLiteral("none");
        if (name == u"fragment")
            return s.state.fragmentPath;
        return *text(name);
    }
    QString* text(const QString& name) {
        ControlState& c = s.state.controls;
        ProgramValues& v = s.state.values;
        const std::map<QString, QString*> texts{
            QS_CONTROL(tTitre),     QS_CONTROL(tTexte),      QS_CONTROL(tTexteHead),
            QS_CONTROL(tTexteFoot), QS_CONTROL(tFichier),    QS_CONTROL(ImgIndexCaption),
            QS_VALUE(CouleurFond),  QS_VALUE(CouleurTitre),  QS_VALUE(CouleurTexte),
            QS_VALUE(Répertoire),   QS_STATE(currentDomain), QS_STATE(currentCategory)};
        auto t = texts.find(name);
        if (t == texts.end()) {
            ADD_FAILURE() << where << ": no field " << name.toStdString();
            static QString none;
            return &none;
        }
        return t->second;
    }
    void expectPrefixes(const QStringList& got, const QStringList& prefixes) {
        bool same = got.size() == prefixes.size();
        for (int i = 0; same && i < got.size(); ++i)
            same = got[i].startsWith(prefixes[i]);
        EXPECT_TRUE(same) << where << "\n" << got.join(u'\n');
    }

    void step(const QString& verb, const QStringList& a) {
        MainState& st = s.state;
        const QString a0 = a.value(0);
        if (more && more(verb, a))
            return;
        // Site on disk.
        if (verb == u"page")
            a.size() > 2 ? s.page(a0, a[1], a[2]) : s.page(a0, a[1]);
        else if (verb == u"folder")
            s.folder(a0);
        else if (verb == u"write")
            writeFile(s.at(a0), toWindows1252(a.value(1)));
        else if (verb == u"age") // file | its age in days
            setModified(s.at(a0), s.clock.now().addDays(-a.value(1).toInt()));
        else if (verb == u"link") // link | where it leads
            EXPECT_TRUE(QFile::link(s.at(a.value(1)), s.at(a0))) << where;
        else if (verb == u"remove")
            QFile::remove(s.at(a0));
        else if (verb == u"lock") {
            locks.push_back(std::make_unique<ReadOnlyFolder>(s.at(a0)));
            if (!locks.back()->active()) {
                skipped = true;
                GTEST_SKIP() << "no read-only folder here";
            }
        } else if (verb == u"unlock")
            locks.clear();
        else if (verb == u"setting")
            ParamètreEcrire(a0, a.value(1));
        else if (verb == u"env") { // variable | its value, until the scenario ends
            environment.append({a0.toLocal8Bit(), qgetenv(a0.toLocal8Bit().constData())});
            qputenv(a0.toLocal8Bit().constData(), a.value(1).toLocal8Bit());
        } else if (verb == u"in-folder") // the current folder, until the scenario ends
            QDir::setCurrent(s.at(a0));
        else if (verb == u"set") {
            if (bool* f = flag(a0))
                *f = yes(a.value(1));
            else
                *text(a0) = a.value(1);
        }
        // The lists.
        else if (verb == u"no-address") { // a site opened without a start page
            st.values.Adresse.clear();
            st.controls.tFichier.clear();
        } else if (verb == u"open")
            a.isEmpty() ? s.open() : s.openCategory(a0, a[1]);
        else if (verb == u"domain")
            s.clickDomain(a0);
        else if (verb == u"category")
            s.clickCategory(a0);
        else if (verb == u"pick") // a page row, without the click
            st.tListe.select(row(QString(), a0));
        else if (verb == u"click") {
            st.tListe.select(row(QString(), a0));
            tListe_Click(st);
        } else if (verb == u"dblclick")
            tListe_DblClick(st);
        else if (verb == u"rclick" || verb == u"lclick") { // list | row [| no: refused]
            const Qt::MouseButton button = verb == u"rclick" ? Qt::RightButton : Qt::LeftButton;
            EXPECT_EQ(a0 == u"domain" ? dListe_MouseUp(st, button, row(a0, a[1]))
                                      : cListe_MouseUp(st, button, row(a0, a[1])),
                      a.value(2) != u"no")
                << where;
        } else if (verb == u"menu") // list | command [| fin]
            EXPECT_EQ(a0 == u"domain" ? mmod_Click(st, command(a[1])) : mod2_Click(st, command(a[1])),
                      a.value(2) == u"end" ? CommandOutcome::EndProgram : CommandOutcome::Done)
                << where;
        else if (verb == u"add-domain")
            dAjouter_Click(st);
        else if (verb == u"add-category")
            cAjouter_Click(st);
        else if (verb == u"relist")
            domainesInit(st);
        else if (verb == u"list")
            DomainesLister(st, a0);
        else if (verb == u"save")
            a0 == u"domain" ? dEnregistrer(st) : a0 == u"category" ? cEnregistrer(st) : Enregistrer(st);
        // The page editor.
        else if (verb == u"add")
            tAjouter_Click(st);
        else if (verb == u"modify")
            tModifier_Click(st);
        else if (verb == u"type") {
            st.controls.tTitre = a0;
            st.controls.tTexte = a.value(1);
            tTexte_Change(st);
        } else if (verb == u"change")
            tTexte_Change(st);
        else if (verb == u"ok") // [the file written, relative]
            EXPECT_EQ(tOk_Click(st), path(a0)) << where;
        else if (verb == u"cancel")
            tAnnuler_Click(st);
        else if (verb == u"delete")
            EXPECT_EQ(tSupprimer_Click(st), yes(a0)) << where;
        else if (verb == u"import")
            EXPECT_EQ(tImporter_Click(st), yes(a0)) << where;
        else if (verb == u"edit-fragment") {
            static const std::map<QString, Fragment> fragments{{QStringLiteral("HeadD"), Fragment::HeadD},
                                                               {QStringLiteral("FootD"), Fragment::FootD},
                                                               {QStringLiteral("HeadC"), Fragment::HeadC},
                                                               {QStringLiteral("FootC"), Fragment::FootC}};
            EXPECT_TRUE(fragmentEdit(st, fragments.at(a0))) << where;
        } else if (verb == u"imgindex")
            ImgIndex_Click(st);
        else if (verb == u"hfok")
            EXPECT_EQ(HFOK_Click(st), yes(a0)) << where;
        else if (verb == u"drag") {
            st.tListe.select(s.pageRow(a0));
            tListe_Click(st);
            const auto page = tListe_MouseDown(st, s.pageRow(a0));
            EXPECT_TRUE(page.has_value()) << where;
            dragged = page.value_or(DraggedPage{});
        } else if (verb == u"drag-from") // the dragged page claims another category
            dragged.category = a0;
        else if (verb == u"over") // list | row | yes|no: whether a drop is offered
            EXPECT_EQ(a0 == u"domain" ? dListe_DragOver(st, dragged, row(a0, a[1]))
                                      : cListe_DragOver(st, dragged, row(a0, a[1])),
                      yes(a.value(2)))
                << where;
        else if (verb == u"drop") // list | row | the file written
            EXPECT_EQ(a0 == u"domain" ? dListe_DragDrop(st, dragged, row(a0, a[1]))
                                      : cListe_DragDrop(st, dragged, row(a0, a[1])),
                      path(a.value(2)))
                << where;
        // The dialogs.
        else if (verb == u"answer")
            for (const QString& answer : a)
                s.dialogs.answer(answer);
        else if (verb == u"yes")
            s.dialogs.yes();
        else if (verb == u"no")
            s.dialogs.no();
        else if (verb == u"choose-file")
            s.dialogs.file(path(a0));
        else if (verb == u"forget")
            s.dialogs.clear();
        // Checks.
        else if (verb == u"messages")
            EXPECT_EQ(s.dialogs.messages(), a) << where;
        else if (verb == u"messages-each") // count | the text of every message
            EXPECT_EQ(s.dialogs.messages(), QStringList(a0.toInt(), a.value(1))) << where;
        else if (verb == u"texts")
            EXPECT_EQ(s.dialogs.texts(), a) << where;
        else if (verb == u"asked") { // the first question or prompt: text [| title]
            const ScriptedDialogs::Call first = s.dialogs.calls().value(0);
            EXPECT_EQ(first.text, a0) << where;
            if (a.size() > 1) {
                EXPECT_EQ(first.title, a[1]) << where;
            }
        } else if (verb == u"chooser") // the last file chooser's folder and filter
            EXPECT_EQ(s.dialogs.calls().back().extra, a0) << where;
        else if (verb == u"busy") // the busy pointer was shown, and is gone
            EXPECT_TRUE(s.dialogs.busyEntries() > 0 && s.dialogs.busyDepth() == 0) << where;
        else if (verb == u"status") // the last text of the status bar
            EXPECT_EQ(s.dialogs.statuses().value(s.dialogs.statuses().size() - 1), a0) << where;
        else if (verb == u"log")
            EXPECT_EQ(s.dialogs.log(), a) << where;
        else if (verb == u"message-starts") // how each message starts (their causes vary)
            expectPrefixes(s.dialogs.messages(), a);
        else if (verb == u"log-starts")
            expectPrefixes(s.dialogs.log(), a);
        else if (verb == u"message-has") // the single message holds this text
            EXPECT_TRUE(s.dialogs.messages().size() == 1 && s.dialogs.messages()[0].contains(a0))
                << where << "\n"
                << s.dialogs.messages().join(u'\n');
        else if (verb == u"listing")
            EXPECT_EQ(s.listing(), a) << where;
        else if (verb == u"nav")
            EXPECT_EQ(s.navigation(a0), a.mid(1)) << where;
        else if (verb == u"domains")
            EXPECT_EQ(st.dListe.texts(), a) << where;
        else if (verb == u"categories")
            EXPECT_EQ(st.cListe.texts(), a) << where;
        else if (verb == u"titles")
            EXPECT_EQ(st.tListe.texts(), a) << where;
        else if (verb == u"table") // the page-name table past its unused first entry
            EXPECT_EQ(st.pageNames, QStringList{QString()} + a) << where;
        else if (verb == u"selected") // list | text ("" when no row is selected)
            EXPECT_EQ(list(a0).selectedRow() < 0 ? QString() : list(a0).selectedText(), a.value(1)) << where;
        else if (verb == u"is") // field | value
            EXPECT_EQ(field(a0), a0 == u"fragment" ? path(a.value(1)) : a.value(1)) << where;
        else if (verb == u"exists")
            for (const QString& f : a)
                EXPECT_TRUE(s.exists(f)) << where << " " << f.toStdString();
        else if (verb == u"missing")
            for (const QString& f : a)
                EXPECT_FALSE(QFileInfo::exists(s.at(f))) << where << " " << f.toStdString();
        else if (verb == u"lines") { // file | first line, from the end when negative | lines...
            const QStringList lines = s.lines(a0);
            const int first = a[1].toInt() < 0 ? int(lines.size()) + a[1].toInt() : a[1].toInt();
            EXPECT_EQ(lines.mid(first, a.size() - 2), a.mid(2)) << where;
        } else if (verb == u"shown") { // field | value, as the window was last told
            std::swap(shown, st.controls);
            EXPECT_EQ(field(a0), a.value(1)) << where;
            std::swap(shown, st.controls);
        } else if (verb == u"link-to") // link | where it leads
            EXPECT_EQ(QFile::symLinkTarget(s.at(a0)), s.at(a.value(1))) << where;
        else if (verb == u"has") // file | a whole line
            EXPECT_TRUE(s.lines(a0).contains(a[1])) << where;
        else if (verb == u"lacks") // file | a text found nowhere in it
            EXPECT_FALSE(s.lines(a0).join(u'\n').contains(a[1])) << where;
        else if (verb == u"bytes") // file | its whole content, in Windows-1252
            EXPECT_EQ(readFile(s.at(a0)), toWindows1252(a.value(1))) << where;
        else if (verb == u"golden") // file | its expected bytes in tests/data, "{ID}" the program's name
            EXPECT_EQ(readFile(s.at(a0)), dataFile(a.value(1), {{QStringLiteral("ID"), ProgrammeID()}}))
                << where;
        else if (verb == u"same-bytes")
            EXPECT_EQ(readFile(s.at(a0)), readFile(s.at(a.value(1)))) << where;
        else if (verb == u"trashed") // name | the bytes it holds in the trash
            EXPECT_EQ(readFile(trashFolder() + u'/' + a0), toWindows1252(a.value(1))) << where;
        else if (verb == u"files") // folder | its files, sorted
            EXPECT_EQ(QDir(s.at(a0)).entryList(QDir::Files | QDir::Hidden), a.mid(1)) << where;
        else if (verb == u"entries") // folder | everything in it, hidden entries too, sorted
            EXPECT_EQ(QDir(s.at(a0)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                      a.mid(1))
                << where;
        else if (verb == u"remember") // a folder's files, for same-files
            remembered = tree(s.at(a0));
        else if (verb == u"same-files")
            EXPECT_EQ(tree(s.at(a0)), remembered) << where;
        else if (verb == u"trash") // the names in the trash
            EXPECT_EQ(QDir(trashFolder()).entryList(QDir::Files), a) << where;
        else if (verb == u"setting-is")
            EXPECT_EQ(ParamètreLire(a0), a.value(1)) << where;
        else
            ADD_FAILURE() << where << ": unknown command";
    }
#undef QS_CONTROL
#undef QS_VALUE
#undef QS_STATE
};

// One test per scenario: INSTANTIATE_TEST_SUITE_P(Name, Scenario, scenarioCases("folder/file.txt"),
// scenarioName).
class Scenario : public ::testing::TestWithParam<ScenarioCase> {};

inline auto scenarioCases(const QString& relative) {
    return ::testing::ValuesIn(scenarios(relative));
}

inline std::string scenarioName(const ::testing::TestParamInfo<ScenarioCase>& info) {
    std::string name = info.param.name.toStdString();
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(uchar(c)); }, '_');
    return name;
}

} // namespace qs::test
