#pragma once

namespace qs {

class MainState;

// From now on, every page move and every rename of a domain or category that `state` reports (its
// relocated signal) offers to rewrite the site's links to the old address: "Mettre à jour N lien(s)
// dans M page(s) ?", Oui by default, the pages listed on request. The rewrite can be undone as the last
// replacement can.
void followRelocations(MainState& state);

} // namespace qs
