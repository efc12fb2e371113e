#pragma once

// A site on disk with the main window's state over it, for the page editor and structure command tests.
#include "commands/mainstate.h"
#include "commands/selection.h"
#include "lib/clock.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/settings.h"
#include "scripteddialogs.h"
#include "site/listing.h"
#include "testutil.h"

#include <QDir>
#include <QFile>

namespace qs::test {

struct PageSite {
    TempDir dir;
    ScriptedDialogs dialogs;
    FixedClock clock{QDateTime(QDate(2026, 12, 5), QTime(9, 7)), QStringLiteral("marie")};
    MainState state{dialogs, clock, dir(QStringLiteral("program/"))};

    PageSite() {
        makeDir(root());
        state.values.Répertoire = root();
        state.values.Adresse = root() + QStringLiteral("Index.htm");
        state.controls.tFichier = state.values.Adresse;
        ParamètreEcrire(QStringLiteral("Indexer"), QStringLiteral("Non"));
    }
    QString root() const { return dir(QStringLiteral("site/")); }
    QString at(const QString& relative) const { return root() + relative; }
    void folder(const QString& relative) const { makeDir(at(relative)); }
    // A page as another program may have written it: a title, and a body between markers on its line
    // (so that it loads back exactly).
    void page(const QString& relative, const QString& title,
              const QString& body = QStringLiteral("corps")) const {
        writeFile(at(relative),
                  crlf({QStringLiteral("<HTML><HEAD><TITLE>") + title + QStringLiteral("</TITLE>"),
                        QStringLiteral("</HEAD><BODY>"),
                        QStringLiteral("<!-- BEGIN -->") + body + QStringLiteral("<!-- END -->"),
                        QStringLiteral("</BODY></HTML>")}));
    }
    QStringList lines(const QString& relative) const { return fileLines(at(relative)); }
    bool exists(const QString& relative) const { return QFile::exists(at(relative)); }

    // Lists the domains as an opening of the site does, then selects as a click does.
    void open() { domainesInit(state); }
    void clickDomain(const QString& name) {
        state.dListe.select(state.dListe.find(name));
        dListe_Click(state);
    }
    void clickCategory(const QString& name) {
        state.cListe.select(state.cListe.find(name));
        cListe_Click(state);
    }
    void openCategory(const QString& domain, const QString& category) {
        open();
        clickDomain(domain);
        clickCategory(category);
    }
    int pageRow(const QString& title) const { return state.tListe.find(title); }

    // The page list as "title=file" in list order, the file taken from the page-name table through the
    // row's number: shows at once whether the list and the table agree.
    QStringList listing() const {
        QStringList out;
        for (int r = 0; r < state.tListe.count(); ++r)
            out.append(state.tListe.text(r) + u'=' + state.pageNames.value(state.tListe.number(r)));
        return out;
    }
    // The page links of a category's navigation page, in order, as "file|title".
    QStringList navigation(const QString& categoryFolder) const {
        QStringList out;
        const QString open = QStringLiteral("<A HREF=\"");
        const QString middle = QStringLiteral("\" TARGET=\"Right\">- ");
        for (const QString& l : lines(categoryFolder + QStringLiteral("IndexG.htm"))) {
            const qsizetype m = l.indexOf(middle);
            if (l.startsWith(open) && m > 0)
                out.append(l.mid(open.size(), m - open.size()) + u'|' +
                           l.mid(m + middle.size()).chopped(QStringLiteral("</A><BR>").size()));
        }
        return out;
    }
};

} // namespace qs::test
