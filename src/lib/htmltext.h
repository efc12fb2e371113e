#pragma once

#include <QString>

// Text that the user types and that the site's files hold as HTML: titles are escaped when written and
// decoded when read, so that "A < B & C" comes back exactly as typed; characters that Windows-1252 cannot
// hold are kept in files as decimal references ("&#8594;", see text1252.h) and shown as themselves.
namespace qs {

// "&", "<" and ">" as "&amp;", "&lt;" and "&gt;". An entity that decodeHtmlText leaves alone
// ("&eacute;") is left alone here too, so that it keeps its meaning in the page.
//   "A < B & C"  ->  "A &lt; B &amp; C"      "&amp;"  ->  "&amp;amp;"      "caf&eacute;" -> "caf&eacute;"
QString escapeHtmlText(const QString& text);

// The inverse: "&amp;", "&lt;", "&gt;", "&quot;" (any case) and numeric references ("&#8594;",
// "&#xE9;") become the characters; other entities stay as they are. One pass from left to right, so
// "&amp;lt;" gives "&lt;".
QString decodeHtmlText(const QString& text);

// Only the decimal references to characters outside Windows-1252, as written for them ("&#8594;", no
// leading zero): a body keeps its own entities ("&lt;B&gt;" stays) and is written back byte for byte.
QString decodeCodePageReferences(const QString& text);

// The first `count` characters, a character outside the 16-bit range counting as one (a surrogate pair
// is never split). An entity that escapeHtmlText keeps ("&eacute;") and the cut would split is left out.
QString leftCharacters(const QString& text, qsizetype count);

} // namespace qs
