#pragma once

#include <QString>

namespace qs {

class MainState;

// The listing of the domains made when a site is (re)opened: empties the three lists, disables the
// image index, and lists the site folder's folders less the reserved names of an opening.
void domainesInit(MainState& state);
// Re-lists the domains after a domain command, selects `name` when given, resets what lies below and
// regenerates the home page.
void DomainesLister(MainState& state, const QString& name = {});
// Selection of a domain / a category in the lists (the window calls these after the selection moved).
void dListe_Click(MainState& state);
void cListe_Click(MainState& state);

// The title of a page file: the text after <TITLE> up to the next "<", over several lines if need be,
// joined with single blanks. "" when the file has none or cannot be read.
QString pageTitle(const QString& path);

// Which operation a new name is for: it picks the prompt and the "already exists" message.
enum class NewNameKind { Site, Domain, Category };
// Asks for the name of a new site, domain or category until it is valid, and creates its folder in
// `parentFolder`. Returns the name, or "" when the user gave none (nothing created then).
QString newFolderName(MainState& state, NewNameKind kind, const QString& parentFolder);

} // namespace qs
