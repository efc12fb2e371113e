// The options dialog's logic: what loading shows, what moving the controls changes, what Apply stores.
#include "lib/settings.h"
#include "shell/options.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QSettings>

using namespace qs;
using namespace qs::test;

namespace {

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings("Vendrel", "quillsite").clear(); }
    static QString get(const char* key) { return ParamètreLire(QString::fromUtf8(key)); }
    static void set(const char* key, const QString& v) { ParamètreEcrire(QString::fromUtf8(key), v); }
    static QMap<QString, QString> stored() {
        QMap<QString, QString> all;
        for (const QString& k : QSettings("Vendrel", "quillsite").allKeys())
            all.insert(k, ParamètreLire(k));
        return all;
    }
    ProgramValues values;
};

} // namespace

TEST_F(OptionsTest, LoadingShowsTheStoredOptionsAndStoresTheMissingOnes) {
    set("NivZip", "0");
    set("NivSnd", "0");
    set("Modification", "Oui");
    Options o(values);
    o.Form_Load();
    EXPECT_EQ(o.form.cType, (std::array<bool, 5>{true, false, true, true, false}));
    EXPECT_FALSE(o.form.Check1);
    EXPECT_EQ(o.modeExplanation(), QString());
    // An empty depth becomes "3" here (start-up uses "4").
    EXPECT_EQ(get("NiveauRep"), "3");
    EXPECT_EQ(o.form.sNiv, 3);
    EXPECT_EQ(o.form.eNiv, "3");
    EXPECT_EQ(get("CouleurTitre(rrggbb)"), "509000");
    // The bars start from the colours in use.
    EXPECT_EQ(o.form.bars[Options::CF], (std::array<int, 3>{0xF0, 0xF0, 0xFF}));
    EXPECT_EQ(o.rowColour(Options::CL), QColor(0x50, 0x90, 0x00));
}

TEST_F(OptionsTest, TheDepthSliderShowsAndStoresItsValue) {
    // A stored depth the slider cannot show is replaced; its maximum means unlimited.
    const std::pair<const char*, std::pair<int, const char*>> cases[] = {
        {"7", {7, "7"}},   {"25", {20, "illimité"}}, {"illimité", {20, "illimité"}},
        {"abc", {1, "1"}}, {"0", {1, "1"}},          {" 12 ", {12, "12"}}};
    for (const auto& [text, expected] : cases) {
        set("NiveauRep", QString::fromUtf8(text));
        Options o(values);
        o.Form_Load();
        EXPECT_EQ(o.form.sNiv, expected.first) << text;
        EXPECT_EQ(o.form.eNiv, QString::fromUtf8(expected.second)) << text;
    }
    Options o(values);
    o.Form_Load();
    o.sNiv_Change(19);
    EXPECT_EQ(o.form.eNiv, "19");
    o.sNiv_Change(20);
    EXPECT_EQ(o.form.eNiv, "illimité");
    o.cmdApply_Click();
    EXPECT_EQ(get("NiveauRep"), "illimité");
    EXPECT_EQ(values.NiveauRep, "illimité");
}

TEST_F(OptionsTest, ReadOnlyModeIsExplainedAndCanBeUndone) {
    // OK on a fresh store must not switch to read-only mode.
    Options fresh(values);
    fresh.Form_Load();
    EXPECT_FALSE(fresh.form.Check1);
    fresh.cmdApply_Click();
    EXPECT_EQ(get("Modification"), "Oui");
    set("Modification", "Non");
    Options o(values);
    o.Form_Load();
    EXPECT_TRUE(o.form.Check1);
    EXPECT_EQ(
        o.modeExplanation(),
        QStringLiteral(
            "Les pages ne peuvent plus être modifiées ni supprimées : les boutons «\u00A0Modifier\u00A0» "
            "et «\u00A0Supprimer\u00A0» sont masqués. Décochez la case pour rétablir la modification."));
    o.cmdApply_Click();
    EXPECT_EQ(get("Modification"), "Non");
    o.form.Check1 = false;
    o.cmdApply_Click();
    EXPECT_EQ(get("Modification"), "Oui");
    EXPECT_EQ(values.editMode, EditMode::Editable); // in use at once, not at the next reload
}

TEST_F(OptionsTest, ColoursChangeAtOnceAndApplyStoresThem) {
    set("CouleurFond(rrggbb)", "000000");
    Options o(values);
    o.Form_Load();
    o.barChanged(Options::CF, 0, 255);
    EXPECT_EQ(values.CouleurFond, "FF0000");
    EXPECT_EQ(o.rowColour(Options::CF), QColor(255, 0, 0));
    // In use at once, stored only by Apply: cancelling leaves the store alone.
    EXPECT_EQ(get("CouleurFond(rrggbb)"), "000000");
    o.barChanged(Options::CT, 2, 10);
    EXPECT_EQ(values.CouleurTexte, "00000A");
    // A typed hexadecimal colour moves the bars; a malformed one changes nothing.
    const std::pair<const char*, const char*> typed[] = {
        {"#a0b1c2", "A0B1C2"}, {" 102030 ", "102030"}, {"12345", "102030"}, {"#GG0000", "102030"}};
    for (const auto& [text, stored] : typed) {
        o.hexEdited(Options::CL, QString::fromUtf8(text));
        EXPECT_EQ(values.CouleurTitre, QString::fromUtf8(stored)) << text;
        EXPECT_EQ(o.hexText(Options::CL), u'#' + QString::fromUtf8(stored)) << text;
    }
    EXPECT_EQ(o.form.bars[Options::CL], (std::array<int, 3>{0x10, 0x20, 0x30}));
    o.barChanged(Options::CL, 1, 300); // beyond the bar: its end
    EXPECT_EQ(values.CouleurTitre, "10FF30");
    EXPECT_EQ(get("CouleurTitre(rrggbb)"), "509000");
    o.cmdApply_Click();
    EXPECT_EQ(get("CouleurFond(rrggbb)"), "FF0000");
    EXPECT_EQ(get("CouleurTitre(rrggbb)"), "10FF30");
    EXPECT_EQ(get("CouleurTexte(rrggbb)"), "00000A");
}

TEST_F(OptionsTest, ApplyWithoutChangesStoresWhatWasLoaded) {
    set("CouleurFond(rrggbb)", "bleu"); // not six digits: the bars stay at 0
    set("CouleurTexte(rrggbb)", "123456");
    set("NivImg", "0");
    set("NivCgi", "0");
    set("NiveauRep", "9");
    set("Modification", "Oui");
    Options o(values);
    o.Form_Load();
    EXPECT_EQ(o.form.bars[Options::CF], (std::array<int, 3>{0, 0, 0}));
    const QMap<QString, QString> before = stored();
    o.cmdApply_Click();
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(before.size(), 10);
    // The text editor is stored only once chosen.
    EXPECT_FALSE(before.contains("EditeurTexte"));
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
    QStringList levels;
    for (const char* key : {"NivImg", "NivZip", "NivExe", "NivCgi", "NivSnd"})
        levels.append(get(key));
    EXPECT_EQ(levels, (QStringList{"0", "1", "0", "1", "1"}));
    EXPECT_EQ(values.NivImg, "1");
}
