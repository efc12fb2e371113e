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

TEST(MatPos, FindsAndInsertsInOrder) {
    SortedTable t = makeSortedTable(3);
    EXPECT_EQ(MatPos(t, QStringLiteral("m"), true), 1);
    EXPECT_EQ(t.size(), 2);
    EXPECT_EQ(t[1], (QStringList{"m", "", ""}));
    EXPECT_EQ(MatPos(t, QStringLiteral("a"), true), 1);
    EXPECT_EQ(t[2][0], QStringLiteral("m"));
    EXPECT_EQ(MatPos(t, QStringLiteral("z"), true), 3);
    EXPECT_EQ(MatPos(t, QStringLiteral("b")), -1);
    EXPECT_EQ(t.size(), 4);
}

TEST(MatPos, ManyRowsAreFoundByBisection) {
    SortedTable t = makeSortedTable(1);
    // Insert 25 keys in a scrambled order; the table stays sorted.
    for (int i = 0; i < 25; ++i)
        MatPos(t, QStringLiteral("k%1").arg((i * 7) % 25, 2, 10, QLatin1Char('0')), true);
    ASSERT_EQ(t.size(), 26);
    for (int i = 1; i < 25; ++i)
        EXPECT_LT(t[i][0], t[i + 1][0]);
    for (int i = 0; i < 25; ++i) {
        const QString key = QStringLiteral("k%1").arg(i, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(MatPos(t, key), i + 1);
    }
    EXPECT_EQ(MatPos(t, QStringLiteral("k125")), -1);
    EXPECT_EQ(MatPos(t, QStringLiteral("a")), -1);
    EXPECT_EQ(MatPos(t, QStringLiteral("z")), -1);
    EXPECT_EQ(MatPos(t, QStringLiteral("z"), true), 26);
    // Case is significant.
    EXPECT_EQ(MatPos(t, QStringLiteral("K03")), -1);
}

TEST(TextHelpers, TabulationsAndBlankTest) {
    EXPECT_EQ(Tabulations(), QStringLiteral("\t"));
    EXPECT_EQ(Tabulations(0), QStringLiteral("\t"));
    EXPECT_EQ(Tabulations(3), QStringLiteral("\t\t\t"));
    EXPECT_TRUE(TexteVide(QStringLiteral(" \t\r\n  \t \r\n\t ")));
    EXPECT_TRUE(TexteVide(QString()));
    EXPECT_FALSE(TexteVide(QStringLiteral(" \t a \r\n")));
    EXPECT_FALSE(TexteVide(QStringLiteral("\n")));
    EXPECT_FALSE(TexteVide(QStringLiteral("\r")));
    EXPECT_TRUE(IsString(QStringLiteral("x")));
    EXPECT_FALSE(IsString(3));
}

TEST(TextHelpers, DecodeReplaceAndPositions) {
    EXPECT_EQ(HTMLDécoder(QStringLiteral("&lt;B&Gt;x&LT;/b&gT; &amp;")), QStringLiteral("<B>x</b> &amp;"));
    EXPECT_EQ(ChaîneRemplacer(QStringLiteral("Aa-aA"), QStringLiteral("a"), QStringLiteral("aa")),
              QStringLiteral("aaaa-aaaa"));
    EXPECT_EQ(ChaîneRemplacer(QStringLiteral("Été été"), QStringLiteral("ÉTÉ"), QStringLiteral("x")),
              QStringLiteral("x x"));
    EXPECT_EQ(ChaîneRemplacer(QStringLiteral("abc"), QString(), QStringLiteral("x")), QStringLiteral("abc"));
    EXPECT_EQ(OctetHexa(0), QStringLiteral("00"));
    EXPECT_EQ(OctetHexa(255), QStringLiteral("FF"));
    EXPECT_EQ(OctetHexa(160), QStringLiteral("A0"));
    EXPECT_EQ(DernièrePosition(QStringLiteral("a.b.c"), QStringLiteral(".")), 4);
    EXPECT_EQ(DernièrePosition(QStringLiteral("a.b.c"), QStringLiteral("x")), 0);
    EXPECT_EQ(DernièrePosition(QString(), QStringLiteral(".")), 0);
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
