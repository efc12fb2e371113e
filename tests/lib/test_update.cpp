#include "lib/files.h"
#include "lib/settings.h"
#include "lib/update.h"
#include "scripteddialogs.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>

#include <functional>

using namespace qs;
using namespace qs::test;

namespace {

const QString kKey = QStringLiteral("RépertoireMiseAJour");
const QDateTime kBuilt(QDate(2026, 3, 1), QTime(10, 0, 0));

QString notFound(const QString& folder) {
    return QStringLiteral(
               "Je ne trouve pas le programme \"relaypak\" dans le répertoire \"%1\" qui me sert à "
               "tenir vos programmes à jour !")
        .arg(folder);
}

QString promptText(bool withCancelHint) {
    return QStringLiteral(
               "Ce programme est équipé du système de mise à jour automatique. Ceci lui permet de "
               "se mettre automatiquement à jour dès qu'une nouvelle version est disponible dans le "
               "répertoire de mise à jour.\r\n\r\nRépertoire de mise à jour :\r\n\r\n(Typer un "
               "signe moins (-) si votre ordinateur n'est pas en réseau ou si vous ne désirez pas "
               "bénéficier de la mise à jour automatique") +
           (withCancelHint
                ? QStringLiteral(", ou cliquez sur \"Annuler\" pour conserver le répertoire actuel et "
                                 "renoncer temporairement à la mise à jour automatique jusqu'à que ce "
                                 "répertoire soit à nouveau accessible)")
                : QStringLiteral(")"));
}

// Holds the immutable attribute on a file for as long as it lives (root only; active() says whether).
class ImmutableFile {
public:
    explicit ImmutableFile(QString path) : path_(std::move(path)) {
        active_ = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path_}) == 0;
    }
    ~ImmutableFile() {
        if (active_)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path_});
    }
    bool active() const { return active_; }

private:
    QString path_;
    bool active_ = false;
};

// A program folder L holding the program "quillsite" and an update folder U, both in a temporary folder;
// the updater launcher is recorded instead of run.
class Update : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(QStringLiteral("Vendrel"), QStringLiteral("quillsite")).clear();
        L = dir("local/");
        U = dir("network/");
        makeDir(L);
        makeDir(U);
        program = L + QStringLiteral("quillsite");
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
    void publishBuild(const QByteArray& bytes, const QDateTime& when) {
        writeFile(U + QStringLiteral("quillsite"), bytes);
        setModified(U + QStringLiteral("quillsite"), when);
    }
    void markBuildMachine() { writeFile(L + QStringLiteral("quillsite.publish"), ""); }
    QStringList leftovers(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".quillsite."));
    }

    TempDir dir;
    QString L, U, program;
    ScriptedDialogs dialogs;
    UpdateEnvironment env;
    QList<QStringList> launches;
    bool launchSucceeds = true;
};

} // namespace

TEST_F(Update, DeclinedOrUnreachableFolderStopsWithoutAWord) {
    putUpdater(L);
    publishBuild("build 2", kBuilt.addDays(1)); // would otherwise be installed

    setFolder(QStringLiteral("-"));
    EXPECT_EQ(run(), UpdateOutcome::Continue);

    setFolder(dir("unplugged-share"));
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    setFolder(dir("unplugged-share/"));
    EXPECT_EQ(run(), UpdateOutcome::Continue);

    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_TRUE(launches.isEmpty());
    EXPECT_EQ(storedFolder(), dir("unplugged-share/"));
}

TEST_F(Update, FirstUseAsksForTheFolderAndCancelAsksAgainNextTime) {
    putUpdater(L);
    publishBuild("build 1", kBuilt);
    dialogs.answer(QString()); // Cancel
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    ASSERT_EQ(dialogs.calls().size(), 1);
    const auto& call = dialogs.calls().front();
    EXPECT_EQ(call.kind, ScriptedDialogs::Kind::Prompt);
    EXPECT_EQ(call.text, promptText(false));
    EXPECT_EQ(call.title, QStringLiteral("Vendrel"));
    EXPECT_EQ(call.extra, QString());
    EXPECT_EQ(storedFolder(), QString());

    // A folder typed without its separator is stored with one; then the update goes on (nothing newer).
    dialogs.answer(withoutSeparator(U));
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(dialogs.calls().size(), 2);
    EXPECT_EQ(storedFolder(), U);
}

TEST_F(Update, ThePromptRepeatsUntilAFolderHoldsTheProgram) {
    const QString missing = dir("nowhere/");
    const QString empty = dir("empty/");
    makeDir(empty);
    putUpdater(U);
    publishBuild("build 1", kBuilt);
    dialogs.answer(missing).answer(empty).answer(U);
    EXPECT_EQ(run(), UpdateOutcome::Continue);

    // Each new prompt keeps the first text and offers the folder just refused, which is never stored.
    EXPECT_EQ(dialogs.log(), (QStringList{"prompt Vendrel: " + promptText(false),
                                          "message(!) Vendrel - Attention !: Le répertoire \"" + missing +
                                              "\" n'existe pas ou n'est pas accessible.",
                                          "prompt Vendrel: " + promptText(false),
                                          "message(!) Vendrel - Attention !: Le répertoire \"" + empty +
                                              "\" ne contient pas le programme \"quillsite\".",
                                          "prompt Vendrel: " + promptText(false)}));
    EXPECT_EQ(dialogs.calls()[4].extra, empty);
    EXPECT_EQ(storedFolder(), U);
}

TEST_F(Update, FromTheMenuEveryReasonForNotUpdatingIsTold) {
    putUpdater(L);
    env.fromMenu = true;
    const QString title = QStringLiteral("Vendrel - Mise à jour");
    const struct {
        const char* name;
        QString folder;
        std::function<void()> setUp;
        QString message;
    } cases[] = {
        {"service declined", QStringLiteral("-"), [] {},
         QStringLiteral("La mise à jour automatique est désactivée (répertoire de mise à jour « - »).")},
        {"folder out of reach", dir("unplugged/"), [] {},
         QStringLiteral(
             "Le répertoire de mise à jour \"%1\" est inaccessible : la mise à jour n'est pas faite.")
             .arg(dir("unplugged/"))},
        {"no program there", U, [] {},
         QStringLiteral(
             "Le répertoire de mise à jour \"%1\" ne contient pas le programme \"quillsite\" : la mise "
             "à jour n'est pas faite.")
             .arg(U)},
        {"nothing newer", U, [this] { publishBuild("build 1", kBuilt); },
         QStringLiteral(
             "Le programme \"quillsite\" est à jour : le répertoire \"%1\" n'en contient pas de version "
             "plus récente.")
             .arg(U)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        setFolder(c.folder);
        c.setUp();
        EXPECT_EQ(run(), UpdateOutcome::Continue);
        ASSERT_EQ(dialogs.calls().size(), 1);
        EXPECT_EQ(dialogs.calls()[0].text, c.message);
        EXPECT_EQ(dialogs.calls()[0].title, title);
    }
    EXPECT_TRUE(launches.isEmpty());
}

TEST_F(Update, AnotherWindowOfTheProgramHoldsTheUpdateBack) {
    putUpdater(L);
    setFolder(U);
    publishBuild("build 2", kBuilt.addDays(1));
    env.otherInstances = [](const QString&) { return QList<qint64>{4242, 4343}; };
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_TRUE(launches.isEmpty());
    EXPECT_EQ(
        dialogs.messages(),
        QStringList{QStringLiteral("Une nouvelle version du programme \"quillsite\" est disponible, mais une "
                                   "autre de ses fenêtres est ouverte (processus n° 4242, 4343) : fermez-la, "
                                   "puis choisissez « Mise à jour » dans le menu Outils.\r\n\r\nLa mise à "
                                   "jour n'est pas faite pour l'instant.")});
}

TEST_F(Update, TheUpdaterReportIsShownOnceAndTheBackupGoes) {
    writeFile(program + QStringLiteral(".ancien"), "build 0");
    writeFile(program + QStringLiteral(".mise-a-jour.txt"), "echec\nLa nouvelle version s'est arrêtée.\n");
    const auto report = updateFinished(program);
    ASSERT_TRUE(report.has_value());
    EXPECT_FALSE(report->ok);
    EXPECT_EQ(report->text, QStringLiteral("La nouvelle version s'est arrêtée."));
    EXPECT_FALSE(updateFinished(program).has_value());
    EXPECT_EQ(QDir(L).entryList(QDir::Files), QStringList{"quillsite"});
}

TEST_F(Update, AFolderWithoutTheUpdaterCanBeKeptOrChanged) {
    const QString question =
        notFound(U) +
        QStringLiteral(
            "\r\nDésirez-vous CONSERVER ce nom de répertoire ?\r\n\r\nRépondez OUI S'IL EST "
            "TEMPORAIREMENT INATTEIGNABLE.\r\n\r\nRépondez NON pour changer de répertoire ou renoncer "
            "définitivement à ce service.");
    const QString stored = withoutSeparator(U);
    setFolder(stored);

    dialogs.yes();
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(dialogs.log(), QStringList{"question(?) Vendrel - Attention: " + question});

    // No: the prompt, with the hint about Cancel and the stored value as it was; Cancel keeps it.
    dialogs.clear();
    dialogs.no().answer(QString());
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    ASSERT_EQ(dialogs.calls().size(), 2);
    EXPECT_EQ(dialogs.calls()[1].text, promptText(true));
    EXPECT_EQ(dialogs.calls()[1].extra, stored);
    EXPECT_EQ(storedFolder(), stored);

    // No, then "-": the service is given up for good.
    dialogs.no().answer(QStringLiteral("-"));
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(storedFolder(), QStringLiteral("-"));
}

TEST_F(Update, TheUpdaterIsLookedForBesideTheProgramThenInTheUpdateFolder) {
    setFolder(U);
    publishBuild("build 2", kBuilt.addSecs(60));

    putUpdater(U);
    EXPECT_EQ(run(), UpdateOutcome::EndProgram);
    putUpdater(L);
    EXPECT_EQ(run(), UpdateOutcome::EndProgram);

    ASSERT_EQ(launches.size(), 2);
    EXPECT_EQ(launches[0].front(), U + QStringLiteral("relaypak"));
    EXPECT_EQ(launches[1].front(), L + QStringLiteral("relaypak"));
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(Update, RunningFromTheUpdateFolderIsRefusedAndEndsTheProgram) {
    const QString refusal =
        QStringLiteral("Il n'est pas permis d'exécuter ce programme depuis son répertoire de "
                       "mise à jour !\r\n\r\nVous pouvez cependant en faire une copie sur "
                       "votre disque dur et exécuter cette dernière !");
    putUpdater(L);
    setFolder(L);
    EXPECT_EQ(run(), UpdateOutcome::EndProgram);

    // The same path in other letters (a second folder here, since this disk tells cases apart).
    const QString upper = dir("LOCAL/");
    makeDir(upper);
    setFolder(upper);
    EXPECT_EQ(run(), UpdateOutcome::EndProgram);

    // The same folder through a link.
    ASSERT_TRUE(QFile::link(withoutSeparator(L), dir("link")));
    setFolder(dir("link"));
    EXPECT_EQ(run(), UpdateOutcome::EndProgram);

    ASSERT_EQ(dialogs.calls().size(), 3);
    for (const auto& call : dialogs.calls()) {
        EXPECT_EQ(call.text, refusal);
        EXPECT_EQ(call.icon, Icon::Exclamation);
        EXPECT_EQ(call.title, QStringLiteral("Vendrel - Attention"));
    }
    EXPECT_TRUE(launches.isEmpty());
}

TEST_F(Update, AnUnreadableProgramDateIsReported) {
    putUpdater(L);
    setFolder(U);
    env.programPath = L + QStringLiteral("vanished");
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(dialogs.log(),
              QStringList{"message(!) Vendrel - Avertissement: Je ne peux pas obtenir la date du "
                          "fichier \"" +
                          L + "vanished\" !"});
}

TEST_F(Update, AUserMachineHandsANewerBuildToTheUpdater) {
    putUpdater(L);
    setFolder(U);

    EXPECT_EQ(run(), UpdateOutcome::Continue); // nothing published
    publishBuild("build 0", kBuilt.addDays(-1));
    EXPECT_EQ(run(), UpdateOutcome::Continue); // older
    publishBuild("build 1", kBuilt.addMSecs(900));
    EXPECT_EQ(run(), UpdateOutcome::Continue); // same second: a share's coarser time
    EXPECT_TRUE(launches.isEmpty());

    publishBuild("build 2", kBuilt.addSecs(1));
    EXPECT_EQ(run(), UpdateOutcome::EndProgram);
    ASSERT_EQ(launches.size(), 1);
    EXPECT_EQ(launches[0],
              (QStringList{L + QStringLiteral("relaypak"), U + QStringLiteral("quillsite"), program}));
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_EQ(readFile(program), QByteArray("build 1")); // replacing it is the updater's business
}

TEST_F(Update, AnUpdaterThatCannotStartLetsTheUserChoose) {
    const QString question =
        QStringLiteral("Le programme \"quillsite\" doit être mis à jour mais je ne peux pas "
                       "lancer le programme de mise à jour (relaypak) !\r\n\r\n");
    putUpdater(L);
    setFolder(U);
    publishBuild("build 2", kBuilt.addDays(1));
    launchSucceeds = false;

    dialogs.yes();
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    dialogs.no();
    EXPECT_EQ(run(), UpdateOutcome::EndProgram);

    ASSERT_EQ(dialogs.calls().size(), 2);
    for (const auto& call : dialogs.calls()) {
        EXPECT_EQ(call.kind, ScriptedDialogs::Kind::Question);
        EXPECT_EQ(call.text, question);
        EXPECT_EQ(call.icon, Icon::Question);
        EXPECT_EQ(call.title, QStringLiteral("Vendrel - Attention"));
    }
    EXPECT_EQ(launches.size(), 2);
}

TEST_F(Update, TheBuildMachinePublishesOnlyANewerBuild) {
    putUpdater(L);
    setFolder(U);
    markBuildMachine();
    const QString published = U + QStringLiteral("quillsite");

    // First publication: a faithful copy, run permission and date included; no beep (nothing replaced).
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(readFile(published), QByteArray("build 1"));
    EXPECT_TRUE(QFileInfo(published).isExecutable());
    EXPECT_EQ(QFileInfo(published).lastModified(), kBuilt);
    EXPECT_TRUE(dialogs.calls().isEmpty());

    // Same date, or a newer one there: left alone.
    writeFile(program, "build 1b");
    setModified(program, kBuilt);
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    publishBuild("build 9", kBuilt.addDays(1));
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(readFile(published), QByteArray("build 9"));
    EXPECT_TRUE(dialogs.calls().isEmpty());

    // An older one there: a beep, then replaced.
    setModified(program, kBuilt.addDays(2));
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    EXPECT_EQ(readFile(published), QByteArray("build 1b"));
    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].kind, ScriptedDialogs::Kind::Beep);
    EXPECT_TRUE(launches.isEmpty());
    EXPECT_TRUE(leftovers(U).isEmpty()) << leftovers(U).join(u' ');
}

TEST_F(Update, AFailedPublicationNeverLeavesAPartialProgram) {
    putUpdater(L);
    setFolder(U);
    markBuildMachine();
    const QString copyFailed =
        QStringLiteral("Je ne parviens pas à copier la nouvelle version du programme "
                       "\"quillsite\" dans le répertoire réseau \"%1\" à partir de celle se "
                       "trouvant dans le répertoire \"%2\" !")
            .arg(U, L);
    {
        ReadOnlyFolder readOnly(U);
        if (!readOnly.active())
            GTEST_SKIP() << "cannot make a folder read-only here";
        EXPECT_EQ(run(), UpdateOutcome::Continue);
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_EQ(dialogs.messages()[0],
                  copyFailed + QStringLiteral("\r\n\r\nCE PROGRAMME N'EXISTE DONC PLUS SUR LE RÉSEAU !"));
        EXPECT_EQ(dialogs.calls()[0].title, QStringLiteral("Vendrel - Avertissement"));
    }
    // With an older build there, the copy fails before it is touched, and the message says it stays.
    publishBuild("build 0", kBuilt.addDays(-1));
    dialogs.clear();
    {
        ReadOnlyFolder readOnly(U);
        EXPECT_EQ(run(), UpdateOutcome::Continue);
    }
    const QStringList messages = dialogs.messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(copyFailed + QStringLiteral("\r\n\r\n("))) << messages[0];
    EXPECT_TRUE(
        messages[0].endsWith(QStringLiteral(")\r\n\r\nL'ancienne version reste disponible sur le réseau.")))
        << messages[0];
    EXPECT_EQ(readFile(U + QStringLiteral("quillsite")), QByteArray("build 0"));
    EXPECT_TRUE(leftovers(U).isEmpty());
}

TEST_F(Update, AnOldPublishedBuildThatCannotBeReplacedIsReported) {
    putUpdater(L);
    setFolder(U);
    markBuildMachine();
    publishBuild("build 0", kBuilt.addDays(-1));
    ImmutableFile locked(U + QStringLiteral("quillsite"));
    if (!locked.active())
        GTEST_SKIP() << "cannot lock a file here";
    EXPECT_EQ(run(), UpdateOutcome::Continue);
    const QStringList messages = dialogs.messages();
    ASSERT_EQ(messages.size(), 1);
    const QString head =
        QStringLiteral("Je ne parviens pas à détruire l'ancienne version du programme \"quillsite\" "
                       "dans le répertoire réseau \"%1\" pour la mettre à jour !\r\n\r\n(")
            .arg(U);
    EXPECT_TRUE(messages[0].startsWith(head)) << messages[0];
    EXPECT_TRUE(messages[0].endsWith(u')'));
    EXPECT_GT(messages[0].size(), head.size() + 1); // the system's reason is there
    EXPECT_EQ(readFile(U + QStringLiteral("quillsite")), QByteArray("build 0"));
    EXPECT_TRUE(leftovers(U).isEmpty());
}
