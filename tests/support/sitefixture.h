#pragma once

// The listing and regeneration tests' site: PageSite with pages as the editor writes them and no
// start address.
#include "pagesite.h"

namespace qs::test {

struct SiteFixture : PageSite {
    SiteFixture() {
        state.values.Adresse.clear();
        state.controls.tFichier.clear();
    }
    // A page as the editor writes it, holding "<TITLE>title</TITLE>".
    void page(const QString& relative, const QString& title) const {
        writeFile(at(relative), crlf({"<HTML>", "<HEAD>", "<TITLE>" + title + "</TITLE>", "</HEAD>",
                                      "<BODY BGCOLOR=\"#F0F0FF\" TOPMARGIN=\"0\">", "<!-- BEGIN -->", "corps",
                                      "<!-- END -->", "</BODY>", "</HTML>"}));
    }
    void remove(const QString& relative) const { QFile::remove(at(relative)); }
};

} // namespace qs::test
