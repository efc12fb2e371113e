// The page file on any bytes: its body between the markers, and what an import takes from it (title and
// body). Then two round trips through a save: the body read from the input, and the input taken as a
// body and a title typed in the editor; each must come back as it was (line ends as CR LF).
#include "fuzzcheck.h"

#include "editor/pagefile.h"
#include "lib/htmltext.h"
#include "lib/pagetitle.h"
#include "lib/text1252.h"

namespace {

QString reloadedBody(const qs::PageFile& page) {
    return qs::pageBody(qs::splitLines(qs::fromWindows1252(qs::encodeLines(qs::pageFileLines(page)))));
}

bool holdsMarker(const QString& text) {
    return text.contains(QStringLiteral("<!-- BEGIN -->"), Qt::CaseInsensitive) ||
           text.contains(QStringLiteral("<!-- END -->"), Qt::CaseInsensitive);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using fuzz::check;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = qs::splitLines(qs::fromWindows1252(bytes));

    qs::PageFile page;
    page.couleurFond = QStringLiteral("F0F0FF");
    page.body = qs::pageBody(lines);
    check(!page.body.startsWith(QStringLiteral("\r\n")) || lines.size() > 2, "the first line end dropped");
    check(reloadedBody(page) == page.body, "a body read and saved reads the same");

    const qs::ImportedPage imported = qs::importedPage(lines);
    check(!imported.title.contains(u'\r') && !imported.title.contains(u'\n'),
          "an imported title is one line");

    // The input as typed in the editor: any character, line ends as the editor gives them.
    QString typed = QString::fromUtf8(bytes);
    typed.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    typed.replace(u'\n', QStringLiteral("\r\n"));
    if (!holdsMarker(typed)) {
        page.body = typed;
        page.independent = size % 2;
        // Only the references written for characters outside the code page are read back as characters.
        check(reloadedBody(page) == qs::decodeCodePageReferences(typed), "a typed body comes back");
    }
    const QString title = typed.section(QStringLiteral("\r\n"), 0, 0);
    page.title = title;
    const QByteArray file = qs::encodeLines(qs::pageFileLines(page));
    check(qs::decodeHtmlText(qs::titleOf(file, qs::TitleRules::Listing)) == title.trimmed(),
          "a typed title comes back");
    return 0;
}
