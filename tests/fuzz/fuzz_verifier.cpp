// The site check on any bytes: the input is a page of a small site beside real files (one of them
// reachable only with another case), checked in memory, and on disk now and then (same problems) and
// whenever it has case mismatches to fix. Besides crashes and sanitizer reports, it stops on a broken
// rule: a line number past the page's end, a page changed without a fix, a fix that adds or removes
// lines, more fixes than fixable mismatches.
#include "fuzzcheck.h"

#include "check/verifier.h"

namespace {

using fuzz::check;
using fuzz::writeFile;

const QMap<QString, QByteArray> kSite = {
    {QStringLiteral("Index.htm"), "<TITLE>i</TITLE><A HREF=\"d/c/1.htm#x\">"},
    {QStringLiteral("images/logo.gif"), "GIF89a"},
    {QStringLiteral("d/c/Page.htm"), "<TITLE>p</TITLE><A id=x>"}};

QString siteFolder() {
    static const QString root = [] {
        const QString r = fuzz::scratchFolder() + QStringLiteral("site/");
        for (auto it = kSite.begin(); it != kSite.end(); ++it)
            writeFile(r + it.key(), *it);
        return r;
    }();
    return root;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString root = siteFolder();
    const QString pagePath = root + QStringLiteral("d/c/1.htm");
    const QByteArray page(reinterpret_cast<const char*>(data), qsizetype(size));
    qs::SiteTree tree{kSite.keys() << QStringLiteral("d/c/1.htm"),
                      {QStringLiteral("d"), QStringLiteral("d/c"), QStringLiteral("images")},
                      [&](const QString& name, QByteArray& bytes) {
                          bytes = name == u"d/c/1.htm" ? page : kSite.value(name);
                          return true;
                      }};
    const qs::SiteCheck before = qs::verifyTree(root, tree);
    const int lines = int(page.count('\n')) + 1;
    qsizetype fixable = 0;
    for (const qs::Problem& p : before.problems) {
        check(p.line >= 0 && (p.page != QStringLiteral("d/c/1.htm") || p.line <= lines),
              "line within the page");
        fixable +=
            p.kind == qs::Problem::CaseMismatch && p.page == QStringLiteral("d/c/1.htm") && p.length > 0;
    }
    const bool onDisk = fuzz::everyNth(256);
    if (!onDisk && fixable == 0)
        return 0;
    writeFile(pagePath, page);
    if (onDisk)
        check(qs::verifySite(root).problems == before.problems, "the same problems on disk");
    QStringList errors;
    const QList<qs::CaseFix> fixes = qs::fixCase(root, before.problems, &errors);
    const QByteArray after = readFile(pagePath);
    if (fixes.isEmpty())
        check(after == page, "a page without fixes unchanged");
    // A fix changes only the case of names (and their escapes), never the number of lines.
    check(after.count('\n') == page.count('\n'), "lines kept");
    check(fixes.size() <= fixable, "only reported links fixed");
    return 0;
}
