#pragma once

#include "indexer/indexer.h"
#include "lib/clock.h"
#include "scripteddialogs.h"
#include "testutil.h"

// The small French site of tests/data/fulltext, copied into a temporary folder and indexed.
inline void copyFullTextSite(const qs::test::TempDir& site) {
    qs::test::copyDataTree(QStringLiteral("fulltext/site"), site);
}

inline qs::IndexResult indexWithFullText(const qs::test::TempDir& site, qs::Dialogs& dialogs,
                                         qs::IndexProgress* progress = nullptr, bool fullText = true) {
    qs::FixedClock clock(QDateTime(QDate(2026, 3, 4), QTime(9, 7)), QStringLiteral("marie"));
    qs::IndexProgress none;
    return qs::IndexerSite(
        site.path(), clock, dialogs, progress ? *progress : none, false,
        {fullText, QStringLiteral("F0F0FF"), QStringLiteral("509000"), QStringLiteral("000090")});
}
