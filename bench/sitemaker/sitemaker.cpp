#include "sitemaker.h"

#include "lib/fileio.h"
#include "lib/text1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <array>

namespace qs::bench {

namespace {

// splitmix64: the same numbers on every platform and compiler, unlike the standard distributions.
class Random {
public:
    explicit Random(quint64 seed) : state_(seed) {}
    quint64 next() {
        quint64 z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 to n - 1.
    int below(int n) { return n <= 0 ? 0 : int(next() % quint64(n)); }

private:
    quint64 state_;
};

const std::array<const char16_t*, 24> kWords = {
    u"éditions", u"légères", u"réseau",  u"serveur", u"fenêtre", u"catalogue", u"procédure", u"système",
    u"données",  u"fichier", u"mémoire", u"accès",   u"clé",     u"réglage",   u"œuvre",     u"façade",
    u"naïf",     u"outil",   u"règle",   u"modèle",  u"étape",   u"schéma",    u"tâche",     u"côté"};

QString word(Random& r) {
    return QString::fromUtf16(kWords[size_t(r.below(int(kWords.size())))]);
}

// A 1x1 GIF image.
const QByteArray kGif =
    QByteArray::fromHex("47494638396101000100800000ffffff00000021f90401000000002c00000000010001"
                        "0000020144003b");

bool writeFile(const QString& path, const QByteArray& bytes, SiteStats& stats, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        if (error)
            *error = fileErrorMessage(path, fileErrorOf(f, FileError::Operation::Write));
        return false;
    }
    stats.bytes += bytes.size();
    return true;
}

QString crlfJoin(const QStringList& lines) {
    QString text;
    for (const QString& l : lines)
        text += l + QStringLiteral("\r\n");
    return text;
}

} // namespace

QString domainName(int d) {
    return QStringLiteral("Domaine%1").arg(d, 3, 10, QLatin1Char('0'));
}

QString categoryName(int c) {
    return QStringLiteral("Categorie%1").arg(c, 2, 10, QLatin1Char('0'));
}

std::optional<SiteStats> makeSite(const QString& folder, const SiteShape& shape, QString* error) {
    SiteStats stats;
    QDir root(folder);
    if (root.exists() && !root.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (error)
            *error = QStringLiteral(
                         "Le dossier \"%1\" n'est pas vide : je ne fabrique un site que dans un dossier "
                         "neuf ou vide.")
                         .arg(folder);
        return std::nullopt;
    }
    if (!QDir().mkpath(folder) || !root.mkpath(QStringLiteral("images"))) {
        if (error)
            *error = QStringLiteral("Je ne peux pas créer le dossier \"%1\".").arg(folder);
        return std::nullopt;
    }
    const QString base = QFileInfo(folder).absoluteFilePath() + u'/';
    for (const char* name : {"head_d.txt", "foot_d.txt", "head_c.txt", "foot_c.txt"}) {
        const QString line = QStringLiteral("<P>Fragment %1</P>\r\n").arg(QString::fromLatin1(name));
        if (!writeFile(base + QString::fromLatin1(name), toWindows1252(line), stats, error))
            return std::nullopt;
    }
    if (!writeFile(base + QStringLiteral("images/logo.gif"), kGif, stats, error))
        return std::nullopt;

    Random r(shape.seed);
    const QString id = QStringLiteral("(quillsite v0.1.0)");
    for (int d = 1; d <= shape.domains; ++d) {
        for (int c = 1; c <= shape.categories; ++c) {
            const QString catFolder = base + domainName(d) + u'/' + categoryName(c) + u'/';
            if (!QDir().mkpath(catFolder)) {
                if (error)
                    *error = QStringLiteral("Je ne peux pas créer le dossier \"%1\".").arg(catFolder);
                return std::nullopt;
            }
            for (int i = 1; i <= shape.images; ++i) {
                if (!writeFile(catFolder + QStringLiteral("img%1.gif").arg(i), kGif, stats, error))
                    return std::nullopt;
                ++stats.images;
            }
            for (int p = 1; p <= shape.pages; ++p) {
                QString title = word(r) + u' ' + word(r);
                title[0] = title[0].toUpper();
                switch (r.below(20)) {
                case 0:
                    title += QStringLiteral(" &amp; ") + word(r);
                    break;
                case 1:
                    title += QStringLiteral(" &lt;") + word(r) + QStringLiteral("&gt;");
                    break;
                default:
                    break;
                }
                title += QStringLiteral(" %1.%2.%3").arg(d).arg(c).arg(p);

                // Spread the links over the body lines.
                QStringList body;
                const int lines = qMax(1, shape.lines);
                QList<QString> linkAt(lines);
                for (int k = 0; k < shape.links; ++k) {
                    QString link;
                    ++stats.links;
                    if (r.below(1000) < shape.missingPerMille) {
                        ++stats.missingLinks;
                        link =
                            r.below(2)
                                ? QStringLiteral("<A HREF=\"absent%1.htm\">page perdue</A>").arg(r.below(10))
                                : QStringLiteral("<IMG SRC=\"absent%1.gif\">").arg(r.below(10));
                    } else {
                        const int kind = r.below(20);
                        const int page = 1 + r.below(qMax(1, shape.pages));
                        if (kind < 7) {
                            link = QStringLiteral("<A HREF=\"%1.htm\">%2</A>").arg(page).arg(word(r));
                        } else if (kind < 11) {
                            link = QStringLiteral("<A HREF=\"../%1/%2.htm\">%3</A>")
                                       .arg(categoryName(1 + r.below(qMax(1, shape.categories))))
                                       .arg(page)
                                       .arg(word(r));
                        } else if (kind < 14) {
                            link = QStringLiteral("<A HREF=\"../../%1/%2/%3.htm\">%4</A>")
                                       .arg(domainName(1 + r.below(qMax(1, shape.domains))),
                                            categoryName(1 + r.below(qMax(1, shape.categories))))
                                       .arg(page)
                                       .arg(word(r));
                        } else if (kind < 15) {
                            link = QStringLiteral("<A HREF=\"Index.htm\">index</A>");
                        } else if (kind < 16) {
                            link = QStringLiteral("<A HREF=\"https://example.invalid/%1.html\">ailleurs</A>")
                                       .arg(r.below(100));
                        } else if (kind < 19 && shape.images > 0) {
                            link = QStringLiteral("<IMG SRC=\"img%1.gif\">").arg(1 + r.below(shape.images));
                        } else {
                            link = QStringLiteral("<IMG SRC=\"../../images/logo.gif\">");
                        }
                    }
                    QString& slot = linkAt[r.below(lines)];
                    slot += u' ' + link;
                }
                for (int l = 0; l < lines; ++l) {
                    QString text;
                    const int words = 6 + r.below(6);
                    for (int w = 0; w < words; ++w)
                        text += (w ? QStringLiteral(" ") : QString()) + word(r);
                    body.append(text + linkAt[l] + QStringLiteral("<BR>"));
                }

                const QString date = QStringLiteral("%1.%2.25 à %3:%4")
                                         .arg(1 + r.below(28))
                                         .arg(1 + r.below(12))
                                         .arg(r.below(24))
                                         .arg(r.below(60), 2, 10, QLatin1Char('0'));
                QStringList page = {
                    QStringLiteral("<HTML>"),
                    QStringLiteral("<HEAD>"),
                    QStringLiteral("<TITLE>") + title + QStringLiteral("</TITLE>"),
                    QStringLiteral("</HEAD>"),
                    QStringLiteral("<BODY BGCOLOR=\"#F0F0FF\" TOPMARGIN=\"0\">"),
                    QStringLiteral("<FONT SIZE=\"1\">") + id + QStringLiteral("</FONT><BR>"),
                    QStringLiteral("<CENTER><FONT SIZE=\"5\" COLOR=\"#509000\">") + title +
                        QStringLiteral("</FONT></CENTER>"),
                    QStringLiteral("<HR>"),
                    QStringLiteral("<BR><P ALIGN=\"JUSTIFY\">"),
                    QStringLiteral("<!-- BEGIN -->"),
                };
                page += body;
                page += {QStringLiteral("<!-- END -->"),
                         QStringLiteral("</P><BR>"),
                         QStringLiteral("</FONT>"),
                         QStringLiteral("<HR>"),
                         QStringLiteral("<TABLE WIDTH=\"100%\">"),
                         QStringLiteral("<TR>"),
                         QStringLiteral("<TD><FONT SIZE=\"1\">Mis à jour le ") + date +
                             QStringLiteral(" par auteur.</FONT></TD>"),
                         QStringLiteral("<TD ALIGN=\"CENTER\"><A HREF=\"Index.htm\" TARGET=\"_top\">Index ") +
                             categoryName(c) + QStringLiteral("</A></TD>"),
                         QStringLiteral(
                             "<TD ALIGN=\"RIGHT\"><A HREF=\"Javascript:history.go(-1)\">Retour à la page "
                             "précédente</A></TD>"),
                         QStringLiteral("</TR>"),
                         QStringLiteral("</TABLE>"),
                         QStringLiteral("</BODY>"),
                         QStringLiteral("</HTML>")};

                const QString path = catFolder + QStringLiteral("%1.htm").arg(p);
                if (!writeFile(path, toWindows1252(crlfJoin(page)), stats, error))
                    return std::nullopt;
                // A day within the two years before `newest`, and a minute of it.
                const QDateTime when = shape.newest.addDays(-r.below(730)).addSecs(-60 * r.below(24 * 60));
                QFile f(path);
                if (f.open(QIODevice::ReadWrite))
                    f.setFileTime(when, QFileDevice::FileModificationTime);
                ++stats.pages;
            }
        }
    }
    return stats;
}

} // namespace qs::bench
