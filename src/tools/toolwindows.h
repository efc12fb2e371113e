#pragma once

class QWidget;

namespace qs {

// The Tools menu's entries for the batch tools: each hides the main window and shows its tool window
// (made on first use, kept while the main window lives, so that its boxes keep what was typed);
// "Quitter" in the tool shows the main window again. The tools' messages belong to their own window.
void mnuOptionsRemp_Click(QWidget* main);
void mnuOptionsImport_Click(QWidget* main);

} // namespace qs
