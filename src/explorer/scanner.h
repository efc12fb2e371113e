#pragma once

#include "explorer/encoding.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace qs {

// The five type switches of the link tree (check boxes cType 0 to 4). "Fichiers ZIP" is kept for the
// window and the settings but no rule of the scanner reads it.
struct LinkTypes {
    enum { Images = 0, Zip = 1, Programmes = 2, Cgi = 3, Sons = 4 };
    std::array<bool, 5> on{true, true, true, true, true};
    bool operator[](int i) const { return on[size_t(i)]; }
    bool operator==(const LinkTypes&) const = default;
};

// How deep a walk reads pages: the root page sits at depth 1, and a page at depth d has its links read
// when d <= value, or always when unlimited (the options slider at its maximum, "illimité").
struct DepthLimit {
    int value = 4;
    bool unlimited = false;

    // From the stored setting: "1" to "19", "illimité" (or "illimite", or the slider's maximum 20 and
    // above). Anything unreadable gives the start-up default, 4; below 1 counts as 1.
    static DepthLimit parse(const QString& text);
    QString text() const; // "4", "illimité"
    bool allows(int depth) const { return unlimited || depth <= value; }
};

// Splits a page into its tags, without an HTML parser. Reads line by line (CR LF, LF or CR); outside a
// tag it looks for "<", inside for ">". A tag that runs over several lines is joined with one blank per
// line end; a finished tag has its blanks (0x20 only) trimmed at both ends; a tag still open at the end
// of the file is passed as it stands. Comments, scripts and closing tags are tags too, and a ">" inside
// a quoted value ends the tag:
//
//   "<A\r\nHREF=x.htm>"           ->  "A  HREF=x.htm"
//   "<b>x</b><img src=a.gif>"     ->  "b", "/b", "img src=a.gif"
//   "<a title=\"1>2\" href=y>"    ->  "a title=\"1"
//
// The callback gets each tag's bytes (valid only during the call) and returns false to stop reading.
// Time is linear in the size of the input whatever it holds.
void readTags(QByteArrayView page, const std::function<bool(QByteArrayView tag)>& onTag);

// The tags of a page as text, for tests and tools.
QStringList tagsOf(QByteArrayView page);

// The value of an attribute in the rest of a tag (the tag without its name). The first occurrence of the
// name counts, in any case, even inside a longer name ("SRC" is found in "LOWSRC"); then blanks, "=" and
// double quotes are skipped; after a double quote the value runs to the next double quote, otherwise to
// the next blank. Single quotes are kept, entities are not decoded. The bytes are read as the page's
// encoding says.
//
//   ("HREF", "href = \"a b.htm\"")  ->  "a b.htm"        ("HREF", "href = a b.htm")  ->  "a"
//   ("HREF", "href='x.htm'")        ->  "'x.htm'"        ("SRC", "lowsrc=l.gif src=h.gif")  ->  "l.gif"
QString attributeValue(QByteArrayView rest, QStringView upperName,
                       PageEncoding encoding = PageEncoding::Windows1252);

// What one tag asks of the walk.
struct TagAction {
    enum Kind { Ignore, AddLink, SetBase };
    Kind kind = Ignore;
    QString value;        // the link as written in the page
    bool explore = false; // the linked page is to be read in turn
};

// The dispatch table: FRAME/IFRAME SRC (explored), FORM ACTION (switch CGI), IMG SRC (Images or CGI),
// BGSOUND SRC (Sons), BODY BACKGROUND (Images), A HREF (by the end of the value: pages explored, images
// with Images, programs with Programmes, anything else; never "Search.htm" nor "Recent.htm"), BASE HREF.
// The end of an A HREF value is taken before its fragment or query: "p.htm#part" is a page to read.
// A tag whose value is empty is ignored.
TagAction dispatchTag(QByteArrayView tag, const LinkTypes& types,
                      PageEncoding encoding = PageEncoding::Windows1252);

} // namespace qs
