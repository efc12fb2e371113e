// The replacement tool against `sed -i 's/old/new/g'`: one word replaced in every page of a synthetic
// site of 5,000 pages, each tool on its own identical copy, timed in the same run; the copies must come
// out byte for byte the same. The word goes back and forth over several rounds; the tools take turns
// batch by batch so that they meet the same load.
#include "sitemaker.h"
#include "tools/replace.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
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

// Replaces `from` by `to` in both copies, each tool on its own copy, batch by batch: the tools take
// turns on each batch (which goes first alternates), so that both meet the same load on a shared
// machine. nullopt after a message when a tool failed or the copies differ afterwards.
std::optional<Timing> replaceBoth(const QStringList& sedFiles, const QStringList& ourFiles,
                                  const QString& from, const QString& to, bool ignoreCase, bool oneByOne) {
    constexpr qsizetype kBatch = 250;
    Timing r;
    const QString script =
        QStringLiteral("s/%1/%2/g%3").arg(from, to, ignoreCase ? QStringLiteral("I") : QString());
    const qs::ReplaceRequest request{from, to, !ignoreCase, oneByOne};
    AlwaysYes yes;
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
            const qs::ReplaceOutcome o = qs::replaceInFiles(ourBatch, request, &yes);
            r.oursMs += double(t.nsecsElapsed()) / 1e6;
            r.replaced += o.replaced;
            return o.error.isEmpty();
        };
        if (!(batch % 2 == 0 ? runSed() && runOurs() : runOurs() && runSed())) {
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
             bool oneByOne = false, int rounds = 4) {
    const QString word = QStringLiteral("serveur");
    const QString marker = QStringLiteral("QSXQ");
    double sed = 0;
    double ours = 0;
    qint64 replaced = -1;
    for (int i = 0; i < rounds; ++i) {
        const bool forth = i % 2 == 0;
        const auto r = replaceBoth(sedFiles, ourFiles, forth ? word : marker, forth ? marker : word,
                                   ignoreCase, oneByOne);
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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
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
    const bool ok = measure(sedFiles, ourFiles, QStringLiteral("casse distinguée"), false) &&
                    measure(sedFiles, ourFiles, QStringLiteral("casse ignorée"), true) &&
                    measure(sedFiles, ourFiles, QStringLiteral("un fichier à la fois"), false, true, 2);
    return ok ? 0 : 1;
}
