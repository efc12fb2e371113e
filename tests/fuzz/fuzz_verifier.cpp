// The site check on any bytes: the input is a page of a small site beside real files (one of them
// reachable only with another case), checked in memory; on disk (same problems) on a sample of the inputs
// and whenever there are case mismatches to fix. Besides crashes and sanitizer reports, it stops on a
// broken rule: a line number past the page's end, a page changed without a fix, a fix that adds or
// removes lines, more fixes than fixable mismatches.
#include "fuzzcheck.h"

#include "check/verifier.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using fuzz::check;
    static const QMap<QString, QByteArray> files = {
        {QStringLiteral("Index.htm"), "<TITLE>i</TITLE><A HREF=\"d/c/1.htm#x\">"},
        {QStringLiteral("images/logo.gif"), "GIF89a"},
        {QStringLiteral("d/c/Page.htm"), "<TITLE>p</TITLE><A id=x>"},
        {QStringLiteral("d/c/1.htm"), {}}};
    static const QString root = [] {
        const QString r = fuzz::scratchFolder() + QStringLiteral("site/");
        for (auto it = files.begin(); it != files.end(); ++it)
            fuzz::writeFile(r + it.key(), *it);
        return r;
    }();
    const QByteArray page(reinterpret_cast<const char*>(data), qsizetype(size));
    const qs::SiteTree tree{files.keys(),
                            {QStringLiteral("d"), QStringLiteral("d/c"), QStringLiteral("images")},
                            [&](const QString& name, QByteArray& bytes) {
                                bytes = name == u"d/c/1.htm" ? page : files.value(name);
                                return true;
                            }};
    const qs::SiteCheck before = qs::verifyTree(root, tree);
    qsizetype fixable = 0;
    for (const qs::Problem& p : before.problems) {
        const bool input = p.page == QStringLiteral("d/c/1.htm");
        check(p.line >= 0 && (!input || p.line <= page.count('\n') + 1), "line within the page");
        fixable += input && p.kind == qs::Problem::CaseMismatch && p.length > 0;
    }
    const bool onDisk = fuzz::everyNth(256);
    if (!onDisk && fixable == 0)
        return 0;
    fuzz::writeFile(root + QStringLiteral("d/c/1.htm"), page);
    if (onDisk)
        check(qs::verifySite(root).problems == before.problems, "the same problems on disk");
    QStringList errors;
    const QList<qs::CaseFix> fixes = qs::fixCase(root, before.problems, &errors);
    QFile file(root + QStringLiteral("d/c/1.htm"));
    const QByteArray after = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    check(!fixes.isEmpty() || after == page, "a page without fixes unchanged");
    // A fix changes only the case of names (and their escapes), never the number of lines.
    check(after.count('\n') == page.count('\n'), "lines kept");
    check(fixes.size() <= fixable, "only reported links fixed");
    return 0;
}
