#!/usr/bin/env bash
# `velko-menu lsp` in a second real editor: Emacs in batch mode with Debian's
# eglot drives it through e2e_emacs.el on a copy of the broken example. Exits
# 77 (skipped) only when Emacs or eglot is not installed; Emacs runs with a
# temporary home, so no one's configuration takes part.
# Usage: e2e_emacs.sh VELKO_MENU EXAMPLES_DIR
set -euo pipefail

tool=$1
examples=$2
here=$(cd "$(dirname "$0")" && pwd)

if ! command -v emacs >/dev/null; then
    echo "e2e_emacs: emacs not found, skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home
mkdir -p "$HOME"
if ! emacs --batch -Q --eval "(progn (require 'package)
        (add-to-list 'package-directory-list \"/usr/share/emacs/site-lisp/elpa\")
        (package-initialize) (require 'eglot))" 2>/dev/null; then
    echo "e2e_emacs: eglot not installed (Debian: elpa-eglot), skipped"
    exit 77
fi
cp "$examples"/service_menu_broken.c "$work/"
export VELKO_MENU=$tool E2E_DIR=$work

# The Lisp side has its own deadlines; this one catches a hung editor.
timeout 120 emacs --batch -Q -l "$here/e2e_emacs.el"
