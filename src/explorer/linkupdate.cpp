#include "explorer/linkupdate.h"

#include "explorer/address.h"
#include "explorer/ascii.h"
#include "explorer/encoding.h"
#include "explorer/scanner.h"
#include "explorer/walker.h"
#include "generate/fragments.h"
#include "lib/changejournal.h"
#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/sitelock.h"
#include "lib/text1252.h"
#include "site/listing.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace qs {

namespace {

struct Stamp {
    qint64 size = -1;
    qint64 ns = 0;
    bool operator==(const Stamp&) const = default;
};

Stamp stampOf(const QString& path) {
    Stamp s;
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        s.size = qint64(st.st_size);
        s.ns = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }
#else
    const QFileInfo info(path);
    if (info.exists()) {
        s.size = info.size();
        s.ns = info.lastModified().toMSecsSinceEpoch() * 1000000;
    }
#endif
    return s;
}

QString quoted(const QString& s) {
    return QStringLiteral("« ") + s + QStringLiteral(" »");
}

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(u'/') + 1);
}

// The attribute that holds the link of a tag the explorer reads.
QStringView linkAttribute(QByteArrayView name) {
    using ascii::equalsUpper;
    if (equalsUpper(name, u"A") || equalsUpper(name, u"BASE"))
        return u"HREF";
    if (equalsUpper(name, u"FORM"))
        return u"ACTION";
    if (equalsUpper(name, u"BODY"))
        return u"BACKGROUND";
    return u"SRC";
}

bool blankOrBreak(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

// Where the value of `upperName` lies in the raw bytes of a tag (from after "<" to before ">", line
// breaks included), found as the scanner finds it. A value in single quotes is taken inside them, so
// that the quotes stay as written. Length -1 when there is no value to rewrite.
std::pair<qsizetype, qsizetype> valueSpan(QByteArrayView raw, QStringView upperName) {
    qsizetype blank = 0;
    while (blank < raw.size() && !blankOrBreak(raw[blank]))
        ++blank;
    const qsizetype at = ascii::indexOfUpper(raw.sliced(blank), upperName);
    if (at < 0)
        return {0, -1};
    qsizetype p = blank + at + upperName.size();
    bool quoted = false;
    while (p < raw.size() && (blankOrBreak(raw[p]) || raw[p] == '=' || raw[p] == '"')) {
        quoted = quoted || raw[p] == '"';
        ++p;
    }
    char close = quoted ? '"' : ' ';
    if (!quoted && p < raw.size() && raw[p] == '\'') {
        close = '\'';
        ++p;
    }
    qsizetype end = p;
    while (end < raw.size() && raw[end] != close && (close != ' ' || !blankOrBreak(raw[end])))
        ++end;
    const QByteArrayView value = raw.sliced(p, end - p);
    if (value.isEmpty() || value.contains('\r') || value.contains('\n') || value.contains('&'))
        return {0, -1};
    return {p, end - p};
}

// A link that names a place of its own (a scheme, a drive, the root of the disk) or only a part of the
// page itself is not relative to the page and is left as written.
bool isRelative(QStringView link) {
    if (link.isEmpty() || link[0] == u'#' || link[0] == u'?' || link[0] == u'/' || link[0] == u'\\')
        return false;
    for (qsizetype i = 0; i < link.size(); ++i) {
        const QChar c = link[i];
        if (c == u':')
            return false;
        if (c == u'/' || c == u'\\' || c == u'#' || c == u'?')
            break;
    }
    return true;
}

// A relative path made safe for an attribute value: what the resolver would read otherwise ("%", "#",
// "?", blanks, quotes) and what the page's encoding cannot hold are escaped.
QString escapedPath(const QString& path, bool utf8, bool asciiOnly) {
    QString out;
    for (const QChar c : path) {
        const char16_t u = c.unicode();
        const bool plain = u > 0x20 && u != '%' && u != '#' && u != '?' && u != '"' && u != '\'' &&
                           u != '<' && u != '>' && u != '&' && u != 0x7F &&
                           (u < 0x80 || (!asciiOnly && (utf8 || (!c.isSurrogate() && isWindows1252(u)))));
        if (plain) {
            out += c;
            continue;
        }
        if (c.isHighSurrogate() || c.isLowSurrogate()) {
            out += c; // kept whole below
            continue;
        }
        for (const char b : QString(c).toUtf8())
            out += QStringLiteral("%%1").arg(uchar(b), 2, 16, QLatin1Char('0')).toUpper();
    }
    if (!utf8 || asciiOnly) {
        // Characters outside the basic plane: escaped as their UTF-8 bytes.
        QString fixed;
        for (qsizetype i = 0; i < out.size(); ++i) {
            if (out[i].isHighSurrogate() && i + 1 < out.size()) {
                for (const char b : out.mid(i, 2).toUtf8())
                    fixed += QStringLiteral("%%1").arg(uchar(b), 2, 16, QLatin1Char('0')).toUpper();
                ++i;
            } else {
                fixed += out[i];
            }
        }
        out = fixed;
    }
    return out;
}

// Where a path was before the moves, and where it is after them.
QString before(const QString& path, const QList<Relocation>& moves) {
    for (const Relocation& m : moves) {
        if (path == m.to)
            return m.from;
        if (m.folder && path.startsWith(m.to) && path.size() > m.to.size() && path[m.to.size()] == u'/')
            return m.from + path.mid(m.to.size());
    }
    return path;
}

QString after(const QString& path, const QList<Relocation>& moves) {
    for (const Relocation& m : moves) {
        if (path == m.from)
            return m.to;
        if (m.folder && path.startsWith(m.from) && path.size() > m.from.size() && path[m.from.size()] == u'/')
            return m.to + path.mid(m.from.size());
    }
    return path;
}

void planPage(const QString& root, const QString& page, const QList<Relocation>& moves, LinkPlan& plan) {
    const Stamp stamp = stampOf(page);
    QByteArray bytes;
    if (!readOrdinaryFile(page, bytes)) { // nor a pipe, a device, or a file too big to be a page
        plan.unreadable.append(page);
        return;
    }
    const QByteArrayView all(bytes);
    const PageEncoding encoding = pageEncoding(all);
    // New text goes in as the page's text is: an undeclared page of plain ASCII gets escapes only.
    const bool utf8 = readsAsUtf8(all, encoding);
    const bool asciiOnly = encoding == PageEncoding::Guess &&
                           std::all_of(all.begin(), all.end(), [](char c) { return uchar(c) < 0x80; });
    // The home page's fragments are read from the site folder; the domain pages' ones from a folder
    // one below it, so that only their links up to the site ("../D/C/p.htm") have a single meaning.
    const bool fragment = !isPagePath(page);
    const bool domainFragment = fragment && (page.endsWith(fragmentFileName(Fragment::HeadC)) ||
                                             page.endsWith(fragmentFileName(Fragment::FootC)));
    const QString here = domainFragment ? root + QStringLiteral("\x01/") : folderOf(page);
    QString newBase = here;
    QString oldBase = fragment ? here : folderOf(before(page, moves));

    LinkTypes every;
    PageEdits edits;
    qsizetype cursor = 0;
    readTags(all, [&](QByteArrayView tag) {
        QByteArrayView raw = tag;
        qsizetype rawAt = tag.data() - all.data();
        const bool inPage = tag.data() >= all.data() && rawAt < all.size();
        if (!inPage) {
            // A tag over several lines was joined: its bytes are found again in the page.
            const qsizetype lt = all.indexOf('<', cursor);
            if (lt < 0)
                return false;
            qsizetype gt = all.indexOf('>', lt);
            if (gt < 0)
                gt = all.size();
            rawAt = lt + 1;
            raw = all.sliced(rawAt, gt - rawAt);
        }
        cursor = rawAt + raw.size();

        const TagAction action = dispatchTag(tag, every, encoding);
        if (action.kind == TagAction::Ignore)
            return true;
        qsizetype blank = 0;
        while (blank < raw.size() && !blankOrBreak(raw[blank]))
            ++blank;
        const auto [at, length] = valueSpan(raw, linkAttribute(raw.first(blank)));
        if (length < 0)
            return true;
        const QByteArrayView valueBytes = raw.sliced(at, length);
        const QString value = decodePageText(valueBytes, encoding);
        if (action.kind == TagAction::SetBase) {
            oldBase = AdresseComplète(oldBase, value);
            newBase = AdresseComplète(newBase, value);
            return true;
        }
        if (!isRelative(value))
            return true;
        const QString target = AdresseComplète(oldBase, value);
        const QString moved = after(target, moves);
        if (AdresseComplète(newBase, value) == moved)
            return true;
        if (moved == target && !QFileInfo::exists(target))
            return true; // already broken before the move: not ours to guess
        qsizetype cut = 0;
        while (cut < value.size() && value[cut] != u'#' && value[cut] != u'?')
            ++cut;
        QString relative = QDir(newBase).relativeFilePath(moved);
        if (relative.isEmpty())
            relative = QStringLiteral("./");
        const QString text = escapedPath(relative, utf8, asciiOnly) + value.mid(cut);
        edits.edits.append({rawAt + at, length, encodePageText(text, utf8)});
        return true;
    });
    if (edits.edits.isEmpty())
        return;
    edits.page = page;
    edits.size = stamp.size;
    edits.modifiedNs = stamp.ns;
    plan.pages.append(std::move(edits));
}

} // namespace

qsizetype LinkPlan::links() const {
    qsizetype n = 0;
    for (const PageEdits& p : pages)
        n += p.edits.size();
    return n;
}

QStringList linkedPages(const QString& site) {
    const QString root = withSeparator(site);
    QStringList pages;
    const QDir rootDir(root);
    static const QStringList generated{QStringLiteral("Index.html"), QStringLiteral("Index.htm"),
                                       QStringLiteral("Recent.htm"), QStringLiteral("Search.htm")};
    for (const QString& name :
         rootDir.entryList({QStringLiteral("*.htm"), QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        if (!generated.contains(name, Qt::CaseInsensitive) && !linksOutside(root + name, root))
            pages.append(root + name);
    }
    for (const Fragment f : {Fragment::HeadD, Fragment::FootD, Fragment::HeadC, Fragment::FootC}) {
        const QString path = root + fragmentFileName(f);
        if (QFileInfo::exists(path) && !linksOutside(path, root))
            pages.append(path);
    }
    for (const QString& domain : siteDomains(root, DomainListing::Opening)) {
        const QString domainFolder = root + domain + sep();
        for (const QString& category : domainCategories(domainFolder)) {
            const QString folder = domainFolder + category + sep();
            for (const QString& name : categoryPages(folder)) {
                if (name.compare(u"ImgIndex.htm", Qt::CaseInsensitive) != 0)
                    pages.append(folder + name);
            }
            const QString intro = introductionPage(folder);
            if (!intro.isEmpty() && !linksOutside(folder + intro, root))
                pages.append(folder + intro);
        }
    }
    return pages;
}

LinkPlan planLinkUpdate(const QString& site, const QList<Relocation>& moves) {
    LinkPlan plan;
    plan.site = withSeparator(site);
    for (const QString& page : linkedPages(site))
        planPage(plan.site, page, moves, plan);
    return plan;
}

LinkUpdateOutcome applyLinkUpdate(const LinkPlan& plan, ChangeJournal* journal) {
    LinkUpdateOutcome outcome;
    if (journal)
        journal->begin(QDateTime::currentDateTime());
    for (const PageEdits& page : plan.pages) {
        const Stamp now = stampOf(page.page);
        if (now != Stamp{page.size, page.modifiedNs}) {
            outcome.errors.append(QStringLiteral("La page %1 a changé depuis sa lecture : ses liens ne sont "
                                                 "pas mis à jour.")
                                      .arg(quoted(page.page)));
            continue;
        }
        QFile file(page.page);
        if (!file.open(QIODevice::ReadOnly)) {
            outcome.errors.append(
                QStringLiteral("Je ne peux pas lire la page %1 : %2.")
                    .arg(quoted(page.page), fileErrorCause(file, FileError::Operation::Read)));
            continue;
        }
        QByteArray bytes = file.readAll();
        file.close();
        QList<LinkEdit> edits = page.edits;
        std::sort(edits.begin(), edits.end(),
                  [](const LinkEdit& a, const LinkEdit& b) { return a.offset > b.offset; });
        for (const LinkEdit& e : edits)
            bytes.replace(e.offset, e.length, e.bytes);
        JournalEntry entry;
        QString error;
        if (journal && !journal->keep(page.page, page.modifiedNs, &entry, &error)) {
            outcome.errors.append(error);
            continue;
        }
        if (!writeBytes(page.page, bytes, &error)) {
            if (journal)
                journal->drop(entry);
            outcome.errors.append(error);
            continue;
        }
        if (journal) {
            entry.newSize = -1;
            journal->changed(std::move(entry));
        }
        outcome.changed.append(page.page);
        outcome.links += page.edits.size();
    }
    if (journal) {
        QString error;
        if (!journal->finish(&error))
            outcome.errors.append(error);
    }
    return outcome;
}

QString linkUpdateQuestion(const LinkPlan& plan) {
    return QStringLiteral("Mettre à jour %1 lien(s) dans %2 page(s) ?")
        .arg(plan.links())
        .arg(plan.pages.size());
}

LinkUpdateOutcome updateLinks(Dialogs& dialogs, const QString& site, const QList<Relocation>& moves, bool ask,
                              ChangeJournal* journal) {
    // Found and rewritten under one lock: no page may move or change between the two.
    const SiteLock lock(site);
    if (lockRefused(lock, dialogs)) {
        LinkUpdateOutcome refused;
        refused.errors.append(lock.failure());
        return refused;
    }
    LinkPlan plan;
    {
        BusyPointer busy(dialogs);
        dialogs.status(QStringLiteral("Recherche des liens..."));
        plan = planLinkUpdate(site, moves);
        dialogs.status({});
    }
    if (plan.pages.isEmpty() && plan.unreadable.isEmpty())
        return {};
    if (ask && !plan.pages.isEmpty()) {
        QStringList names;
        for (const PageEdits& p : plan.pages)
            names.append(QDir(plan.site).relativeFilePath(p.page));
        if (!dialogs.questionWithDetails(linkUpdateQuestion(plan), names.join(u'\n'),
                                         QStringLiteral("Mise à jour des liens")))
            return {};
    }
    LinkUpdateOutcome outcome;
    if (!plan.pages.isEmpty()) {
        BusyPointer busy(dialogs);
        outcome = applyLinkUpdate(plan, journal);
    }
    // A page that could not be read may link to the old address as well: the user is told which.
    for (const QString& page : plan.unreadable)
        outcome.errors.append(
            QStringLiteral("Je ne peux pas lire la page %1 : ses liens n'ont pas été cherchés.")
                .arg(quoted(page)));
    if (!outcome.errors.isEmpty())
        dialogs.message(QStringLiteral("%1 page(s) sur %2 n'ont pas pu être mises à jour :")
                                .arg(plan.pages.size() + plan.unreadable.size() - outcome.changed.size())
                                .arg(plan.pages.size() + plan.unreadable.size()) +
                            CrLf(2) + outcome.errors.join(CrLf()),
                        Icon::Exclamation, QStringLiteral("Erreur"));
    return outcome;
}

} // namespace qs
