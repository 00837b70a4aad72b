#!/usr/bin/env bash
# End to end in the real IDE, a firmware tree as a new user meets it: a CMake
# project whose Debug build defines LANG_DE and whose Release build LANG_EN,
# opened with its menu file. Before the project is configured, the status
# line says the file is read without build options; "Configure Project"
# makes the IDE configure it into its default folder beside the tree
# (build-fw-Desktop-Debug), and the pane shows the German texts pixel for
# pixel as `velko-menu render` draws them, finding that folder by itself, and
# names the variant; switching the IDE to the Release configuration (Ctrl+T,
# the kit selector) shows the English texts within 2 s of the IDE writing
# that configuration's database, with the cursor still. The language server,
# set up as the IDE's generic language client for C files by
# velko-ide-settings, underlines an item too long for the screen and its
# tool tip holds the finding; the IDE's own C/C++ code model follows a
# symbol from the menu to its header (F2). The IDE quits with status 0.
# Every wait polls a condition with a deadline; exits 77 (skipped) only when
# no X server can be started.
#
# usage: e2e_ide_build.sh QTCREATOR PLUGIN_DIR VELKO_MENU E2E_SCREEN VELKO_IDE_SETTINGS OUT_DIR
set -euo pipefail

if [ $# -ne 6 ]; then
    echo "usage: $0 QTCREATOR PLUGIN_DIR VELKO_MENU E2E_SCREEN VELKO_IDE_SETTINGS OUT_DIR" >&2
    exit 2
fi
qtcreator=$1 plugins=$2 velko_menu=$3 screen_tool=$4 ide_settings=$5 out=$6

test_name=e2e_ide_build
# shellcheck source=ide_session.sh
. "$(dirname "$0")/ide_session.sh"
command -v cmake >/dev/null || fail "cmake is missing (bash scripts/install-deps.sh installs it)"

# --- The firmware tree ---------------------------------------------------------
tree=$work/tree
fw=$tree/fw
mkdir -p "$fw/app" "$fw/include"
cat > "$fw/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.16)
project(fw C)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
add_executable(fw app/menu.c)
target_include_directories(fw PRIVATE include)
# The firmware's language by build: Release is the English one.
target_compile_definitions(fw PRIVATE $<IF:$<CONFIG:Release>,LANG_EN,LANG_DE>)
EOF
cat > "$fw/include/strings.h" <<'EOF'
#ifdef LANG_EN
#define STR_SPEED "Speed %u"
#define STR_BACK "Back"
#else
#define STR_SPEED "Tempo %u"
#define STR_BACK "Zurueck"
#endif
EOF
cat > "$fw/app/menu.c" <<'EOF'
#include "strings.h"
#define BEGIN_MENU(name) static void name(void) {
#define MENU_ITEM(text, handler) (void)(text);
#define END_MENU(name, title) (void)(title); }
BEGIN_MENU(MainMenu)
    MENU_ITEM(STR_SPEED, 0)
    MENU_ITEM(STR_BACK, 0)
    MENU_ITEM("A line much too long for the screen", 0)
END_MENU(MainMenu, "Main")
int main(void) { MainMenu(); return 0; }
EOF
menu=$fw/app/menu.c
line=7 column=5 # in the menu, on STR_BACK's item

# --- Settings: the pane open at magnification 2; velko-menu lsp as the IDE's
# language client for C files, the IDE's built-in C/C++ code model beside it
# (the IDE 9 shows one language server's findings per file: with clangd on,
# only clangd's).
printf '[General]\nMultiplier=2\nPeriod=10\n' > "$XDG_CONFIG_HOME/Ombrix/VelkoMenuView.conf"
mkdir -p "$settings/QtProject"
printf '[NavigationLeft]\nViews=VelkoMenuView, Open Documents\nVisible=true\nWidth=400\n' \
    > "$settings/QtProject/QtCreator.ini"
"$ide_settings" --without-clangd "$settings" "$velko_menu" > "$work/ide-settings.txt" 2>&1 \
    || fail "velko-ide-settings failed: $(cat "$work/ide-settings.txt")"

start_xvfb
log "Xvfb on $DISPLAY"
start_bus
start_ide '^menu\.c.* - Qt Creator$' -pluginpath "$plugins" "$fw/CMakeLists.txt" "$menu:$line:$column"
log "IDE window $window is up on the project fw and menu.c:$line:$column"

# --- Not configured yet: no build options, and the status line says so ----------
wait_for 60 "word that no build options were found" shows_text "без параметров сборки" \
    || fail "the status line does not say that no build options were found: $(cat "$work/status.txt")"
log "before configuring: $(cat "$work/status.txt")"

# --- Configure Project: the IDE's default build folder beside the tree ------------
xdotool windowfocus --sync "$window"
xdotool key ctrl+5 # Projects mode, where the kit page offers "Configure Project"
pressed() { /usr/bin/python3 "$a11y_find" --press "push button" "Configure Project" QtCreator >/dev/null 2>&1; }
wait_for 30 "Configure Project button" pressed || fail "the IDE offers no Configure Project button"
# build-<project>-<kit>-<configuration>: the kit the IDE found, "Desktop" on Debian.
exists() { compgen -G "$1" >/dev/null && [ -s "$(compgen -G "$1" | head -n 1)" ]; }
wait_for 120 "Debug configuration's database" exists "$tree/build-fw-*-Debug/compile_commands.json" \
    || fail "the IDE did not configure fw into build-fw-KIT-Debug: $(ls "$tree")"
debug_db=$(compgen -G "$tree/build-fw-*-Debug/compile_commands.json" | head -n 1)
debug=$(basename "$(dirname "$debug_db")")
release=${debug%-Debug}-Release
release_db=$tree/$release/compile_commands.json
grep -q -- '-DLANG_DE' "$debug_db" || fail "the Debug database holds no -DLANG_DE: $(cat "$debug_db")"
xdotool key ctrl+2 # back to the editor

# velko-menu finds that folder by itself, and says so.
reference "$menu" "$line" "$column"
cp "$work/reference.png" "$work/reference-de.png"
"$velko_menu" render "$menu:$line" --ascii --verbose 2> "$work/verbose.txt" > /dev/null \
    || fail "velko-menu render failed: $(cat "$work/verbose.txt")"
grep -q "variant: $debug, -DLANG_DE" "$work/verbose.txt" \
    || fail "velko-menu --verbose does not name the IDE's build folder: $(cat "$work/verbose.txt")"
log "velko-menu: $(cat "$work/verbose.txt")"
if ! wait_for 30 "German menu" shot_shows; then
    explain
    fail "the pane does not show the menu of the Debug build as velko-menu draws it"
fi
log "Debug: $(cat "$work/match.txt")"
wait_for 10 "variant in the status line" shows_text "вариант: $debug, -DLANG_DE" \
    || fail "the status line does not name the Debug variant: $(cat "$work/status.txt")"
log "status line: $(cat "$work/status.txt")"
window_shot e2e_ide_build_debug.png
read -r sx sy < <(sed -n 's/.* at \([0-9]*\),\([0-9]*\)$/\1 \2/p' "$work/match.txt") \
    || fail "no screen position in: $(cat "$work/match.txt")"

# --- Switching to Release: English within 2 s of its database, cursor still ------
# The English screen as velko-menu draws it with the Debug database's options
# turned round; once the Release database exists, velko-menu must take it
# by itself and draw the same.
reference "$menu" "$line" "$column" -U LANG_DE -D LANG_EN -D NDEBUG
cmp -s "$work/reference.png" "$work/reference-de.png" && fail "the English reference equals the German one"
cp "$work/reference.png" "$work/reference-en.png"
corner_shows() {
    import -window root -crop "400x300+$((sx > 8 ? sx - 8 : 0))+$((sy > 8 ? sy - 8 : 0))" +repage \
        "$work/shot.png" 2>/dev/null && shows
}
# The kit selector (Ctrl+T) lists the build configurations by name: Debug,
# Minimum Size Release, Profile, Release, ...; arrows choose at once.
xdotool windowfocus --sync "$window"
xdotool key ctrl+t
sleep 1
xdotool key --delay 100 Down Down Down
switched=$(now_ms)
shown=
until [ -n "$shown" ]; do
    if corner_shows; then
        shown=$(now_ms)
    elif [ $(($(now_ms) - switched)) -ge 120000 ]; then
        import -window root "$work/shot.png"
        explain
        fail "the pane did not show the Release build's menu within 120 s of the switch"
    elif ! kill -0 "$ide" 2>/dev/null; then
        fail "the IDE exited after the switch"
    fi
done
xdotool key Escape
exists "$release_db" || fail "the English menu showed, but $release has no database"
grep -q -- '-DLANG_EN' "$release_db" || fail "the Release database holds no -DLANG_EN"
written=$(($(stat -c %.3Y "$release_db" | tr -d .)))
after_database=$((shown - written))
echo "$after_database $((shown - switched))" > "$out/e2e_ide_build_switch_ms.txt"
log "English shown ${after_database} ms after the IDE wrote the Release database, $((shown - switched)) ms after the switch (the IDE's CMake run included; screenshot polling too)"
[ "$after_database" -le 2000 ] || fail "the switch showed ${after_database} ms after the database, not within 2 s"
reference "$menu" "$line" "$column"
cmp -s "$work/reference.png" "$work/reference-en.png" \
    || fail "velko-menu does not take the Release database by itself: its screen differs"
wait_for 10 "Release variant in the status line" shows_text "вариант: $release, -DLANG_EN" \
    || fail "the status line does not name the Release variant: $(cat "$work/status.txt")"
log "status line: $(cat "$work/status.txt")"
import -window root "$work/shot.png"
window_shot e2e_ide_build_release.png

# --- The language client: the overflowing item underlined, its finding in the tool tip
# An edit: the IDE's built-in model repaints its own warnings after reading
# a file it opened, over those of a language server published before.
xdotool windowfocus --sync "$window"
xdotool key Down End space
underline=$work/underline.txt
# underlined: a row of the editor (right of the pane) holding at least 100
# pixels of the IDE's warning underline colour; "X Y" of its middle.
underlined() {
    import -window root "$work/shot.png" 2>/dev/null || return 1
    convert "$work/shot.png" -crop 780x560+480+40 +repage -fill white +opaque '#FFBE00' \
        -fill black -opaque '#FFBE00' "$work/warning.png" || return 1
    convert "$work/warning.png" -negate -scale '1x100%!' -depth 8 txt:- 2>/dev/null \
        | awk -F'[,: ()]+' 'NR > 1 && $3 > 255 * 100 / 780 { print $2; exit }' > "$underline.y"
    [ -s "$underline.y" ] || return 1
    local y
    y=$(cat "$underline.y")
    convert "$work/warning.png" -crop "780x1+0+$y" +repage -negate -trim -format '%w %X' info: \
        > "$underline.run" 2>/dev/null || return 1
    read -r width left < "$underline.run"
    left=${left#+}
    echo "$((480 + left + width / 2)) $((40 + y))" > "$underline"
}
wait_for 15 "underlined item" underlined || fail "no item is underlined in the editor"
read -r ux uy < "$underline"
log "an underline of the IDE's warning colour runs under the editor's line at y $uy"
# On the text just above the underline: the tool tip of the finding there.
xdotool mousemove "$ux" $((uy - 6))
sleep 0.3
xdotool mousemove $((ux + 2)) $((uy - 7))
wait_for 10 "finding in the tool tip" shows_text "takes 35 cells; the screen shows 21" \
    || fail "the underlined item's tool tip does not hold the finding: $(cat "$work/status.txt")"
log "tool tip: $(cat "$work/status.txt")"
import -window root "$work/shot.png"
window_shot e2e_ide_build_finding.png
xdotool mousemove 1000 700
xdotool key ctrl+z # the file as it was

# --- The IDE's own code model: F2 follows STR_BACK to its header -------------------
xdotool key ctrl+Home $(printf 'Down %.0s' $(seq $((line - 1)))) $(printf 'Right %.0s' $(seq 15))
xdotool key F2
in_header() { xdotool getwindowname "$window" 2>/dev/null | grep -q '^strings\.h'; }
wait_for 20 "the header after F2" in_header \
    || fail "F2 on STR_BACK did not open strings.h (window: $(xdotool getwindowname "$window"))"
log "F2 on STR_BACK opened $(xdotool getwindowname "$window")"

quit_ide
log "the IDE quit with status 0"
log "screenshots: $out/e2e_ide_build_debug.png, $out/e2e_ide_build_release.png, $out/e2e_ide_build_finding.png"
echo "$test_name: PASS"
