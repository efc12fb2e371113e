#!/usr/bin/env bash
# Registers an installed Quillsite ($1: its install folder) in the user's application menu: the desktop
# entry and the icons go into the user's data folder, where desktops look for them.
set -euo pipefail
prefix=$1
id=fr.vendrel.Quillsite
data=${XDG_DATA_HOME:-$HOME/.local/share}

mkdir -p "$data/applications" "$data/icons"
cp "$prefix/share/applications/$id.desktop" "$data/applications/$id.desktop"
cp -r "$prefix/share/icons/hicolor" "$data/icons/"
# Menus and icon caches catch up at once where the tools exist; elsewhere at the next session.
command -v update-desktop-database >/dev/null && update-desktop-database -q "$data/applications" || true
command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t "$data/icons/hicolor" || true
