#pragma once

#include "ui/browserpane.h"

#include <QString>

namespace qs {

struct StartupOptions {
    // Where the templates are and where New Site creates sites; empty: the executable's folder.
    QString programFolder;
    // The program's file name without extension (the build-machine marker is named after it); empty:
    // the executable's.
    QString programName;
    BrowserPane::Engine browser = BrowserPane::Engine::Default;
    // How long the splash window stays up at least, in milliseconds.
    int splashMilliseconds = 1000;
};

// The program's start-up: the splash window, the update on the build machine, then the main window
// with the stored site open. Runs the event loop until the program ends; returns its exit code.
int Main(const StartupOptions& options = {});

} // namespace qs
