#include "lib/text1252.h"
#include "scripteddialogs.h"
#include "testutil.h"
#include "tools/replace.h"

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

QByteArray w(const QString& text) {
    return toWindows1252(text);
}
QByteArray u8(const QString& text) {
    return text.toUtf8();
}

ReplaceRequest request(const QString& find, const QString& by, bool caseSensitive = false,
                       bool confirm = false) {
    return ReplaceRequest{find, by, caseSensitive, confirm};
}

ReplaceOptions with(Confirmation* confirmation, ReplaceProgress progress = {},
                    ChangeJournal* journal = nullptr) {
    ReplaceOptions o;
    o.confirmation = confirmation;
    o.progress = std::move(progress);
    o.journal = journal;
    return o;
}

// The content after the replacement (the original when nothing was replaced) and the count.
std::pair<QByteArray, qint64> applied(const QByteArray& content, const ReplaceRequest& r,
                                      const Replacer::Ask& ask = {}) {
    QByteArray out;
    const qint64 n = Replacer(r).apply(content, out, ask);
    return {n > 0 ? out : content, n};
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// Answers the confirmations in order and records what each showed.
struct ScriptedConfirmation final : Confirmation {
    struct Asked {
        QString file;
        QString line;
        qsizetype start;
        qsizetype length;
        QString replacement;
    };
    QList<bool> answers;
    QList<Asked> asked;
    std::function<void(const QString& file)> whileAsking;

    // What each question showed: the line, the occurrence's start and length.
    QStringList shown() const {
        QStringList out;
        for (const Asked& a : asked)
            out.append(QStringLiteral("%1@%2+%3").arg(a.line).arg(a.start).arg(a.length));
        return out;
    }

    bool Confirm(const QString& file, const QString& line, qsizetype start, qsizetype length,
                 const QString& replacement) override {
        asked.append({file, line, start, length, replacement});
        if (whileAsking)
            whileAsking(file);
        return !answers.isEmpty() && answers.takeFirst();
    }
};

} // namespace

// --- The replacement rules, on one file's content -------------------------------------------------

struct RuleCase {
    const char* name;
    QByteArray input;
    QString find;
    QString by;
    bool caseSensitive;
    QByteArray expected;
    qint64 count;
};

TEST(ReplaceRules, Table) {
    const QByteArray bom("\xEF\xBB\xBF");
    const RuleCase cases[] = {
        {"the search resumes after the inserted text", "ab ab", "ab", "abab", false, "abab abab", 2},
        {"occurrences do not overlap", "aaa", "aa", "b", false, "ba", 1},
        {"case ignored, replacement as typed", "<HTML><Html><html>", "html", "htm", false, "<htm><htm><htm>",
         3},
        {"case kept", "<HTML><Html><html>", "html", "htm", true, "<HTML><Html><htm>", 1},
        {"accented capitals fold", w("Été été ÉTÉ"), "été", "x", false, "x x x", 3},
        {"ligatures fold", w("œuvre ŒUVRE Œuvre"), "ŒUVRE", "o", false, "o o o", 3},
        {"carons and y diaeresis fold", w("šž ŠŽ ÿ Ÿ"), "Šž", "s", false, w("s s ÿ Ÿ"), 2},
        {"y diaeresis folds to its capital", w("ÿ Ÿ"), "ÿ", "y", false, "y y", 2},
        {"sharp s keeps its length", w("straße STRASSE"), "STRASSE", "x", false, w("straße x"), 1},
        {"accents count in case-sensitive mode", w("été ÉTÉ"), "été", "x", true, w("x ÉTÉ"), 1},
        {"line ends are kept as they are", "x\ny\r\nz\rx", "x", "yy", false, "yy\ny\r\nz\ryy", 2},
        {"a match never spans a line end", "ab\ncd", "bc", "x", false, "ab\ncd", 0},
        {"a sought text with a line end is never found", "ab\ncd", "b\nc", "x", false, "ab\ncd", 0},
        {"an empty replacement removes", "a-b-c", "-", "", false, "abc", 2},
        {"an empty sought text finds nothing", "abc", "", "x", false, "abc", 0},
        {"a character outside the code page does not match its reference", "a &#8594; b", "→", "x", false,
         "a &#8594; b", 0},
        {"a replacement outside the code page becomes a reference", "a -> b", "->", "→", false, "a &#8594; b",
         1},
        {"an ASCII file takes the replacement in Windows-1252", "cafe", "e", "é", true, "caf\xE9", 1},
        {"invalid UTF-8 is Windows-1252", "caf\xE9 CAF\xC9", "café", "x", false, "x x", 2},
        {"a UTF-8 file is searched and written as UTF-8", "Été → été\n", "été", "ÉTÉ", false, "ÉTÉ → ÉTÉ\n",
         2},
        {"a UTF-8 byte-order mark stays", bom + "café\r\n", "CAFÉ", "thé", false, bom + "thé\r\n", 1},
        {"UTF-8 beyond the basic plane", "😀a😀A", "a", "b", false, "😀b😀b", 2},
        {"a letter outside the code page matches only itself", "ā Ā", "Ā", "a", false, "ā a", 1},
        {"long s never matches s", "ſs Sſ", "ſ", "x", false, "xs Sx", 2},
        {"nor s a long s", "ſs Sſ", "s", "x", false, "ſx xſ", 2},
        {"long s in a Windows-1252 file", "sS", "ſ", "x", false, "sS", 0},
        {"a file declared UTF-8 takes UTF-8 even when ASCII", "<meta charset=\"utf-8\">cafe", "cafe", "café",
         true, "<meta charset=\"utf-8\">café", 1},
        {"a file declared Windows-1252 stays so", "charset=windows-1252 é", "e", "x", false,
         "charsxt=windows-1252 é", 1},
        {"UTF-8 replacement outside the code page as typed", "é ->", "->", "→", false, "é →", 1},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto [out, n] = applied(c.input, request(c.find, c.by, c.caseSensitive));
        EXPECT_EQ(out, c.expected);
        EXPECT_EQ(n, c.count);
    }
}

TEST(ReplaceRules, EveryByteValueComesBackUnchanged) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    // "QZQ" never occurs in the run of byte values, in any case.
    const QByteArray content = all + "QZQ" + all + "qzq" + all;
    {
        const auto [out, n] = applied(content, request("QZQ", "<>", true));
        EXPECT_EQ(n, 1);
        EXPECT_EQ(out, all + "<>" + all + "qzq" + all);
    }
    {
        const auto [out, n] = applied(content, request("qZq", "", false));
        EXPECT_EQ(n, 2);
        EXPECT_EQ(out, all + all + all);
    }
}

TEST(ReplaceRules, StrictUtf8Decoding) {
    EXPECT_EQ(decodeStrictUtf8(u8(QStringLiteral("é€😀"))), QString(QStringLiteral("é€😀")));
    EXPECT_EQ(decodeStrictUtf8(QByteArray("\xEF\xBB\xBFx")), QString(QStringLiteral("\uFEFFx")));
    EXPECT_EQ(decodeStrictUtf8(QByteArray()), QString(""));
    for (const char* bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xF5\x80\x80\x80", "ab\xC3", "\x80", "\xE2\x82"}) {
        SCOPED_TRACE(QByteArray(bad).toHex().toStdString());
        EXPECT_FALSE(decodeStrictUtf8(QByteArray(bad)).has_value());
    }
}

TEST(ReplaceRules, ConfirmationSeesTheLineAsItStands) {
    ScriptedConfirmation confirm;
    confirm.answers = {true, false, true};
    auto ask = [&](const QString& line, qsizetype start, qsizetype length) {
        return confirm.Confirm(QStringLiteral("f"), line, start, length, QStringLiteral("bb"));
    };
    const auto [out, n] = applied("zero\r\na a a\r\n", request("A", "bb", false, true), ask);
    EXPECT_EQ(out, QByteArray("zero\r\nbb a bb\r\n"));
    EXPECT_EQ(n, 2);
    EXPECT_EQ(confirm.shown(), (QStringList{"a a a@0+1", "bb a a@3+1", "bb a a@5+1"}));
}

TEST(ReplaceRules, ConfirmationPositionsInUtf8AndWindows1252Lines) {
    for (const bool utf8 : {true, false}) {
        SCOPED_TRACE(utf8 ? "UTF-8" : "Windows-1252");
        ScriptedConfirmation confirm;
        confirm.answers = {false, true};
        auto ask = [&](const QString& line, qsizetype start, qsizetype length) {
            return confirm.Confirm(QStringLiteral("f"), line, start, length, QStringLiteral("e"));
        };
        const QString line = utf8 ? QStringLiteral("😀 é É") : QStringLiteral("œ é É");
        const QByteArray content = utf8 ? u8(line) : w(line);
        const auto [out, n] = applied(content, request(QStringLiteral("é"), "e", false, true), ask);
        EXPECT_EQ(n, 1);
        ASSERT_EQ(confirm.asked.size(), 2);
        EXPECT_EQ(confirm.asked[0].line, line);
        EXPECT_EQ(confirm.asked[0].start, utf8 ? 3 : 2);
        EXPECT_EQ(confirm.asked[1].start, utf8 ? 5 : 4);
        const QString expected = line.left(line.size() - 1) + u'e';
        EXPECT_EQ(out, utf8 ? u8(expected) : w(expected));
    }
}

TEST(ReplaceRules, NoSixteenBitLimits) {
    const QByteArray many = QByteArray(40000, 'x') + "\r\n";
    const auto [out, n] = applied(many, request("x", "yz"));
    EXPECT_EQ(n, 40000);
    EXPECT_EQ(out, QByteArray("yz").repeated(40000) + "\r\n");

    qsizetype shownAt = -1;
    const auto [far, m] = applied(QByteArray(40000, 'a') + "needle", request("NEEDLE", "", false, true),
                                  [&](const QString&, qsizetype start, qsizetype) {
                                      shownAt = start;
                                      return true;
                                  });
    EXPECT_EQ(m, 1);
    EXPECT_EQ(shownAt, 40000);
    EXPECT_EQ(far, QByteArray(40000, 'a'));
}

// --- Runs over files ------------------------------------------------------------------------------

TEST(ReplaceRun, MessagesWithoutSelectionOrReplacement) {
    TempDir dir;
    writeFile(dir("a.htm"), "abc");
    ScriptedDialogs d;
    RemplacementExécuter(dir.path(), {}, request("a", "b"), d);
    RemplacementExécuter(dir.path(), {"a.htm"}, request("zz", "b"), d);
    ASSERT_EQ(d.calls().size(), 2);
    EXPECT_EQ(d.calls()[0].text, QStringLiteral("Sélectionnez au moins un fichier svp !"));
    EXPECT_EQ(d.calls()[0].icon, Icon::Exclamation);
    EXPECT_EQ(d.calls()[1].text, QStringLiteral("Aucun remplacement effectué."));
    EXPECT_EQ(readFile(dir("a.htm")), QByteArray("abc"));
    EXPECT_EQ(entries(dir.path()), QStringList{"a.htm"});
}

TEST(ReplaceRun, UnreadableAndVanishingFilesAreSkipped) {
    TempDir dir;
    writeFile(dir("a.htm"), "old");
    writeFile(dir("c.htm"), "old old");
    writeFile(dir("d.htm"), "old");
    makeDir(dir("folder"));
    ScriptedDialogs d;
    // c.htm disappears before its turn.
    const auto removeC = [&](qsizetype, qsizetype, const QString& file) {
        if (file.endsWith(QStringLiteral("c.htm")))
            QFile::remove(file);
        return true;
    };
    const ReplaceOutcome o =
        RemplacementExécuter(dir.path(), {"a.htm", "missing.htm", "folder", "c.htm", "d.htm"},
                             request("old", "new"), d, with(nullptr, removeC));
    EXPECT_EQ(d.messages(), QStringList{"2 chaîne(s) remplacée(s) dans 2 fichier(s)"});
    EXPECT_EQ(o.unreadable, (QStringList{dir("missing.htm"), dir("folder"), dir("c.htm")}));
    EXPECT_EQ(readFile(dir("a.htm")), QByteArray("new"));
    EXPECT_EQ(readFile(dir("d.htm")), QByteArray("new"));
    EXPECT_EQ(entries(dir.path()), (QStringList{"a.htm", "d.htm", "folder"}));
}

TEST(ReplaceRun, ConfirmedRunAsksWithTheFileAndKeepsTheAnswers) {
    TempDir dir;
    writeFile(dir("a.txt"), "Html html\r\n");
    writeFile(dir("b.txt"), "HTML\r\n");
    ScriptedConfirmation confirm;
    confirm.answers = {false, true, false};
    ScriptedDialogs d;
    RemplacementExécuter(dir.path(), {"a.txt", "b.txt"}, request("html", "htm", false, true), d,
                         with(&confirm));
    ASSERT_EQ(d.calls().size(), 1);
    EXPECT_EQ(d.calls()[0].text, QStringLiteral("1 chaîne(s) remplacée(s) dans 1 fichier(s)"));
    EXPECT_EQ(d.calls()[0].icon, Icon::None);
    EXPECT_EQ(d.calls()[0].title, QString());
    EXPECT_EQ(readFile(dir("a.txt")), QByteArray("Html htm\r\n"));
    EXPECT_EQ(readFile(dir("b.txt")), QByteArray("HTML\r\n"));
    EXPECT_EQ(confirm.shown(), (QStringList{"Html html@0+4", "Html html@5+4", "HTML@0+4"}));
    EXPECT_EQ(confirm.asked[0].file, dir("a.txt"));
    EXPECT_EQ(confirm.asked[0].replacement, QStringLiteral("htm"));
    EXPECT_EQ(confirm.asked[2].file, dir("b.txt"));
}

TEST(ReplaceRun, StoppingBetweenFilesSaysWhatWasLeft) {
    TempDir dir;
    writeFile(dir("a.htm"), "x");
    writeFile(dir("b.htm"), "x");
    writeFile(dir("c.htm"), "x");
    ScriptedDialogs d;
    const auto stopAtB = [](qsizetype index, qsizetype total, const QString&) {
        EXPECT_EQ(total, 3);
        return index < 1;
    };
    const ReplaceOutcome o = RemplacementExécuter(dir.path(), {"a.htm", "b.htm", "c.htm"}, request("x", "y"),
                                                  d, with(nullptr, stopAtB));
    EXPECT_TRUE(o.stopped);
    EXPECT_EQ(d.messages(), QStringList{"1 chaîne(s) remplacée(s) dans 1 fichier(s)\r\n\r\n"
                                        "Remplacement arrêté à votre demande : 2 fichier(s) sur 3 non "
                                        "traité(s)."});
    EXPECT_EQ(readFile(dir("a.htm")), QByteArray("y"));
    EXPECT_EQ(readFile(dir("b.htm")), QByteArray("x"));
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
        replaceInFiles({dir("mode.htm"), dir("user.htm"), dir("link.htm")}, request("x", "y"));
    EXPECT_EQ(o.replaced, 3);
    EXPECT_TRUE(o.error.isEmpty()) << o.error;
    EXPECT_EQ(modeOf(dir("mode.htm")), mode);
    EXPECT_EQ(readFile(dir("user.htm")), QByteArray("y"));
    EXPECT_EQ(readFile(dir("user.htm.new")), QByteArray("the user's own file"));
    EXPECT_TRUE(QFileInfo(dir("link.htm")).isSymLink());
    EXPECT_EQ(readFile(dir("real/target.htm")), QByteArray("y"));
    EXPECT_EQ(entries(dir.path()), (QStringList{"link.htm", "link.htm.new", "mode.htm", "mode.htm.new",
                                                "real", "user.htm", "user.htm.new"}));
    EXPECT_EQ(entries(dir("real")), QStringList{"target.htm"});
}

TEST(ReplaceRun, ManyFilesAreEachReplacedOnce) {
    TempDir dir;
    QStringList files;
    for (int i = 0; i < 300; ++i) {
        files.append(dir(QStringLiteral("%1.htm").arg(i)));
        writeFile(files.back(), "a a\r\n");
    }
    // The same file again, through a link: a second pass would double the replacement.
    ASSERT_TRUE(QFile::link(files[7], dir("link.htm")));
    files.append(dir("link.htm"));
    qsizetype last = -1;
    const ReplaceOutcome o =
        replaceInFiles(files, request("a", "aa"), with(nullptr, [&](qsizetype i, qsizetype, const QString&) {
                           EXPECT_TRUE(i == last || i == last + 1) << i;
                           last = i;
                           return true;
                       }));
    EXPECT_EQ(last, 300);
    EXPECT_EQ(o.replaced, 600);
    EXPECT_EQ(o.changedFiles, 300);
    EXPECT_EQ(o.filesDone, 301);
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(readFile(files[i]), QByteArray("aa aa\r\n")) << i;
    EXPECT_EQ(entries(dir.path()).size(), 301);
}

// --- Failures: the run stops and the source stays ------------------------------------------------

TEST(ReplaceFaults, ReadOnlyFolderStopsTheRunAndKeepsTheSources) {
    TempDir dir;
    writeFile(dir("ro/a.htm"), "old");
    writeFile(dir("ro/b.htm"), "old");
    const QString folder = dir("ro/");
    ReadOnlyFolder guard(dir("ro"));
    if (!guard.active())
        GTEST_SKIP() << "no way to make a read-only folder here";
    ScriptedDialogs d;
    const ReplaceOutcome o = RemplacementExécuter(folder, {"a.htm", "b.htm"}, request("old", "new"), d);
    ASSERT_EQ(d.calls().size(), 2);
    EXPECT_EQ(d.calls()[0].text,
              QStringLiteral(
                  "Je ne peux pas créer de fichier de travail dans le dossier \"%1\" : accès refusé.\r\n\r\n"
                  "Le remplacement est arrêté ; le fichier \"%2a.htm\" n'a pas été modifié.")
                  .arg(dir("ro"), folder));
    EXPECT_EQ(d.calls()[0].icon, Icon::Critical);
    EXPECT_EQ(d.calls()[1].text, QStringLiteral("Aucun remplacement effectué."));
    EXPECT_TRUE(o.unreadable.isEmpty());
    EXPECT_EQ(readFile(dir("ro/a.htm")), QByteArray("old"));
    EXPECT_EQ(readFile(dir("ro/b.htm")), QByteArray("old"));
    EXPECT_EQ(entries(folder), (QStringList{"a.htm", "b.htm"}));
}

TEST(ReplaceFaults, FileChangedWhileAskedKeepsWhatTheOtherProgramDid) {
    // While the user answers, someone else removes a.htm, rewrites it, or turns it into a folder.
    enum class Meanwhile { Removed, Rewritten, Folder };
    const QString kept =
        QStringLiteral("\r\n\r\nFichier(s) laissé(s) inchangé(s), car modifié(s) par un autre "
                       "programme pendant le remplacement :\r\n");
    for (const Meanwhile m : {Meanwhile::Removed, Meanwhile::Rewritten, Meanwhile::Folder}) {
        TempDir dir;
        writeFile(dir("a.htm"), "old");
        writeFile(dir("b.htm"), "old");
        ScriptedConfirmation confirm;
        confirm.answers = {true, true};
        confirm.whileAsking = [&](const QString& file) {
            if (file != dir("a.htm"))
                return;
            QFile::remove(file);
            if (m != Meanwhile::Removed)
                writeFile(m == Meanwhile::Folder ? dir("a.htm/inside.txt") : file, "theirs");
        };
        ScriptedDialogs d;
        RemplacementExécuter(dir.path(), {"a.htm", "b.htm"}, request("old", "new", true, true), d,
                             with(&confirm));
        const QString done = QStringLiteral("1 chaîne(s) remplacée(s) dans 1 fichier(s)");
        EXPECT_EQ(d.messages(), QStringList{m == Meanwhile::Removed ? done : done + kept + dir("a.htm")});
        if (m != Meanwhile::Removed) {
            EXPECT_EQ(readFile(m == Meanwhile::Folder ? dir("a.htm/inside.txt") : dir("a.htm")), "theirs");
        }
        EXPECT_EQ(readFile(dir("b.htm")), QByteArray("new"));
        EXPECT_EQ(entries(dir.path()),
                  (m == Meanwhile::Removed ? QStringList{"b.htm"} : QStringList{"a.htm", "b.htm"}));
    }
}

TEST(ReplaceFaults, AFailureAmongManyFilesLeavesEveryFileWholeOrReplaced) {
    TempDir dir;
    QStringList names;
    for (int i = 0; i < 120; ++i) {
        names.append(QStringLiteral("%1.htm").arg(i, 3, 10, QChar(u'0')));
        writeFile(dir(names.back()), "old\r\n");
    }
    QFile::setPermissions(dir("060.htm"), QFile::ReadOwner | QFile::ReadGroup);
    ScriptedDialogs d;
    const ReplaceOutcome o = RemplacementExécuter(dir.path(), names, request("old", "new"), d);
    ASSERT_EQ(d.messages().size(), 2);
    EXPECT_EQ(d.messages()[0],
              QStringLiteral("Le fichier \"%1\" est protégé en écriture.\r\n\r\n"
                             "Le remplacement est arrêté ; le fichier \"%1\" n'a pas été modifié.")
                  .arg(dir("060.htm")));
    // Everything before the failure is done, nothing after it, on every run.
    for (int i = 0; i < 120; ++i)
        EXPECT_EQ(readFile(dir(names[i])), QByteArray(i < 60 ? "new\r\n" : "old\r\n")) << i;
    EXPECT_EQ(o.changedFiles, 60);
    EXPECT_EQ(d.messages()[1], replaceSummary(o.replaced, o.changedFiles));
    EXPECT_EQ(entries(dir.path()), names);
}

// --- Encodings, big files, special files ------------------------------------------------------------

TEST(ReplaceEncoding, ProbeDecidesOnceForTheWholeFile) {
    const struct {
        const char* name;
        QByteArray bytes;
        FileEncoding expected;
    } cases[] = {
        {"byte-order mark",
         "\xEF\xBB\xBF"
         "abc",
         FileEncoding::Utf8},
        {"meta charset, pure ASCII",
         "<META http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">", FileEncoding::Utf8},
        {"CSS charset", "@charset \"utf-8\";\nb{}", FileEncoding::Utf8},
        {"declared Windows-1252 wins over valid UTF-8", "<meta charset='iso-8859-1'>\xC3\xA9",
         FileEncoding::Windows1252},
        {"valid UTF-8 late in the file", QByteArray(3 << 20, 'a') + "\xE2\x82\xAC", FileEncoding::Utf8},
        {"a character split between two blocks", QByteArray((1 << 20) - 1, 'a') + "\xC3\xA9",
         FileEncoding::Utf8},
        {"invalid UTF-8 late in the file", u8(QStringLiteral("é")) + QByteArray(3 << 20, 'a') + "\xE9",
         FileEncoding::Windows1252},
        {"cut at the end", "abc\xE2\x82", FileEncoding::Windows1252},
        {"pure ASCII", "abc", FileEncoding::Windows1252},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EncodingProbe probe;
        for (qsizetype at = 0; at < c.bytes.size(); at += 1 << 20)
            probe.feed(QByteArrayView(c.bytes).sliced(at, std::min<qsizetype>(1 << 20, c.bytes.size() - at)));
        EXPECT_EQ(probe.result(), c.expected);
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
                Replacer(request(caseSensitive ? "cabx" : "CABX", "Q", caseSensitive)).apply(content, out);
            EXPECT_EQ(n, content.count("cabx"));
            EXPECT_TRUE(out == expected);
        }
    }
}

TEST(ReplaceEncoding, FilesKeepTheirEncodingOrStayUnchanged) {
    TempDir dir;
    writeFile(dir("p.htm"), "fleche ->");
    writeFile(dir("u.htm"), "<meta charset=utf-8>fleche ->");
    writeFile(dir("s.css"), "a->b");
    writeFile(dir("t.txt"), "nothing here\n");
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    setModified(dir("s.css"), old);
    setModified(dir("t.txt"), old);
    ScriptedDialogs d;
    const ReplaceOutcome o = RemplacementExécuter(dir.path(), {"p.htm", "s.css", "t.txt", "u.htm"},
                                                  request("->", QStringLiteral("→")), d);
    EXPECT_EQ(o.filesDone, 4);
    EXPECT_EQ(readFile(dir("t.txt")), QByteArray("nothing here\n"));
    EXPECT_EQ(QFileInfo(dir("t.txt")).lastModified(), old);
    EXPECT_EQ(entries(dir.path()), (QStringList{"p.htm", "s.css", "t.txt", "u.htm"}));
    EXPECT_EQ(readFile(dir("p.htm")), QByteArray("fleche &#8594;"));
    EXPECT_EQ(readFile(dir("u.htm")), u8(QStringLiteral("<meta charset=utf-8>fleche →")));
    EXPECT_EQ(readFile(dir("s.css")), QByteArray("a->b"));
    EXPECT_EQ(QFileInfo(dir("s.css")).lastModified(), old);
    EXPECT_EQ(
        d.messages(),
        QStringList{QStringLiteral("2 chaîne(s) remplacée(s) dans 2 fichier(s)\r\n\r\nFichier(s) laissé(s) "
                                   "inchangé(s), car leur codage (Windows-1252) ne peut pas représenter le "
                                   "texte de remplacement :\r\n%1")
                        .arg(dir("s.css"))});
}

TEST(ReplaceEncoding, SpecialFilesAndLeftoversNeverStopTheRun) {
    TempDir dir;
    writeFile(dir("a.htm"), "old");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir("fifo.txt")).constData(), 0600), 0);
    // Left by a killed run (a process number no system gives) and by a run still going (ours).
    writeFile(dir(".qs-remplacement-999999999-x1"), "stale");
    const QString live = QStringLiteral(".qs-remplacement-%1-x2").arg(QCoreApplication::applicationPid());
    writeFile(dir(live), "live");
    const ReplaceOutcome o = replaceInFiles({dir("fifo.txt"), dir("a.htm")}, request("old", "new"));
    EXPECT_EQ(o.unreadable, QStringList{dir("fifo.txt")});
    EXPECT_EQ(readFile(dir("a.htm")), QByteArray("new"));
    EXPECT_EQ(entries(dir.path()), (QStringList{live, "a.htm", "fifo.txt"}));
}

// --- Preview and undo -------------------------------------------------------------------------------

TEST(ReplacePreview, ShowsEveryChangedLineAndWritesNothing) {
    TempDir dir;
    writeFile(dir("a.htm"), "one\r\ntwo old\r\rold and OLD\nlast");
    writeFile(dir("b.htm"), "none");
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    setModified(dir("a.htm"), old);
    QStringList unreadable;
    const QList<FilePreview> p =
        previewReplacement({dir("a.htm"), dir("b.htm"), dir("gone.htm")}, request("old", "new"), &unreadable);
    ASSERT_EQ(p.size(), 1);
    EXPECT_EQ(p[0].file, dir("a.htm"));
    EXPECT_EQ(p[0].count, 3);
    ASSERT_EQ(p[0].lines.size(), 2);
    EXPECT_EQ(p[0].lines[0].line, 2);
    EXPECT_EQ(p[0].lines[0].before, QStringLiteral("two old"));
    EXPECT_EQ(p[0].lines[0].after, QStringLiteral("two new"));
    EXPECT_EQ(p[0].lines[1].line, 4);
    EXPECT_EQ(p[0].lines[1].after, QStringLiteral("new and new"));
    EXPECT_EQ(unreadable, QStringList{dir("gone.htm")});
    EXPECT_EQ(QFileInfo(dir("a.htm")).lastModified(), old);
    EXPECT_EQ(entries(dir.path()), (QStringList{"a.htm", "b.htm"}));
}

TEST(ReplaceUndo, PutsBackBytesAndDatesButNotFilesChangedSince) {
    TempDir dir;
    ChangeJournal journal(dir("journal"));
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
        writeFile(dir(name), "old\r\n");
        setModified(dir(name), old);
    }
    ScriptedDialogs d;
    RemplacementExécuter(dir.path(), {"a.htm", "b.htm", "c.htm"}, request("old", "new"), d,
                         with(nullptr, {}, &journal));
    ASSERT_TRUE(journal.lastRun().has_value());
    writeFile(dir("b.htm"), "mine\r\n");
    QFile::remove(dir("c.htm"));

    d.clear();
    const UndoOutcome u = AnnulerDernierRemplacement(journal, d);
    EXPECT_EQ(readFile(dir("a.htm")), QByteArray("old\r\n"));
    EXPECT_EQ(QFileInfo(dir("a.htm")).lastModified(), old);
    EXPECT_EQ(readFile(dir("b.htm")), QByteArray("mine\r\n"));
    EXPECT_FALSE(QFileInfo::exists(dir("c.htm")));
    ASSERT_EQ(d.calls().size(), 1);
    EXPECT_EQ(d.calls()[0].icon, Icon::Exclamation);
    EXPECT_EQ(
        d.calls()[0].text,
        QStringLiteral("Remplacement du %1 annulé : 1 fichier(s) rétabli(s).\r\n\r\nFichier(s) laissé(s) "
                       "tel(s) quel(s), car modifié(s) ou supprimé(s) depuis le remplacement :\r\n%2\r\n%3"
                       "\r\n\r\nLe contenu qu'ils avaient avant le remplacement reste dans \"%4\".")
            .arg(u.runDate.toString(QStringLiteral("dd.MM.yyyy à hh:mm:ss")), dir("b.htm"), dir("c.htm"),
                 u.keptIn));
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
        replaceInFiles({dir("a.htm")}, request(QString::number(i), QString::number(i + 1)),
                       with(nullptr, {}, &journal));
    EXPECT_EQ(QDir(dir("journal")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 10);
    for (int i = 11; i >= 2; --i) {
        EXPECT_TRUE(journal.undoLast().error.isEmpty());
        ASSERT_EQ(readFile(dir("a.htm")), QByteArray::number(i));
    }
    EXPECT_FALSE(journal.undoLast().runDate.isValid());
    EXPECT_EQ(readFile(dir("a.htm")), QByteArray("2"));
}
