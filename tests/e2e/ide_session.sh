# Sourced by the end-to-end tests in the real IDE: messages, a home of the
# test's own (HOME, the XDG folders and the IDE's settings in OUT_DIR/run),
# waits with deadlines, an X server and a session bus with the accessibility
# bus of their own, and the IDE started under them. The sourcing script sets
# `test_name` and `out` first; `work` is OUT_DIR/run, the IDE's settings
# folder is `settings`, its process `ide` and its window `window`.

log() { echo "$test_name: $*"; }
fail() {
    echo "$test_name: FAIL: $*" >&2
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
            echo "$test_name: no $what within ${limit}s" >&2
            return 1
        fi
        sleep 0.5
    done
}

# now_ms: the wall clock in milliseconds.
now_ms() { echo $(($(date +%s%N) / 1000000)); }

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

# --- A session bus with the accessibility bus, for reading the IDE's texts ---
start_bus() {
    dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus-address" 4>"$work/bus-pid" \
        || fail "no session bus"
    bus=$(head -n 1 "$work/bus-pid")
    export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus-address")
    /usr/libexec/at-spi-bus-launcher --launch-immediately > "$work/a11y.log" 2>&1 &
    a11y=$!
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

a11y_find=$(dirname "${BASH_SOURCE[0]}")/a11y_find.py
# shows_text TEXT: the IDE shows an object whose accessible name holds TEXT
# (printed into $work/status.txt).
shows_text() { /usr/bin/python3 "$a11y_find" "$1" QtCreator > "$work/status.txt" 2>&1; }

# start_ide WINDOW_RE ARGUMENTS...: starts the IDE with the settings folder
# and waits for its window, whose title matches WINDOW_RE. An IDE that quits
# before its window shows (seen, rarely, within a second of starting) is
# started once more, its words kept in the log; one that crashes fails the
# test at once.
start_ide() {
    local window_re=$1
    shift
    window=
    for attempt in 1 2; do
        "$qtcreator" -settingspath "$settings" "$@" > "$work/ide.log" 2>&1 &
        ide=$!
        local deadline=$((SECONDS + 120))
        until window=$(xdotool search --onlyvisible --name "$window_re" 2>/dev/null | head -n 1) \
            && [ -n "$window" ] || ! kill -0 "$ide" 2>/dev/null || [ $SECONDS -ge $deadline ]; do
            sleep 0.5
        done
        [ -n "$window" ] && return 0
        kill -0 "$ide" 2>/dev/null && fail "the IDE showed no window matching '$window_re' within 120s"
        local status=0
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
}

# quit_ide: Ctrl+Q in the IDE's window; it must exit with status 0.
quit_ide() {
    xdotool windowfocus --sync "$window"
    xdotool key ctrl+q
    exited() { ! kill -0 "$ide" 2>/dev/null; }
    wait_for 60 "IDE exit" exited || fail "the IDE did not quit"
    local status=0
    wait "$ide" || status=$?
    ide=
    [ $status -eq 0 ] || fail "the IDE exited with status $status"
}

# --- The pane's screen against velko-menu's -----------------------------------
# The sourcing script sets `velko_menu` and `screen_tool` (e2e_screen).

# reference SOURCE LINE COLUMN [OPTION...]: velko-menu's screen for that
# cursor, and the clock's cells (16 to 20 of the title row) when it shows
# one: the pane's clock tells the time of its last repaint, which nothing
# here knows.
ignore=()
reference() {
    local file=$1 line=$2 column=$3
    shift 3
    for t in 00:00 11:11; do
        "$velko_menu" render "$file:$line:$column" --scale 2 --time $t -o "$work/reference-$t.png" "$@" \
            || fail "velko-menu render $file:$line:$column failed"
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
    cp "$work/shot.png" "$out/${test_name}_failed.png"
    echo "$test_name: screenshot in $out/${test_name}_failed.png, reference in $work/reference.png" >&2
}

# window_shot NAME: the IDE's window, cut from the last screenshot, into OUT_DIR.
window_shot() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    convert "$work/shot.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1"
}
