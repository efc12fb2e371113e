#pragma once

#include <QString>

namespace qs {

class MainState;

// Where the user stands in the three lists: the selected domain, category and page (by its file name,
// which outlives a change of title). Empty parts were not selected.
struct SitePlace {
    QString domain;
    QString category;
    QString pageFile;
};

SitePlace currentPlace(const MainState& state);
// Selects again, through the lists' own selection handling, as much of `place` as still exists. A
// domain that no longer has any category is left unselected rather than asking for a first one.
void restorePlace(MainState& state, const SitePlace& place);

// What the browser pane shows for the lists' selection: the selected page, else the selected category's
// frameset, else the selected domain's index page, else the site's home page. A generated page not yet
// written gives way to the level above.
QString previewAddress(const MainState& state);

} // namespace qs
