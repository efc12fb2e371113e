#include "sitefixture.h"
#include "commands/selection.h"

#include "site/listing.h"

namespace qs::test {

void SiteFixture::clickDomain(const QString& name) {
    state.dListe.select(state.dListe.find(name));
    dListe_Click(state);
}

void SiteFixture::clickCategory(const QString& name) {
    state.cListe.select(state.cListe.find(name));
    cListe_Click(state);
}

} // namespace qs::test
