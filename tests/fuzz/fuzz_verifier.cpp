// The site check on any bytes: the input is a page of a small site beside real files (one of them
// reachable only with another case), checked and its case mismatches fixed. Besides
// crashes and sanitizer reports, it stops on a broken rule: a line number past the page's end, a page
// changed without a fix, a fix that adds or removes lines, more fixes than fixable mismatches.
#include "fuzzcheck.h"

#include "check/verifier.h"

namespace {

using fuzz::check;
using fuzz::writeFile;

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString root = fuzz::scratchFolder() + QStringLiteral("site/");
    QDir(root).removeRecursively();
    const QByteArray page(reinterpret_cast<const char*>(data), qsizetype(size));
    writeFile(root + QStringLiteral("d/c/1.htm"), page);
    writeFile(root + QStringLiteral("Index.htm"), "<TITLE>i</TITLE><A HREF=\"d/c/1.htm#x\">");
    writeFile(root + QStringLiteral("images/logo.gif"), "GIF89a");
    writeFile(root + QStringLiteral("d/c/Page.htm"), "<TITLE>p</TITLE><A id=x>");

    const qs::SiteCheck before = qs::verifySite(root);
    const int lines = int(page.count('\n')) + 1;
    qsizetype fixable = 0;
    for (const qs::Problem& p : before.problems) {
        check(p.line >= 0 && (p.page != QStringLiteral("d/c/1.htm") || p.line <= lines),
              "line within the page");
        fixable +=
            p.kind == qs::Problem::CaseMismatch && p.page == QStringLiteral("d/c/1.htm") && p.length > 0;
    }
    QStringList errors;
    const QList<qs::CaseFix> fixes = qs::fixCase(root, before.problems, &errors);
    const QByteArray after = readFile(root + QStringLiteral("d/c/1.htm"));
    if (fixes.isEmpty())
        check(after == page, "a page without fixes unchanged");
    // A fix changes only the case of names (and their escapes), never the number of lines.
    check(after.count('\n') == page.count('\n'), "lines kept");
    check(fixes.size() <= fixable, "only reported links fixed");
    return 0;
}
