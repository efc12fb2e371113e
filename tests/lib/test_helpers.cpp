#include "lib/helpers.h"
#include "lib/translations.h"
#include "scripteddialogs.h"
#include "testutil.h"
#include "version.h"

#include <gtest/gtest.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStandardItemModel>
#include <QStringListModel>

using namespace qs;
using namespace qs::test;

namespace {
QStandardItemModel* listOf(const QStringList& texts, const QList<int>& numbers = {}) {
    auto* m = new QStandardItemModel;
    for (int i = 0; i < texts.size(); ++i) {
        auto* item = new QStandardItem(texts[i]);
        if (i < numbers.size())
            item->setData(numbers[i], Qt::UserRole);
        m->appendRow(item);
    }
    return m;
}
} // namespace

TEST(ListeCherche, TextSearchIgnoresCaseAndTakesAPrefixStar) {
    ScriptedDialogs d;
    std::unique_ptr<QStandardItemModel> m(listOf({"ABC", "abcd", "Documentation"}));
    EXPECT_EQ(ListeCherche(d, m.get(), QStringLiteral("abc")), 0);
    EXPECT_EQ(ListeCherche(d, m.get(), QStringLiteral("abc*")), 0);
    EXPECT_EQ(ListeCherche(d, m.get(), QStringLiteral("doc*")), 2);
    EXPECT_EQ(ListeCherche(d, m.get(), QStringLiteral("zzz")), -1);
    EXPECT_EQ(ListeCherche(d, m.get(), QString()), -1);
    EXPECT_EQ(ListeCherche(d, m.get(), QVariant()), -1);
    // The value is the left operand: ">" finds the first item sorting before it.
    EXPECT_EQ(ListeCherche(d, m.get(), QStringLiteral("abcz"), QStringLiteral(">")), 0);
    EXPECT_EQ(ListeCherche(d, m.get(), QStringLiteral("abc"), QStringLiteral("<")), 1);
    EXPECT_TRUE(d.calls().isEmpty());
}

TEST(ListeCherche, AccentsCompareThroughTheCodePageUpperCase) {
    ScriptedDialogs d;
    QStringListModel m({QStringLiteral("Système"), QStringLiteral("ÉTÉ")});
    EXPECT_EQ(ListeCherche(d, &m, QStringLiteral("été")), 1);
    EXPECT_EQ(ListeCherche(d, &m, QStringLiteral("SYSTÈME")), 0);
}

TEST(ListeCherche, NumbersCompareWithTheAttachedNumber) {
    ScriptedDialogs d;
    std::unique_ptr<QStandardItemModel> m(listOf({"a", "b", "c"}, {3, 7, 9}));
    EXPECT_EQ(ListeCherche(d, m.get(), 7), 1);
    EXPECT_EQ(ListeCherche(d, m.get(), 7, QStringLiteral("<>")), 1);
    EXPECT_EQ(ListeCherche(d, m.get(), 7, QStringLiteral(">")), 2);
    EXPECT_EQ(ListeCherche(d, m.get(), 7, QStringLiteral("<=")), 0);
    EXPECT_EQ(ListeCherche(d, m.get(), 8), -1);
}

TEST(ListeCherche, TreesAreRefusedWithAMessage) {
    ScriptedDialogs d;
    QStandardItemModel tree;
    auto* parent = new QStandardItem(QStringLiteral("p"));
    parent->appendRow(new QStandardItem(QStringLiteral("c")));
    tree.appendRow(parent);
    EXPECT_EQ(ListeCherche(d, &tree, QStringLiteral("p")), -1);
    ASSERT_EQ(d.calls().size(), 1);
    EXPECT_EQ(d.calls()[0].text,
              QStringLiteral("Je ne peux pas faire de recherche dans un objet QStandardItemModel !"));
    EXPECT_EQ(d.calls()[0].title, QStringLiteral("Erreur ListeCherche"));
    EXPECT_EQ(d.calls()[0].icon, Icon::Critical);
}

TEST(TextHelpers, BlankTest) {
    EXPECT_TRUE(TexteVide(QStringLiteral(" \t\r\n  \t \r\n\t ")));
    EXPECT_TRUE(TexteVide(QString()));
    EXPECT_FALSE(TexteVide(QStringLiteral(" \t a \r\n")));
    EXPECT_FALSE(TexteVide(QStringLiteral("\n")));
    EXPECT_FALSE(TexteVide(QStringLiteral("\r")));
    EXPECT_TRUE(IsString(QStringLiteral("x")));
    EXPECT_FALSE(IsString(3));
}

TEST(TextHelpers, ReplaceAndHex) {
    EXPECT_EQ(ChaîneRemplacer(QStringLiteral("Aa-aA"), QStringLiteral("a"), QStringLiteral("aa")),
              QStringLiteral("aaaa-aaaa"));
    EXPECT_EQ(ChaîneRemplacer(QStringLiteral("Été été"), QStringLiteral("ÉTÉ"), QStringLiteral("x")),
              QStringLiteral("x x"));
    EXPECT_EQ(ChaîneRemplacer(QStringLiteral("abc"), QString(), QStringLiteral("x")), QStringLiteral("abc"));
    EXPECT_EQ(OctetHexa(0), QStringLiteral("00"));
    EXPECT_EQ(OctetHexa(255), QStringLiteral("FF"));
    EXPECT_EQ(OctetHexa(160), QStringLiteral("A0"));
}

TEST(TextHelpers, ProgramIdentificationAndUser) {
    EXPECT_EQ(ProgrammeID(), QStringLiteral("(quillsite v") + QStringLiteral(QUILLSITE_VERSION) + u')');
    EXPECT_FALSE(UtilisateurNom().isEmpty());
}

// Qt's own texts (choosers, standard buttons, command-line errors) come in French.
TEST(Translations, QtsOwnTextsAreFrench) {
    ASSERT_TRUE(qs::installFrenchTranslations(*QCoreApplication::instance()));
    QCommandLineParser parser;
    EXPECT_FALSE(parser.parse({QStringLiteral("quillsite"), QStringLiteral("--inconnue")}));
    EXPECT_EQ(parser.errorText(), QStringLiteral("Option inconnue \"inconnue\"."));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Voir dans :"));
}
