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

log() { echo "e2e_ide: $*"; }
fail() {
    echo "e2e_ide: FAIL: $*" >&2
    [ -s "${work:-}/ide.log" ] && { echo "--- IDE output:" >&2; tail -n 40 "$work/ide.log" >&2; }
    exit 1
}

for tool in Xvfb xdotool import convert xclip dbus-daemon /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || fail "$tool is missing (bash scripts/install-deps.sh installs it)"
done

work=$out/run
rm -rf "$work"
mkdir -p "$work"
export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export XDG_STATE_HOME=$HOME/.local/state XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME/Ombrix" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
settings=$work/settings
# CTest runs everything offscreen; the IDE has to reach the X server.
unset QT_QPA_PLATFORM

xvfb= ide= a11y= bus=
cleanup() {
    for pid in $ide $a11y $bus $xvfb; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
}
trap cleanup EXIT

# wait_for SECONDS WHAT COMMAND...: polls COMMAND until it succeeds; false
# when time runs out, fatal when the IDE dies meanwhile.
wait_for() {
    local limit=$1 what=$2
    shift 2
    local deadline=$((SECONDS + limit))
    until "$@"; do
        if [ -n "$ide" ] && ! kill -0 "$ide" 2>/dev/null; then
            fail "the IDE exited while waiting for $what"
        fi
        if [ $SECONDS -ge $deadline ]; then
            echo "e2e_ide: no $what within ${limit}s" >&2
            return 1
        fi
        sleep 0.5
    done
}

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

# --- An X server of our own --------------------------------------------------
# -noreset: a server that resets whenever its last client leaves (xdotool's
# probe, the accessibility launcher) can refuse the IDE's connection meanwhile.
start_xvfb() {
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb=$!
    local deadline=$((SECONDS + 30))
    until [ -s "$work/display" ] || ! kill -0 "$xvfb" 2>/dev/null || [ $SECONDS -ge $deadline ]; do
        sleep 0.2
    done
    if ! kill -0 "$xvfb" 2>/dev/null || [ ! -s "$work/display" ]; then
        log "SKIP: Xvfb could not be started: $(tail -n 3 "$work/xvfb.log")"
        exit 77
    fi
    export DISPLAY=:$(head -n 1 "$work/display")
    xdotool getdisplaygeometry >/dev/null 2>&1 || { log "SKIP: cannot connect to Xvfb on $DISPLAY"; exit 77; }
}
start_xvfb
log "Xvfb on $DISPLAY"

# --- A session bus with the accessibility bus, for reading the status line ---
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus-address" 4>"$work/bus-pid" \
    || fail "no session bus"
bus=$(head -n 1 "$work/bus-pid")
export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus-address")
/usr/libexec/at-spi-bus-launcher --launch-immediately > "$work/a11y.log" 2>&1 &
a11y=$!
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
a11y_find=$(dirname "$0")/a11y_find.py
status_shows() { /usr/bin/python3 "$a11y_find" "$1" QtCreator > "$work/status.txt" 2>&1; }

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

# reference SOURCE LINE COLUMN: velko-menu's screen for that cursor, and the
# clock's cells (16 to 20 of the title row) when it shows one: the pane's
# clock tells the time of its last repaint, which nothing here knows.
ignore=()
reference() {
    for t in 00:00 11:11; do
        "$velko_menu" render "$1:$2:$3" --scale 2 --time $t -o "$work/reference-$t.png" \
            || fail "velko-menu render $1:$2:$3 failed"
    done
    cp "$work/reference-00:00.png" "$work/reference.png"
    ignore=()
    cmp -s "$work/reference-00:00.png" "$work/reference-11:11.png" || ignore=(--ignore 192,0,60,16)
}

# shows: the last screenshot holds the reference.
shows() {
    local rc=0
    "$screen_tool" "$work/shot.png" "$work/reference.png" "${ignore[@]}" > "$work/match.txt" 2>&1 || rc=$?
    [ $rc -le 1 ] || fail "e2e_screen: $(cat "$work/match.txt")"
    return $rc
}
shot_shows() { import -window root "$work/shot.png" 2>/dev/null && shows; }

# explain: after a miss, where the screen came closest, and the screenshot.
explain() {
    "$screen_tool" "$work/shot.png" "$work/reference.png" "${ignore[@]}" --allowed 3000 || true
    cp "$work/shot.png" "$out/e2e_ide_failed.png"
    echo "e2e_ide: screenshot in $out/e2e_ide_failed.png, reference in $work/reference.png" >&2
}

# window_shot NAME: the IDE's window, cut from the last screenshot, into OUT_DIR.
window_shot() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    convert "$work/shot.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1"
}

# --- The IDE with fresh settings, the pane open, magnification 2 ------------
# A period of 10 s: only the pane's following of the cursor can pass the 1 s below.
printf '[General]\nMultiplier=2\nPeriod=10\n' > "$XDG_CONFIG_HOME/Ombrix/VelkoMenuView.conf"
mkdir -p "$settings/QtProject"
printf '[NavigationLeft]\nViews=VelkoMenuView, Open Documents\nVisible=true\nWidth=400\n' \
    > "$settings/QtProject/QtCreator.ini"

# The title is "NAME - Qt Creator", with " [branch]" inside a Git work tree.
window=
window_re="^${name//./\\.}.* - Qt Creator\$"
window_shown() {
    window=$(xdotool search --onlyvisible --name "$window_re" 2>/dev/null | head -n 1)
    [ -n "$window" ]
}
# An IDE that quits before its window shows (seen, rarely, within a second of
# starting) is started once more, its words kept in the log; one that crashes
# fails the test at once.
for attempt in 1 2; do
    "$qtcreator" -settingspath "$settings" "$source:$line:$column" > "$work/ide.log" 2>&1 &
    ide=$!
    deadline=$((SECONDS + 120))
    until window_shown || ! kill -0 "$ide" 2>/dev/null || [ $SECONDS -ge $deadline ]; do
        sleep 0.5
    done
    [ -n "$window" ] && break
    kill -0 "$ide" 2>/dev/null && fail "the IDE showed no window for $name within 120s"
    status=0
    wait "$ide" || status=$?
    ide=
    # Qt aborts when it cannot reach the display: the X server's fault, not
    # the IDE's; a fresh server gets the second attempt.
    if grep -q 'could not connect to display' "$work/ide.log"; then
        log "the IDE could not reach $DISPLAY (Xvfb $(kill -0 "$xvfb" 2>/dev/null && echo running || echo gone): $(tail -n 3 "$work/xvfb.log" | tr '\n' ' '))"
        [ $attempt -eq 2 ] && fail "the IDE could not reach the X server twice"
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
        start_xvfb
        log "Xvfb restarted on $DISPLAY"
        continue
    fi
    [ $status -lt 128 ] || fail "the IDE crashed (status $status) before showing a window"
    log "the IDE quit (status $status) before showing a window: $(tail -n 5 "$work/ide.log" | tr '\n' ' ')"
    [ $attempt -eq 2 ] && fail "the IDE quit twice before showing a window"
done
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
wait_for 10 "reason in the status line" status_shows "несовпадение имён" \
    || fail "the status line does not give the name mismatch: $(cat "$work/status.txt")"
log "status line: $(cat "$work/status.txt")"
xdotool key ctrl+z
wait_for 10 "menu name in the status line" status_shows "Меню " \
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
xdotool key ctrl+q
exited() { ! kill -0 "$ide" 2>/dev/null; }
wait_for 60 "IDE exit" exited || fail "the IDE did not quit"
status=0
wait "$ide" || status=$?
ide=
[ $status -eq 0 ] || fail "the IDE exited with status $status"
grep -Eq '^Views=.*VelkoMenuView' "$settings/QtProject/QtCreator.ini" \
    || fail "the IDE did not store the open pane at exit"
log "the IDE saved the typed title, quit with status 0 and stored the open pane"
log "screenshots: $out/e2e_ide_menu.png, $out/e2e_ide.png, $out/e2e_ide_follow.png"
echo "e2e_ide: PASS"
