#include "tools/wordimport.h"

#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/text1252.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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
        if (folder == u".." && !out.folders.isEmpty() && out.folders.back() != u"..")
            out.folders.removeLast();
        else if (folder != u".." || out.root.isEmpty())
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

QStringList MotifsDocumentsWord() {
    return {QStringLiteral("*.doc"), QStringLiteral("*.docx"), QStringLiteral("*.rtf")};
}

bool EstDocumentWord(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext != u"doc" && ext != u"docx" && ext != u"rtf")
        return false;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray head = file.read(8);
    const bool ole = head == QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    const bool zip = head.startsWith("PK\x03\x04");
    const bool rtf = head.startsWith("{\\rtf");
    // Word saves RTF under ".doc" too.
    return ext == u"docx" ? zip : ext == u"rtf" ? rtf : ole || rtf;
}

bool EstPageVisionneur(const QByteArray& bytes) {
    const QStringList lines = splitLines(fromWindows1252(bytes));
    const QStringList model =
        PageVisionneur(QStringLiteral("\x01"), QStringLiteral("\x02"), QStringLiteral("\x03"));
    if (lines.size() != model.size())
        return false;
    for (qsizetype i = 0; i < model.size(); ++i) {
        // Each variable part is matched by what surrounds it.
        const QString& m = model[i];
        const qsizetype hole = m.indexOf(QRegularExpression(QStringLiteral("[\x01-\x03]")));
        if (hole < 0 ? lines[i] != m
                     : !lines[i].startsWith(m.left(hole)) || !lines[i].endsWith(m.mid(hole + 1)) ||
                           lines[i].size() < m.size() - 1)
            return false;
    }
    return true;
}

namespace {

// The folder with links and ".." resolved, so that a relative path between two folders leads where
// it says; as given when it does not exist.
QString realFolder(const QString& folder) {
    const QString real = QFileInfo(folder).canonicalFilePath();
    return withSeparator(real.isEmpty() ? folder : real);
}

// True when the file at `page` may be replaced by a viewer page without being kept first.
bool replaceable(const QString& page) {
    const QFileInfo info(page);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isSymLink() || !info.isFile() || info.size() > (64 << 10))
        return false;
    QFile file(page);
    return file.open(QIODevice::ReadOnly) && EstPageVisionneur(file.readAll());
}

QString listed(const QString& heading, const QStringList& items) {
    QString text = heading;
    for (const QString& item : items)
        text += CrLf() + item;
    return text;
}

} // namespace

ImportOutcome ImporterWord(const QString& source, const QString& destination, const QStringList& names,
                           const QString& programId, Dialogs& dialogs) {
    ImportOutcome outcome;
    if (names.isEmpty())
        return outcome;
    BusyPointer busy(dialogs);
    const QString d = realFolder(destination);
    const QString s = realFolder(source);
    QStringList documents;
    for (const QString& name : names) {
        if (EstDocumentWord(s + name))
            documents.append(name);
        else
            outcome.refused.append(s + name);
    }
    if (!outcome.refused.isEmpty())
        dialogs.message(
            listed(QStringLiteral("Ces fichiers ne sont pas des documents Word (.doc, .docx ou .rtf) : "
                                  "aucune page n'est faite pour eux."),
                   outcome.refused),
            Icon::Exclamation);
    if (documents.isEmpty())
        return outcome;
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
    const auto stop = [&](const QString& error) {
        outcome.error = error + CrLf(2) +
                        QStringLiteral("Import arrêté : %1 page(s) écrite(s) sur %2.")
                            .arg(outcome.written)
                            .arg(documents.size());
        dialogs.message(outcome.error, Icon::Critical);
    };
    for (const QString& name : documents) {
        const QString base = NomDeBase(name);
        dialogs.status(base);
        dialogs.processEvents();
        const QString page = d + base + QStringLiteral(".htm");
        // The user's own file of that name is kept in the trash, never lost.
        if (!replaceable(page)) {
            if (!FichierCorbeille(page)) {
                stop(QStringLiteral(
                         "Je ne peux pas mettre à la corbeille le fichier \"%1\", qui n'est pas une page "
                         "visionneuse : il reste tel quel et sa page n'est pas écrite.")
                         .arg(page));
                break;
            }
            outcome.trashed.append(page);
        }
        // The document is referred to by its own name, so that its link holds on a case-sensitive disk.
        QString error;
        if (!writeLines(page, PageVisionneur(base, prefix + name, programId), &error)) {
            stop(error);
            break;
        }
        ++outcome.written;
    }
    dialogs.status(QString());
    if (outcome.error.isEmpty()) {
        QString summary =
            QStringLiteral("%1 page(s) écrite(s) dans \"%2\".").arg(outcome.written).arg(withoutSeparator(d));
        if (!outcome.trashed.isEmpty())
            summary +=
                CrLf(2) +
                listed(QStringLiteral("Ces fichiers portaient déjà le nom d'une page sans être des pages "
                                      "visionneuses : ils sont dans la corbeille."),
                       outcome.trashed);
        dialogs.message(summary, Icon::Information);
    }
    return outcome;
}

} // namespace qs
