#pragma once

// A site on disk with a main window state over it, for the listing and regeneration tests.
#include "commands/mainstate.h"
#include "commands/selection.h"
#include "lib/clock.h"
#include "lib/files.h"
#include "lib/settings.h"
#include "scripteddialogs.h"
#include "site/listing.h"
#include "testutil.h"

#include <QFile>

namespace qs::test {

// The bytes of a page as the editor writes it, with the given title line.
inline QByteArray pageBytes(const QString& titleLine) {
    return crlf({QStringLiteral("<HTML>"), QStringLiteral("<HEAD>"), titleLine, QStringLiteral("</HEAD>"),
                 QStringLiteral("<BODY BGCOLOR=\"#F0F0FF\" TOPMARGIN=\"0\">"),
                 QStringLiteral("<!-- BEGIN -->"), QStringLiteral("corps"), QStringLiteral("<!-- END -->"),
                 QStringLiteral("</BODY>"), QStringLiteral("</HTML>")});
}

struct SiteFixture {
    TempDir dir;
    ScriptedDialogs dialogs;
    FixedClock clock{QDateTime(QDate(2026, 12, 5), QTime(9, 7)), QStringLiteral("marie")};
    MainState state{dialogs, clock, dir(QStringLiteral("program/"))};

    SiteFixture() {
        makeDir(root());
        state.values.Répertoire = root();
        ParamètreEcrire(QStringLiteral("Indexer"), QStringLiteral("Non"));
    }
    QString root() const { return dir(QStringLiteral("site/")); }
    // Path of something inside the site, "/"-separated.
    QString at(const QString& relative) const { return root() + relative; }
    void folder(const QString& relative) const { makeDir(at(relative)); }
    // A page holding "<TITLE>title</TITLE>".
    void page(const QString& relative, const QString& title) const {
        writeFile(at(relative), pageBytes(QStringLiteral("<TITLE>") + title + QStringLiteral("</TITLE>")));
    }
    QStringList lines(const QString& relative) const { return fileLines(at(relative)); }
    bool exists(const QString& relative) const { return QFile::exists(at(relative)); }
    void remove(const QString& relative) const { QFile::remove(at(relative)); }

    // Selects a row by its text and runs the handler, as a click does.
    void clickDomain(const QString& name) {
        state.dListe.select(state.dListe.find(name));
        dListe_Click(state);
    }
    void clickCategory(const QString& name) {
        state.cListe.select(state.cListe.find(name));
        cListe_Click(state);
    }
};

} // namespace qs::test
