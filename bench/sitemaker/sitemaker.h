#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// Synthetic sites for the benchmarks (and for anyone who needs a big site): D domains of C categories of
// P pages each, in the page editor's file format, the same bytes for the same options and seed.
//
//   quillsite-makesite --domaines 100 --categories 20 --pages 25 --graine 1 /tmp/site
//
// What a made site holds (all names ASCII, all text Windows-1252 with CR LF line ends):
//   SITE/head_d.txt foot_d.txt head_c.txt foot_c.txt   one-line fragments
//   SITE/images/logo.gif                               the shared image
//   SITE/Domaine001/Categorie01/1.htm ... P.htm        the pages (numbers as the editor gives them)
//   SITE/Domaine001/Categorie01/img1.gif ...           `images` small GIF files per category
// No generated index page: run `quillsite-cli generer SITE` for those.
//
// Each page is a category page as the editor writes it: title, colours, program id, the body between
// "<!-- BEGIN -->" and "<!-- END -->", the footer with a date and a user. Its title is two words and the
// page's place ("Éditions légères 3.12.7"; some titles hold "&amp;" or "&lt;...&gt;"). Its body has
// `lines` lines of words, with `links` links spread over them: to a page of the same category
// ("7.htm"), of another category of the domain ("../Categorie04/2.htm"), of another domain
// ("../../Domaine017/Categorie02/9.htm"), to the category's own index ("Index.htm"), a few to the web
// ("https://example.invalid/..."), and images of the category ("img2.gif") or of the site
// ("../../images/logo.gif"). About `missingPerMille` of every thousand links name a page or an image that
// does not exist ("absent3.htm", "absent5.gif"). Every page's modification time is set to a day within the
// two years before `newest`, so that the "recent pages" of the indexer are deterministic too.
namespace qs::bench {

struct SiteShape {
    int domains = 10;
    int categories = 10;
    int pages = 10;
    quint64 seed = 1;
    int links = 6;            // links per page
    int images = 2;           // image files per category
    int missingPerMille = 20; // links to missing targets, per thousand
    int lines = 20;           // lines of body text per page
    QDateTime newest = QDateTime(QDate(2026, 1, 1), QTime(12, 0));
};

struct SiteStats {
    qint64 pages = 0;
    qint64 images = 0;
    qint64 links = 0;        // every HREF and SRC of the bodies
    qint64 missingLinks = 0; // of which name a missing target
    qint64 bytes = 0;        // of every file written
};

// Makes the site in `folder`, which must not exist or be empty. Nothing on failure but a French message
// naming the file in *error (what was written so far stays).
std::optional<SiteStats> makeSite(const QString& folder, const SiteShape& shape, QString* error = nullptr);

// The folder names of domain d and category c (from 1): "Domaine001", "Categorie01".
QString domainName(int d);
QString categoryName(int c);

} // namespace qs::bench
