#pragma once

#include "site/listing.h"

#include <QString>

namespace qs {

class MainState;

// The listing made when a site is (re)opened: empties the three lists, disables the image index, and
// lists the domains less the reserved names of an opening. Nothing stays current: call Enregistrer
// before changing the site folder, so that the pages of the site being left are written first.
void domainesInit(MainState& state);
// Re-lists the domains after a domain command, selects `name` when given (which runs dListe_Click),
// resets what lies below and regenerates the home page. What was current is regenerated first, while the
// lists still describe it.
void DomainesLister(MainState& state, const QString& name = {});

// Selection of a domain / a category. The window calls these once the user has moved the selection of
// dListe / cListe; the logic selects rows itself and then calls them (the window must not call them
// again for a selection made by the program). Leaving a domain or category regenerates it first; a
// domain without categories asks for a first one (cAjouter_Click) and is deselected when none is given.
void dListe_Click(MainState& state);
void cListe_Click(MainState& state);

// The add-category button: regenerates the current category, asks for the new category's name, creates
// its folder in the selected domain, adds and selects it.
void cAjouter_Click(MainState& state);

// Clearing what depends on a selection: dEffacer empties the categories (and all below) and disables
// cAjouter; cEffacer empties the pages and disables the page buttons and the image index; tEffacer
// empties the editor's title and text.
void dEffacer(MainState& state);
void cEffacer(MainState& state);
void tEffacer(MainState& state);

// Asks for the name of a new site, domain or category until it is valid, and creates its folder in
// `parentFolder`. A name that is taken (a folder of the program folder for a site, a row of dListe or
// cListe, case ignored) is refused with "... existe déjà !"; a name holding a folder separator ("/" or
// "\"), a control character, or made of "." or "..", and a name whose folder cannot be created, with
// the invalid-name message. Returns the name, or "" when the user gave none (nothing created then).
QString newFolderName(MainState& state, NewNameKind kind, const QString& parentFolder);

// The image index button: writes the index of the category selected in cListe (domain selected in
// dListe), lists the category's pages again, and makes the selected domain and category current.
void ImgIndex_Click(MainState& state);

} // namespace qs
