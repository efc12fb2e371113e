#include "lib/helpers.h"
#include "lib/text1252.h"
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

TEST(Text1252, EveryByteRoundTripsOthersBecomeReferencesUpperCaseFollowsTheCodePage) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = fromWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x9F], QChar(0x0178));
    for (int undefinedByte : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(text[undefinedByte].unicode(), undefinedByte);
    EXPECT_EQ(toWindows1252(text), all);
    // Characters outside the code page become numeric references.
    EXPECT_EQ(toWindows1252(u"Été → été"), QByteArray("\xC9t\xE9 &#8594; \xE9t\xE9"));
    // A character beyond the 16-bit range is one reference, not two.
    EXPECT_EQ(toWindows1252(QString::fromUtf8("a\xF0\x9F\x98\x80")), QByteArray("a&#128512;"));
    // C1 controls other than the five undefined bytes have no byte of their own.
    EXPECT_EQ(toWindows1252(QString(QChar(0x0080))), QByteArray("&#128;"));
    EXPECT_EQ(toWindows1252(u"œ€"), QByteArray("\x9C\x80"));
    // Upper case keeps the length and follows the code page.
    EXPECT_EQ(upper1252(u"éèàçœšžÿ"), QStringLiteral("ÉÈÀÇŒŠŽŸ"));
    EXPECT_EQ(upper1252(u"abc÷ßµ"), QStringLiteral("ABC÷ßµ"));
    const QString odd = QString::fromUtf8("ǆ\xEF\xAC\x80"); // digraph and ligature ff
    EXPECT_EQ(upper1252(odd).size(), odd.size());
}

TEST(Text1252, LinesSplitOnEveryLineEndAndAreWrittenWithCrLf) {
    EXPECT_EQ(splitLines(u"a\r\nb\nc\rd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines(u"a\r\n"), QStringList{"a"});
    EXPECT_EQ(splitLines(u"a\r\n\r\n"), (QStringList{"a", ""}));
    EXPECT_EQ(splitLines(u""), QStringList{});
    EXPECT_EQ(splitLines(u"\n"), QStringList{""});
    TempDir dir;
    const QString path = dir("page.htm");
    ASSERT_TRUE(writeLines(path, {"<P>Café</P>", "", "fin"}));
    EXPECT_EQ(readFile(path), QByteArray("<P>Caf\xE9</P>\r\n\r\nfin\r\n"));
    EXPECT_EQ(readLines(path).value_or(QStringList()), (QStringList{"<P>Café</P>", "", "fin"}));

    QByteArray all;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all.append(char(b));
    writeFile(dir("in.txt"), all + "\r\n" + all);
    auto lines = readLines(dir("in.txt"));
    ASSERT_TRUE(lines.has_value());
    ASSERT_TRUE(writeLines(dir("out.txt"), *lines));
    EXPECT_EQ(readFile(dir("out.txt")), all + "\r\n" + all + "\r\n");
}
