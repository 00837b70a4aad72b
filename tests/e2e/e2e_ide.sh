#!/usr/bin/env bash
# End to end in the real IDE: the module is listed by `qtcreator -version`,
# loads from the user plug-in folder, and under Xvfb its pane shows the menu
# at the cursor pixel for pixel as `velko-menu render` draws it at
# magnification 2; typing into the title changes the screen to the edited
# menu; with a refresh period of 10 s, moving the cursor into the next menu
# shows it within 1 s; a misspelt closing name shows its reason in the status
# line (read through the accessibility bus); Ctrl+C on the screen puts its
# picture on the clipboard (read with xclip); the IDE then saves and quits
# with status 0. Every wait polls a condition with a deadline. HOME, the XDG
# folders and the IDE's settings live in OUT_DIR/run. Exits 77 (skipped) only
# when no X server can be started.
#
# usage: e2e_ide.sh QTCREATOR PLUGIN_DIR VELKO_MENU E2E_SCREEN EXAMPLE.c OUT_DIR
set -euo pipefail

if [ $# -ne 6 ]; then
    echo "usage: $0 QTCREATOR PLUGIN_DIR VELKO_MENU E2E_SCREEN EXAMPLE.c OUT_DIR" >&2
    exit 2
fi
qtcreator=$1 plugins=$2 velko_menu=$3 screen_tool=$4 example=$5 out=$6

test_name=e2e_ide
# shellcheck source=ide_session.sh
. "$(dirname "$0")/ide_session.sh"

# --- The module as the IDE lists it -----------------------------------------
listed() { grep -E '^[[:space:]]*VelkoMenuView 1\.0\.0([[:space:]]|$)' "$1" | sed 's/^[[:space:]]*//'; }

QT_QPA_PLATFORM=offscreen "$qtcreator" -version -settingspath "$settings" -pluginpath "$plugins" \
    > "$work/version.txt" 2>&1 || fail "qtcreator -version failed: $(cat "$work/version.txt")"
entry=$(listed "$work/version.txt") || fail "qtcreator -version -pluginpath does not list VelkoMenuView 1.0.0"
log "qtcreator -version -pluginpath lists: $entry"

ide_version=$(sed -n 's/^Qt Creator \([0-9.]*\) .*/\1/p' "$work/version.txt" | head -n 1)
[ -n "$ide_version" ] || fail "no IDE version in qtcreator -version"
user_plugins=$XDG_DATA_HOME/data/QtProject/qtcreator/plugins/$ide_version
mkdir -p "$user_plugins"
cp "$plugins/libVelkoMenuView.so" "$user_plugins/"
QT_QPA_PLATFORM=offscreen "$qtcreator" -version -settingspath "$settings" > "$work/version-user.txt" 2>&1 \
    || fail "qtcreator -version failed"
listed "$work/version-user.txt" >/dev/null || fail "the IDE does not list the module installed in $user_plugins"
log "the module loads from the user plug-in folder ${user_plugins#"$HOME"/}"

start_xvfb
log "Xvfb on $DISPLAY"
start_bus

# --- The example, the cursor at the start of its first menu's title ---------
name=$(basename "$example")
source=$work/$name
cp "$example" "$source"
title_re='END_(EDITABLE_)?MENU\([A-Za-z_0-9]+, *"'
line=$(grep -nE "$title_re" "$source" | head -n 1 | cut -d: -f1)
[ -n "$line" ] || fail "$name has no closing macro with a title literal"
# The part before the title is ASCII, so its length in bytes is the column.
prefix=$(sed -n "${line}p" "$source" | grep -oE "^.*$title_re" | head -n 1)
column=$((${#prefix} + 1))
typed=$work/typed/$name
mkdir -p "$work/typed"
awk -v n="$line" -v c="$column" 'NR == n { $0 = substr($0, 1, c - 1) "XY" substr($0, c) } { print }' \
    "$source" > "$typed"

# --- The IDE with fresh settings, the pane open, magnification 2 ------------
# A period of 10 s: only the pane's following of the cursor can pass the 1 s below.
printf '[General]\nMultiplier=2\nPeriod=10\n' > "$XDG_CONFIG_HOME/Ombrix/VelkoMenuView.conf"
mkdir -p "$settings/QtProject"
printf '[NavigationLeft]\nViews=VelkoMenuView, Open Documents\nVisible=true\nWidth=400\n' \
    > "$settings/QtProject/QtCreator.ini"

# The title is "NAME - Qt Creator", with " [branch]" inside a Git work tree.
start_ide "^${name//./\\.}.* - Qt Creator\$" "$source:$line:$column"
log "IDE window $window is up on $name:$line:$column"

reference "$source" "$line" "$column"
if ! wait_for 120 "menu screen" shot_shows; then
    explain
    fail "the pane never showed the menu as velko-menu draws it"
fi
log "$(cat "$work/match.txt")"
window_shot e2e_ide_menu.png

# --- Typing into the title ----------------------------------------------------
before=$work/before.png
cp "$work/reference.png" "$before"
reference "$typed" "$line" $((column + 2))
cmp -s "$before" "$work/reference.png" && fail "typing XY would not change the reference screen"
xdotool windowfocus --sync "$window"
xdotool type --delay 100 "XY"
if ! wait_for 30 "screen for the typed title" shot_shows; then
    explain
    fail "typing did not change the screen to the edited menu"
fi
log "after typing XY: $(cat "$work/match.txt")"
read -r sx sy < <(sed -n 's/.* at \([0-9]*\),\([0-9]*\)$/\1 \2/p' "$work/match.txt") \
    || fail "no screen position in: $(cat "$work/match.txt")"
cp "$before" "$work/reference.png"
! shows || fail "the screen still shows the menu as it was before typing"
window_shot e2e_ide.png

# --- Following the cursor into the next menu, far within the period ------------
# Four lines down from the title of the first menu is an item of the second.
# Shots of the pane's corner only: quicker to take and to search, so that
# the polling itself takes little of the second.
corner_shows() {
    import -window root -crop "400x500+$((sx > 8 ? sx - 8 : 0))+$((sy > 8 ? sy - 8 : 0))" +repage \
        "$work/shot.png" 2>/dev/null && shows
}
next_line=$((line + 4))
reference "$typed" "$next_line" $((column + 2))
xdotool key --delay 30 Down Down Down Down
moved=$(date +%s%N)
shown=
until [ -n "$shown" ]; do
    if corner_shows; then
        shown=$(( ($(date +%s%N) - moved) / 1000000 ))
    elif [ $(( ($(date +%s%N) - moved) / 1000000 )) -ge 1000 ]; then
        explain
        fail "moving the cursor into the next menu did not show it within 1 s (period 10 s)"
    fi
done
echo "$shown" > "$out/e2e_ide_follow_ms.txt"
log "the next menu showed ${shown} ms after the cursor moved (screenshot polling included)"
import -window root "$work/shot.png"
window_shot e2e_ide_follow.png

# --- A misspelt closing name, and the status line's reason ----------------------
closing_line=$(awk -v from="$next_line" 'NR > from && /^END_/ { print NR; exit }' "$typed")
[ -n "$closing_line" ] || fail "no closing macro after line $next_line"
xdotool key --delay 30 $(printf 'Down %.0s' $(seq $((closing_line - next_line))))
xdotool type --delay 100 "X"
wait_for 10 "reason in the status line" shows_text "несовпадение имён" \
    || fail "the status line does not give the name mismatch: $(cat "$work/status.txt")"
log "status line: $(cat "$work/status.txt")"
xdotool key ctrl+z
wait_for 10 "menu name in the status line" shows_text "Меню " \
    || fail "the status line did not return to the menu after undo: $(cat "$work/status.txt")"

# --- Copying the screen's picture ----------------------------------------------
shot_shows || { explain; fail "the screen did not return after undo"; }
# The title row: focuses the screen, opens no dialog.
xdotool mousemove $((sx + 10)) $((sy + 4)) click 1
xdotool key ctrl+c
clipped() {
    xclip -selection clipboard -t image/png -o > "$work/clipboard.png" 2>/dev/null \
        && "$screen_tool" "$work/clipboard.png" "$work/reference.png" "${ignore[@]}" > "$work/clip-match.txt" 2>&1
}
wait_for 10 "screen picture on the clipboard" clipped \
    || fail "the clipboard does not hold the screen: $(cat "$work/clip-match.txt" 2>/dev/null)"
identify -format '%wx%h' "$work/clipboard.png" > "$work/clip-size.txt"
ref_size=$(identify -format '%wx%h' "$work/reference.png")
[ "$(cat "$work/clip-size.txt")" = "$ref_size" ] \
    || fail "the copied picture is $(cat "$work/clip-size.txt"), the screen $ref_size"
log "Ctrl+C copied the screen: $(cat "$work/clip-match.txt")"

# --- Saving and quitting --------------------------------------------------------
# Keys go through XTEST to the focused window: the IDE ignores sent events.
xdotool windowfocus --sync "$window"
xdotool key ctrl+s
saved() { cmp -s "$source" "$typed"; }
wait_for 30 "saved file with the typed title" saved || fail "the IDE did not save the typed title"
quit_ide
grep -Eq '^Views=.*VelkoMenuView' "$settings/QtProject/QtCreator.ini" \
    || fail "the IDE did not store the open pane at exit"
log "the IDE saved the typed title, quit with status 0 and stored the open pane"
log "screenshots: $out/e2e_ide_menu.png, $out/e2e_ide.png, $out/e2e_ide_follow.png"
echo "e2e_ide: PASS"
