// quillsite-cli run on the scripts tests/data/app/*.cli (their steps: tests/data/app/README.txt).
#include "checksite.h"
#include "lib/helpers.h"
#include "lib/settings.h"
#include "lib/text1252.h"
#include "tablefile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <memory>

using namespace qs;
using namespace qs::test;

namespace {

class CliScript : public ::testing::TestWithParam<const char*> {};

QDateTime when(const QString& text) {
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

bool matches(const QString& op, const QString& got, const QString& want) {
    return op == u"="    ? got == want
           : op == u"~"  ? got.contains(want)
           : op == u"^"  ? got.startsWith(want)
           : op == u"$"  ? got.endsWith(want)
           : op == u"!~" ? !got.contains(want)
                         : (ADD_FAILURE() << "unknown comparison " << op, false);
}

} // namespace

TEST_P(CliScript, Runs) {
    QSettings(QStringLiteral("Vendrel"), QStringLiteral("quillsite")).clear();
    TempDir dir;
    std::vector<std::unique_ptr<ReadOnlyFolder>> locked;
    QMap<QString, QStringList> snaps;
    QByteArray input;
    CliResult last;
    const QByteArray trash = QFileInfo(trashFolder()).path().toUtf8();
    QList<DataRow> rows;
    for (const DataRow& row : tableRows(QStringLiteral("app/%1.cli").arg(GetParam())))
        rows += row.text(0) == u"include" ? tableRows(row.text(1)) : QList<DataRow>{row};
    for (DataRow row : rows) {
        for (QByteArray& f : row)
            f.replace("{D}", dir.path().toUtf8())
                .replace("{USER}", UtilisateurNom().toUtf8())
                .replace("{SRC}", QUILLSITE_SOURCE_DIR)
                .replace("{TRASH}", trash);
        SCOPED_TRACE(row.where + ": " + row.join('|').toStdString());
        const QString verb = row.text(0), text = row.text(2);
        const QString path = row.text(1).startsWith(u'/') ? row.text(1) : dir(row.text(1));
        const QString content = fromWindows1252(readFile(path));
        const auto expected = [&](const QString& name) {
            return dataFile(name).replace("{D}", dir.path().toUtf8()).replace("SITE/", dir.path().toUtf8());
        };
        if (verb == u"file") {
            writeFile(path, row.value(2));
        } else if (verb == u"page") {
            writeFile(path,
                      crlf({"<HTML><HEAD><TITLE>" + text + "</TITLE>", "</HEAD><BODY>",
                            "<!-- BEGIN -->" + (row.size() > 3 ? row.text(3) : "corps") + "<!-- END -->",
                            "</BODY></HTML>"}));
        } else if (verb == u"folder") {
            makeDir(path);
        } else if (verb == u"link") {
            ASSERT_TRUE(QFile::link(text.startsWith(u'/') ? text : dir(text), path));
        } else if (verb == u"copy") {
            writeFile(path, readFile(text));
        } else if (verb == u"checked-site") {
            writeCheckedSite(dir);
        } else if (verb == u"touch") {
            setModified(path, when(text));
        } else if (verb == u"setting") {
            ParamètreEcrire(row.text(1), text);
        } else if (verb == u"stored") {
            EXPECT_EQ(ParamètreLire(row.text(1)), text);
        } else if (verb == u"readonly") {
            locked.push_back(std::make_unique<ReadOnlyFolder>(path));
            if (!locked.back()->active())
                GTEST_SKIP() << "no read-only folder here";
        } else if (verb == u"input") {
            input = row.value(1);
        } else if (verb == u"run") {
            QStringList arguments;
            for (qsizetype i = 2; i < row.size(); ++i)
                arguments.append(row.text(i));
            last = runCli(arguments, input, dir.path());
            EXPECT_EQ(last.code, row.text(1).toInt()) << last.err;
        } else if (verb == u"out" || verb == u"err") {
            const QString& got = verb == u"out" ? last.out : last.err;
            if (row.text(1) == u"data")
                EXPECT_EQ(got, QString::fromUtf8(expected(text)));
            else
                EXPECT_TRUE(matches(row.text(1), got, text)) << got;
        } else if (verb == u"bytes") {
            EXPECT_EQ(readFile(path), row.value(2));
        } else if (verb == u"data") {
            EXPECT_EQ(readFile(path), expected(text));
        } else if (verb == u"has" || verb == u"lacks") {
            EXPECT_EQ(content.contains(text), verb == u"has") << content;
        } else if (verb == u"line") {
            EXPECT_EQ(splitLines(content).value(text.toInt()), row.text(3));
        } else if (verb == u"mtime") {
            EXPECT_EQ(QFileInfo(path).lastModified(), when(text));
        } else if (verb == u"absent" || verb == u"exists") {
            EXPECT_EQ(QFileInfo::exists(path) && !QFileInfo(path).isSymLink(), verb == u"exists");
        } else if (verb == u"files") {
            EXPECT_EQ(QDir(path).entryList(QDir::Files | QDir::Hidden, QDir::Name).join(u' '), text);
        } else if (verb == u"snap" || verb == u"same") {
            QStringList undated = splitLines(content);
            undated.removeIf([](const QString& l) { return l.contains(QStringLiteral("Mis à jour le ")); });
            if (verb == u"snap")
                snaps[path] = undated;
            EXPECT_EQ(undated, snaps.value(path));
        } else {
            ADD_FAILURE() << "unknown step";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(App, CliScript,
                         ::testing::Values("refusals", "replace", "import", "indexer", "images", "explorer",
                                           "modify-page", "move-page", "generate-readonly", "check",
                                           "check-generated", "links-follow", "generated-links", "lister",
                                           "links-out", "trash-refused", "body-1252"));
