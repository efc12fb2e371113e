#pragma once

#include "lib/files.h"
#include "lib/settings.h"

#include <QDir>
#include <QString>

namespace qs::cli {

// The setting "Indexer" tells whether the window's site has been indexed, and the generated pages link
// to "Rechercher" and "Nouveautés" only when it is "Oui". A command working on another site lets it
// describe that site for as long as the command runs ("Oui" when the site has its search list), then
// gives the window's value back.
class SiteIndexFlag {
public:
    explicit SiteIndexFlag(const QString& siteFolder) {
        const QString windowSite = ParamètreLire(QStringLiteral("Répertoire"));
        if (!windowSite.isEmpty() && QDir(windowSite).absolutePath() == QDir(siteFolder).absolutePath())
            return;
        saved_ = true;
        previous_ = ParamètreLire(key());
        setSiteIndexed(FichierExiste(siteFolder + QStringLiteral("Search.htm")));
    }
    ~SiteIndexFlag() {
        if (saved_)
            ParamètreEcrire(key(), previous_);
    }
    SiteIndexFlag(const SiteIndexFlag&) = delete;
    SiteIndexFlag& operator=(const SiteIndexFlag&) = delete;

private:
    static QString key() { return QStringLiteral("Indexer"); }
    bool saved_ = false;
    QString previous_;
};

} // namespace qs::cli
