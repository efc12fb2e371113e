#pragma once

#include <QString>
#include <QStringList>

namespace qs {

class MainState;

// The regeneration chain. Each writes the pages of what is current, then empties it:
//   cEnregistrer: the current category's frameset "Index.htm" and navigation page "IndexG.htm";
//   dEnregistrer: cEnregistrer, then the current domain's "Index.htm";
//   Enregistrer:  dEnregistrer, then the home pages "Index.html" and "Index.htm".
// They read the lists of the state, not the disk (but for the category's optional "Index.html"). Nothing
// is written while no site is open. Every file is written whole or not at all; a file that cannot be
// written, or a fragment that cannot be read, is reported through the state's Dialogs with its name and
// the previous page stays; the other pages are still written. What was current is emptied in any case,
// so a failure is reported once. A file of the site that the program did not write is not overwritten:
// it goes to the trash first (see writePage) and the outermost regeneration names such files in one
// message.
void cEnregistrer(MainState& state);
void dEnregistrer(MainState& state);
void Enregistrer(MainState& state);

} // namespace qs
