#include "lib/helpers.h"
#include "lib/translations.h"
#include "scripteddialogs.h"
#include "tablefile.h"
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

TEST(ListeCherche, TextNumbersAndAccentsCompareAsTheListDoes) {
    ScriptedDialogs d;
    const std::unique_ptr<QStandardItemModel> texts(listOf({"ABC", "abcd", "Documentation"}));
    const std::unique_ptr<QStandardItemModel> numbers(listOf({"a", "b", "c"}, {3, 7, 9}));
    const QStringListModel accents({QStringLiteral("Système"), QStringLiteral("ÉTÉ")});
    const QMap<QString, const QAbstractItemModel*> lists{
        {"texts", texts.get()}, {"numbers", numbers.get()}, {"accents", &accents}};
    for (const DataRow& r : tableRows(QStringLiteral("lib/liste-cherche.txt"))) {
        const QVariant value = r.text(0) == u"numbers"  ? QVariant(r.text(1).toInt())
                               : r.text(1) == u"(none)" ? QVariant()
                                                        : QVariant(r.text(1));
        EXPECT_EQ(ListeCherche(d, lists.value(r.text(0)), value, r.text(2)), r.text(3).toInt()) << r.where;
    }
    EXPECT_TRUE(d.calls().isEmpty());

    QStandardItemModel tree;
    auto* parent = new QStandardItem(QStringLiteral("p"));
    parent->appendRow(new QStandardItem(QStringLiteral("c")));
    tree.appendRow(parent);
    EXPECT_EQ(ListeCherche(d, &tree, QStringLiteral("p")), -1);
    EXPECT_EQ(d.log(),
              QStringList{"message(x) Erreur ListeCherche: Je ne peux pas faire de recherche dans un objet "
                          "QStandardItemModel !"});
}

TEST(TextHelpers, BlankReplaceHexAndTheProgramsName) {
    EXPECT_TRUE(TexteVide(QStringLiteral(" \t\r\n  \t \r\n\t ")));
    EXPECT_TRUE(TexteVide(QString()));
    for (const char* notBlank : {" \t a \r\n", "\n", "\r"})
        EXPECT_FALSE(TexteVide(QString::fromLatin1(notBlank))) << notBlank;
    EXPECT_EQ(ChaîneRemplacer(QStringLiteral("Aa-aA"), QStringLiteral("a"), QStringLiteral("aa")),
              QStringLiteral("aaaa-aaaa"));
    EXPECT_EQ(ChaîneRemplacer(QStringLiteral("Été été"), QStringLiteral("ÉTÉ"), QStringLiteral("x")),
              QStringLiteral("x x"));
    EXPECT_EQ(ChaîneRemplacer(QStringLiteral("abc"), QString(), QStringLiteral("x")), QStringLiteral("abc"));
    EXPECT_EQ(OctetHexa(0) + OctetHexa(255) + OctetHexa(160), QStringLiteral("00FFA0"));
    EXPECT_EQ(ProgrammeID(), QStringLiteral("(quillsite v") + QStringLiteral(QUILLSITE_VERSION) + u')');
}

// Qt's own texts (choosers, standard buttons, command-line errors) come in French.
TEST(Translations, QtsOwnTextsAreFrench) {
    ASSERT_TRUE(qs::installFrenchTranslations(*QCoreApplication::instance()));
    QCommandLineParser parser;
    EXPECT_FALSE(parser.parse({QStringLiteral("quillsite"), QStringLiteral("--inconnue")}));
    EXPECT_EQ(parser.errorText(), QStringLiteral("Option inconnue \"inconnue\"."));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Voir dans :"));
}
