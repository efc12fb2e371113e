#include "indexer/indexation.h"
#include "lib/helpers.h"
#include "pagesite.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace qs;
using namespace qs::test;

namespace {

Indexation* visibleIndexation() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "Indexation" && w->isVisible())
            return static_cast<Indexation*>(w);
    return nullptr;
}

// Twenty domains with a page each, already indexed; window events run as with the real dialogs.
class IndexMenu : public ::testing::Test, public PageSite {
protected:
    void SetUp() override {
        for (int i = 0; i < 20; ++i) {
            writeFile(at(QString("D%1/C/1.htm").arg(i)), "<TITLE>Un</TITLE>");
            setModified(at(QString("D%1/C/1.htm").arg(i)), clock.now().addDays(-1));
        }
        open();
        ParamètreEcrire("Indexer", "Oui");
        writeFile(at("Recent.htm"), "récentes\r\n");
        writeFile(at("Search.htm"), "index\r\n");
        dialogs.onEvents = [] { QCoreApplication::processEvents(); };
    }
    // Runs the menu command with `act` called on the window, once shown, for every event loop turn.
    IndexResult runWith(const std::function<void(Indexation*)>& act) {
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (Indexation* w = visibleIndexation())
                act(w);
        });
        watch.start();
        return mnuOptionsIndex_Click(state, &mainWindow);
    }
    QWidget mainWindow;
};

} // namespace

TEST(IndexationWindow, ShowsProgressAndStopsOnButtonEscapeOrClose) {
    Indexation w;
    w.show();
    EXPECT_EQ(w.windowTitle(), ProgrammeID() + " - Indexation en cours");
    w.folder("/sites/demo/Dom/");
    EXPECT_EQ(w.E->text(), "/sites/demo/Dom/");
    w.found(3, 12);
    EXPECT_EQ(w.lProgression->text(), "Dossiers parcourus : 3    Pages trouvées : 12");
    w.fullText(64, 120);
    EXPECT_EQ(w.lProgression->text(), "Pages lues : 64 sur 120");

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

TEST_F(IndexMenu, RunShowsTheWindowThenHidesItAndASecondRequestBeeps) {
    QStringList seen;
    const IndexResult result = runWith([&](Indexation* w) {
        if (seen.isEmpty())
            mnuOptionsIndex_Click(state, &mainWindow);
        seen.append(w->windowTitle());
    });
    EXPECT_EQ(result.outcome, IndexResult::Outcome::Written);
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.front(), ProgrammeID() + " - Indexation en cours");
    EXPECT_EQ(dialogs.log(), QStringList{"beep"});
    EXPECT_EQ(visibleIndexation(), nullptr);
    EXPECT_EQ(result.search, 20);
    EXPECT_TRUE(lines("Index.htm").contains("<BR><A HREF=\"Recent.htm\">Nouveautés</A></TD>"));
}

TEST_F(IndexMenu, StopButtonKeepsThePreviousListsByteIdentical) {
    const IndexResult result = runWith([](Indexation* w) {
        if (w->bArreter->isEnabled())
            QTest::mouseClick(w->bArreter, Qt::LeftButton);
    });
    EXPECT_EQ(result.outcome, IndexResult::Outcome::Cancelled);
    EXPECT_LT(result.folders, 41);
    EXPECT_EQ(readFile(at("Recent.htm")), QByteArray("récentes\r\n"));
    EXPECT_EQ(readFile(at("Search.htm")), QByteArray("index\r\n"));
    EXPECT_FALSE(exists("Index.htm"));
    EXPECT_EQ(visibleIndexation(), nullptr);
    EXPECT_EQ(dialogs.statuses().last(), "Indexation interrompue : les listes précédentes sont conservées.");
}
