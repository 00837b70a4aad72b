#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build and test, and any named on
# the command line. Safe to run again: it only calls apt-get when something
# is missing. Works as root or via sudo.
set -euo pipefail

packages=(
    gcc g++ cmake ninja-build pkg-config clang-format
    qt6-base-dev qt6-5compat-dev libgl-dev
    clang libclang-rt-14-dev
    libbenchmark-dev gcovr time
    qtcreator xvfb xauth xdotool imagemagick
    neovim emacs-nox elpa-eglot groff-base
    xclip dbus at-spi2-core python3-pyatspi
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

root_for="install-deps: to install ${missing[*]}"
source "$(dirname "$0")/root.sh"

echo "install-deps: installing ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
