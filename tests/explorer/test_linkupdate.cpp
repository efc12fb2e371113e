// Links that follow a moved page or a renamed folder: the rewritten pages byte for byte, the rest
// untouched, and the undo.
#include "explorer/linkupdate.h"
#include "lib/changejournal.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>

using namespace qs;
using namespace qs::test;

namespace {

const QString kData = QStringLiteral(QUILLSITE_SOURCE_DIR "/tests/data/links/");

// Files of a folder, relative, "/" between folders.
QStringList filesOf(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

} // namespace

TEST(LinkUpdate, LinksFollowTheMoveAndTheUndoPutsThemBack) {
    // The expected pages' folder, the page or folder moved and where, and the links rewritten.
    const struct {
        const char *expected, *from, *to;
        bool folder;
        int links;
    } rows[] = {{"moved", "D/C/x.htm", "D/C2/1.htm", false, 8}, {"renamed", "D/C", "D/K é", true, 5}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        TempDir dir;
        const QString before = kData + "before/";
        for (const QString& f : filesOf(before))
            writeFile(dir(f), readFile(before + f));
        makeDir(dir("D/C2"));
        const QString from = dir(QString::fromUtf8(row.from));
        const QString to = dir(QString::fromUtf8(row.to));
        ASSERT_TRUE(QDir().rename(from, to));
        ChangeJournal journal(dir(".journal"));
        const LinkPlan plan = planLinkUpdate(dir.path(), {{from, to, row.folder}});
        EXPECT_EQ(plan.links(), row.links);
        const LinkUpdateOutcome outcome = applyLinkUpdate(plan, &journal);
        EXPECT_EQ(outcome.errors, QStringList());
        // The expected pages byte for byte; every other file as it was.
        const QString expected = kData + QString::fromUtf8(row.expected) + u'/';
        QStringList changed;
        for (const QString& f : filesOf(expected)) {
            EXPECT_EQ(readFile(dir(f)), readFile(expected + f)) << f;
            changed.append(dir(f));
        }
        changed.sort();
        QStringList written = outcome.changed;
        written.sort();
        EXPECT_EQ(written, changed);
        EXPECT_EQ(readFile(dir("Index.htm")), readFile(before + "Index.htm")) << "generated";
        const UndoOutcome undo = journal.undoLast();
        EXPECT_EQ(undo.refused, QStringList());
        QDir().rename(to, from);
        for (const QString& f : filesOf(before))
            EXPECT_EQ(readFile(dir(f)), readFile(before + f)) << "undone " << f;
    }
}

TEST(LinkUpdate, APageChangedMeanwhileIsNamedAndTheOthersAreDone) {
    TempDir dir;
    writeFile(dir("D/C/1.htm"), "<A HREF=2.htm>");
    writeFile(dir("D/C/3.htm"), "<A HREF=\"2.htm\">");
    writeFile(dir("D/K/1.htm"), "");
    const LinkPlan plan = planLinkUpdate(dir.path(), {{dir("D/C/2.htm"), dir("D/K/1.htm"), false}});
    ASSERT_EQ(plan.pages.size(), 2);
    EXPECT_EQ(linkUpdateQuestion(plan), "Mettre à jour 2 lien(s) dans 2 page(s) ?");
    writeFile(dir("D/C/1.htm"), "<A HREF=2.htm> mine");
    const LinkUpdateOutcome outcome = applyLinkUpdate(plan, nullptr);
    EXPECT_EQ(outcome.errors, QStringList{QStringLiteral("La page « %1 » a changé depuis sa lecture : ses "
                                                         "liens ne sont pas mis à jour.")
                                              .arg(dir("D/C/1.htm"))});
    EXPECT_EQ(readFile(dir("D/C/1.htm")), "<A HREF=2.htm> mine");
    EXPECT_EQ(readFile(dir("D/C/3.htm")), "<A HREF=\"../K/1.htm\">");
}
