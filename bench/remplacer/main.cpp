// The replacement tool against `sed -i 's/old/new/g'`, each tool on its own identical copy, timed in the
// same run; the copies must come out byte for byte the same. Words go back and forth over several rounds;
// the tools take turns so that they meet the same load on a shared machine.
//  - 5,000 pages of a synthetic site: a word found in a few pages, then a word every page holds;
//  - one file of 200 MB, each tool run as its own process, with its peak memory.
#include "sitemaker.h"
#include "tools/replace.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

void print(const QString& text) {
    const QByteArray b = text.toLocal8Bit();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QStringList pagesOf(const QString& root) {
    QStringList files;
    QDirIterator it(root, {QStringLiteral("*.htm")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

// Lets the disk catch up with what was written before, so that it is not charged to the next timing.
void settle() {
#ifdef Q_OS_UNIX
    ::sync();
#endif
}

struct Timing {
    double sedMs = 0;
    double oursMs = 0;
    qint64 replaced = 0;
};

// Says yes to every occurrence: the replacement then goes file by file, as with confirmations.
struct AlwaysYes final : qs::Confirmation {
    bool Confirm(const QString&, const QString&, qsizetype, qsizetype, const QString&) override {
        return true;
    }
};

// Replaces `from` by `to` in both copies, each tool on its own copy and on all the files in one run, as
// a user runs it (one `sed -i` over every file, one replacement over the selection, its undo copies
// kept). Which tool goes first alternates with `round`, so that both meet the same load on a shared
// machine. nullopt after a message when a tool failed or the copies differ afterwards.
std::optional<Timing> replaceBoth(const QStringList& sedFiles, const QStringList& ourFiles,
                                  const QString& from, const QString& to, bool ignoreCase, bool oneByOne,
                                  int round) {
    const qsizetype kBatch = ourFiles.size();
    Timing r;
    const QString script =
        QStringLiteral("s/%1/%2/g%3").arg(from, to, ignoreCase ? QStringLiteral("I") : QString());
    const qs::ReplaceRequest request{from, to, !ignoreCase, oneByOne};
    AlwaysYes yes;
    qs::ChangeJournal journal(QFileInfo(ourFiles.front()).absolutePath() + QStringLiteral("/../../.journal"));
    qs::ReplaceOptions options;
    options.confirmation = &yes;
    options.journal = &journal; // as the window and the command line keep it
    for (qsizetype first = 0, batch = 0; first < ourFiles.size(); first += kBatch, ++batch) {
        const QStringList sedBatch = sedFiles.mid(first, kBatch);
        const QStringList ourBatch = ourFiles.mid(first, kBatch);
        auto runSed = [&] {
            settle();
            QElapsedTimer t;
            t.start();
            QProcess sed;
            sed.start(QStringLiteral("sed"), QStringList{QStringLiteral("-i"), script} + sedBatch);
            const bool ok = sed.waitForFinished(-1) && sed.exitCode() == 0;
            r.sedMs += double(t.nsecsElapsed()) / 1e6;
            return ok;
        };
        auto runOurs = [&] {
            settle();
            QElapsedTimer t;
            t.start();
            const qs::ReplaceOutcome o = qs::replaceInFiles(ourBatch, request, options);
            r.oursMs += double(t.nsecsElapsed()) / 1e6;
            r.replaced += o.replaced;
            return o.error.isEmpty();
        };
        if (!((batch + round) % 2 == 0 ? runSed() && runOurs() : runOurs() && runSed())) {
            print(QStringLiteral("échec de sed ou du remplacement"));
            return std::nullopt;
        }
    }
    settle();
    for (qsizetype i = 0; i < sedFiles.size(); ++i) {
        QFile a(sedFiles[i]);
        QFile b(ourFiles[i]);
        if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.readAll() != b.readAll()) {
            print(QStringLiteral("résultats différents : %1").arg(ourFiles[i]));
            return std::nullopt;
        }
    }
    return r;
}

// Rounds that replace the word by a marker found nowhere else and back again, so that both copies
// face the same work each round without being made anew.
bool measure(const QStringList& sedFiles, const QStringList& ourFiles, const QString& label, bool ignoreCase,
             bool oneByOne = false, int rounds = 4, const QString& word = QStringLiteral("serveur")) {
    const QString marker = QStringLiteral("QSXQ");
    double sed = 0;
    double ours = 0;
    qint64 replaced = -1;
    for (int i = 0; i < rounds; ++i) {
        const bool forth = i % 2 == 0;
        const auto r = replaceBoth(sedFiles, ourFiles, forth ? word : marker, forth ? marker : word,
                                   ignoreCase, oneByOne, i);
        if (!r)
            return false;
        if (replaced >= 0 && r->replaced != replaced) {
            print(QStringLiteral("nombre de remplacements instable : %1 puis %2")
                      .arg(replaced)
                      .arg(r->replaced));
            return false;
        }
        replaced = r->replaced;
        sed += r->sedMs;
        ours += r->oursMs;
    }
    print(
        QStringLiteral("%1 : %2 pages, %3 remplacements par tour ; sed -i %4 ms, quillsite %5 ms par tour ; "
                       "rapport %6× (%7 tours)")
            .arg(label)
            .arg(ourFiles.size())
            .arg(replaced)
            .arg(sed / rounds, 0, 'f', 1)
            .arg(ours / rounds, 0, 'f', 1)
            .arg(ours / sed, 0, 'f', 2)
            .arg(rounds));
    return true;
}

struct Run {
    double ms = 0;
    qint64 peakKb = -1;
    bool ok = false;
};

// Runs a program as its own process, under /usr/bin/time -v when it is there, for its peak memory.
Run timed(const QString& program, const QStringList& arguments) {
    const bool withTime = QFileInfo::exists(QStringLiteral("/usr/bin/time"));
    settle();
    QElapsedTimer t;
    t.start();
    QProcess p;
    if (withTime)
        p.start(QStringLiteral("/usr/bin/time"), QStringList{QStringLiteral("-v"), program} + arguments);
    else
        p.start(program, arguments);
    Run r;
    r.ok = p.waitForFinished(-1) && p.exitCode() == 0;
    r.ms = double(t.nsecsElapsed()) / 1e6;
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    const qsizetype at = err.indexOf(QStringLiteral("Maximum resident set size (kbytes): "));
    if (at >= 0)
        r.peakKb = err.mid(at + 36).section(u'\n', 0, 0).trimmed().toLongLong();
    return r;
}

QByteArray digest(const QString& path) {
    QFile f(path);
    QCryptographicHash h(QCryptographicHash::Sha256);
    return f.open(QIODevice::ReadOnly) && h.addData(&f) ? h.result() : QByteArray();
}

// One file of about 200 MB (lines of about 100 bytes, the word in one line of four), replaced back and
// forth by each tool in turn.
bool measureBigFile(const QString& folder) {
    const QString sedFile = folder + QStringLiteral("/sed.htm");
    const QString ourFile = folder + QStringLiteral("/quillsite.htm");
    {
        QFile f(sedFile);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        QByteArray block;
        for (qint64 i = 0; f.size() < (200ll << 20); ++i) {
            block += (i % 4 == 0 ? QByteArrayLiteral("<P>Le serveur de la ligne ")
                                 : QByteArrayLiteral("<P>La ligne ")) +
                     QByteArray::number(i) +
                     QByteArrayLiteral(" du catalogue, avec du texte pour la remplir.</P>\r\n");
            if (block.size() > (1 << 20)) {
                f.write(block);
                block.clear();
            }
        }
        f.write(block);
    }
    if (!QFile::copy(sedFile, ourFile))
        return false;
    const QString self = QCoreApplication::applicationFilePath();
    const QString word = QStringLiteral("serveur");
    const QString marker = QStringLiteral("QSXQ");
    double sed = 0;
    double ours = 0;
    qint64 ourPeak = 0;
    qint64 sedPeak = 0;
    const int rounds = 4;
    for (int i = 0; i < rounds; ++i) {
        const QString from = i % 2 == 0 ? word : marker;
        const QString to = i % 2 == 0 ? marker : word;
        auto runSed = [&] {
            const Run r = timed(QStringLiteral("sed"),
                                {QStringLiteral("-i"), QStringLiteral("s/%1/%2/g").arg(from, to), sedFile});
            sed += r.ms;
            sedPeak = std::max(sedPeak, r.peakKb);
            return r.ok;
        };
        auto runOurs = [&] {
            const Run r = timed(self, {QStringLiteral("--un-fichier"), ourFile, from, to});
            ours += r.ms;
            ourPeak = std::max(ourPeak, r.peakKb);
            return r.ok;
        };
        if (!(i % 2 == 0 ? runSed() && runOurs() : runOurs() && runSed())) {
            print(QStringLiteral("échec de sed ou du remplacement (gros fichier)"));
            return false;
        }
        if (digest(sedFile) != digest(ourFile)) {
            print(QStringLiteral("résultats différents : %1").arg(ourFile));
            return false;
        }
    }
    print(
        QStringLiteral("un fichier de %1 Mo : sed -i %2 ms, quillsite %3 ms par tour ; rapport %4× ; mémoire "
                       "maximale : quillsite %5 Mo, sed %6 Mo (%7 tours)")
            .arg(QFileInfo(ourFile).size() >> 20)
            .arg(sed / rounds, 0, 'f', 1)
            .arg(ours / rounds, 0, 'f', 1)
            .arg(ours / sed, 0, 'f', 2)
            .arg(double(ourPeak) / 1024, 0, 'f', 1)
            .arg(double(sedPeak) / 1024, 0, 'f', 1)
            .arg(rounds));
    return true;
}

// The replacement in one file, as the big-file case runs it in a process of its own.
int replaceOneFile(const QString& file, const QString& from, const QString& to) {
    qs::ChangeJournal journal(QFileInfo(file).absolutePath() + QStringLiteral("/.journal"));
    qs::ReplaceOptions options;
    options.journal = &journal;
    const qs::ReplaceOutcome o =
        qs::replaceInFiles({file}, qs::ReplaceRequest{from, to, true, false}, options);
    return o.error.isEmpty() && o.replaced > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 5 && args[1] == u"--un-fichier")
        return replaceOneFile(args[2], args[3], args[4]);
    // Cases named on the command line ("peu", "toutes", "un-a-un", "gros"), else all of them.
    const QStringList only = args.mid(1);
    const auto wanted = [&only](const char* name) {
        return only.isEmpty() || only.contains(QLatin1String(name));
    };
    QTemporaryDir work;
    bool ok = true;
    if (wanted("peu") || wanted("toutes") || wanted("un-a-un")) {
        // 10 domains of 20 categories of 25 pages: 5,000 pages of about 2 KB.
        const qs::bench::SiteShape shape{10, 20, 25};
        QString error;
        if (!qs::bench::makeSite(work.filePath(QStringLiteral("sed")), shape, &error) ||
            !qs::bench::makeSite(work.filePath(QStringLiteral("quillsite")), shape, &error)) {
            print(error);
            return 1;
        }
        const QStringList sedFiles = pagesOf(work.filePath(QStringLiteral("sed")));
        const QStringList ourFiles = pagesOf(work.filePath(QStringLiteral("quillsite")));
        ok = (!wanted("peu") || (measure(sedFiles, ourFiles, QStringLiteral("casse distinguée"), false) &&
                                 measure(sedFiles, ourFiles, QStringLiteral("casse ignorée"), true))) &&
             (!wanted("un-a-un") ||
              measure(sedFiles, ourFiles, QStringLiteral("un fichier à la fois"), false, true, 2)) &&
             (!wanted("toutes") || measure(sedFiles, ourFiles, QStringLiteral("toutes les pages changent"),
                                           false, false, 4, QStringLiteral("TOPMARGIN")));
    }
    ok = ok && (!wanted("gros") || measureBigFile(work.path()));
    return ok ? 0 : 1;
}
