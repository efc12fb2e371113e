// The settings store: text values, sections, the machine-wide store, the defaults and the stored modes.
#include "lib/settings.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QSize>

using namespace qs;

namespace {
class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(QStringLiteral("Vendrel"), QStringLiteral("quillsite")).clear();
        QSettings(QStringLiteral("Vendrel"), QStringLiteral("autre")).clear();
    }
};
} // namespace

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
