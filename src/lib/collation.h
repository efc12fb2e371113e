#pragma once

#include <QString>
#include <QStringList>

namespace qs {

// French alphabetical order, the one order of every sorted list and generated page: letters first, case
// and accents only between texts that are otherwise equal (Art, Économie, Finance, Œil, œuvres,
// Zoologie). Returns <0, 0 or >0.
int compareFrench(QStringView a, QStringView b);

// Sorts names in that order. Names the collation finds equal fall back to their exact code points, so
// the result does not depend on the order the disk listed them in.
void sortFrench(QStringList& names);

} // namespace qs
