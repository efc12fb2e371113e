#include "tools/wordimport.h"

#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/text1252.h"

namespace qs {
namespace {

bool isFolderSeparator(QChar c) {
    return c == u'/' || isSeparator(c);
}

struct SplitPath {
    QString root; // "C:", "//server/share", "/", or "" for a relative path
    QStringList folders;
};

SplitPath splitPath(const QString& path) {
    SplitPath out;
    qsizetype i = 0;
    const qsizetype n = path.size();
    auto nextFolder = [&] {
        while (i < n && isFolderSeparator(path[i]))
            ++i;
        const qsizetype start = i;
        while (i < n && !isFolderSeparator(path[i]))
            ++i;
        return path.mid(start, i - start);
    };
    if (n >= 2 && path[1] == u':' && path[0].isLetter()) {
        out.root = path.left(2).toUpper();
        i = 2;
    } else if (n >= 2 && isFolderSeparator(path[0]) && isFolderSeparator(path[1])) {
        // A network path: its server and share make the root.
        const QString server = nextFolder();
        const QString share = nextFolder();
        out.root = QStringLiteral("//") + server.toLower() + u'/' + share.toLower();
    } else if (n >= 1 && isFolderSeparator(path[0])) {
        out.root = QStringLiteral("/");
    }
    while (i < n) {
        const QString folder = nextFolder();
        if (folder.isEmpty() || folder == u".")
            continue;
        if (folder != u"..")
            out.folders.append(folder);
        else if (!out.folders.isEmpty() && out.folders.back() != u"..")
            out.folders.removeLast();
        else if (out.root.isEmpty())
            out.folders.append(folder); // a relative path may climb; a root has nothing above it
    }
    return out;
}

QString slashes(QString path) {
    for (QChar& c : path)
        if (isFolderSeparator(c))
            c = u'/';
    return path;
}

} // namespace

std::optional<QString> CheminRelatif(const QString& destination, const QString& source) {
    const SplitPath d = splitPath(destination);
    const SplitPath s = splitPath(source);
    if (d.root != s.root)
        return std::nullopt;
    qsizetype common = 0;
    while (common < d.folders.size() && common < s.folders.size() && d.folders[common] == s.folders[common])
        ++common;
    QString relative = QStringLiteral("../").repeated(d.folders.size() - common);
    for (qsizetype k = common; k < s.folders.size(); ++k)
        relative += s.folders[k] + u'/';
    return relative;
}

QString RéférenceAbsolue(const QString& folder) {
    QString path = slashes(withSeparator(folder));
    if (!path.endsWith(u'/'))
        path += u'/';
    if (path.startsWith(QStringLiteral("//")))
        return QStringLiteral("file:") + path;
    if (path.startsWith(u'/'))
        return QStringLiteral("file://") + path;
    return QStringLiteral("file:///") + path;
}

QString NomDeBase(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

QStringList PageVisionneur(const QString& baseName, const QString& document, const QString& programId) {
    return {
        QStringLiteral("<HTML>"),
        QStringLiteral("<HEAD>"),
        QStringLiteral("<TITLE>%1</TITLE>").arg(baseName),
        QStringLiteral("</HEAD>"),
        QStringLiteral("<BODY BGCOLOR=\"#C1FFE8\" TOPMARGIN=\"0\">"),
        QStringLiteral("<FONT SIZE=\"1\">%1</FONT><BR>").arg(programId),
        QStringLiteral("<CENTER><FONT SIZE=\"5\" COLOR=\"#FF0000\">%1</FONT></CENTER>").arg(baseName),
        QStringLiteral("<FONT COLOR=\"#000000\">"),
        QStringLiteral("<!-- BEGIN -->"),
        QStringLiteral("<EMBED height=\"85%\" Width=\"100%\" SRC=\"") + document + QStringLiteral("\">"),
        QStringLiteral("<!-- END -->"),
        QStringLiteral("<BR>"),
        QStringLiteral("</FONT>"),
        QStringLiteral("<TABLE WIDTH=\"100%\">"),
        QStringLiteral("<TR>"),
        QStringLiteral("<TD><FONT SIZE=\"1\"> </FONT></TD>"),
        QStringLiteral("<TD ALIGN=\"CENTER\"><A HREF=\"Index.htm\" TARGET=\"_top\">Index Catégorie</A></TD>"),
        QStringLiteral("<TD ALIGN=\"RIGHT\"><A HREF=\"Javascript:history.go(-1)\">Retour à la page "
                       "précédente</A></TD>"),
        QStringLiteral("</TR>"),
        QStringLiteral("</TABLE>"),
        QStringLiteral("</BODY>"),
        QStringLiteral("</HTML>"),
    };
}

ImportOutcome ImporterWord(const QString& source, const QString& destination, const QStringList& names,
                           const QString& programId, Dialogs& dialogs) {
    ImportOutcome outcome;
    if (names.isEmpty())
        return outcome;
    BusyPointer busy(dialogs);
    const QString d = withSeparator(destination);
    const QString s = withSeparator(source);
    QString prefix;
    if (const auto relative = CheminRelatif(d, s)) {
        prefix = *relative;
    } else {
        prefix = RéférenceAbsolue(s);
        outcome.absolute = true;
        dialogs.message(QStringLiteral("Le dossier des documents \"%1\" et le dossier de destination \"%2\" "
                                       "n'ont pas de racine commune : les pages désigneront les "
                                       "documents par leur adresse complète (%3).")
                            .arg(withoutSeparator(s), withoutSeparator(d), prefix),
                        Icon::Information);
    }
    for (const QString& name : names) {
        const QString base = NomDeBase(name);
        dialogs.status(base);
        dialogs.processEvents();
        // The document is referred to by its own name, so that its link holds on a case-sensitive disk.
        QString error;
        if (!writeLines(d + base + QStringLiteral(".htm"), PageVisionneur(base, prefix + name, programId),
                        &error)) {
            outcome.error = error + CrLf(2) +
                            QStringLiteral("Import arrêté : %1 page(s) écrite(s) sur %2.")
                                .arg(outcome.written)
                                .arg(names.size());
            dialogs.message(outcome.error, Icon::Critical);
            break;
        }
        ++outcome.written;
    }
    dialogs.status(QString());
    return outcome;
}

} // namespace qs
