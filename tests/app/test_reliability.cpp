// Two writers on one site, interrupted runs, links that leave the site, a full disk, special and huge files.
#include "commands/pageeditor.h"
#include "editor/pagefile.h"
#include "lib/files.h"
#include "site/listing.h"

#include "pagesite.h"
#include "tablefile.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDirIterator>
#include <QLockFile>
#include <QProcess>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace qs;
using namespace qs::test;

namespace {

// Every file of the tree by relative path, the date-and-user lines masked; hidden ones apart.
QMap<QString, QByteArray> tree(const QString& root, QStringList* hidden = nullptr) {
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = path.mid(root.size());
        if (rel.contains(QStringLiteral("/.")) || rel.startsWith(u'.')) {
            if (hidden)
                hidden->append(rel);
            continue;
        }
        QList<QByteArray> lines = readFile(path).split('\n');
        std::replace_if(
            lines.begin(), lines.end(), [](const QByteArray& l) { return l.contains(" jour le "); }, "*");
        files.insert(rel, lines.join('\n'));
    }
    return files;
}

// The commands of one kind in tests/data/app/commands.txt, their arguments as written ("SITE" for the site).
QList<QStringList> commands(const QString& kind) {
    QList<QStringList> out;
    for (const DataRow& r : tableRows("app/commands.txt")) {
        QStringList command;
        for (const QByteArray& field : r.mid(1))
            command.append(str(field));
        if (r.text(0) == kind)
            out.append(command);
    }
    return out;
}

void makeSite(const PageSite& s) {
    s.page("D/A/1.htm", "Un");
    writeFile(s.at("D/A/2.htm"), crlf({"<TITLE>Deux</TITLE>", "<A HREF=\"1.htm#h\">un</A>",
                                       "<A HREF='../B/1.htm?q'>trois</A>", "<a href=\"./1.htm\">x</a>"}));
    s.page("D/B/1.htm", "Trois");
}

// A tmpfs of 1 MiB over a folder while it lives; `active` is false where mounting is not allowed.
struct SmallDisk {
    explicit SmallDisk(const QString& folder) : path(QFile::encodeName(folder)) {
        active = ::mount("tmpfs", path.constData(), "tmpfs", 0, "size=1m") == 0;
    }
    ~SmallDisk() {
        if (active)
            ::umount2(path.constData(), MNT_DETACH);
    }
    // Writes a file until the disk refuses more.
    void fill() const {
        QFile f(QString::fromLocal8Bit(path) + "/remplissage");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (f.write(QByteArray(4096, 'x')) == 4096) {
        }
    }
    QByteArray path;
    bool active = false;
};

} // namespace

// A live holder is named and refused, a dead one's lock is taken over, concurrent adds lose nothing and
// a number taken between the choice and the write goes to the next free one.
TEST(SiteLock, OneWriterAtATime) {
    PageSite s;
    makeSite(s);
    const QStringList add{"ajouter-page", s.root(), "D", "A", "--titre", "Nouvelle"};
    {
        QLockFile held(s.at(".quillsite.lock"));
        ASSERT_TRUE(held.tryLock(0));
        const CliResult r = runCli(add, "corps");
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("est en cours de modification par un autre programme : ")));
        EXPECT_TRUE(r.err.contains(QStringLiteral("processus %1)").arg(QCoreApplication::applicationPid())))
            << r.err;
    }
    QProcess ended;
    ended.start(QStringLiteral("sh"), {"-c", "echo $$"});
    ASSERT_TRUE(ended.waitForFinished());
    writeFile(s.at(".quillsite.lock"), ended.readAllStandardOutput() + "quillsite-cli\n" +
                                           QSysInfo::machineHostName().toUtf8() + "\n");
    EXPECT_EQ(runCli(add, "corps").code, 0);
    EXPECT_FALSE(s.exists(".quillsite.lock"));

    std::vector<std::unique_ptr<QProcess>> runs;
    for (int i = 0; i < 4; ++i) {
        auto& p = runs.emplace_back(std::make_unique<QProcess>());
        p->start(
            QStringLiteral(QUILLSITE_BIN_DIR "/quillsite-cli"),
            {"ajouter-page", s.root(), "D", "B", "--titre", QStringLiteral("P%1").arg(i), "--corps", "-"});
        p->write("corps");
        p->closeWriteChannel();
    }
    for (auto& p : runs)
        EXPECT_TRUE(p->waitForFinished(60000) && p->exitCode() == 0)
            << p->readAllStandardError().toStdString();
    QStringList titles;
    for (const QString& page : categoryPages(s.at("D/B/")))
        titles.append(pageTitle(s.at("D/B/") + page));
    titles.sort();
    EXPECT_EQ(titles, QStringList({"P0", "P1", "P2", "P3", "Trois"}));

    const QString name = createNumberedPage(
        s.at("D/B/"), {},
        [&](const QString& path, const WriteOptions& o, FileError* e) {
            if (!QFile::exists(s.at("D/B/6.htm")))
                writeFile(s.at("D/B/6.htm"), "autre");
            return writeFileWhole(path, "mien", o, e);
        },
        nullptr);
    EXPECT_EQ(name, QStringLiteral("7.htm"));
    EXPECT_EQ(readFile(s.at("D/B/6.htm")), "autre");
}

// Each writing command is stopped before its 1st, 2nd... file step: every file is then as it was or as
// a whole run leaves it, the page of a move is in one category only, and the next run cleans up.
TEST(Interruptions, EveryStopLeavesOldOrNewFilesAndTheNextRunCleansUp) {
    for (const QStringList& command : commands("interrupted")) {
        const QString name = command[0];
        PageSite clean;
        makeSite(clean);
        const QMap<QString, QByteArray> before = tree(clean.root());
        const QStringList args = QStringList(command).replaceInStrings(QStringLiteral("SITE"), clean.root());
        ASSERT_EQ(runCli(args, "corps").code, 0) << name;
        const QMap<QString, QByteArray> after = tree(clean.root());
        for (int step = 1;; ++step) {
            SCOPED_TRACE((name + QStringLiteral(" stopped before step %1").arg(step)).toStdString());
            PageSite s;
            makeSite(s);
            const QStringList run = QStringList(command).replaceInStrings(QStringLiteral("SITE"), s.root());
            qputenv("QUILLSITE_STOP_BEFORE_STEP", QByteArray::number(step));
            const CliResult stopped = runCli(run, "corps");
            qunsetenv("QUILLSITE_STOP_BEFORE_STEP");
            if (stopped.code != 86) {
                EXPECT_EQ(stopped.code, 0);
                EXPECT_GT(step, 1);
                break;
            }
            const QMap<QString, QByteArray> now = tree(s.root());
            for (auto it = now.begin(); it != now.end(); ++it)
                EXPECT_TRUE(it.value() == before.value(it.key(), "-") ||
                            it.value() == after.value(it.key(), "-"))
                    << it.key();
            // A move or rename whose source has gone is over: only index pages are left to write.
            const bool moved = (name == u"deplacer-page" && !s.exists("D/A/1.htm")) ||
                               (name == u"renommer" && !s.exists("D/B"));
            const CliResult again = runCli(moved ? QStringList{"generer", s.root()} : run, "corps");
            EXPECT_EQ(again.code, 0) << again.err;
            QStringList hidden;
            const QMap<QString, QByteArray> end = tree(s.root(), &hidden);
            EXPECT_TRUE(hidden.isEmpty()) << hidden.join(u' ');
            if (name == u"deplacer-page") {
                EXPECT_EQ(end.keys(before.value("D/A/1.htm")).size(), 1);
            }
        }
    }
}

// A folder with a name that is not UTF-8 is named; a page name of 255 bytes can be replaced in.
TEST(HostileEntries, OddNamesAndLongNames) {
    PageSite s;
    makeSite(s);
    ASSERT_EQ(::mkdir((QFile::encodeName(s.at("D/")) + "caf\xe9").constData(), 0755), 0);
    const CliResult listed = runCli({"lister", s.root()});
    EXPECT_EQ(listed.code, 0);
    EXPECT_TRUE(listed.err.contains(QStringLiteral("leur nom n'est pas écrit en UTF-8"))) << listed.err;
    EXPECT_TRUE(listed.err.contains(QStringLiteral("\nD/café\n"))) << listed.err;
    ::rmdir((QFile::encodeName(s.at("D/")) + "caf\xe9").constData());

    const QString longName = s.at("D/A/") + QString(251, u'x') + QStringLiteral(".htm");
    writeFile(longName, "avant");
    EXPECT_EQ(runCli({"remplacer", "--chercher", "avant", "--par", "après", longName}).code, 0);
    EXPECT_EQ(readFile(longName), "apr\xe8s");
}

// The writing commands on a full disk and on special and huge files: nothing lost, nothing written
// outside the site, no hang.
TEST(HostileDisk, AFullDiskLeavesEveryFileAsItWas) {
    PageSite s;
    SmallDisk disk(withoutSeparator(s.root()));
    if (!disk.active)
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    s.page("D/C/1.htm", "Un");
    s.folder("D/Autre");
    writeFile(s.at("D/C/a.gif"), "GIF89a");
    writeFile(s.at("Recent.htm"), "ancienne");
    writeFile(s.at("Search.htm"), "ancien");
    const QByteArray page = readFile(s.at("D/C/1.htm"));
    disk.fill();

    // Each command, and the folder whose entries must not change.
    for (QStringList arguments : commands("full")) {
        const QString folder = arguments.takeFirst();
        arguments.replaceInStrings(QStringLiteral("SITE"), s.root());
        const QStringList before = folderEntries(s.at(folder));
        const CliResult r = runCli(arguments, "texte");
        EXPECT_EQ(r.code, 1) << arguments.first() << r.out;
        EXPECT_TRUE(r.err.contains("disque plein")) << r.err;
        EXPECT_EQ(folderEntries(s.at(folder)), before) << arguments.first();
        EXPECT_EQ(readFile(s.at("D/C/1.htm")), page);
    }
    EXPECT_EQ(readFile(s.at("Recent.htm")), "ancienne");
    EXPECT_EQ(readFile(s.at("Search.htm")), "ancien");

    // A page saved from the editor: an error, and the page as it was.
    s.openCategory("D", "C");
    s.state.tListe.select(0);
    tListe_Click(s.state);
    tModifier_Click(s.state);
    s.state.controls.tTexte = QString(8000, u'y');
    s.dialogs.clear();
    EXPECT_EQ(tOk_Click(s.state), QString());
    EXPECT_TRUE(s.dialogs.messages().contains("Je ne peux pas écrire le fichier \"" + s.at("D/C/1.htm") +
                                              "\" : disque plein."))
        << s.dialogs.messages().join('\n');
    EXPECT_EQ(readFile(s.at("D/C/1.htm")), page);
}

TEST(HostileDisk, SpecialAndHugeFilesNeitherHangNorFillTheMemory) {
    PageSite s;
    s.page("D/C/1.htm", "Un");
    s.folder("D/Autre");
    ASSERT_TRUE(QFile::link("/dev/zero", s.at("D/C/2.htm")));
    ASSERT_TRUE(QFile::link("/dev/urandom", s.at("D/C/3.htm")));
    writeFile(s.at("D/C/4.htm"), "<HTML>");
    ASSERT_TRUE(QFile::resize(s.at("D/C/4.htm"), qint64(2) << 30)); // sparse
    ASSERT_EQ(::mkfifo(QFile::encodeName(s.at("head_c.txt")).constData(), 0600), 0);

    for (QStringList arguments : commands("hostile")) {
        arguments.replaceInStrings(QStringLiteral("SITE"), s.root());
        const CliResult r = runCli(arguments, "texte");
        EXPECT_GE(r.code, 0) << arguments.first().toStdString() << " did not end";
    }
    struct rusage usage {};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    // AddressSanitizer's shadow memory and quarantine add their own share to every program.
    long sanitizerShare = 0;
#if defined(__SANITIZE_ADDRESS__)
    sanitizerShare = 256 * 1024;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    sanitizerShare = 256 * 1024;
#endif
#endif
    EXPECT_LT(usage.ru_maxrss, 100 * 1024 + sanitizerShare) << "peak KiB of the largest command";
    // The fragment that is a FIFO is named in the message; the others are left out of the lists.
    EXPECT_TRUE(runCli({"generer", s.root()})
                    .err.contains(s.at("head_c.txt") + "\" : ce n'est pas un fichier ordinaire"));
}
