#!/usr/bin/env bash
# Refreshes the pictures in docs/screenshots: the studio with the pane on an
# example, an example menu rendered by velko-menu, and the examples' gallery. Runs under its own
# Xvfb with a temporary HOME, so no settings of yours are read or written.
# (The IDE's screenshot, docs/screenshots/ide.png, comes from the e2e test.)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target velko-menu velko-menu-studio VelkoMenuView

out=docs/screenshots
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME/Ombrix" && mkdir -m 700 "$XDG_RUNTIME_DIR"
# A quick refresh period, so the pane finds the menu within a second.
cat > "$XDG_CONFIG_HOME/Ombrix/VelkoMenuView.conf" <<CONF
[General]
Multiplier=2
Period=1
CONF

build/tools/velko-menu/velko-menu render examples/main_menu.c:30 --scale 3 --time 12:30 -o "$out/setpoint-menu.png"

# The gallery of the examples, both network variants side by side, in headless Chromium.
build/tools/velko-menu/velko-menu gallery examples --variant rs485: --variant wifi:-DHAS_WIFI \
    -o "$work/gallery" >/dev/null
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/chromium" --hide-scrollbars --window-size=1100,1300 \
    --screenshot="$PWD/$out/gallery.png" "file://$work/gallery/index.html" 2>/dev/null

cat > "$work/shoot.sh" <<'SHOT'
set -eu
"$1" "$2" &
pid=$!
for _ in $(seq 60); do
    xdotool search --onlyvisible --name 'Velko Menu Studio' >/dev/null 2>&1 && break
    sleep 0.5
done
sleep 3 # two refresh ticks: the pane has found the menu
import -window root "$3"
kill "$pid"
SHOT
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1100x700x24" bash "$work/shoot.sh" build/bin/velko-menu-studio \
    "$PWD/examples/main_menu.c:30:10" "$out/studio.png"
echo "screenshots: $out/studio.png $out/setpoint-menu.png $out/gallery.png"
