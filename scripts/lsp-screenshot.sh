#!/usr/bin/env bash
# Refreshes docs/screenshots/lsp-neovim.png: Neovim in an xterm under an Xvfb
# of its own, with a temporary home, talking to `velko-menu lsp` on the broken
# example; the picture is taken once the diagnostics are on screen.
# Usage: scripts/lsp-screenshot.sh [VELKO_MENU]   (default: build/tools/velko-menu/velko-menu)
set -euo pipefail
cd "$(dirname "$0")/.."

tool=$(realpath "${1:-build/tools/velko-menu/velko-menu}")
[ -x "$tool" ] || { echo "lsp-screenshot: no velko-menu at $tool; build it first" >&2; exit 1; }

packages=(xvfb x11-utils xterm xdotool imagemagick neovim fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_STATE_HOME=$work/home/.local/state XDG_CACHE_HOME=$work/home/.cache
mkdir -p "$XDG_CONFIG_HOME/nvim"
cp examples/service_menu_broken.c "$work/"

# The README's setup, then the finding under the cursor in a float once it arrives.
cat >"$XDG_CONFIG_HOME/nvim/init.lua" <<EOF
vim.o.number = true
vim.o.termguicolors = true
vim.cmd('highlight NormalFloat guibg=#2d333b guifg=#e0e0e0')
local velko
vim.api.nvim_create_autocmd('FileType', {
  pattern = 'c',
  callback = function(args)
    velko = velko or vim.lsp.start_client({ name = 'velko-menu', cmd = { '$tool', 'lsp' } })
    vim.lsp.buf_attach_client(args.buf, velko)
  end,
})
vim.api.nvim_create_autocmd('DiagnosticChanged', {
  callback = function()
    if #vim.diagnostic.get(0) == 0 then return end
    vim.api.nvim_win_set_cursor(0, { 17, 0 })
    -- After the cursor move has been seen, or it would close the float at once.
    vim.defer_fn(function()
      vim.diagnostic.open_float({ scope = 'cursor' })
      vim.defer_fn(function() vim.fn.writefile({}, '$work/ready') end, 500)
    end, 300)
  end,
})
EOF

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1400x700x24 -nolisten tcp &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

cd "$work"
xterm -geometry 128x24+0+0 -fa 'DejaVu Sans Mono' -fs 11 -bg '#1e1e1e' -fg '#d4d4d4' \
    -e nvim service_menu_broken.c &
pids+=($!)
for _ in $(seq 100); do [ -e "$work/ready" ] && break; sleep 0.1; done
[ -e "$work/ready" ] || { echo "lsp-screenshot: no diagnostics within 10 s" >&2; exit 1; }

cd - >/dev/null
window=$(xdotool search --sync --class xterm | head -n 1)
mkdir -p docs/screenshots
import -window "$window" docs/screenshots/lsp-neovim.png
echo "lsp-screenshot: wrote docs/screenshots/lsp-neovim.png"
