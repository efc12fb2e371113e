#include "check/report.h"

#include <QUrl>

namespace qs {

namespace {

constexpr Problem::Kind kKinds[] = {Problem::BrokenLink, Problem::CaseMismatch, Problem::MissingAnchor,
                                    Problem::OrphanPage, Problem::UnusedImage,  Problem::Untitled};

QString plural(qsizetype n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n > 1 ? many : one));
}

QByteArray textReport(const SiteCheck& check) {
    QByteArray out;
    for (const Problem& p : check.problems) {
        QString line = QStringLiteral("%1:%2: %3").arg(p.page).arg(p.line).arg(kindName(p.kind));
        if (!p.link.isEmpty())
            line += QStringLiteral(": ") + p.link;
        out += line.toUtf8() + '\n';
    }
    return out;
}

// JSON text of a string.
QString quoted(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\', out += c;
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + u'"';
}

// Written by hand so that the fields keep the order a reader expects.
QByteArray jsonReport(const SiteCheck& check) {
    QString out = QStringLiteral("{\n  \"site\": %1,\n  \"problemes\": [").arg(quoted(check.site));
    for (qsizetype i = 0; i < check.problems.size(); ++i) {
        const Problem& p = check.problems[i];
        out += i > 0 ? QStringLiteral(",\n    ") : QStringLiteral("\n    ");
        out += QStringLiteral("{\"type\": %1, \"page\": %2, \"ligne\": %3, \"lien\": %4, \"cible\": %5}")
                   .arg(quoted(kindName(p.kind)), quoted(p.page))
                   .arg(p.line)
                   .arg(quoted(p.link), quoted(p.target));
    }
    out += check.problems.isEmpty() ? QStringLiteral("],\n") : QStringLiteral("\n  ],\n");
    out += QStringLiteral("  \"resume\": {\"pages\": %1, \"liens\": %2, \"externes\": %3}\n}\n")
               .arg(check.pages)
               .arg(check.localLinks)
               .arg(check.externalLinks);
    return out.toUtf8();
}

QByteArray htmlReport(const SiteCheck& check) {
    auto url = [&](const QString& relative) {
        return QUrl::fromLocalFile(check.site + relative).toString(QUrl::FullyEncoded).toHtmlEscaped();
    };
    QString html;
    html +=
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>Vérification de %1</title>\n"
                       "<style>\nbody { font-family: sans-serif; margin: 2em; color: #222; }\n"
                       "h1 { font-size: 1.4em; } h2 { font-size: 1.1em; margin-top: 1.5em; }\n"
                       "table { border-collapse: collapse; width: 100%; }\n"
                       "th, td { text-align: left; padding: 0.2em 0.6em; border-bottom: 1px solid #ddd; }\n"
                       "td.n { text-align: right; width: 4em; } code { color: #a00; }\n"
                       ".ok { color: #070; }\n</style>\n</head>\n<body>\n"
                       "<h1>Vérification de <a href=\"%2\">%1</a></h1>\n<p>%3</p>\n")
            .arg(check.site.toHtmlEscaped(), url(QString()), summaryOf(check).toHtmlEscaped());
    if (check.problems.isEmpty())
        html += QStringLiteral("<p class=\"ok\">Aucun problème.</p>\n");
    for (Problem::Kind kind : kKinds) {
        QString rows;
        int count = 0;
        for (const Problem& p : check.problems) {
            if (p.kind != kind)
                continue;
            ++count;
            rows += QStringLiteral(
                        "<tr><td><a href=\"%1\">%2</a></td><td class=\"n\">%3</td><td><code>%4</code></td>"
                        "<td>%5</td></tr>\n")
                        .arg(url(p.page), p.page.toHtmlEscaped(),
                             p.line > 0 ? QString::number(p.line) : QString(), p.link.toHtmlEscaped(),
                             p.target.toHtmlEscaped());
        }
        if (count == 0)
            continue;
        html += QStringLiteral("<h2>%1 (%2)</h2>\n<table>\n<tr><th>Page</th><th>Ligne</th><th>Lien</th>"
                               "<th>Cible</th></tr>\n%3</table>\n")
                    .arg(kindTitle(kind))
                    .arg(count)
                    .arg(rows);
    }
    html += QStringLiteral("</body>\n</html>\n");
    return html.toUtf8();
}

} // namespace

QString kindTitle(Problem::Kind kind) {
    switch (kind) {
    case Problem::BrokenLink:
        return QStringLiteral("Liens brisés");
    case Problem::CaseMismatch:
        return QStringLiteral("Casse différente du fichier");
    case Problem::MissingAnchor:
        return QStringLiteral("Ancres absentes");
    case Problem::OrphanPage:
        return QStringLiteral("Pages orphelines");
    case Problem::UnusedImage:
        return QStringLiteral("Images inutilisées");
    case Problem::Untitled:
        return QStringLiteral("Pages sans titre");
    }
    return {};
}

QString summaryOf(const SiteCheck& check) {
    QString text =
        QStringLiteral("%1, %2, %3 (non vérifiés) : %4.")
            .arg(plural(check.pages, "page", "pages"), plural(check.localLinks, "lien local", "liens locaux"),
                 plural(check.externalLinks, "lien externe", "liens externes"),
                 check.problems.isEmpty() ? QStringLiteral("aucun problème")
                                          : plural(check.problems.size(), "problème", "problèmes"));
    if (check.stopped)
        text += QStringLiteral(" Vérification arrêtée avant la fin.");
    return text;
}

QByteArray reportOf(const SiteCheck& check, ReportFormat format) {
    switch (format) {
    case ReportFormat::Text:
        return textReport(check);
    case ReportFormat::Json:
        return jsonReport(check);
    case ReportFormat::Html:
        return htmlReport(check);
    }
    return {};
}

} // namespace qs
