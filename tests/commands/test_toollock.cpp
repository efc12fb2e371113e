// The window's writing tools (image index, fragment editing, Word import) hold the site lock while they
// write: a site another program is changing stops each of them with that program named, nothing written.
#include "commands/fragmentedit.h"
#include "commands/mainstate.h"
#include "commands/selection.h"
#include "lib/clock.h"
#include "lib/settings.h"
#include "scripteddialogs.h"
#include "testutil.h"
#include "tools/importer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDirIterator>
#include <QListWidget>
#include <QLockFile>
#include <QPushButton>

#include <functional>

using namespace qs;
using namespace qs::test;

namespace {

// Every file of the folder with its bytes, hidden ones too, the lock file aside.
QMap<QString, QByteArray> contents(const QString& folder) {
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        if (const QString path = it.next(); !path.endsWith(u".quillsite.lock"))
            out.insert(path, readFile(path));
    return out;
}

} // namespace

TEST(ToolLock, AHeldSiteStopsEachToolWithTheHolderNamedAndNothingWritten) {
    TempDir site;
    writeFile(site("head_d.txt"), "avant\r\n");
    writeFile(site("Dom/Cat/1.htm"), "<TITLE>Une page</TITLE>\r\n");
    writeFile(site("Dom/Cat/photo.jpg"), "x");
    writeFile(site("Word/a.rtf"), "{\\rtf1 un document}");
    const QString root = site.path() + u'/';
    ParamètreEcrire(QStringLiteral("Répertoire"), root);
    ParamètreEcrire(QStringLiteral("ImporterSource"), site("Word"));
    ParamètreEcrire(QStringLiteral("ImporterDestination"), site("Dom/Cat"));

    ScriptedDialogs d;
    FixedClock clock{QDateTime(QDate(2026, 12, 5), QTime(9, 7)), "marie"};
    MainState state{d, clock, site("programme/")};
    state.values.Répertoire = root;
    domainesInit(state);
    state.dListe.select(state.dListe.find("Dom"));
    dListe_Click(state);
    state.cListe.select(state.cListe.find("Cat"));
    cListe_Click(state);
    Importer importer(d);
    importer.lF->item(0)->setSelected(true);

    const struct {
        const char* tool;
        std::function<void()> run;
        QString written; // by the same tool once the site is free
    } tools[] = {
        {"index des images", [&] { ImgIndex_Click(state); }, site("Dom/Cat/ImgIndex.htm")},
        {"en-tête",
         [&] {
             ASSERT_TRUE(fragmentEdit(state, Fragment::HeadD));
             state.controls.tTexteHead = QStringLiteral("après");
             // Refused, the editor stays open with the text typed.
             if (!HFOK_Click(state)) {
                 EXPECT_TRUE(state.controls.HFOKVisible && state.controls.tTexteHead == u"après");
             }
         },
         site("head_d.txt")},
        {"import Word", [&] { importer.bGo->click(); }, site("Dom/Cat/a.htm")},
    };

    const QMap<QString, QByteArray> before = contents(site.path());
    {
        QLockFile held(site(".quillsite.lock"));
        ASSERT_TRUE(held.tryLock(0));
        const QString refused =
            QStringLiteral("Le site « %1 » est en cours de modification par un autre programme : ")
                .arg(QDir(site.path()).canonicalPath());
        const QString holder = QStringLiteral("processus %1). Réessayez quand il aura fini.")
                                   .arg(QCoreApplication::applicationPid());
        for (const auto& t : tools) {
            d.clear();
            t.run();
            ASSERT_EQ(d.messages().size(), 1) << t.tool;
            EXPECT_TRUE(d.messages()[0].startsWith(refused) && d.messages()[0].endsWith(holder))
                << t.tool << ": " << d.messages()[0].toStdString();
            EXPECT_EQ(d.calls()[0].title, "Site occupé") << t.tool;
            EXPECT_EQ(contents(site.path()), before) << t.tool;
        }
    }
    // The site free, the same clicks write.
    for (const auto& t : tools) {
        t.run();
        EXPECT_NE(readFile(t.written), before.value(t.written)) << t.tool;
    }
    EXPECT_EQ(readFile(site("head_d.txt")), crlf({"après"}));
}
