#include "commands/mainstate.h"
#include "commands/selection.h"
#include "indexer/indexation.h"
#include "lib/clock.h"
#include "lib/helpers.h"
#include "lib/settings.h"
#include "scripteddialogs.h"
#include "site/listing.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace qs;
using namespace qs::test;

namespace {

// Records like ScriptedDialogs, but lets window events run, as the real dialogs do.
class LiveDialogs final : public Dialogs {
public:
    void message(const QString& text, Icon icon, const QString& title) override {
        recorded.message(text, icon, title);
    }
    bool question(const QString& text, Icon icon, const QString& title) override {
        return recorded.question(text, icon, title);
    }
    QString prompt(const QString& text, const QString& title, const QString& answer) override {
        return recorded.prompt(text, title, answer);
    }
    QString openFile(const QString& title, const QString& folder, const QString& filter) override {
        return recorded.openFile(title, folder, filter);
    }
    QString chooseFolder(const QString& title, const QString& folder) override {
        return recorded.chooseFolder(title, folder);
    }
    void beep() override { recorded.beep(); }
    void status(const QString& text) override { recorded.status(text); }
    void processEvents() override { QCoreApplication::processEvents(); }

    ScriptedDialogs recorded;

protected:
    void setBusy(bool) override {}
};

Indexation* visibleIndexation() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "Indexation" && w->isVisible())
            return static_cast<Indexation*>(w);
    return nullptr;
}

const QDateTime kMonday(QDate(2026, 3, 9), QTime(10, 0));

} // namespace

TEST(IndexationWindow, ShowsProgressAndStopsOnButtonEscapeOrClose) {
    Indexation w;
    w.show();
    EXPECT_EQ(w.windowTitle(), ProgrammeID() + " - Indexation en cours");
    EXPECT_EQ(w.E->objectName(), "E");
    w.folder("/sites/demo/Dom/");
    EXPECT_EQ(w.E->text(), "/sites/demo/Dom/");
    w.found(3, 12);
    EXPECT_EQ(w.lProgression->text(), "Dossiers parcourus : 3    Pages trouvées : 12");

    EXPECT_FALSE(w.stopRequested());
    QTest::mouseClick(w.bArreter, Qt::LeftButton);
    EXPECT_TRUE(w.stopRequested());
    EXPECT_FALSE(w.bArreter->isEnabled());

    w.setRunning(true);
    EXPECT_FALSE(w.stopRequested());
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_TRUE(w.stopRequested());

    // Closing during a run asks it to stop; the window stays until the run ends.
    w.setRunning(true);
    w.close();
    EXPECT_TRUE(w.stopRequested());
    EXPECT_TRUE(w.isVisible());

    w.written();
    EXPECT_EQ(w.windowTitle(), ProgrammeID() + " - Indexation terminée");
    w.close();
    EXPECT_FALSE(w.isVisible());
}

class IndexMenu : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 20; ++i) {
            writeFile(site(QString("D%1/C/1.htm").arg(i)), "<TITLE>Un</TITLE>");
            setModified(site(QString("D%1/C/1.htm").arg(i)), kMonday.addDays(-1));
        }
        state.values.Répertoire = site.path();
        domainesInit(state);
        ParamètreEcrire("Indexer", "Oui");
        writeFile(site("Recent.htm"), "récentes\r\n");
        writeFile(site("Search.htm"), "index\r\n");
    }

    TempDir site;
    LiveDialogs dialogs;
    FixedClock clock{kMonday, "marie"};
    MainState state{dialogs, clock, site("programme/")};
    QWidget mainWindow;
};

TEST_F(IndexMenu, RunShowsTheWindowThenHidesIt) {
    QStringList seen;
    int again = 0;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (Indexation* w = visibleIndexation()) {
            if (seen.isEmpty()) {
                // A second request while the first runs only beeps.
                mnuOptionsIndex_Click(state, &mainWindow);
                ++again;
            }
            seen.append(w->windowTitle());
        }
    });
    watch.start();
    const IndexResult result = mnuOptionsIndex_Click(state, &mainWindow);
    watch.stop();
    EXPECT_EQ(result.outcome, IndexResult::Outcome::Written);
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.front(), ProgrammeID() + " - Indexation en cours");
    EXPECT_EQ(again, 1);
    EXPECT_EQ(dialogs.recorded.calls().size(), 1);
    EXPECT_EQ(dialogs.recorded.calls().front().kind, ScriptedDialogs::Kind::Beep);
    EXPECT_EQ(visibleIndexation(), nullptr);
    EXPECT_EQ(result.search, 20);
    EXPECT_TRUE(fileLines(site("Index.htm")).contains("<BR><A HREF=\"Recent.htm\">Nouveautés</A></TD>"));
}

TEST_F(IndexMenu, StopButtonKeepsThePreviousListsByteIdentical) {
    QTimer stopper;
    stopper.setInterval(0);
    QObject::connect(&stopper, &QTimer::timeout, [&] {
        if (Indexation* w = visibleIndexation(); w && w->bArreter->isEnabled())
            QTest::mouseClick(w->bArreter, Qt::LeftButton);
    });
    stopper.start();
    const IndexResult result = mnuOptionsIndex_Click(state, &mainWindow);
    stopper.stop();
    EXPECT_EQ(result.outcome, IndexResult::Outcome::Cancelled);
    EXPECT_LT(result.folders, 41);
    EXPECT_EQ(readFile(site("Recent.htm")), QByteArray("récentes\r\n"));
    EXPECT_EQ(readFile(site("Search.htm")), QByteArray("index\r\n"));
    EXPECT_FALSE(QFile::exists(site("Index.htm")));
    EXPECT_EQ(visibleIndexation(), nullptr);
    EXPECT_EQ(dialogs.recorded.statuses().last(),
              "Indexation interrompue : les listes précédentes sont conservées.");
}
