#include "editor/pagefile.h"

#include "lib/htmltext.h"

#include <QDir>
#include <QSet>

#include <algorithm>

namespace qs {

namespace {

const QString kBegin = QStringLiteral("<!-- BEGIN -->");
const QString kEnd = QStringLiteral("<!-- END -->");

// Only blanks, as the listing trims titles.
QString trimBlanks(const QString& s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

// The pieces of text between an opening and a closing tag, line by line: each line inside contributes
// CR LF and its part inside. Markers are ASCII, so a case-insensitive search finds them in any case.
// With `markerLines`, the empty rest of a line that holds a start or an end marker alone is no piece:
// the editor writes each marker on a line of its own, and the body must come back without a line break
// added at either end.
QString between(const QStringList& lines, const QString& open, const QString& close, bool markerLines) {
    QString acc;
    bool inside = false;
    for (const QString& line : lines) {
        QStringView kept = line;
        bool opened = false;
        if (!inside) {
            const qsizetype p = line.indexOf(open, 0, Qt::CaseInsensitive);
            if (p < 0)
                continue;
            kept = kept.mid(p + open.size());
            inside = opened = true;
        }
        bool closed = false;
        if (const qsizetype q = kept.indexOf(close, 0, Qt::CaseInsensitive); q >= 0) {
            kept = kept.left(q);
            inside = false;
            closed = true;
        }
        if (markerLines && kept.isEmpty() && opened != closed)
            continue;
        acc += QStringLiteral("\r\n");
        acc += kept;
    }
    return acc.mid(2);
}

} // namespace

QStringList pageFileLines(const PageFile& p) {
    const QString body =
        QStringLiteral("<BODY BGCOLOR=\"#") + p.couleurFond + QStringLiteral("\" TOPMARGIN=\"0\">");
    const QString id = QStringLiteral("<FONT SIZE=\"1\">") + p.id + QStringLiteral("</FONT><BR>");
    const QString title = QStringLiteral("<CENTER><FONT SIZE=\"5\" COLOR=\"#") + p.couleurTitre +
                          QStringLiteral("\">") + escapeHtmlText(p.title) +
                          QStringLiteral("</FONT></CENTER>");
    QStringList l;
    l.reserve(25);
    l << QStringLiteral("<HTML>") << QStringLiteral("<HEAD>")
      << QStringLiteral("<TITLE>") + escapeHtmlText(p.title.trimmed()) + QStringLiteral("</TITLE>");
    if (p.independent)
        l << body << id << title << QStringLiteral("</HEAD>") << QStringLiteral("<HR>")
          << QStringLiteral("<FONT COLOR=\"#") + p.couleurTexte + QStringLiteral("\">");
    else
        l << QStringLiteral("</HEAD>") << body << id << title << QStringLiteral("<HR>");
    l << QStringLiteral("<BR><P ALIGN=\"JUSTIFY\">") << kBegin << p.body << kEnd << QStringLiteral("</P><BR>")
      << QStringLiteral("</FONT>") << QStringLiteral("<HR>") << QStringLiteral("<TABLE WIDTH=\"100%\">")
      << QStringLiteral("<TR>")
      << QStringLiteral("<TD><FONT SIZE=\"1\">Mis à jour le ") + p.date + QStringLiteral(" par ") + p.user +
             QStringLiteral(".</FONT></TD>");
    if (p.independent)
        l << QStringLiteral(
            "<TD ALIGN=\"CENTER\"><A HREF=\"Index.htm\" TARGET=\"_top\">Page d'accueil</A></TD>");
    else
        l << QStringLiteral("<TD ALIGN=\"CENTER\"><A HREF=\"Index.htm\" TARGET=\"_top\">Index ") +
                 p.category + QStringLiteral("</A></TD>");
    l << QStringLiteral("<TD ALIGN=\"RIGHT\"><A HREF=\"Javascript:history.go(-1)\">Retour à la page "
                        "précédente</A></TD>")
      << QStringLiteral("</TR>") << QStringLiteral("</TABLE>") << QStringLiteral("</BODY>")
      << QStringLiteral("</HTML>");
    return l;
}

QString pageBody(const QStringList& lines) {
    return decodeCodePageReferences(between(lines, kBegin, kEnd, true));
}

ImportedPage importedPage(const QStringList& lines) {
    ImportedPage page;
    page.body =
        decodeCodePageReferences(between(lines, QStringLiteral("</HEAD>"), QStringLiteral("</BODY>"), false));

    bool collecting = false;
    for (const QString& line : lines) {
        QString kept = trimBlanks(line);
        if (kept.isEmpty())
            continue;
        if (const qsizetype p = kept.indexOf(QStringLiteral("<TITLE>"), 0, Qt::CaseInsensitive); p >= 0) {
            kept = trimBlanks(kept.mid(p + 7));
            collecting = true;
        }
        if (!collecting)
            continue;
        const qsizetype lt = kept.indexOf(u'<');
        if (lt >= 0)
            kept.truncate(lt);
        page.title += trimBlanks(kept);
        if (lt >= 0)
            break;
    }
    // The title is one line, whatever references the page wrote ("&#10;"): a line break in it would cut
    // the title line of the page it becomes.
    page.title = decodeHtmlText(page.title);
    std::replace_if(
        page.title.begin(), page.title.end(), [](QChar c) { return c == u'\r' || c == u'\n'; }, u' ');
    return page;
}

QString freePageName(const QString& folder) {
    QSet<QString> taken;
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries)
        taken.insert(e.toUpper());
    for (qint64 n = 1;; ++n) {
        QString name = QString::number(n) + QStringLiteral(".htm");
        if (!taken.contains(name.toUpper()))
            return name;
    }
}

QString createNumberedPage(const QString& folder, const WriteOptions& options,
                           const std::function<bool(const QString&, const WriteOptions&, FileError*)>& write,
                           FileError* error) {
    WriteOptions exclusive = options;
    exclusive.exclusive = true;
    FileError why;
    // Each clash means another program made a page in between: bounded all the same.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        QString name = freePageName(folder);
        why = {};
        if (write(folder + name, exclusive, &why))
            return name;
        if (why.kind != FileError::Kind::System || why.code != EEXIST)
            break;
    }
    if (error)
        *error = why;
    return {};
}

} // namespace qs
