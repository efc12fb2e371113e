#include "lib/settings.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
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

TEST_F(Settings, MissingValueReadsEmptyAndCreatesNothing) {
    EXPECT_EQ(ParamètreLire(QStringLiteral("Adresse")), QString());
    QSettings s(QStringLiteral("Vendrel"), QStringLiteral("quillsite"));
    EXPECT_TRUE(s.allKeys().isEmpty());
    EXPECT_TRUE(s.fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")))
        << s.fileName().toStdString();
}

TEST_F(Settings, ValuesAreConvertedToText) {
    ParamètreEcrire(QStringLiteral("b1"), true);
    ParamètreEcrire(QStringLiteral("b0"), false);
    ParamètreEcrire(QStringLiteral("n"), 3);
    ParamètreEcrire(QStringLiteral("d"), 2.5);
    ParamètreEcrire(QStringLiteral("t"), QDateTime(QDate(2026, 3, 4), QTime(5, 6)));
    ParamètreEcrire(QStringLiteral("day"), QDate(2026, 12, 31));
    ParamètreEcrire(QStringLiteral("s"), QStringLiteral("Répertoire é\\"));
    ParamètreEcrire(QStringLiteral("other"), QSize(1, 2));
    QStringList read;
    for (const char* key : {"b1", "b0", "n", "d", "t", "day", "s", "other"})
        read.append(ParamètreLire(QString::fromLatin1(key)));
    EXPECT_EQ(read, (QStringList{"-1", "0", "3", "2.5", "04.03.2026 05:06", "31.12.2026 00:00",
                                 "Répertoire é\\", ""}));
}

TEST_F(Settings, AccentedKeysSectionsAndTheMachineWideStore) {
    EXPECT_EQ(RegistreEcrire(QStringLiteral("Répertoire"), QStringLiteral("/site/")), 0);
    EXPECT_EQ(ParamètreLire(QStringLiteral("Répertoire")), QStringLiteral("/site/"));
    EXPECT_EQ(ParamètreLire(QStringLiteral("Repertoire")), QString());
    // Sections drop leading separators and blanks.
    RegistreEcrire(QStringLiteral("k"), QStringLiteral("v"), QStringLiteral(" \\\\ autre"));
    EXPECT_EQ(RegistreLire(QStringLiteral("k"), QStringLiteral("autre")), QStringLiteral("v"));
    EXPECT_EQ(ParamètreLire(QStringLiteral("k")), QString());
    RegistreEcrire(QStringLiteral("k2"), QStringLiteral("w"), QStringLiteral("\\ \\"));
    EXPECT_EQ(ParamètreLire(QStringLiteral("k2")), QStringLiteral("w"));
    RegistreEcrire(QStringLiteral("k3"), QStringLiteral("x"), 42); // not text: the program's own section
    EXPECT_EQ(ParamètreLire(QStringLiteral("k3")), QStringLiteral("x"));
    RegistreEcrire(QStringLiteral("m"), QStringLiteral("machine"), {}, true);
    EXPECT_EQ(RegistreLire(QStringLiteral("m"), {}, true), QStringLiteral("machine"));
    EXPECT_EQ(ParamètreLire(QStringLiteral("m")), QString());
}

TEST_F(Settings, AValueThatIsNotTextSaysSo) {
    {
        QSettings s(QStringLiteral("Vendrel"), QStringLiteral("quillsite"));
        s.setValue(QStringLiteral("Liste"), QStringList{QStringLiteral("a"), QStringLiteral("b")});
        s.setValue(QStringLiteral("Taille"), QSize(3, 4));
    }
    EXPECT_EQ(ParamètreLire(QStringLiteral("Liste")),
              QStringLiteral("La valeur du registre recherchée n'est pas de type STRING !"));
    EXPECT_EQ(ParamètreLire(QStringLiteral("Taille")), notTextValue());
}

TEST_F(Settings, OptionsChargerStoresEachMissingDefault) {
    ParamètreEcrire(QStringLiteral("CouleurFond(rrggbb)"), QStringLiteral("123456"));
    ParamètreEcrire(QStringLiteral("NivZip"), QStringLiteral("0"));
    ProgramValues v;
    v.CouleurTitre = QStringLiteral("stale");
    OptionsCharger(v);
    EXPECT_EQ(v.CouleurFond, QStringLiteral("123456"));
    EXPECT_EQ(v.CouleurTitre, QStringLiteral("509000"));
    EXPECT_EQ(v.CouleurTexte, QStringLiteral("000090"));
    EXPECT_EQ(v.NivZip, QStringLiteral("0"));
    EXPECT_EQ(v.NivImg, QStringLiteral("1"));
    for (const char* key :
         {"CouleurTitre(rrggbb)", "CouleurTexte(rrggbb)", "NivExe", "NivImg", "NivSnd", "NivCgi"})
        EXPECT_FALSE(ParamètreLire(QString::fromLatin1(key)).isEmpty()) << key;
    EXPECT_EQ(ParamètreLire(QStringLiteral("NivCgi")), QStringLiteral("1"));
}
