#include "site/listing.h"

#include "lib/collation.h"
#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/htmltext.h"
#include "lib/text1252.h"

#include <QDirIterator>
#include <QFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace qs {

namespace {

// The folders of a folder, less hidden ones and folder links.
QStringList subFolders(const QString& folder) {
    QStringList names;
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!name.startsWith(u'.'))
            names.append(name);
    }
    sortFrench(names);
    return names;
}

bool isBlank(char c) {
    return c == ' ';
}

QByteArrayView trimmedBlanks(QByteArrayView v) {
    qsizetype b = 0;
    qsizetype e = v.size();
    while (b < e && isBlank(v[b]))
        ++b;
    while (e > b && isBlank(v[e - 1]))
        --e;
    return v.sliced(b, e - b);
}

// Position of "<TITLE>" in any case, -1 when absent. Only ASCII letters can upper-case to the tag's.
qsizetype findTitleTag(QByteArrayView line) {
    static constexpr char tag[] = "<TITLE>";
    const qsizetype n = line.size();
    for (qsizetype i = 0; i + 7 <= n; ++i) {
        if (line[i] != '<')
            continue;
        qsizetype k = 1;
        while (k < 7) {
            char c = line[i + k];
            if (c >= 'a' && c <= 'z')
                c = char(c - 32);
            if (c != tag[k])
                break;
            ++k;
        }
        if (k == 7)
            return i;
    }
    return -1;
}

// Follows the title through the lines of a page. Fed line by line; done() once the title is closed.
class TitleReader {
public:
    // Returns false once the title is complete.
    bool line(QByteArrayView l) {
        if (trimmedBlanks(l).isEmpty())
            return true;
        const qsizetype p = findTitleTag(l);
        if (p >= 0) {
            l = trimmedBlanks(l.sliced(p + 7));
            inside_ = true;
        }
        if (!inside_)
            return true;
        bool finished = false;
        if (const qsizetype lt = l.indexOf('<'); lt >= 0) {
            l = l.first(lt);
            inside_ = false;
            finished = true;
        }
        title_.append(' ').append(trimmedBlanks(l));
        return !finished;
    }
    QString title() const { return fromWindows1252(trimmedBlanks(title_)); }

private:
    QByteArray title_;
    bool inside_ = false;
};

// Feeds the lines of `data` (CR LF, LF or CR ends) to the reader. `carry` holds an unfinished last line
// between chunks; `crEnded` says the previous chunk ended with a CR whose LF may open this one.
bool feed(TitleReader& reader, QByteArrayView data, QByteArray& carry, bool& crEnded) {
    const qsizetype n = data.size();
    qsizetype start = 0;
    if (crEnded && n > 0 && data[0] == '\n')
        start = 1;
    crEnded = false;
    for (qsizetype i = start; i < n; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        bool more;
        if (carry.isEmpty()) {
            more = reader.line(data.sliced(start, i - start));
        } else {
            carry.append(data.sliced(start, i - start));
            more = reader.line(carry);
            carry.clear();
        }
        if (!more)
            return false;
        if (c == '\r') {
            if (i + 1 < n && data[i + 1] == '\n')
                ++i;
            else if (i + 1 == n)
                crEnded = true;
        }
        start = i + 1;
    }
    if (start < n)
        carry.append(data.sliced(start));
    return true;
}

} // namespace

QStringList siteDomains(const QString& siteFolder, DomainListing listing) {
    QStringList names = subFolders(siteFolder);
    names.removeIf([listing](const QString& n) {
        if (n == u"java" || n == u"sound" || n == u"images")
            return true;
        return listing == DomainListing::Opening && (n == u"Modifier" || n == u"ReadOnly");
    });
    return names;
}

QStringList domainCategories(const QString& domainFolder) {
    return subFolders(domainFolder);
}

QStringList categoryPages(const QString& categoryFolder) {
    QStringList names;
    QDirIterator it(categoryFolder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (name.startsWith(u'.') || !name.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive))
            continue;
        if (name.compare(QStringLiteral("Index.htm"), Qt::CaseInsensitive) == 0 ||
            name.compare(QStringLiteral("IndexG.htm"), Qt::CaseInsensitive) == 0)
            continue;
        names.append(name);
    }
    sortFrench(names);
    return names;
}

QString pageTitle(QIODevice& device) {
    TitleReader reader;
    QByteArray carry;
    bool crEnded = false;
    char buffer[4096];
    for (;;) {
        const qint64 got = device.read(buffer, sizeof buffer);
        if (got <= 0)
            break;
        if (!feed(reader, QByteArrayView(buffer, got), carry, crEnded))
            return reader.title();
    }
    if (!carry.isEmpty())
        reader.line(carry);
    return reader.title();
}

QString pageTitle(const QString& path) {
#ifdef Q_OS_UNIX
    // Every page of a category is read for its title: plain system calls, without QFile's extra status
    // call and buffers. Non-blocking, so that a pipe named like a page cannot hang the listing.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return {};
    TitleReader reader;
    QByteArray carry;
    bool crEnded = false;
    char buffer[4096];
    bool more = true;
    while (more) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        more = feed(reader, QByteArrayView(buffer, got), carry, crEnded);
    }
    ::close(fd);
    if (more && !carry.isEmpty())
        reader.line(carry);
    return reader.title();
#else
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return pageTitle(f);
#endif
}

QString pageTitleOf(QByteArrayView bytes) {
    TitleReader reader;
    QByteArray carry;
    bool crEnded = false;
    if (feed(reader, bytes, carry, crEnded) && !carry.isEmpty())
        reader.line(carry);
    return reader.title();
}

QString invalidNameMessage() {
    return QStringLiteral("Ce nom est incorrect (ou contient des caractères incorrects)") + CrLf(2) +
           QStringLiteral("Donnez un nom qui puisse être utilisé comme nom de dossier sour Windows.");
}

bool isValidFolderName(const QString& name) {
    // A name beginning with "." would be hidden: the listings leave such folders out.
    if (name.startsWith(u'.'))
        return false;
    for (const QChar c : name)
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            return false;
    return true;
}

QString askNewFolderName(Dialogs& dialogs, NewNameKind kind, const QString& parentFolder,
                         const std::function<bool(const QString&)>& listed) {
    QString prompt;
    QString taken;
    switch (kind) {
    case NewNameKind::Site:
        prompt = QStringLiteral("Nom du nouveau site :");
        taken = QStringLiteral("Ce domaine existe déjà! Saisissez un autre nom.");
        break;
    case NewNameKind::Domain:
        prompt = QStringLiteral("Nom du nouveau domaine :");
        taken = QStringLiteral("Ce domaine existe déjà! Saisissez un autre nom.");
        break;
    case NewNameKind::Category:
        prompt = QStringLiteral("Nom de la nouvelle catégorie :");
        taken = QStringLiteral("Cette catégorie existe déjà! Saisissez un autre nom.");
        break;
    }
    const QString parent = withSeparator(parentFolder);
    for (;;) {
        const QString name = dialogs.prompt(prompt).trimmed();
        if (name.isEmpty())
            return {};
        if (!isValidFolderName(name)) {
            dialogs.message(invalidNameMessage(), Icon::Exclamation, QStringLiteral("Erreur"));
            continue;
        }
        bool exists = false;
        switch (kind) {
        case NewNameKind::Site:
            exists = DossierExiste(parent + name);
            break;
        case NewNameKind::Domain:
        case NewNameKind::Category:
            exists = listed(name);
            break;
        }
        if (exists) {
            dialogs.message(taken, Icon::Exclamation, QStringLiteral("Erreur"));
            continue;
        }
        DossierCréer(parent + name);
        if (DossierExiste(parent + name))
            return name;
        dialogs.message(invalidNameMessage(), Icon::Exclamation, QStringLiteral("Erreur"));
    }
}

QString introductionPage(const QString& categoryFolder) {
    const QString exact = QStringLiteral("Index.html");
    if (FichierExiste(categoryFolder + exact))
        return exact;
    // A case-sensitive disk may hold it as "index.html" or "INDEX.HTML".
    QDirIterator it(categoryFolder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().compare(exact, Qt::CaseInsensitive) == 0)
            return it.fileName();
    }
    return {};
}

} // namespace qs
