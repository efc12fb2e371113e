#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages that building, testing and running Quillsite need,
# leaving alone those already present. Uses sudo when not run as root.
#   install-deps.sh          building, testing and running with GCC
#   install-deps.sh clang    also clang, its sanitizer and fuzzer runtimes, clang-tidy and clang-format
set -euo pipefail

packages=(
    build-essential cmake make pkg-config git ccache
    qt6-base-dev qt6-base-dev-tools libgl-dev
    qt6-webengine-dev
    libgtest-dev googletest
    xvfb xauth
    qt6-translations-l10n
    desktop-file-utils appstream
)
if [ "${1:-}" = clang ]; then
    packages+=(clang libclang-rt-14-dev clang-tidy clang-format)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installation des paquets manquants : ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# Qt WebEngine is optional: without it the browser pane falls back to QTextBrowser.
if ! $sudo apt-get install -y -qq "${missing[@]}"; then
    rest=()
    for p in "${missing[@]}"; do [ "$p" = qt6-webengine-dev ] || rest+=("$p"); done
    $sudo apt-get install -y -qq "${rest[@]}"
fi
