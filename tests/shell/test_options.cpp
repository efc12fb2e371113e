// The options dialog's logic: what loading shows, what moving the controls changes, what Apply stores.
#include "lib/settings.h"
#include "shell/options.h"
#include "tablefile.h"

#include <gtest/gtest.h>

#include <QSettings>

using namespace qs;
using namespace qs::test;

namespace {

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings("Vendrel", "quillsite").clear(); }
    // Stores "key=value" pairs given blank-separated.
    static void set(const QString& pairs) {
        for (const QString& pair : pairs.split(u' '))
            ParamètreEcrire(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    }
    // "key=value" for the blank-separated keys, or for every stored key.
    static QString get(const QString& keys = {}) {
        QStringList all = keys.isEmpty() ? QSettings("Vendrel", "quillsite").allKeys() : keys.split(u' ');
        for (QString& key : all)
            key += u'=' + ParamètreLire(key);
        return all.join(u' ');
    }
    // The rows of tests/data/shell/options.txt of one kind, without their kind.
    static QList<QStringList> cases(const char* kind) {
        QList<QStringList> out;
        for (const auto& row : tableRows("shell/options.txt"))
            if (row[0] == kind)
                out.append(QStringList{str(row[1]), str(row.value(2))});
        return out;
    }
    static QString rgb(const std::array<int, 3>& bar) { return QColor(bar[0], bar[1], bar[2]).name(); }
    ProgramValues values;
};

} // namespace

TEST_F(OptionsTest, LoadingShowsTheStoredOptionsAndStoresTheMissingOnes) {
    set("NivZip=0 NivSnd=0 Modification=Oui");
    Options o(values);
    o.Form_Load();
    EXPECT_EQ(o.form.cType, (std::array<bool, 5>{true, false, true, true, false}));
    EXPECT_FALSE(o.form.Check1);
    EXPECT_EQ(o.modeExplanation(), QString());
    // An empty depth becomes "3" here (start-up uses "4").
    EXPECT_EQ(get("NiveauRep CouleurTitre(rrggbb)"), "NiveauRep=3 CouleurTitre(rrggbb)=509000");
    EXPECT_EQ(QString::number(o.form.sNiv) + ' ' + o.form.eNiv, "3 3");
    // The bars start from the colours in use.
    EXPECT_EQ(rgb(o.form.bars[Options::CF]), "#f0f0ff");
    EXPECT_EQ(o.rowColour(Options::CL), QColor(0x50, 0x90, 0x00));
}

TEST_F(OptionsTest, TheDepthSliderShowsAndStoresItsValue) {
    // A stored depth the slider cannot show is replaced; its maximum means unlimited.
    for (const auto& row : cases("depth")) {
        ParamètreEcrire("NiveauRep", row[0]);
        Options o(values);
        o.Form_Load();
        EXPECT_EQ(QString::number(o.form.sNiv) + ' ' + o.form.eNiv, row[1]) << row[0].toStdString();
    }
    Options o(values);
    o.Form_Load();
    o.sNiv_Change(19);
    EXPECT_EQ(o.form.eNiv, "19");
    o.sNiv_Change(20);
    EXPECT_EQ(o.form.eNiv, "illimité");
    o.cmdApply_Click();
    EXPECT_EQ(get("NiveauRep") + ' ' + values.NiveauRep, "NiveauRep=illimité illimité");
}

TEST_F(OptionsTest, ReadOnlyModeIsExplainedAndCanBeUndone) {
    // OK on a fresh store must not switch to read-only mode.
    Options fresh(values);
    fresh.Form_Load();
    EXPECT_FALSE(fresh.form.Check1);
    fresh.cmdApply_Click();
    EXPECT_EQ(get("Modification"), "Modification=Oui");
    set("Modification=Non");
    Options o(values);
    o.Form_Load();
    EXPECT_TRUE(o.form.Check1); // the explanation shown is pinned by the options dialog's window script
    EXPECT_FALSE(o.modeExplanation().isEmpty());
    o.cmdApply_Click();
    EXPECT_EQ(get("Modification"), "Modification=Non");
    o.form.Check1 = false;
    o.cmdApply_Click();
    EXPECT_EQ(get("Modification"), "Modification=Oui");
    EXPECT_EQ(values.editMode, EditMode::Editable); // in use at once, not at the next reload
}

TEST_F(OptionsTest, ColoursChangeAtOnceAndApplyStoresThem) {
    set("CouleurFond(rrggbb)=000000");
    Options o(values);
    o.Form_Load();
    o.barChanged(Options::CF, 0, 255);
    o.barChanged(Options::CT, 2, 10);
    EXPECT_EQ(values.CouleurFond + ' ' + values.CouleurTexte, "FF0000 00000A");
    EXPECT_EQ(o.rowColour(Options::CF), QColor(255, 0, 0));
    // In use at once, stored only by Apply: cancelling leaves the store alone.
    EXPECT_EQ(get("CouleurFond(rrggbb)"), "CouleurFond(rrggbb)=000000");
    // A typed hexadecimal colour moves the bars; a malformed one changes nothing, nor does a sign or a
    // blank inside that a number reader would take.
    for (const auto& row : cases("hex")) {
        const bool accepted = values.CouleurTitre != row[1];
        EXPECT_EQ(o.hexEdited(Options::CL, row[0]), accepted) << row[0].toStdString();
        EXPECT_EQ(values.CouleurTitre + ' ' + o.hexText(Options::CL), row[1] + " #" + row[1]);
    }
    EXPECT_EQ(rgb(o.form.bars[Options::CL]), "#102030");
    o.barChanged(Options::CL, 1, 300); // beyond the bar: its end
    EXPECT_EQ(values.CouleurTitre, "10FF30");
    EXPECT_EQ(get("CouleurTitre(rrggbb)"), "CouleurTitre(rrggbb)=509000");
    o.cmdApply_Click();
    EXPECT_EQ(get("CouleurFond(rrggbb) CouleurTitre(rrggbb) CouleurTexte(rrggbb)"),
              "CouleurFond(rrggbb)=FF0000 CouleurTitre(rrggbb)=10FF30 CouleurTexte(rrggbb)=00000A");
}

// A stored colour is six hexadecimal digits, or no colour: the bars stay at 0 and nothing else moves.
TEST_F(OptionsTest, ApplyWithoutChangesStoresWhatWasLoaded) {
    for (const auto& row : cases("stored")) {
        QSettings("Vendrel", "quillsite").clear();
        set("CouleurTexte(rrggbb)=123456 NivImg=0 NivCgi=0 NiveauRep=9 Modification=Oui");
        ParamètreEcrire("CouleurFond(rrggbb)", row[0]);
        Options o(values);
        o.Form_Load();
        EXPECT_EQ(rgb(o.form.bars[Options::CF]) + ' ' + o.hexText(Options::CF), "#000000 #000000")
            << row[0].toStdString();
        const QString before = get();
        o.cmdApply_Click();
        EXPECT_EQ(get(), before);
        EXPECT_EQ(before.count(u'='), 10);
    }
    // The text editor is stored only once chosen.
    EXPECT_FALSE(get().contains("EditeurTexte"));
    Options o(values);
    o.Form_Load();
    o.form.editor = "/usr/bin/mousepad";
    o.cmdApply_Click();
    Options again(values);
    again.Form_Load();
    EXPECT_EQ(again.form.editor, "/usr/bin/mousepad");
}

TEST_F(OptionsTest, LinkTypesAreStoredButReachTheWindowLater) {
    Options o(values);
    o.Form_Load();
    o.form.cType = {false, true, false, true, true};
    o.cmdApply_Click();
    EXPECT_EQ(get("NivImg NivZip NivExe NivCgi NivSnd"), "NivImg=0 NivZip=1 NivExe=0 NivCgi=1 NivSnd=1");
    EXPECT_EQ(values.NivImg, "1");
}
