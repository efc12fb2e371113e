#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace qs {

class Dialogs;

// One thing wrong with a site. `page` and `target` are relative to the site folder, with "/" between
// folders; `line` is 0 for what concerns a whole file.
struct Problem {
    enum Kind { BrokenLink, CaseMismatch, MissingAnchor, OrphanPage, UnusedImage, Untitled };
    Kind kind = BrokenLink;
    QString page;
    int line = 0;
    QString link;   // as written in the page (entities decoded)
    QString target; // the file the link leads to; for a case mismatch the file that exists
    // Where the link's value lies in the page's bytes, for a rewrite in place; length 0 when the value
    // cannot be rewritten safely (written with entities).
    qsizetype offset = 0;
    qsizetype length = 0;
    bool utf8 = false; // how the page's text was read

    bool operator==(const Problem&) const = default;
};

// "lien-brise", "casse", "ancre-absente", "page-orpheline", "image-inutilisee", "page-sans-titre".
QString kindName(Problem::Kind kind);

struct SiteCheck {
    QString site;            // absolute, with a trailing separator
    QList<Problem> problems; // by page, line, kind
    int pages = 0;
    int localLinks = 0;
    int externalLinks = 0; // counted, never fetched
    bool stopped = false;
};

// Called after each page read with the pages done and their total; false stops the check (what was
// found so far is returned, `stopped` set).
using CheckProgress = std::function<bool(int done, int total)>;

// Checks the site in `root`: every page (".htm", ".html", ".shtm", ".shtml" file) is read for its links
// (A, AREA and LINK HREF; FRAME, IFRAME, IMG, SCRIPT, EMBED, SOURCE, BGSOUND SRC; BACKGROUND), its anchors
// (id, A NAME) and its title. Hidden entries and folder links are not walked. Local links are looked up
// on disk as a web server would serve the folder: "/" is the site folder, "%" escapes decoded, the
// fragment checked against the target page's anchors. Web, mail and script links are only counted.
//
// A page of a category (domain/category/n.htm) is an orphan when its category's index pages do not link
// to it or when no chain of links leads to it from the home page ("Index.html" / "Index.htm"). A file of
// a folder named "images" is unused when no page but an image index ("ImgIndex.htm") links to it. The
// background pictures that generated pages name and the user may supply ("images/domaine.gif",
// "images/chapitre.gif") are never reported missing.
SiteCheck verifySite(const QString& root, const CheckProgress& progress = {});

// The site as the check sees it once its folders are walked: every file and folder (relative, with "/"
// between folders) and how a page's bytes are read (false when it cannot be).
struct SiteTree {
    QStringList files;
    QStringList folders;
    std::function<bool(const QString& page, QByteArray& bytes)> read;
};
// What verifySite does with the tree it listed under `root` (a link leaving the site is still looked
// up on disk).
SiteCheck verifyTree(const QString& root, const SiteTree& tree, const CheckProgress& progress = {});

// A case mismatch rewritten.
struct CaseFix {
    QString page;
    int line = 0;
    QString before;
    QString after;
};

// Rewrites the links of the case mismatches among `problems` to the real names of their files, in
// place: each page whole or not at all, every byte outside the links unchanged, its modification date
// kept. Returns what was changed; pages that could not be written are left as they were and described
// in *errors (one French sentence each).
QList<CaseFix> fixCase(const QString& root, const QList<Problem>& problems, QStringList* errors);

} // namespace qs
