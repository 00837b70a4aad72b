#!/usr/bin/env bash
# End to end in the real IDE: values typed through the pane outlive a close
# that discards edits. Values are typed into the entry dialog for an item
# whose text is a header's constant (menu Alpha) and for a plain one (menu
# Beta); the file is saved afterwards, so that only the pruning's reading of
# the file can keep them; Beta's lines are deleted, and the editor closed
# with "Do Not Save". The store still holds both values; the IDE, started
# again on the file, shows each menu with its value pixel for pixel as
# `velko-menu render` draws it from the store (and not as it draws it from
# an empty one). Every wait polls a condition with a deadline; exits 77
# (skipped) only when no X server can be started.
#
# usage: e2e_ide_values.sh QTCREATOR PLUGIN_DIR VELKO_MENU E2E_SCREEN OUT_DIR
set -euo pipefail

if [ $# -ne 5 ]; then
    echo "usage: $0 QTCREATOR PLUGIN_DIR VELKO_MENU E2E_SCREEN OUT_DIR" >&2
    exit 2
fi
qtcreator=$1 plugins=$2 velko_menu=$3 screen_tool=$4 out=$5

test_name=e2e_ide_values
# shellcheck source=ide_session.sh
. "$(dirname "$0")/ide_session.sh"

src=$work/src
mkdir -p "$src"
printf '#define S_TEMP "Temp %%d C"\n' > "$src/strings.h"
cat > "$src/menu.c" <<'EOF'
#include "strings.h"
BEGIN_MENU(Alpha)
  MENU_ITEM(S_TEMP, onTemp)
END_MENU(Alpha, "Alpha")
BEGIN_MENU(Beta)
  MENU_ITEM("Beta %d", onBeta)
END_MENU(Beta, "Beta")
EOF
menu=$src/menu.c
store=$XDG_CONFIG_HOME/Ombrix/VelkoMenuView.conf
printf '[General]\nMultiplier=2\nPeriod=1\n' > "$store"
mkdir -p "$settings/QtProject"
printf '[NavigationLeft]\nViews=VelkoMenuView, Open Documents\nVisible=true\nWidth=400\n' \
    > "$settings/QtProject/QtCreator.ini"

# stored KEY VALUE: the store holds VALUE under the item KEY of menu.c's group.
stored() { grep -qF "$1\\Param1=$2" "$store"; }
alpha_key='Alpha\Temp%20%25d%20C'
beta_key='Beta\Beta%20%25d'

# to_line LINE: the editor's cursor to the start of LINE; a click into the
# editor first, as the pane's screen may hold the keyboard.
to_line() {
    xdotool windowfocus --sync "$window"
    xdotool mousemove 900 500 click 1
    xdotool key ctrl+Home $(printf 'Down %.0s' $(seq $(($1 - 1))))
}

# type_value LINE VALUE: the cursor into LINE, the pane's screen shown as
# velko-menu draws it, a click on the first item and VALUE typed into the
# entry dialog.
type_value() {
    local line=$1 value=$2
    reference "$menu" "$line" 5
    to_line "$line"
    wait_for 30 "menu of line $line" shot_shows || { explain; fail "the pane does not show line $line's menu"; }
    read -r sx sy < <(sed -n 's/.* at \([0-9]*\),\([0-9]*\)$/\1 \2/p' "$work/match.txt") \
        || fail "no screen position in: $(cat "$work/match.txt")"
    # Rows are 16 pixels at magnification 2: the first item's middle.
    xdotool mousemove $((sx + 20)) $((sy + 24)) click 1
    # The entry dialog takes the keyboard once it is up.
    sleep 1
    xdotool type --delay 100 "$value"
    xdotool key Return
}

start_xvfb
start_bus
start_ide '^menu\.c.* - Qt Creator$' -pluginpath "$plugins" "$menu:3:5"
log "IDE window $window is up"

type_value 3 42
wait_for 10 "Alpha's value in the store" stored "$alpha_key" 42 || fail "no value stored for Alpha: $(cat "$store")"
type_value 6 7
wait_for 10 "Beta's value in the store" stored "$beta_key" 7 || fail "no value stored for Beta: $(cat "$store")"
log "values typed through the pane: $(grep -c 'Param1=' "$store") in the store"

# Saved after the typing: the values are older than the file.
sleep 1.1
to_line 1
xdotool key ctrl+End Return
xdotool type --delay 50 "// saved"
xdotool key ctrl+s
saved() { grep -q '^// saved' "$menu"; }
wait_for 30 "saved file" saved || fail "the IDE did not save the file"

# Beta's lines deleted, then the editor closed without saving.
xdotool key ctrl+Home Down Down Down Down shift+Down shift+Down shift+Down Delete
xdotool key ctrl+w
asked() { shows_text "Do Not Save"; }
wait_for 20 "the question to save" asked || fail "the IDE did not ask to save the edits"
xdotool key alt+n
closed() { ! xdotool search --onlyvisible --name '^menu\.c' >/dev/null 2>&1; }
wait_for 20 "the editor closed" closed || fail "the editor did not close"
grep -q '^BEGIN_MENU(Beta)' "$menu" || fail "the discarded edit reached the file"
sleep 1
stored "$alpha_key" 42 || fail "the close took Alpha's value (a header's constant): $(cat "$store")"
stored "$beta_key" 7 || fail "the close took Beta's value (discarded edits): $(cat "$store")"
log "after \"Do Not Save\" the store keeps both values"
quit_ide

# Started again: each menu shows its value.
start_ide '^menu\.c.* - Qt Creator$' -pluginpath "$plugins" "$menu:6:5"
for line in 6 3; do
    HOME=$work/empty XDG_CONFIG_HOME=$work/empty/.config \
        "$velko_menu" render "$menu:$line:5" --scale 2 --time 00:00 -o "$work/no-values.png" \
        || fail "velko-menu render failed"
    reference "$menu" "$line" 5
    cmp -s "$work/reference-00:00.png" "$work/no-values.png" \
        && fail "the reference of line $line does not show the stored value"
    to_line "$line"
    wait_for 30 "menu of line $line with its value" shot_shows \
        || { explain; fail "reopened, the pane does not show line $line's value"; }
    log "reopened, line $line: $(cat "$work/match.txt")"
done
window_shot e2e_ide_values.png
quit_ide
echo "$test_name: PASS"
