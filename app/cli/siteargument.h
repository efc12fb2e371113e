#pragma once

#include "cli/command.h"
#include "commands/mainstate.h"
#include "lib/files.h"
#include "lib/settings.h"

#include <QCoreApplication>

#include <QDir>
#include <QFileInfo>
#include <QString>

namespace qs::cli {

// The site folder named on the command line, absolute and with a trailing separator. A file stands for
// its folder, as when a site is opened through its home page. "" after a message when there is none.
inline QString siteFolderArgument(const QString& argument) {
    const QFileInfo info(argument);
    if (info.isFile())
        return withSeparator(info.absolutePath());
    if (info.isDir())
        return withSeparator(QDir::cleanPath(info.absoluteFilePath()));
    err(QStringLiteral("Le site « %1 » n'existe pas : donnez le dossier du site ou sa page d'accueil.")
            .arg(argument));
    return {};
}

// The program's own folder, as a MainState is given it.
inline QString programFolder() {
    return withSeparator(QCoreApplication::applicationDirPath());
}

// The window's state on the site in `root` (as siteFolderArgument gives it): its folder, its home page
// and the program's settings. Its domains are not listed yet.
inline void openSiteFolder(MainState& state, const QString& root) {
    state.values.Répertoire = root;
    state.values.Adresse = root + QStringLiteral("Index.htm");
    OptionsCharger(state.values);
}

} // namespace qs::cli
