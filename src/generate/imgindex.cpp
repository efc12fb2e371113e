#include "generate/imgindex.h"

#include "generate/pages.h"
#include "lib/clock.h"
#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/text1252.h"
#include "site/listing.h"

#include <QDir>

#include <algorithm>

namespace qs {

QStringList imgIndexLines(const ImgIndexPage& p) {
    QStringList l;
    l.reserve(20 + 4 * p.images.size());
    l << QStringLiteral("<HTML>") << QStringLiteral("<HEAD>")
      << QStringLiteral("<TITLE> Index des images </TITLE>") << QStringLiteral("</HEAD>")
      << QStringLiteral("<BODY>") << QStringLiteral("<!-- BEGIN -->")
      << QStringLiteral("<CENTER><H1>Images du répertoire \"") + p.category +
             QStringLiteral("\"</H1></CENTER><HR>")
      << QStringLiteral("<TABLE>");
    for (const QString& f : p.images)
        l << QStringLiteral("<TR>") << QStringLiteral("<TD>") + f + QStringLiteral("</TD>")
          << QStringLiteral("<TD><IMG SRC=\"") + f + QStringLiteral("\"></TD>") << QStringLiteral("</TR>");
    l << QStringLiteral("</TABLE>") << QStringLiteral("<BR><HR><BR>") << QStringLiteral("<!-- END -->")
      << QStringLiteral("<TABLE WIDTH=\"100%\">") << QStringLiteral("<TR>")
      << QStringLiteral("<TD><FONT SIZE=\"1\">Mis à jour le ") + p.date + QStringLiteral(" par ") + p.user +
             QStringLiteral(".</FONT></TD>")
      << QStringLiteral("<TD ALIGN=\"CENTER\"><A HREF=\"Index.htm\" TARGET=\"_top\">Index ") + p.current +
             QStringLiteral("</A></TD>")
      << QStringLiteral("<TD ALIGN=\"RIGHT\"><A HREF=\"Javascript:history.go(-1)\">Retour à la page "
                        "précédente</A></TD>")
      << QStringLiteral("</TR>") << QStringLiteral("</TABLE>") << QStringLiteral("</BODY>")
      << QStringLiteral("</HTML>");
    return l;
}

QStringList imageFiles(const QString& folder) {
    // Name filters match without regard to case unless told otherwise.
    QStringList names =
        QDir(folder).entryList({QStringLiteral("*.jpg"), QStringLiteral("*.gif"), QStringLiteral("*.jpeg")},
                               QDir::Files, QDir::NoSort);
    // Without regard to case as the code page has it; names that differ only in case keep a fixed order.
    QList<std::pair<QString, QString>> keyed;
    keyed.reserve(names.size());
    for (const QString& n : names)
        keyed.append({upper1252(n), n});
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (const auto& k : keyed)
        names.append(k.second);
    return names;
}

bool writeImgIndex(const QString& categoryFolder, const QString& category, const QString& current,
                   const Clock& clock, Dialogs& dialogs) {
    const QString folder = withSeparator(categoryFolder);
    const ImgIndexPage page{category, imageFiles(folder), updateDate(clock.now()), clock.userName(), current};
    QString error;
    // A generated page: not forced to the disk.
    if (writeLines(folder + QString::fromUtf16(kImgIndexFile), imgIndexLines(page), &error,
                   {.sync = false, .keepPermissions = true, .skipUnchanged = false}))
        return true;
    dialogs.message(error, Icon::Exclamation, QStringLiteral("Erreur"));
    return false;
}

} // namespace qs
