#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace qs {

class MainState;

// Moving a page: it is dragged from the page list and dropped on another category of its domain or on
// another domain. The file is copied into the target category under the smallest free number, the page
// is deleted from its category as "Supprimer" does (to the trash), both categories are regenerated and
// the source domain and category are selected again.

// What travels with a drag: the page's domain, category and file name in its category folder.
struct DraggedPage {
    QString domain;
    QString category;
    QString file;
};
// The drag's MIME type, of our own so that nothing else can be dropped as a page.
QString pageMimeType();
QByteArray encodeDraggedPage(const DraggedPage& page);
std::optional<DraggedPage> decodeDraggedPage(const QByteArray& data);

// The page of row `row` of the page list (the row the mouse was pressed on), nothing when there is none.
std::optional<DraggedPage> tListe_MouseDown(const MainState& state, int row);

// Whether a drop of `page` on row `row` of the category / domain list would move it: the page must still
// be the one listed (same domain and category selected), the row must exist and must not be the page's
// own category / domain. Any other drop is ignored, without a message.
bool cListe_DragOver(const MainState& state, const DraggedPage& page, int row);
bool dListe_DragOver(const MainState& state, const DraggedPage& page, int row);

// The drops. On a domain the page goes into its category whose upper-cased name sorts first; a domain
// without categories is refused with a message. A copy that fails is reported with its cause and
// changes nothing; so does a source that cannot go to the trash (the copy is taken back). The end is a
// message naming the page by its title. Returns the path of the moved page, "" when nothing moved.
QString cListe_DragDrop(MainState& state, const DraggedPage& page, int row);
QString dListe_DragDrop(MainState& state, const DraggedPage& page, int row);

// The receiving category of a domain folder: its category whose upper-cased name sorts first.
QString receivingCategory(const QString& domainFolder);

// The move itself, to any category of any domain (the command line's way). The page must be the listed
// one; the target must exist and differ from the page's category. Returns the path of the moved page.
QString movePage(MainState& state, const DraggedPage& page, const QString& domain, const QString& category);

} // namespace qs
