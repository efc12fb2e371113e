#include "generate/pages.h"

#include <cmath>
#include <optional>

namespace qs {

namespace {

// Relative luminance of "rrggbb" as the contrast ratio defines it.
std::optional<double> luminance(const QString& colour) {
    if (colour.size() != 6)
        return std::nullopt;
    bool ok = false;
    const uint rgb = colour.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    auto channel = [](uint value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel((rgb >> 16) & 0xFF) + 0.7152 * channel((rgb >> 8) & 0xFF) +
           0.0722 * channel(rgb & 0xFF);
}

constexpr double kReadable = 4.5;

} // namespace

double contrastRatio(const QString& a, const QString& b) {
    const auto la = luminance(a);
    const auto lb = luminance(b);
    if (!la || !lb)
        return 0;
    return (std::max(*la, *lb) + 0.05) / (std::min(*la, *lb) + 0.05);
}

ReadableColours readableOn(const QString& background) {
    const QString bg = luminance(background) ? background : QStringLiteral("FFFFFF");
    // Black or white always reaches 4.5:1 (at worst about 4.58:1); the link colours are used only when
    // they reach it too.
    const bool dark =
        contrastRatio(QStringLiteral("FFFFFF"), bg) > contrastRatio(QStringLiteral("000000"), bg);
    ReadableColours c =
        dark ? ReadableColours{QStringLiteral("FFFFFF"), QStringLiteral("FFFF99"), QStringLiteral("FFCCFF")}
             : ReadableColours{QStringLiteral("000000"), QStringLiteral("0000CC"), QStringLiteral("660099")};
    for (QString* link : {&c.link, &c.vlink})
        if (contrastRatio(*link, bg) < kReadable)
            *link = c.text;
    return c;
}

QString updateDate(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    return QStringLiteral("%1.%2.%3 à %4:%5")
        .arg(d.day())
        .arg(d.month())
        .arg(d.year() % 100, 2, 10, QLatin1Char('0'))
        .arg(t.hour())
        .arg(t.minute(), 2, 10, QLatin1Char('0'));
}

QStringList homePageLines(const HomePage& p) {
    QStringList l;
    l.reserve(24 + p.domains.size());
    l << QStringLiteral("<HTML>") << QStringLiteral("<HEAD>")
      << QStringLiteral("<TITLE>Page d'accueil</TITLE>") << QStringLiteral("</HEAD>")
      << QStringLiteral("<BODY BACKGROUND=\"images/domaine.gif\" BGCOLOR=\"#") + p.couleurFond +
             QStringLiteral("\" TOPMARGIN=\"0\">")
      << QStringLiteral("<FONT SIZE=\"1\"><A HREF=\"") + p.maker + QStringLiteral("\">") + p.id +
             QStringLiteral("</A></FONT><BR>")
      << QStringLiteral("<CENTER><FONT SIZE=\"5\" COLOR=\"#") + p.couleurTitre +
             QStringLiteral("\">Page d'accueil</FONT></CENTER>")
      << p.header << QStringLiteral("<!-- BEGIN -->") << QStringLiteral("<HR>")
      << QStringLiteral("<FONT SIZE=\"4\"><CENTER>");
    for (const QString& d : p.domains)
        l << QStringLiteral("<A HREF=\"") + d + QStringLiteral("/Index.htm\" TARGET=\"_top\">") + d +
                 QStringLiteral("</A>");
    l << QStringLiteral("</CENTER></FONT>") << QStringLiteral("<!-- END -->") << p.footer
      << QStringLiteral("<TABLE WIDTH=\"100%\">") << QStringLiteral("<TR>")
      << QStringLiteral("<TD ALIGN=\"LEFT\" WIDTH=\"50%\"><FONT SIZE=\"1\"><BR>Mis à jour le ") + p.date +
             QStringLiteral(" par ") + p.user + QStringLiteral(".</FONT></TD>");
    if (p.indexed)
        l << QStringLiteral("<TD ALIGN=\"RIGHT\" WIDTH=\"50%\"><A HREF=\"Search.htm\">Rechercher</A>")
          << QStringLiteral("<BR><A HREF=\"Recent.htm\">Nouveautés</A></TD>");
    l << QStringLiteral("</TR>") << QStringLiteral("</TABLE>") << QStringLiteral("</BODY>")
      << QStringLiteral("</HTML>");
    return l;
}

QStringList domainPageLines(const DomainPage& p) {
    QStringList l;
    l.reserve(24 + p.categories.size());
    l << QStringLiteral("<HTML>") << QStringLiteral("<HEAD>")
      << QStringLiteral("<TITLE>") + p.domain + QStringLiteral("</TITLE>") << QStringLiteral("</HEAD>")
      << QStringLiteral("<BODY BACKGROUND=\"../images/logo.gif\" BGCOLOR=\"#") + p.couleurFond +
             QStringLiteral("\" TOPMARGIN=\"0\">")
      << QStringLiteral("<FONT SIZE=\"1\">") + p.id + QStringLiteral("</FONT><BR>")
      << QStringLiteral("<CENTER><FONT SIZE=\"5\" COLOR=\"#009900\">") + p.domain +
             QStringLiteral("</FONT></CENTER>")
      << QStringLiteral("<HR>") << p.header << QStringLiteral("<!-- BEGIN -->")
      << QStringLiteral("<FONT SIZE=\"5\">");
    for (const QString& c : p.categories)
        l << QStringLiteral("<A HREF=\"") + c + QStringLiteral("/Index.htm\">") + c +
                 QStringLiteral("</A><BR>");
    l << QStringLiteral("</FONT>") << QStringLiteral("<!-- END -->") << p.footer << QStringLiteral("<HR>")
      << QStringLiteral("<TABLE WIDTH=\"100%\">") << QStringLiteral("<TR>")
      << QStringLiteral("<TD ALIGN=\"LEFT\" WIDTH=\"33%\"><A HREF=\"Javascript:history.go(-1)\">Retour à la "
                        "page précédente</A></TD>")
      << QStringLiteral("<TD ALIGN=\"RIGHT\" WIDTH=\"33%\"><A HREF=\"../Index.htm\">Index principal</A></TD>")
      << QStringLiteral("</TR>") << QStringLiteral("</TABLE>") << QStringLiteral("</BODY>")
      << QStringLiteral("</HTML>");
    return l;
}

QStringList sendheadert(const CategoryPage& p) {
    return {QStringLiteral("<HTML>"), QStringLiteral("<HEAD>"),
            QStringLiteral("<TITLE>") + p.domain + QStringLiteral(" / ") + p.category +
                QStringLiteral("</TITLE>"),
            QStringLiteral("</HEAD>")};
}

QStringList sendfootert(const CategoryPage& p) {
    return {
        QStringLiteral("<HR><TABLE WIDTH=\"100%\">"),
        QStringLiteral("<TR>"),
        QStringLiteral("<TD ALIGN=\"LEFT\" WIDTH=\"33%\"><A HREF=\"Javascript:history.go(-1)\">Retour à la "
                       "page précédente</A></TD>"),
        QStringLiteral("<TD ALIGN=\"CENTER\" WIDTH=\"33%\"><A HREF=\"../../Index.htm\">Index "
                       "principal</A></TD>"),
        QStringLiteral("<TD ALIGN=\"RIGHT\" WIDTH=\"33%\"><A HREF=\"../Index.htm\">Index ") + p.domain +
            QStringLiteral("</A></TD>"),
        QStringLiteral("</TR>"),
        QStringLiteral("</TABLE>"),
        QStringLiteral("</NOFRAME>"),
        QStringLiteral("</FRAMESET>"),
        QStringLiteral("</BODY>"),
        QStringLiteral("</HTML>")};
}

QStringList framesetLines(const CategoryPage& p) {
    QStringList l = sendheadert(p);
    l.reserve(28 + p.pages.size());
    l << QStringLiteral("<!-- BEGIN -->") << QStringLiteral("<frameset COLS=\"20%,*\">")
      << QStringLiteral("<frame NAME=\"Left\" src=\"IndexG.htm\">")
      << QStringLiteral("<frame NAME=\"Right\" src=\"") + p.right +
             QStringLiteral("\" marginheight = \"0\" marginwidth = \"0\">")
      << QStringLiteral("<NOFRAME>")
      << QStringLiteral("<BODY BACKGROUND=\"../../images/chapitre.gif\" BGCOLOR=\"#") + p.couleurFond +
             QStringLiteral("\" TOPMARGIN=\"0\">")
      << QStringLiteral("<FONT SIZE=\"1\">") + p.id + QStringLiteral("</FONT><BR>")
      << QStringLiteral("<CENTER><FONT SIZE=\"7\" COLOR=\"#") + p.couleurTitre +
             QStringLiteral("\">Documentation ") + p.category + QStringLiteral("</FONT><BR>")
      << QStringLiteral("<FONT SIZE=\"5\" COLOR=\"#") + p.couleurTitre + QStringLiteral("\">(") + p.domain +
             QStringLiteral(")</FONT></CENTER>")
      << QStringLiteral("<HR><FONT SIZE=\"3\">");
    for (const CategoryPage::Entry& e : p.pages)
        l << QStringLiteral("<A HREF=\"") + e.file + QStringLiteral("\">- ") + e.title +
                 QStringLiteral("</A><BR>");
    l << QStringLiteral("</FONT>") << QStringLiteral("<!-- END -->");
    l << sendfootert(p);
    return l;
}

QStringList navigationLines(const CategoryPage& p) {
    // The frame's background is the user's choice: its text, links and titles stay readable on it.
    const ReadableColours ink = readableOn(p.couleurTexte);
    const double titleContrast = contrastRatio(p.couleurTitre, p.couleurTexte);
    const QString title = titleContrast == 0 || titleContrast >= kReadable ? p.couleurTitre : ink.text;
    QStringList l;
    l.reserve(19 + p.pages.size());
    l << QStringLiteral("<HTML>") << QStringLiteral("<HEAD>")
      << QStringLiteral("<TITLE>") + p.domain + QStringLiteral(" / ") + p.category +
             QStringLiteral("</TITLE>")
      << QStringLiteral("</HEAD>") << QStringLiteral("<!-- BEGIN -->")
      << QStringLiteral("<BODY BACKGROUND=\"../../images/chapitre.gif\" BGCOLOR=\"#") + p.couleurTexte +
             QStringLiteral("\" TEXT=\"#") + ink.text + QStringLiteral("\" LINK=\"#") + ink.link +
             QStringLiteral("\" VLINK=\"#") + ink.vlink + QStringLiteral("\" TOPMARGIN=\"0\">")
      << QStringLiteral("<FONT SIZE=\"1\">") + p.id + QStringLiteral("</FONT><BR>")
      << QStringLiteral("<CENTER><FONT SIZE=\"3\" COLOR=\"#") + title + QStringLiteral("\">") + p.category +
             QStringLiteral("</FONT><BR>")
      << QStringLiteral("<FONT SIZE=\"2\" COLOR=\"#") + title + QStringLiteral("\">(") + p.domain +
             QStringLiteral(")</FONT></CENTER>")
      << QStringLiteral("<HR><FONT SIZE=\"2\">");
    for (const CategoryPage::Entry& e : p.pages)
        l << QStringLiteral("<A HREF=\"") + e.file + QStringLiteral("\" TARGET=\"Right\">- ") +
                 e.title.left(24) + QStringLiteral("</A><BR>");
    l << QStringLiteral("<!-- END -->") << QStringLiteral("<HR></FONT>")
      << QStringLiteral("<BR><A HREF=\"Javascript:history.go(-1)\">Retour à la page précédente</A>")
      << QStringLiteral("<BR><BR><A HREF=\"../Index.htm\" TARGET=\"_top\">Index ") + p.domain +
             QStringLiteral("</A>");
    if (p.indexed)
        l << QStringLiteral("<BR><BR><A HREF=\"../../Search.htm\" TARGET=\"_top\">Rechercher</A>");
    l << QStringLiteral("<BR><BR><A HREF=\"../../Index.htm\" TARGET=\"_top\">Index principal</A><BR>")
      << QStringLiteral("</BODY>") << QStringLiteral("</HTML>");
    return l;
}

} // namespace qs
