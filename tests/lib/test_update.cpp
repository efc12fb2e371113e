#include "lib/files.h"
#include "lib/settings.h"
#include "lib/update.h"
#include "scripteddialogs.h"
#include "tablefile.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>

using namespace qs;
using namespace qs::test;

namespace {

const QString kKey = QStringLiteral("RépertoireMiseAJour");
const QDateTime kBuilt(QDate(2026, 3, 1), QTime(10, 0, 0));

// A date of the scripts: "0", or an offset from the build's date such as "+1d", "-1d", "+60s", "+900ms".
QDateTime when(const QString& offset) {
    static const QRegularExpression form(QStringLiteral("^([+-]?\\d+)(d|s|ms)?$"));
    const QRegularExpressionMatch m = form.match(offset);
    EXPECT_TRUE(m.hasMatch()) << offset;
    const qint64 n = m.captured(1).toLongLong();
    return m.captured(2) == u"ms"  ? kBuilt.addMSecs(n)
           : m.captured(2) == u"s" ? kBuilt.addSecs(n)
                                   : kBuilt.addDays(n);
}

// Holds the immutable attribute on a file for as long as it lives (root only; active() says whether).
struct ImmutableFile {
    explicit ImmutableFile(QString p) : path(std::move(p)) {
        active = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
    }
    ~ImmutableFile() {
        if (active)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
    }
    QString path;
    bool active = false;
};

// A program folder L holding the program "quillsite" and an update folder U, both in a temporary folder;
// the updater launcher is recorded instead of run.
class Update : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(QStringLiteral("Vendrel"), QStringLiteral("quillsite")).clear();
        makeDir(L);
        makeDir(U);
        writeFile(program, "build 1");
        QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
        setModified(program, kBuilt);
        env.programPath = program;
        env.launch = [this](const QString& p, const QStringList& args) {
            launches.append(QStringList{p} + args);
            return launchSucceeds;
        };
    }

    UpdateOutcome run() { return MiseAJour(dialogs, env); }
    void setFolder(const QString& value) { ParamètreEcrire(kKey, value); }
    QString storedFolder() const { return ParamètreLire(kKey); }
    void putUpdater(const QString& folder) { writeFile(folder + QStringLiteral("relaypak"), "#!updater"); }
    // The update folder U as the program finds it: the updater beside the program, the folder stored.
    void ready() {
        putUpdater(L);
        setFolder(U);
    }
    void publishBuild(const QByteArray& bytes, const QDateTime& when) {
        writeFile(U + QStringLiteral("quillsite"), bytes);
        setModified(U + QStringLiteral("quillsite"), when);
    }
    void markBuildMachine() { writeFile(L + QStringLiteral("quillsite.publish"), ""); }
    // The longer texts of update-texts.txt, then the folders, put in place of their names.
    QString filled(QString text) const {
        static const QList<DataRow> texts = tableRows(QStringLiteral("lib/update-texts.txt"));
        for (const DataRow& r : texts)
            text.replace(QStringLiteral("{=%1}").arg(r.text(0)), r.text(1));
        return text.replace(QStringLiteral("{U-}"), withoutSeparator(U))
            .replace(QStringLiteral("{U}"), U)
            .replace(QStringLiteral("{L-}"), withoutSeparator(L))
            .replace(QStringLiteral("{L}"), L)
            .replace(QStringLiteral("{D}"), dir.path());
    }
    QString text(const char* name) const { return filled(QStringLiteral("{=%1}").arg(QLatin1String(name))); }
    QStringList leftovers(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".quillsite."));
    }

    TempDir dir;
    QString L = dir("local/"), U = dir("network/"), program = L + QStringLiteral("quillsite");
    ScriptedDialogs dialogs;
    UpdateEnvironment env;
    QList<QStringList> launches;
    bool launchSucceeds = true;
};

} // namespace

// Scripts under tests/data/lib/update/ (their steps: README.txt there).
class UpdateScript : public Update, public ::testing::WithParamInterface<const char*> {};

TEST_P(UpdateScript, Runs) {
    for (const DataRow& row : tableRows(QStringLiteral("lib/update/%1.txt").arg(GetParam()))) {
        QStringList f;
        for (qsizetype i = 0; i < row.size(); ++i)
            f.append(filled(row.text(i)));
        SCOPED_TRACE(row.where + ": " + f.join(u'|').toStdString());
        const QString verb = f.value(0), a = f.value(1), b = f.value(2);
        if (verb == u"updater") {
            putUpdater(a);
        } else if (verb == u"folder") {
            setFolder(a);
        } else if (verb == u"publish") {
            publishBuild(a.toUtf8(), when(b));
        } else if (verb == u"program") {
            writeFile(program, a.toUtf8());
            setModified(program, when(b));
        } else if (verb == u"file") {
            writeFile(a, b.toUtf8());
        } else if (verb == u"link") {
            ASSERT_TRUE(QFile::link(b, a));
        } else if (verb == u"dir") {
            makeDir(a);
        } else if (verb == u"yes" || verb == u"no") {
            verb == u"yes" ? dialogs.yes() : dialogs.no();
        } else if (verb == u"answer") {
            dialogs.answer(a);
        } else if (verb == u"menu") {
            env.fromMenu = true;
        } else if (verb == u"others") {
            env.otherInstances = [pids = a.split(u' ')](const QString&) {
                QList<qint64> out;
                for (const QString& p : pids)
                    out.append(p.toLongLong());
                return out;
            };
        } else if (verb == u"launch-fails") {
            launchSucceeds = false;
        } else if (verb == u"program-path") {
            env.programPath = a;
        } else if (verb == u"build-machine") {
            markBuildMachine();
        } else if (verb == u"run") {
            EXPECT_EQ(run(), a == u"end" ? UpdateOutcome::EndProgram : UpdateOutcome::Continue);
        } else if (verb == u"extra") {
            ASSERT_GT(dialogs.calls().size(), a.toInt());
            EXPECT_EQ(dialogs.calls()[a.toInt()].extra, b);
        } else if (verb == u"dialogs") {
            EXPECT_EQ(dialogs.log(), f.mid(1));
            dialogs.clear();
        } else if (verb == u"launches") {
            QStringList got;
            for (const QStringList& l : std::as_const(launches))
                got.append(l.join(u' '));
            EXPECT_EQ(got, f.mid(1));
            launches.clear();
        } else if (verb == u"stored") {
            EXPECT_EQ(storedFolder(), a);
        } else if (verb == u"bytes") {
            EXPECT_EQ(readFile(a), b.toUtf8());
        } else if (verb == u"executable") {
            EXPECT_TRUE(QFileInfo(a).isExecutable());
        } else if (verb == u"mtime") {
            EXPECT_EQ(QFileInfo(a).lastModified(), when(b));
        } else if (verb == u"finished") {
            const auto report = updateFinished(program);
            EXPECT_EQ((report ? QStringList{report->ok ? "ok" : "echec", report->text} : QStringList{"none"}),
                      f.mid(1));
        } else if (verb == u"files") {
            EXPECT_EQ(QDir(a).entryList(QDir::Files).join(u' '), b);
        } else if (verb == u"leftovers") {
            EXPECT_EQ(leftovers(a), QStringList());
        } else {
            ADD_FAILURE() << "unknown step";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lib, UpdateScript,
                         ::testing::Values("declined", "first-use", "prompt-repeats", "menu", "other-window",
                                           "no-updater", "updater-place", "no-date", "newer", "cannot-start",
                                           "build-machine", "from-update-folder", "report"));

TEST_F(Update, AFailedPublicationNeverLeavesAPartialProgram) {
    ready();
    markBuildMachine();
    const QString copyFailed = text("copy-failed");
    {
        ReadOnlyFolder readOnly(U);
        if (!readOnly.active())
            GTEST_SKIP() << "cannot make a folder read-only here";
        EXPECT_EQ(run(), UpdateOutcome::Continue);
        EXPECT_EQ(dialogs.log(), QStringList{"message(!) Vendrel - Avertissement: " + copyFailed +
                                             text("gone-from-network")});
    }
    // With an older build there, the copy fails before it is touched, and the message says it stays.
    publishBuild("build 0", kBuilt.addDays(-1));
    dialogs.clear();
    {
        ReadOnlyFolder readOnly(U);
        EXPECT_EQ(run(), UpdateOutcome::Continue);
    }
    ASSERT_EQ(dialogs.messages().size(), 1);
    const QString message = dialogs.messages()[0];
    EXPECT_TRUE(message.startsWith(copyFailed + "\r\n\r\n(") && message.endsWith(text("old-stays")))
        << message;
    EXPECT_EQ(readFile(U + QStringLiteral("quillsite")), QByteArray("build 0"));
    EXPECT_TRUE(leftovers(U).isEmpty());
}

TEST_F(Update, AnOldPublishedBuildThatCannotBeReplacedIsReported) {
    ready();
    markBuildMachine();
    publishBuild("build 0", kBuilt.addDays(-1));
    ImmutableFile locked(U + QStringLiteral("quillsite"));
    if (!locked.active)
        GTEST_SKIP() << "cannot lock a file here";
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    ASSERT_EQ(dialogs.messages().size(), 1);
    const QString message = dialogs.messages()[0], head = text("cannot-remove");
    // The system's reason is there, between the brackets.
    EXPECT_TRUE(message.startsWith(head) && message.endsWith(u')') && message.size() > head.size() + 1)
        << message;
    EXPECT_EQ(readFile(U + QStringLiteral("quillsite")), QByteArray("build 0"));
    EXPECT_TRUE(leftovers(U).isEmpty());
}
