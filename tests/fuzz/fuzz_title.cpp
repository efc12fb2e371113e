// The page title readers on any bytes, with both rules (the listings' and the index's): no crash, the
// same title from the bytes whole, through a device's buffers and (one input in 256) from a file, and a
// title that holds no tag, no line break and no blank at either end.
#include "fuzzcheck.h"

#include "lib/pagetitle.h"
#include "site/listing.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using fuzz::check;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = fuzz::scratchFolder() + QStringLiteral("page.htm");
    const bool onFile = fuzz::everyNth(256);
    if (onFile)
        fuzz::writeFile(path, bytes);
    for (const qs::TitleRules rules : {qs::TitleRules::Listing, qs::TitleRules::Index}) {
        const QString whole = qs::titleOf(bytes, rules);
        QByteArray copy = bytes;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        check(qs::readTitle(buffer, rules) == whole, "same title through the buffers");
        bool readable = false;
        check(!onFile || (qs::readTitle(path, rules, &readable) == whole && readable),
              "same title from the file");
        check(!whole.contains(u'<'), "no tag in a title");
        check(!whole.contains(u'\r') && !whole.contains(u'\n'), "no line break in a title");
        check(!whole.startsWith(u' ') && !whole.endsWith(u' '), "no blank at either end");
    }
    check(qs::pageTitleOf(bytes) == qs::titleOf(bytes, qs::TitleRules::Listing), "the listings' title");
    return 0;
}
