// The page title reader on any bytes: it must not crash, must give the same title whether the bytes come
// whole or through the reader's buffers, and the title it gives holds no tag, no line break and no blank
// at either end.
#include "site/listing.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char* rule) {
    if (!ok) {
        std::fprintf(stderr, "broken rule: %s\n", rule);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString whole = qs::pageTitleOf(bytes);

    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    check(qs::pageTitle(buffer) == whole, "same title through the buffers");

    check(!whole.contains(u'<'), "no tag in a title");
    check(!whole.contains(u'\r') && !whole.contains(u'\n'), "no line break in a title");
    check(!whole.startsWith(u' ') && !whole.endsWith(u' '), "no blank at either end");
    return 0;
}
