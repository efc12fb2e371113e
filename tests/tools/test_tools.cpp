// The string replacement and the Word import, without their windows.
#include "lib/text1252.h"
#include "scripteddialogs.h"
#include "tablefile.h"
#include "testutil.h"
#include "tools/replace.h"
#include "tools/wordimport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

#include <sys/stat.h>

using namespace qs;
using namespace qs::test;

namespace {

using Req = ReplaceRequest;
using namespace Qt::StringLiterals;

// The content after the replacement (the original when nothing was replaced) and the count.
std::pair<QByteArray, qint64> applied(const QByteArray& content, const Req& r,
                                      const Replacer::Ask& ask = {}) {
    QByteArray out;
    const qint64 n = Replacer(r).apply(content, out, ask);
    return {n > 0 ? out : content, n};
}

// A message of replace-texts.txt with the test's folder and values filled in.
QString text(const char* name, const TempDir& dir, const QString& one = {}, const QString& two = {}) {
    static const QList<DataRow> rows = tableRows(QStringLiteral("tools/replace-texts.txt"));
    for (const DataRow& r : rows)
        if (r.text(0) == QLatin1String(name))
            return r.text(1).replace(u"{D}"_s, dir.path()).replace(u"{1}"_s, one).replace(u"{2}"_s, two);
    ADD_FAILURE() << "no text " << name;
    return {};
}

void files(const TempDir& dir, const QStringList& names, const QByteArray& content) {
    for (const QString& name : names)
        writeFile(dir(name), content);
}

// Answers the confirmations in order and records what each showed.
struct ScriptedConfirmation final : Confirmation {
    QList<bool> answers;
    QStringList shown;
    std::function<void(const QString& file)> whileAsking;
    bool Confirm(const QString& file, const QString& line, qsizetype start, qsizetype length,
                 const QString& replacement) override {
        shown.append(
            QStringLiteral("%1: %2@%3+%4>%5").arg(file, line).arg(start).arg(length).arg(replacement));
        if (whileAsking)
            whileAsking(file);
        return !answers.isEmpty() && answers.takeFirst();
    }
};

const QString kId = QStringLiteral("(quillsite v9.8.7)");
const QByteArray kOle("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 rest of a Word document");

// The viewer page as it must be written, byte for byte.
QByteArray expectedPage(const QString& base, const QString& src) {
    return dataFile(QStringLiteral("tools/viewer.htm"), {{"BASE", base}, {"SRC", src}});
}

} // namespace

// --- The replacement rules, on one file's content -------------------------------------------------
TEST(ReplaceRules, Table) {
    const auto bytes = [](const DataRow& r, int i) {
        const QByteArray b = r.value(i);
        return b.startsWith("1252:") ? toWindows1252(QString::fromUtf8(b.mid(5))) : b;
    };
    for (const DataRow& r : tableRows(QStringLiteral("tools/replace-rules.txt"))) {
        SCOPED_TRACE(r.where);
        QString answers = r.text(7);
        QStringList shown;
        const auto ask = [&](const QString& line, qsizetype start, qsizetype length) {
            shown.append(QStringLiteral("%1@%2+%3").arg(line).arg(start).arg(length));
            const bool yes = answers.startsWith(u'y');
            answers.remove(0, 1);
            return yes;
        };
        // Rows with answers confirm each occurrence; the others replace without asking.
        const bool confirm = !answers.isEmpty();
        const auto [out, n] = applied(bytes(r, 1), Req{r.text(2), r.text(3), r.text(4) == u"1", confirm},
                                      confirm ? Replacer::Ask(ask) : Replacer::Ask());
        EXPECT_EQ(out, bytes(r, 5));
        EXPECT_EQ(n, r.text(6).toLongLong());
        EXPECT_EQ(shown.join(u';'), r.text(8));
    }
}

TEST(ReplaceRules, EveryByteValueComesBackUnchanged) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    // "QZQ" never occurs in the run of byte values, in any case.
    const QByteArray content = all + "QZQ" + all + "qzq" + all;
    EXPECT_EQ(applied(content, Req{"QZQ", "<>", true}),
              std::make_pair(all + "<>" + all + "qzq" + all, qint64(1)));
    EXPECT_EQ(applied(content, Req{"qZq", "", false}), std::make_pair(all + all + all, qint64(2)));
}

// --- Runs over files ------------------------------------------------------------------------------
TEST(ReplaceRun, MessagesUnreadableVanishingAndSpecialFilesAndLeftovers) {
    TempDir dir;
    files(dir, {"a.htm", "d.htm"}, "old");
    writeFile(dir("c.htm"), "old old");
    makeDir(dir("folder"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir("fifo.txt")).constData(), 0600), 0);
    // Left by a killed run (a process number no system gives) and by a run still going (ours).
    writeFile(dir(".qs-remplacement-999999999-x1"), "stale");
    const QString live = QStringLiteral(".qs-remplacement-%1-x2").arg(QCoreApplication::applicationPid());
    writeFile(dir(live), "live");
    ScriptedDialogs d;
    RemplacementExécuter(dir.path(), {}, Req{"a", "b"}, d);
    RemplacementExécuter(dir.path(), {"a.htm"}, Req{"zz", "b"}, d);
    // c.htm disappears before its turn.
    const auto removeC = [&](qsizetype, qsizetype, const QString& file) {
        if (file.endsWith(QStringLiteral("c.htm")))
            QFile::remove(file);
        return true;
    };
    const ReplaceOutcome o =
        RemplacementExécuter(dir.path(), {"a.htm", "missing.htm", "folder", "fifo.txt", "c.htm", "d.htm"},
                             Req{"old", "new"}, d, {.progress = removeC});
    EXPECT_EQ(d.log(), (QStringList{"message(!): Sélectionnez au moins un fichier svp !",
                                    "message: Aucun remplacement effectué.",
                                    "message: 2 chaîne(s) remplacée(s) dans 2 fichier(s)"}));
    EXPECT_EQ(o.unreadable, (QStringList{dir("missing.htm"), dir("folder"), dir("fifo.txt"), dir("c.htm")}));
    EXPECT_EQ(readFile(dir("a.htm")) + readFile(dir("d.htm")), QByteArray("newnew"));
    EXPECT_EQ(folderEntries(dir.path()), (QStringList{live, "a.htm", "d.htm", "fifo.txt", "folder"}));
}

TEST(ReplaceRun, StoppingBetweenFilesSaysWhatWasLeft) {
    TempDir dir;
    files(dir, {"a.htm", "b.htm", "c.htm"}, "x");
    ScriptedDialogs d;
    const auto stopAtB = [](qsizetype index, qsizetype total, const QString&) {
        EXPECT_EQ(total, 3);
        return index < 1;
    };
    const ReplaceOutcome o = RemplacementExécuter(dir.path(), {"a.htm", "b.htm", "c.htm"}, Req{"x", "y"}, d,
                                                  {.progress = stopAtB});
    EXPECT_TRUE(o.stopped);
    EXPECT_EQ(d.messages(), QStringList{text("stopped", dir)});
    EXPECT_EQ(readFile(dir("a.htm")) + readFile(dir("b.htm")), QByteArray("yx"));
}

TEST(ReplaceRun, PermissionsLinksAndForeignWorkFilesAreRespected) {
    TempDir dir;
    writeFile(dir("mode.htm"), "x");
    const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    // The "user" flags say what we may do (everything, as root), not what the file's mode holds.
    const auto modeOf = [](const QString& path) {
        return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    };
    QFile::setPermissions(dir("mode.htm"), mode);
    writeFile(dir("user.htm"), "x");
    writeFile(dir("user.htm.new"), "the user's own file");
    makeDir(dir("mode.htm.new"));
    ASSERT_TRUE(QFile::link(dir("nowhere"), dir("link.htm.new")));
    writeFile(dir("real/target.htm"), "x");
    ASSERT_TRUE(QFile::link(dir("real/target.htm"), dir("link.htm")));

    const ReplaceOutcome o =
        replaceInFiles({dir("mode.htm"), dir("user.htm"), dir("link.htm")}, Req{"x", "y"});
    EXPECT_EQ(o.replaced, 3);
    EXPECT_TRUE(o.error.isEmpty()) << o.error;
    EXPECT_EQ(modeOf(dir("mode.htm")), mode);
    EXPECT_EQ(readFile(dir("user.htm")), QByteArray("y"));
    EXPECT_EQ(readFile(dir("user.htm.new")), QByteArray("the user's own file"));
    EXPECT_TRUE(QFileInfo(dir("link.htm")).isSymLink());
    EXPECT_EQ(readFile(dir("real/target.htm")), QByteArray("y"));
    EXPECT_EQ(folderEntries(dir.path()), (QStringList{"link.htm", "link.htm.new", "mode.htm", "mode.htm.new",
                                                      "real", "user.htm", "user.htm.new"}));
    EXPECT_EQ(folderEntries(dir("real")), QStringList{"target.htm"});
}

TEST(ReplaceRun, ManyFilesAreEachReplacedOnce) {
    TempDir dir;
    QStringList names;
    for (int i = 0; i < 300; ++i)
        names.append(QStringLiteral("%1.htm").arg(i));
    files(dir, names, "a a\r\n");
    for (QString& name : names)
        name = dir(name);
    // The same file again, through a link: a second pass would double the replacement.
    ASSERT_TRUE(QFile::link(names[7], dir("link.htm")));
    qsizetype last = -1;
    const auto inOrder = [&](qsizetype i, qsizetype, const QString&) {
        EXPECT_TRUE(i == last || i == last + 1) << i;
        last = i;
        return true;
    };
    const ReplaceOutcome o =
        replaceInFiles(names + QStringList{dir("link.htm")}, Req{"a", "aa"}, {.progress = inOrder});
    EXPECT_EQ(last, 300);
    EXPECT_EQ(o.replaced, 600);
    EXPECT_EQ(o.changedFiles, 300);
    EXPECT_EQ(o.filesDone, 301);
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(readFile(names[i]), QByteArray("aa aa\r\n")) << i;
    EXPECT_EQ(folderEntries(dir.path()).size(), 301);
}

// --- Failures: the run stops and the source stays ------------------------------------------------
TEST(ReplaceFaults, ReadOnlyFolderStopsTheRunAndKeepsTheSources) {
    TempDir dir;
    files(dir, {"ro/a.htm", "ro/b.htm"}, "old");
    const QString folder = dir("ro/");
    ReadOnlyFolder guard(dir("ro"));
    if (!guard.active())
        GTEST_SKIP() << "no way to make a read-only folder here";
    ScriptedDialogs d;
    const ReplaceOutcome o = RemplacementExécuter(folder, {"a.htm", "b.htm"}, Req{"old", "new"}, d);
    EXPECT_EQ(d.log(), (QStringList{text("read-only-folder", dir), "message: Aucun remplacement effectué."}));
    EXPECT_TRUE(o.unreadable.isEmpty());
    EXPECT_EQ(readFile(dir("ro/a.htm")) + readFile(dir("ro/b.htm")), QByteArray("oldold"));
    EXPECT_EQ(folderEntries(folder), (QStringList{"a.htm", "b.htm"}));
}

TEST(ReplaceFaults, FileChangedWhileAskedKeepsWhatTheOtherProgramDid) {
    // While the user answers, someone else removes a.htm, rewrites it, or turns it into a folder.
    for (const QString theirs : {"", "a.htm", "a.htm/inside.txt"}) {
        TempDir dir;
        files(dir, {"a.htm", "b.htm"}, "old");
        ScriptedConfirmation confirm;
        confirm.answers = {true, true};
        confirm.whileAsking = [&](const QString& file) {
            if (file == dir("a.htm") && QFile::remove(file) && !theirs.isEmpty())
                writeFile(dir(theirs), "theirs");
        };
        ScriptedDialogs d;
        RemplacementExécuter(dir.path(), {"a.htm", "b.htm"}, Req{"old", "new", true, true}, d,
                             {.confirmation = &confirm});
        EXPECT_EQ(d.messages(), QStringList{theirs.isEmpty() ? "1 chaîne(s) remplacée(s) dans 1 fichier(s)"
                                                             : text("changed-meanwhile", dir)});
        EXPECT_EQ(confirm.shown, (QStringList{dir("a.htm: old@0+3>new"), dir("b.htm: old@0+3>new")}));
        EXPECT_EQ(readFile(dir(theirs)), theirs.isEmpty() ? QByteArray() : "theirs");
        EXPECT_EQ(readFile(dir("b.htm")), QByteArray("new"));
        EXPECT_EQ(folderEntries(dir.path()),
                  theirs.isEmpty() ? QStringList{"b.htm"} : (QStringList{"a.htm", "b.htm"}));
    }
}

TEST(ReplaceFaults, AFailureAmongManyFilesLeavesEveryFileWholeOrReplaced) {
    TempDir dir;
    QStringList names;
    for (int i = 0; i < 120; ++i)
        names.append(QStringLiteral("%1.htm").arg(i, 3, 10, QChar(u'0')));
    files(dir, names, "old\r\n");
    QFile::setPermissions(dir("060.htm"), QFile::ReadOwner | QFile::ReadGroup);
    ScriptedDialogs d;
    const ReplaceOutcome o = RemplacementExécuter(dir.path(), names, Req{"old", "new"}, d);
    EXPECT_EQ(d.messages(),
              (QStringList{text("protected", dir), replaceSummary(o.replaced, o.changedFiles)}));
    // Everything before the failure is done, nothing after it, on every run.
    for (int i = 0; i < 120; ++i)
        EXPECT_EQ(readFile(dir(names[i])), QByteArray(i < 60 ? "new\r\n" : "old\r\n")) << i;
    EXPECT_EQ(o.changedFiles, 60);
    EXPECT_EQ(folderEntries(dir.path()), names);
}

// --- Encodings, big files, special files ------------------------------------------------------------

// The probe decides once for the whole file; the strict decoding refuses what is not UTF-8.
TEST(ReplaceEncoding, Table) {
    for (const DataRow& r : tableRows("tools/encodings.txt")) {
        SCOPED_TRACE(r.where);
        const QByteArray bytes = r.value(1);
        if (r.text(0) == u"strict") {
            const std::optional<QString> text = decodeStrictUtf8(bytes);
            EXPECT_EQ(text ? text->toUtf8() : "(refusé)", r.value(2));
            continue;
        }
        EncodingProbe probe;
        for (qsizetype at = 0; at < bytes.size(); at += 1 << 20)
            probe.feed(QByteArrayView(bytes).sliced(at, std::min<qsizetype>(1 << 20, bytes.size() - at)));
        EXPECT_EQ(probe.result() == FileEncoding::Utf8 ? "utf8" : "1252", r.text(2));
    }
}

TEST(ReplaceEncoding, BlocksGiveWhatOneReplaceOfTheWholeGives) {
    // Occurrences astride every block boundary, in one endless line and in short lines, against the
    // plain replacement of the whole text (same rules: left to right, no overlap).
    QByteArray line;
    for (int i = 0; i < 70000; ++i)
        line += i % 7 == 0 ? "abcab" : "xyz";
    for (const QByteArray& content : {line.repeated(16), (line + "\r\n").repeated(16)}) {
        for (const bool caseSensitive : {true, false}) {
            QByteArray expected = content;
            expected.replace("cabx", "Q");
            QByteArray out;
            const qint64 n =
                Replacer(Req{caseSensitive ? "cabx" : "CABX", "Q", caseSensitive}).apply(content, out);
            EXPECT_EQ(n, content.count("cabx"));
            EXPECT_TRUE(out == expected);
        }
    }
}

TEST(ReplaceEncoding, FilesKeepTheirEncodingOrStayUnchanged) {
    TempDir dir;
    writeFile(dir("p.htm"), "fleche ->");
    writeFile(dir("s.css"), "a->b");
    writeFile(dir("t.txt"), "nothing here\n");
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    setModified(dir("s.css"), old);
    setModified(dir("t.txt"), old);
    ScriptedDialogs d;
    const ReplaceOutcome o =
        RemplacementExécuter(dir.path(), {"p.htm", "s.css", "t.txt"}, Req{"->", QStringLiteral("→")}, d);
    EXPECT_EQ(o.filesDone, 3);
    EXPECT_EQ(readFile(dir("t.txt")), QByteArray("nothing here\n"));
    EXPECT_EQ(QFileInfo(dir("t.txt")).lastModified(), old);
    EXPECT_EQ(folderEntries(dir.path()), (QStringList{"p.htm", "s.css", "t.txt"}));
    EXPECT_EQ(readFile(dir("p.htm")), QByteArray("fleche &#8594;"));
    EXPECT_EQ(readFile(dir("s.css")), QByteArray("a->b"));
    EXPECT_EQ(QFileInfo(dir("s.css")).lastModified(), old);
    EXPECT_EQ(d.messages(), QStringList{text("unrepresentable", dir)});
}

// --- Undo -----------------------------------------------------------------------------------------
TEST(ReplaceUndo, PutsBackBytesAndDatesButNotFilesChangedSince) {
    TempDir dir;
    ChangeJournal journal(dir("journal"));
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
        writeFile(dir(name), "old\r\n");
        setModified(dir(name), old);
    }
    ScriptedDialogs d;
    RemplacementExécuter(dir.path(), {"a.htm", "b.htm", "c.htm"}, Req{"old", "new"}, d,
                         {.journal = &journal});
    ASSERT_TRUE(journal.lastRun().has_value());
    writeFile(dir("b.htm"), "mine\r\n");
    QFile::remove(dir("c.htm"));

    d.clear();
    const UndoOutcome u = AnnulerDernierRemplacement(journal, d);
    EXPECT_EQ(readFile(dir("a.htm")), QByteArray("old\r\n"));
    EXPECT_EQ(QFileInfo(dir("a.htm")).lastModified(), old);
    EXPECT_EQ(readFile(dir("b.htm")), QByteArray("mine\r\n"));
    EXPECT_FALSE(QFileInfo::exists(dir("c.htm")));
    EXPECT_EQ(d.log(),
              QStringList{text("undo-partial", dir,
                               u.runDate.toString(QStringLiteral("dd.MM.yyyy à hh:mm:ss")), u.keptIn)});
    EXPECT_EQ(QDir(u.keptIn).entryList(QDir::Files).size(), 3); // the list and both earlier contents
    // Nothing more to undo; the refused run is not offered again.
    EXPECT_FALSE(journal.lastRun().has_value());
    d.clear();
    AnnulerDernierRemplacement(journal, d);
    EXPECT_EQ(d.messages(), QStringList{"Aucun remplacement à annuler."});
}

TEST(ReplaceUndo, KeepsTheLastTenRunsAndUndoesThemInTurn) {
    TempDir dir;
    ChangeJournal journal(dir("journal"));
    writeFile(dir("a.htm"), "0");
    for (int i = 0; i < 12; ++i)
        replaceInFiles({dir("a.htm")}, Req{QString::number(i), QString::number(i + 1)},
                       {.journal = &journal});
    EXPECT_EQ(QDir(dir("journal")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 10);
    for (int i = 11; i >= 2; --i) {
        EXPECT_TRUE(journal.undoLast().error.isEmpty());
        ASSERT_EQ(readFile(dir("a.htm")), QByteArray::number(i));
    }
    EXPECT_FALSE(journal.undoLast().runDate.isValid());
    EXPECT_EQ(readFile(dir("a.htm")), QByteArray("2"));
}

TEST(WordImport, RelativePathsNamesAndReferences) {
    for (const DataRow& r : tableRows(QStringLiteral("tools/word-paths.txt"))) {
        SCOPED_TRACE(r.where);
        if (r.text(0) == u"relative") {
            const std::optional<QString> got = CheminRelatif(r.text(1), r.text(2));
            EXPECT_EQ(got.value_or(QStringLiteral("-")), r.text(3));
        } else {
            EXPECT_EQ(r.text(0) == u"base" ? NomDeBase(r.text(1)) : RéférenceAbsolue(r.text(1)), r.text(2));
        }
    }
}

TEST(WordImport, PagesAreWrittenByteForByteAndOtherFilesGoToTheTrash) {
    TempDir dir;
    writeFile(dir("Word/rapport.doc"), kOle);
    writeFile(dir("Word/a.b.docx"), "PK\x03\x04zip");
    writeFile(dir("Word/Été.RTF"), "{\\rtf1 text}");
    makeDir(dir("Web/Docs"));
    writeFile(dir("Web/Docs/rapport.htm"), expectedPage("old", "elsewhere.doc")); // ours: replaced
    writeFile(dir("Web/Docs/a.b.htm"), "the user's own page");
    ScriptedDialogs d;
    const ImportOutcome o = ImporterWord(dir("Word"), dir("Web/Docs"),
                                         {"a.b.docx", "rapport.doc", QStringLiteral("Été.RTF")}, kId, d);
    EXPECT_EQ(o.written, 3);
    EXPECT_TRUE(o.error.isEmpty());
    EXPECT_EQ(readFile(dir("Web/Docs/rapport.htm")), expectedPage("rapport", "../../Word/rapport.doc"));
    EXPECT_EQ(readFile(dir("Web/Docs/a.b.htm")), expectedPage("a.b", "../../Word/a.b.docx"));
    // The document keeps its own name in the link, so that it is found on a case-sensitive disk.
    EXPECT_EQ(readFile(dir(QStringLiteral("Web/Docs/Été.htm"))),
              expectedPage(QStringLiteral("Été"), QStringLiteral("../../Word/Été.RTF")));
    EXPECT_EQ(readFile(trashFolder() + "/a.b.htm"), QByteArray("the user's own page"));
    EXPECT_EQ(d.messages(),
              QStringList{QStringLiteral("3 page(s) écrite(s) dans \"%1\".\r\n\r\nCes fichiers portaient "
                                         "déjà le nom d'une page sans être des pages visionneuses : ils "
                                         "sont dans la corbeille.\r\n%2")
                              .arg(dir("Web/Docs"), dir("Web/Docs/a.b.htm"))});
    EXPECT_EQ(d.statuses(), (QStringList{"a.b", "rapport", QStringLiteral("Été"), ""}));
    EXPECT_EQ(d.busyEntries(), 1);
    EXPECT_EQ(d.busyDepth(), 0);
}

TEST(WordImport, OnlyWordDocumentsGetAPage) {
    TempDir dir;
    writeFile(dir("s/1.htm"), "<HTML>the user's page</HTML>");
    writeFile(dir("s/fake.doc"), "MZ not a document");
    writeFile(dir("s/zip.doc"), "PK\x03\x04");
    writeFile(dir("s/a.doc"), kOle);
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir("s/fifo.doc")).constData(), 0600), 0);
    ScriptedDialogs d;
    const ImportOutcome o =
        ImporterWord(dir("s"), dir("s"), {"1.htm", "fake.doc", "zip.doc", "fifo.doc", "a.doc"}, kId, d);
    EXPECT_EQ(o.written, 1);
    EXPECT_EQ(readFile(dir("s/1.htm")), QByteArray("<HTML>the user's page</HTML>"));
    EXPECT_EQ(readFile(dir("s/a.htm")), expectedPage("a", "a.doc"));
    ASSERT_EQ(d.log().size(), 2);
    EXPECT_EQ(d.log()[0],
              QStringLiteral("message(!): Ces fichiers ne sont pas des documents Word (.doc, .docx ou "
                             ".rtf) : aucune page n'est faite pour eux.\r\n%1\r\n%2\r\n%3\r\n%4")
                  .arg(dir("s/1.htm"), dir("s/fake.doc"), dir("s/zip.doc"), dir("s/fifo.doc")));
}

TEST(WordImport, RelativePathsBetweenTheRealFolders) {
    TempDir dir;
    writeFile(dir("Word/a.doc"), kOle);
    makeDir(dir("Word/Out"));
    makeDir(dir("site/docs"));
    // The destination is reached through a link that lives elsewhere.
    ASSERT_TRUE(QFile::link(dir("site/docs"), dir("Word/Out/lien")));
    ScriptedDialogs d;
    ImporterWord(dir("Word/"), dir("Word/"), {"a.doc"}, kId, d);
    EXPECT_EQ(readFile(dir("Word/a.htm")), expectedPage("a", "a.doc"));
    ImporterWord(dir("Word/"), dir("Word/Out/"), {"a.doc"}, kId, d);
    EXPECT_EQ(readFile(dir("Word/Out/a.htm")), expectedPage("a", "../a.doc"));
    ImporterWord(dir("Word/"), dir("Word/Out/lien"), {"a.doc"}, kId, d);
    EXPECT_EQ(readFile(dir("site/docs/a.htm")), expectedPage("a", "../../Word/a.doc"));
}
