#pragma once

#include <QString>
#include <QStringList>

namespace qs {

class Clock;
class Dialogs;
struct ProgramValues;

// Every generated page of the site, the same bytes as the window writes when the user selects every
// category of every domain in turn and then saves: each category's "Index.htm" and "IndexG.htm", each
// domain's "Index.htm", then the home pages "Index.html" and "Index.htm". It reads the folders and
// calls the generators directly. Domains and categories are taken in the lists' order (Windows-1252
// upper case, equal names in listing order); a page is listed under its decoded title, and pages
// without a title are left out. A domain without categories asks for a first one through `dialogs`;
// when none is given it is passed over (its index is not written, the home page still lists it). A file
// that cannot be written, or a fragment that cannot be read, is reported with its name and the previous
// page stays.
struct WholeSiteReport {
    int domains = 0;        // domains whose pages were written
    int categories = 0;     // categories written
    QStringList passedOver; // domains without categories
};
WholeSiteReport regenerateWholeSite(const ProgramValues& values, const Clock& clock, Dialogs& dialogs);

} // namespace qs
