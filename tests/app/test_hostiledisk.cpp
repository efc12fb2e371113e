// The writing commands on a full disk and on special and huge files: nothing lost, nothing written
// outside the site, no hang.
#include "commands/pageeditor.h"

#include "pagesite.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace qs;
using namespace qs::test;

namespace {

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
    const std::pair<QStringList, QString> commands[] = {
        {{"ajouter-page", s.root(), "D", "C", "--titre", "Nouvelle"}, "D/C"},
        {{"images", s.root(), "D", "C"}, "D/C"},
        {{"deplacer-page", s.root(), "D", "C", "1.htm", "--vers", "D/Autre"}, "D/Autre"},
        {{"indexer", s.root()}, ""},
    };
    for (const auto& [arguments, folder] : commands) {
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

    const QStringList commands[] = {
        {"lister", s.root()},
        {"generer", s.root()},
        {"images", s.root(), "D", "C"},
        {"ajouter-page", s.root(), "D", "C", "--titre", "Nouvelle"},
        {"deplacer-page", s.root(), "D", "C", "1.htm", "--vers", "D/Autre"},
        {"indexer", s.root()},
    };
    for (const QStringList& arguments : commands) {
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
