#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build and test, and any named on
# the command line. Safe to run again: it only calls apt-get when something
# is missing. Works as root or via sudo.
set -euo pipefail

packages=(
    gcc g++ cmake ninja-build pkg-config clang-format
    gcc-avr avr-libc
    qt6-base-dev qt6-5compat-dev libgl-dev zlib1g-dev
    clang libclang-rt-14-dev
    libbenchmark-dev gcovr time
    qtcreator xvfb xauth xdotool imagemagick
    neovim emacs-nox elpa-eglot groff-base
    xclip dbus at-spi2-core python3-pyatspi
    git chromium nodejs
    "$@"
)

# The published SARIF 2.1.0 schema and a validator for it, from npm, into
# .deps/npm (tst_gallery validates check's SARIF with them).
install_sarif_schema() {
    local dir
    dir="$(cd "$(dirname "$0")/.." && pwd)/.deps/npm"
    [ -f "$dir/node_modules/@microsoft/jest-sarif/lib/schemas/sarif-2.1.0-rtm.5.json" ] && return 0
    command -v npm >/dev/null || { echo "install-deps: npm is missing: no SARIF schema" >&2; return 0; }
    mkdir -p "$dir"
    npm install --no-save --no-package-lock --no-audit --no-fund --ignore-scripts --silent \
        --prefix "$dir" @microsoft/jest-sarif@1.0.0-beta.0
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    install_sarif_schema
    exit 0
fi

root_for="install-deps: to install ${missing[*]}"
source "$(dirname "$0")/root.sh"

echo "install-deps: installing ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
install_sarif_schema
