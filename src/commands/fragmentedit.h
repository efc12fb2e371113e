#pragma once

#include "generate/fragments.h"

namespace qs {

class MainState;

// The readers: each reads its file from the site folder into its text of the state. False (after a
// message through the state's Dialogs) when the file exists but cannot be read; the text is then "".
bool sendheaderd(MainState& state);
bool sendfooterd(MainState& state);
bool sendheaderc(MainState& state);
bool sendfooterc(MainState& state);

// Enters the fragment editing state (the context menus' "Modifier l'en-tête" / "Modifier le pied de
// page"): reads the fragment, puts its text into tTexteHead or tTexteFoot without the leading line
// break, disables the other box and the page text (showing "C'est en haut qu'il faut écrire !" or
// "C'est en bas qu'il faut écrire !"), shows HFOK and tAnnuler, locks "Catalogue" and shows "Editeur".
// False, with the state unchanged, when the fragment cannot be read.
bool fragmentEdit(MainState& state, Fragment fragment);
// The fragment editor's OK: writes the box's text (controls.tTexteHead or tTexteFoot, which the window
// keeps up to date) to the fragment being edited, each line ended by CR LF, whole or not at all, then
// leaves the editing state. On failure the message names the file and the editing state stays, so
// nothing typed is lost. A fragment saved unchanged keeps its lines; an empty box writes an empty file.
bool HFOK_Click(MainState& state);
// Leaves the fragment editing state without writing (the "Renoncer" button while a fragment is edited).
void fragmentEditEnd(MainState& state);

} // namespace qs
