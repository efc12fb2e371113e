#pragma once

namespace qs {

class MainState;

// The regeneration chain. Each writes the pages of what is current, then empties it:
//   cEnregistrer: the current category's frameset "Index.htm" and navigation page "IndexG.htm";
//   dEnregistrer: cEnregistrer, then the current domain's "Index.htm";
//   Enregistrer:  dEnregistrer, then the home pages "Index.html" and "Index.htm".
// They read the lists of the state, not the disk. A file that cannot be written is reported through the
// state's Dialogs with its name.
void cEnregistrer(MainState& state);
void dEnregistrer(MainState& state);
void Enregistrer(MainState& state);

} // namespace qs
