#pragma once

// The listing and regeneration tests' site: PageSite with pages as the editor writes them and no
// start address.
#include "pagesite.h"

namespace qs::test {

// The bytes of a page as the editor writes it, with the given title line.
inline QByteArray pageBytes(const QString& titleLine) {
    return crlf({QStringLiteral("<HTML>"), QStringLiteral("<HEAD>"), titleLine, QStringLiteral("</HEAD>"),
                 QStringLiteral("<BODY BGCOLOR=\"#F0F0FF\" TOPMARGIN=\"0\">"),
                 QStringLiteral("<!-- BEGIN -->"), QStringLiteral("corps"), QStringLiteral("<!-- END -->"),
                 QStringLiteral("</BODY>"), QStringLiteral("</HTML>")});
}

struct SiteFixture : PageSite {
    SiteFixture() {
        state.values.Adresse.clear();
        state.controls.tFichier.clear();
    }
    // A page holding "<TITLE>title</TITLE>".
    void page(const QString& relative, const QString& title) const {
        writeFile(at(relative), pageBytes(QStringLiteral("<TITLE>") + title + QStringLiteral("</TITLE>")));
    }
    void remove(const QString& relative) const { QFile::remove(at(relative)); }
};

} // namespace qs::test
