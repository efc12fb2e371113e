#pragma once

#include "testutil.h"

namespace qs::test {

// A small site with one problem of each kind, and links that are fine written in every way
// (tests/data/check/site).
inline void writeCheckedSite(const TempDir& dir) {
    copyDataTree(QStringLiteral("check/site"), dir);
}

// An expected report of tests/data/check, with "SITE/" standing for the site's folder.
inline QByteArray expectedReport(const QString& name, const TempDir& dir) {
    QByteArray bytes = readFile(QStringLiteral(QUILLSITE_SOURCE_DIR "/tests/data/check/") + name);
    return bytes.replace("SITE/", dir.path().toUtf8());
}

} // namespace qs::test
