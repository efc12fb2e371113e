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
// frameset, else the selected domain's index page, else the site's home page. A selected page whose file
// is gone gives way to its category. An index that has not been generated yet is not replaced by another
// level's page (which would pass for the selection's): `missing` then says so in French.
struct Preview {
    QString address;
    QString missing; // empty when `address` can be shown
};
Preview previewTarget(const MainState& state);

} // namespace qs
