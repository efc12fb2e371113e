#!/usr/bin/env bash
# Installs the desktop component of the build folder $1 into a temporary prefix and validates it.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
id=fr.vendrel.Quillsite

cmake --install "$build" --component desktop --prefix "$prefix" >/dev/null

entry="$prefix/share/applications/$id.desktop"
desktop-file-validate "$entry"
grep -qx "Exec=$prefix/quillsite" "$entry" || { echo "Exec does not name the installed program:"; grep '^Exec' "$entry"; exit 1; }
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"

for size in 16 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -f "$icon" ] || { echo "missing icon: $icon"; exit 1; }
    head -c 24 "$icon" | od -An -tu1 | tr -s ' ' | grep -q "137 80 78 71" || { echo "not a PNG: $icon"; exit 1; }
done
[ -f "$prefix/share/icons/hicolor/scalable/apps/$id.svg" ] || { echo "missing scalable icon"; exit 1; }
echo "desktop files valid"
