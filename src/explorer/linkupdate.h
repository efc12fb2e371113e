#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace qs {

class ChangeJournal;
class Dialogs;

// Links that follow the pages: after a page moved or a domain or category folder was renamed, the links
// of the site's pages that led to the old address are rewritten to the new one.

// Where something went. A folder move carries every file under `from` to the same place under `to`.
// Paths are absolute, without a trailing separator.
struct Relocation {
    QString from;
    QString to;
    bool folder = false;
};

// One link value to replace in a page's bytes.
struct LinkEdit {
    qsizetype offset = 0;
    qsizetype length = 0;
    QByteArray bytes; // the new value, in the page's encoding
};

struct PageEdits {
    QString page;
    qint64 size = 0; // the page as it was read: it is written only if still so
    qint64 modifiedNs = 0;
    QList<LinkEdit> edits;
};

struct LinkPlan {
    QString site;
    QList<PageEdits> pages; // in reading order
    QStringList unreadable;
    qsizetype links() const;
};

// The pages whose links are followed: every page of every listed category (and its introduction page),
// the site folder's own pages and the four header and footer fragments. Generated pages (home, domain
// and category indexes, image indexes, "Recent.htm", "Search.htm") are left out: they are regenerated.
QStringList linkedPages(const QString& site);

// Reads the pages of `site` for links (A HREF, FRAME/IFRAME/IMG/BGSOUND SRC, FORM ACTION, BODY BACKGROUND,
// each resolved from its own page and BASE as the explorer does) that lead to an old address, and plans
// their rewrite as a relative path from the page, the "#fragment" and "?query" kept as written. The pages
// read are those found after the move; a page that itself moved has its own relative links kept on
// their files. Links written with entities, across lines inside a quoted value, or as absolute web
// addresses are left alone.
LinkPlan planLinkUpdate(const QString& site, const QList<Relocation>& moves);

struct LinkUpdateOutcome {
    QStringList changed;
    QStringList errors; // one French sentence per page left as it was
    qsizetype links = 0;
};

// Makes the planned rewrites: each page whole or not at all, its earlier bytes kept in `journal` (which
// is begun and finished here) so that the run can be undone; a page changed since it was read, or that
// cannot be written, is named in the errors and the others are still done.
LinkUpdateOutcome applyLinkUpdate(const LinkPlan& plan, ChangeJournal* journal);

// The question asked before the rewrite, and the list of pages shown on request.
QString linkUpdateQuestion(const LinkPlan& plan);

// The whole exchange: plans, asks (unless `ask` is false) "Mettre à jour N lien(s) dans M page(s) ?"
// with Oui as the default, offering the list of the pages first, rewrites, and reports the pages that
// could not be written or read. Does nothing, silently, when every page was read and no link leads to
// the old address.
LinkUpdateOutcome updateLinks(Dialogs& dialogs, const QString& site, const QList<Relocation>& moves, bool ask,
                              ChangeJournal* journal);

} // namespace qs
