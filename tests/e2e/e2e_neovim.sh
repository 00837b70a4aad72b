#!/usr/bin/env bash
# `velko-menu lsp` in a real editor: headless Neovim drives it through
# e2e_neovim.lua on copies of the examples. Exits 77 (skipped) only when
# Neovim is not installed; Neovim's own state goes to a temporary folder.
# Usage: e2e_neovim.sh VELKO_MENU EXAMPLES_DIR
set -euo pipefail

tool=$1
examples=$2
here=$(cd "$(dirname "$0")" && pwd)

if ! command -v nvim >/dev/null; then
    echo "e2e_neovim: nvim not found, skipped"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$examples"/*.c "$work/"
export XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state XDG_CACHE_HOME=$work/cache
export VELKO_MENU=$tool E2E_DIR=$work

# The Lua side has its own deadlines; this one catches a hung editor.
timeout 120 nvim --headless --clean -n -i NONE -u "$here/e2e_neovim.lua"
