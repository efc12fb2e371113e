#include "lib/collation.h"

#include <QCollator>

#include <algorithm>

namespace qs {

namespace {

// Building a collator loads the locale's rules: one per thread, made once.
const QCollator& french() {
    thread_local const QCollator collator = [] {
        QCollator c(QLocale(QLocale::French, QLocale::France));
        c.setCaseSensitivity(Qt::CaseSensitive); // case decides only between otherwise equal texts
        c.setNumericMode(false);
        c.setIgnorePunctuation(false);
        return c;
    }();
    return collator;
}

} // namespace

int compareFrench(QStringView a, QStringView b) {
    return french().compare(a, b);
}

void sortFrench(QStringList& names) {
    QList<std::pair<QCollatorSortKey, qsizetype>> keyed;
    keyed.reserve(names.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        keyed.append({french().sortKey(names[i]), i});
    std::sort(keyed.begin(), keyed.end(), [&names](const auto& x, const auto& y) {
        const int c = x.first.compare(y.first);
        return c != 0 ? c < 0 : names[x.second] < names[y.second];
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto& k : keyed)
        sorted.append(names[k.second]);
    names = std::move(sorted);
}

} // namespace qs
