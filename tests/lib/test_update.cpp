// The settings store and the self-update.
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
#include <QSize>

#include <memory>

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

// Scripts under tests/data/lib/update/ (their steps: README.txt there), each run with a program folder L
// holding the program "quillsite" and an update folder U, both in a temporary folder; the updater
// launcher is recorded instead of run.
class UpdateScript : public ::testing::TestWithParam<const char*> {
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
            launches.append((QStringList{p} + args).join(u' '));
            return launchSucceeds;
        };
    }
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

    TempDir dir;
    QString L = dir("local/"), U = dir("network/"), program = L + QStringLiteral("quillsite");
    ScriptedDialogs dialogs;
    UpdateEnvironment env;
    QStringList launches;
    bool launchSucceeds = true;
};

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(QStringLiteral("Vendrel"), QStringLiteral("quillsite")).clear();
        QSettings(QStringLiteral("Vendrel"), QStringLiteral("autre")).clear();
    }
};

} // namespace

TEST_P(UpdateScript, Runs) {
    std::vector<std::unique_ptr<ReadOnlyFolder>> readOnly;
    std::vector<std::unique_ptr<ImmutableFile>> immutable;
    for (const DataRow& row : tableRows(QStringLiteral("lib/update/%1.txt").arg(GetParam()))) {
        QStringList f;
        for (qsizetype i = 0; i < row.size(); ++i)
            f.append(filled(row.text(i)));
        SCOPED_TRACE(row.where + ": " + f.join(u'|').toStdString());
        const QString verb = f.value(0), a = f.value(1), b = f.value(2);
        if (verb == u"updater") {
            writeFile(a + QStringLiteral("relaypak"), "#!updater");
        } else if (verb == u"folder") {
            ParamètreEcrire(kKey, a);
        } else if (verb == u"publish" || verb == u"program") {
            const QString path = verb == u"program" ? program : U + QStringLiteral("quillsite");
            writeFile(path, a.toUtf8());
            setModified(path, when(b));
        } else if (verb == u"file") {
            writeFile(a, b.toUtf8());
        } else if (verb == u"link") {
            ASSERT_TRUE(QFile::link(b, a));
        } else if (verb == u"dir") {
            makeDir(a);
        } else if (verb == u"readonly") {
            readOnly.push_back(std::make_unique<ReadOnlyFolder>(a));
            if (!readOnly.back()->active())
                GTEST_SKIP() << "cannot make a folder read-only here";
        } else if (verb == u"writable") {
            readOnly.clear();
        } else if (verb == u"immutable") {
            immutable.push_back(std::make_unique<ImmutableFile>(a));
            if (!immutable.back()->active)
                GTEST_SKIP() << "cannot lock a file here";
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
            writeFile(L + QStringLiteral("quillsite.publish"), "");
        } else if (verb == u"run") {
            EXPECT_EQ(MiseAJour(dialogs, env),
                      a == u"end" ? UpdateOutcome::EndProgram : UpdateOutcome::Continue);
        } else if (verb == u"extra") {
            ASSERT_GT(dialogs.calls().size(), a.toInt());
            EXPECT_EQ(dialogs.calls()[a.toInt()].extra, b);
        } else if (verb == u"dialogs") {
            EXPECT_EQ(dialogs.log(), f.mid(1));
            dialogs.clear();
        } else if (verb == u"message") { // the one message shown: how it starts and ends, a cause between
            const QString m = dialogs.messages().value(0);
            EXPECT_TRUE(dialogs.messages().size() == 1 && m.startsWith(a) && m.endsWith(b) &&
                        m.size() > a.size() + b.size())
                << m;
            dialogs.clear();
        } else if (verb == u"launches") {
            EXPECT_EQ(launches, f.mid(1));
            launches.clear();
        } else if (verb == u"stored") {
            EXPECT_EQ(ParamètreLire(kKey), a);
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
            EXPECT_EQ(QDir(a).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".quillsite.")),
                      QStringList());
        } else {
            ADD_FAILURE() << "unknown step";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lib, UpdateScript,
                         ::testing::Values("declined", "first-use", "prompt-repeats", "menu", "other-window",
                                           "no-updater", "updater-place", "no-date", "newer", "cannot-start",
                                           "build-machine", "from-update-folder", "report", "publish-failed",
                                           "cannot-remove"));

// The settings store: text values, sections, the machine-wide store, the defaults and the stored modes.
TEST_F(Settings, ValuesAreStoredAsTextAndAMissingOneCreatesNothing) {
    EXPECT_EQ(ParamètreLire(QStringLiteral("Adresse")), QString());
    QSettings s(QStringLiteral("Vendrel"), QStringLiteral("quillsite"));
    EXPECT_TRUE(s.allKeys().isEmpty());
    EXPECT_TRUE(s.fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME"))) << s.fileName();

    const std::pair<QVariant, QString> values[] = {
        {true, "-1"},
        {false, "0"},
        {3, "3"},
        {2.5, "2.5"},
        {QDateTime(QDate(2026, 3, 4), QTime(5, 6)), "04.03.2026 05:06"},
        {QDate(2026, 12, 31), "31.12.2026 00:00"},
        {QStringLiteral("Répertoire é\\"), "Répertoire é\\"},
        {QSize(1, 2), ""},
    };
    for (const auto& [value, text] : values) {
        ParamètreEcrire(QStringLiteral("k"), value);
        EXPECT_EQ(ParamètreLire(QStringLiteral("k")), text) << value.typeName();
    }
    // A value stored by another program that is not text says so.
    s.setValue(QStringLiteral("Liste"), QStringList{QStringLiteral("a"), QStringLiteral("b")});
    s.setValue(QStringLiteral("Taille"), QSize(3, 4));
    s.sync();
    EXPECT_EQ(ParamètreLire(QStringLiteral("Liste")),
              QStringLiteral("La valeur du registre recherchée n'est pas de type STRING !"));
    EXPECT_EQ(ParamètreLire(QStringLiteral("Taille")), notTextValue());
}

TEST_F(Settings, AccentedKeysSectionsAndTheMachineWideStore) {
    EXPECT_EQ(RegistreEcrire(QStringLiteral("Répertoire"), QStringLiteral("/site/")), 0);
    EXPECT_EQ(ParamètreLire(QStringLiteral("Répertoire")), QStringLiteral("/site/"));
    EXPECT_EQ(ParamètreLire(QStringLiteral("Repertoire")), QString());
    // Sections drop leading separators and blanks; a section that is not text is the program's own.
    RegistreEcrire(QStringLiteral("k"), QStringLiteral("v"), QStringLiteral(" \\\\ autre"));
    EXPECT_EQ(RegistreLire(QStringLiteral("k"), QStringLiteral("autre")), QStringLiteral("v"));
    EXPECT_EQ(ParamètreLire(QStringLiteral("k")), QString());
    RegistreEcrire(QStringLiteral("k2"), QStringLiteral("w"), QStringLiteral("\\ \\"));
    RegistreEcrire(QStringLiteral("k3"), QStringLiteral("x"), 42);
    EXPECT_EQ(QStringList({ParamètreLire(QStringLiteral("k2")), ParamètreLire(QStringLiteral("k3"))}),
              QStringList({"w", "x"}));
    RegistreEcrire(QStringLiteral("m"), QStringLiteral("machine"), {}, true);
    EXPECT_EQ(RegistreLire(QStringLiteral("m"), {}, true), QStringLiteral("machine"));
    EXPECT_EQ(ParamètreLire(QStringLiteral("m")), QString());
}

TEST_F(Settings, OptionsChargerStoresEachMissingDefault) {
    ParamètreEcrire(QStringLiteral("CouleurFond(rrggbb)"), QStringLiteral("123456"));
    ParamètreEcrire(QStringLiteral("NivZip"), QStringLiteral("0"));
    ProgramValues v;
    v.CouleurTitre = QStringLiteral("stale");
    OptionsCharger(v);
    EXPECT_EQ(QStringList({v.CouleurFond, v.CouleurTitre, v.CouleurTexte, v.NivZip, v.NivImg}),
              QStringList({"123456", "509000", "000090", "0", "1"}));
    for (const char* key :
         {"CouleurTitre(rrggbb)", "CouleurTexte(rrggbb)", "NivExe", "NivImg", "NivSnd", "NivCgi"})
        EXPECT_FALSE(ParamètreLire(QString::fromLatin1(key)).isEmpty()) << key;
    EXPECT_EQ(ParamètreLire(QStringLiteral("NivCgi")), QStringLiteral("1"));
}

// Only "Non" is read-only and only "Oui" is indexed: whatever else is stored leaves editing on, so the
// options' box shows what the window applies.
TEST_F(Settings, StoredModesReadExactFrenchValues) {
    const std::tuple<QString, EditMode, bool> rows[] = {{"Non", EditMode::ReadOnly, false},
                                                        {"Oui", EditMode::Editable, true},
                                                        {"non", EditMode::Editable, false},
                                                        {"Peut-être", EditMode::Editable, false},
                                                        {"", EditMode::Editable, false}};
    for (const auto& [stored, mode, indexed] : rows) {
        ParamètreEcrire(QStringLiteral("Modification"), stored);
        ParamètreEcrire(QStringLiteral("Indexer"), stored);
        EXPECT_EQ(storedEditMode(), mode) << stored;
        EXPECT_EQ(siteIndexed(), indexed) << stored;
    }
    EXPECT_EQ(ParamètreLire(QStringLiteral("Modification")), QString()); // read without storing
    EXPECT_EQ(storedEditMode(true), EditMode::Editable);
    EXPECT_EQ(ParamètreLire(QStringLiteral("Modification")), QStringLiteral("Oui"));
    storeEditMode(EditMode::ReadOnly);
    setSiteIndexed(false);
    EXPECT_EQ(QStringList(
                  {ParamètreLire(QStringLiteral("Modification")), ParamètreLire(QStringLiteral("Indexer"))}),
              QStringList({"Non", "Non"}));
}
