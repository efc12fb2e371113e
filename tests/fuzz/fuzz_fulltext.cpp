// The full-text index on any bytes: a page decoded, its title and text extracted, its terms folded,
// then indexed with a second page. The terms are folded words (folding them again changes nothing,
// no blank in them, no word of one letter) and every index file is ASCII JavaScript.
#include "fuzzcheck.h"

#include "indexer/fulltext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using fuzz::check;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString html = qs::decodePage(bytes);
    const qs::PageText page = qs::extractPageText(html);
    check(!page.text.startsWith(u' ') && !page.text.endsWith(u' '), "text without blanks at either end");
    check(!page.text.contains(QStringLiteral("  ")), "blanks collapsed");

    const QStringList terms = qs::searchTerms(page.title + u' ' + page.text);
    for (const QString& term : terms) {
        check(term.size() > 1, "no word of one letter");
        check(qs::foldFrench(term) == term, "terms are folded");
        check(std::none_of(term.begin(), term.end(), [](QChar c) { return c.isSpace(); }),
              "no blank in a term");
    }

    qs::FullTextIndex index;
    index.addPage(QStringLiteral("d/c/1.htm"), QString::fromUtf8(bytes.left(40)), page);
    index.addPage(QStringLiteral("d/c/2.htm"), QStringLiteral("Catégorie"),
                  {QStringLiteral("Été"), page.text.left(200) + QStringLiteral(" l'œuvre")});
    const QMap<QString, QByteArray> files = index.files();
    check(files.contains(QStringLiteral("index.js")), "an index file");
    for (auto it = files.begin(); it != files.end(); ++it)
        check(std::all_of(
                  it->begin(), it->end(),
                  [](char c) { return (c >= 0x20 && c < 0x7F) || c == '\n' || c == '\r' || c == '\t'; }),
              "index files are printable ASCII");
    return 0;
}
