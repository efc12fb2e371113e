#include "generate/wholesite.h"

#include "generate/fragments.h"
#include "generate/pages.h"
#include "generate/pagewriter.h"
#include "lib/clock.h"
#include "lib/collation.h"
#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/htmltext.h"
#include "lib/settings.h"
#include "lib/sitelock.h"
#include "lib/text1252.h"
#include "site/listing.h"

#include <algorithm>

namespace qs {

namespace {

// The order of the window's lists: French order, equal texts in the order they were added.
void sortAsListed(QStringList& names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const QString& a, const QString& b) { return compareFrench(a, b) < 0; });
}

class SiteWriter {
public:
    SiteWriter(const ProgramValues& values, const Clock& clock, Dialogs& dialogs)
        : values_(values), clock_(clock), dialogs_(dialogs), id_(ProgrammeID()), indexed_(siteIndexed()) {}

    ~SiteWriter() {
        // Files of the user's that the pages replaced were put in the trash: they are named once.
        if (!trashed_.isEmpty())
            dialogs_.message(trashedPagesMessage(trashed_), Icon::Information,
                             QStringLiteral("Fichiers mis à la corbeille"));
    }
    SiteWriter(const SiteWriter&) = delete;
    SiteWriter& operator=(const SiteWriter&) = delete;

    bool write(const QString& path, const QStringList& lines) {
        QString error;
        if (writePage(path, lines, &error, &trashed_))
            return true;
        dialogs_.message(error, Icon::Exclamation, QStringLiteral("Erreur"));
        return false;
    }

    // A fragment that exists but cannot be read is reported; the caller then keeps the previous page.
    std::optional<QString> fragment(Fragment which) {
        QString error;
        auto text = readFragment(values_.Répertoire + fragmentFileName(which), &error);
        if (!text)
            dialogs_.message(error, Icon::Exclamation, QStringLiteral("Erreur"));
        return text;
    }

    void category(const QString& domain, const QString& category) {
        const QString folder = withSeparator(values_.Répertoire + domain) + category + sep();
        CategoryPage page;
        page.domain = domain;
        page.category = category;
        page.couleurFond = values_.CouleurFond;
        page.couleurTitre = values_.CouleurTitre;
        page.couleurTexte = values_.CouleurTexte;
        page.id = id_;
        page.indexed = indexed_;
        const CategoryFiles files = categoryFiles(folder);
        const QStringList titles = pageTitles(folder, files.pages);
        for (qsizetype i = 0; i < files.pages.size(); ++i) {
            if (!titles[i].isEmpty())
                page.pages.append({decodeHtmlText(titles[i]), files.pages[i]});
        }
        std::stable_sort(page.pages.begin(), page.pages.end(),
                         [](const CategoryPage::Entry& a, const CategoryPage::Entry& b) {
                             return compareFrench(a.title, b.title) < 0;
                         });
        if (page.pages.isEmpty()) {
            page.right = QStringLiteral("IndexG.htm");
        } else {
            page.right = files.introduction;
            if (page.right.isEmpty())
                page.right = page.pages.first().file;
        }
        // Each page is written if it can be: the navigation page still serves without the frameset.
        write(folder + QStringLiteral("Index.htm"), framesetLines(page));
        write(folder + QStringLiteral("IndexG.htm"), navigationLines(page));
    }

    void domain(const QString& domain, const QStringList& categories) {
        DomainPage page;
        page.domain = domain;
        page.couleurFond = values_.CouleurFond;
        page.id = id_;
        page.categories = categories;
        const auto header = fragment(Fragment::HeadC);
        if (!header)
            return;
        const auto footer = fragment(Fragment::FootC);
        if (!footer)
            return;
        page.header = *header;
        page.footer = *footer;
        write(withSeparator(values_.Répertoire + domain) + QStringLiteral("Index.htm"),
              domainPageLines(page));
    }

    void home(const QStringList& domains) {
        HomePage page;
        page.couleurFond = values_.CouleurFond;
        page.couleurTitre = values_.CouleurTitre;
        page.id = id_;
        page.maker = QString::fromUtf16(kMakerAddress);
        page.user = clock_.userName();
        page.indexed = indexed_;
        page.domains = domains;
        // The two copies are made one after the other, each with the fragments and the date of its moment.
        for (const QString& name : {QStringLiteral("Index.html"), QStringLiteral("Index.htm")}) {
            const auto header = fragment(Fragment::HeadD);
            if (!header)
                return;
            const auto footer = fragment(Fragment::FootD);
            if (!footer)
                return;
            page.header = *header;
            page.footer = *footer;
            page.date = updateDate(clock_.now());
            write(values_.Répertoire + name, homePageLines(page));
        }
    }

private:
    const ProgramValues& values_;
    const Clock& clock_;
    Dialogs& dialogs_;
    const QString id_;
    const bool indexed_;
    QStringList trashed_;
};

} // namespace

WholeSiteReport regenerateWholeSite(const ProgramValues& values, const Clock& clock, Dialogs& dialogs) {
    WholeSiteReport report;
    if (values.Répertoire.isEmpty())
        return report;
    const SiteLock lock(values.Répertoire);
    if (lockRefused(lock, dialogs))
        return report;
    SiteWriter writer(values, clock, dialogs);
    BusyPointer busy(dialogs);
    QStringList domains = siteDomains(values.Répertoire, DomainListing::Opening);
    sortAsListed(domains);
    for (const QString& domain : domains) {
        const QString domainFolder = withSeparator(values.Répertoire + domain);
        QStringList categories = domainCategories(domainFolder);
        sortAsListed(categories);
        if (categories.isEmpty()) {
            // A domain needs a category before its index can be written, as in the window.
            const QString name = askNewFolderName(dialogs, NewNameKind::Category, domainFolder,
                                                  [](const QString&) { return false; });
            if (name.isEmpty()) {
                report.passedOver.append(domain);
                continue;
            }
            categories.append(name);
        }
        ++report.domains;
        for (const QString& category : categories) {
            writer.category(domain, category);
            ++report.categories;
            dialogs.processEvents();
        }
        writer.domain(domain, categories);
    }
    writer.home(domains);
    return report;
}

} // namespace qs
