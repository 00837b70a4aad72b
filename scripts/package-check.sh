#!/usr/bin/env bash
# Installs the package made by scripts/package.sh with dpkg and checks it as a
# user would meet it: the IDE lists the module without -pluginpath, both
# programs run from PATH, the studio finds the installed module, every binary
# finds its libraries; then removes it and checks that no file of it is left.
# Repeats that as an upgrade over an earlier version built from the same tree
# (cpack -R). Needs root or sudo; refuses to run while the package is already
# installed, and removes it again on any exit.
# Usage: scripts/package-check.sh [build-package]
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

dir=${1:-build-package}
package=velkomenuview
[ -f "$dir/CPackConfig.cmake" ] || { echo "package-check: no $dir; run scripts/package.sh" >&2; exit 1; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$dir/CPackConfig.cmake")
module_version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
arch=$(dpkg --print-architecture)
deb=$dir/${package}_${version}_${arch}.deb
[ -f "$deb" ] || { echo "package-check: no $deb; run scripts/package.sh" >&2; exit 1; }

root_for=package-check
source scripts/root.sh

status() { dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null || true; }
if [ -n "$(status | tr -d ' ')" ] && [ "$(status)" != "un " ]; then
    echo "package-check: $package is already installed ($(status)); remove it first: dpkg -P $package" >&2
    exit 1
fi

work=$(mktemp -d)
cleanup() {
    if [ -n "$(status | tr -d ' ')" ] && [ "$(status)" != "un " ]; then
        echo "package-check: removing $package"
        "${sudo[@]}" dpkg -P "$package" >/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "package-check: FAIL: $*" >&2
    exit 1
}
log() { echo "package-check: $*"; }

# The programs and the IDE run with a home of their own: no user plug-in
# folder, settings or stored values of the machine's user take part.
isolated=(HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
    XDG_DATA_HOME="$work/home/.local/share" XDG_CACHE_HOME="$work/home/.cache"
    XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen)
run_isolated() { env "${isolated[@]}" "$@"; }
mkdir -p "$work/home/.config" "$work/home/.local/share" "$work/home/.cache"
mkdir -m 700 "$work/runtime"

install_deb() {
    local file=$1 expected=$2
    "${sudo[@]}" dpkg -i "$file" > "$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg -i $file"; }
    [ "$(dpkg-query -W -f='${Status} ${Version}' "$package")" = "install ok installed $expected" ] \
        || fail "after dpkg -i $file: $(dpkg-query -W -f='${Status} ${Version}' "$package")"
    log "installed $package $expected"
}

check_installed() {
    # Every file as shipped (dpkg --verify reports missing and changed files).
    local changed
    changed=$(dpkg --verify "$package") || true
    [ -z "$changed" ] || fail "installed files differ from the package: $changed"

    # Each binary finds all of its libraries through the system paths and its
    # own $ORIGIN-relative run path, and none points into a build tree.
    local path elfs=0
    while IFS= read -r path; do
        [ -f "$path" ] && [[ $(file -b "$path") == ELF* ]] || continue
        elfs=$((elfs + 1))
        local libraries
        libraries=$(ldd "$path") || fail "ldd $path failed"
        [[ $libraries != *"not found"* ]] \
            || fail "$path: libraries not found: $(grep 'not found' <<<"$libraries" | tr -s ' \t\n' ' ')"
        local runpath
        runpath=$(readelf -d "$path" | sed -n 's/.*R\(UN\)\{0,1\}PATH.*\[\(.*\)\]$/\2/p')
        for entry in ${runpath//:/ }; do
            case $entry in
            '$ORIGIN' | '$ORIGIN/'*) ;;
            *) fail "$path: run path $entry is not relative to the file" ;;
            esac
        done
    done < <(dpkg -L "$package")
    [ "$elfs" -eq 5 ] || fail "expected 5 binaries in the package, found $elfs"

    # The IDE finds the module in its own plug-in folder.
    run_isolated qtcreator -version -settingspath "$work/settings" > "$work/version.txt" 2>&1 \
        || fail "qtcreator -version failed: $(cat "$work/version.txt")"
    # Once: a second copy anywhere in the IDE's folders would be loaded too.
    local listed
    listed=$(grep -Ec "^[[:space:]]*VelkoMenuView ${module_version//./\\.}([[:space:]]|\$)" \
        "$work/version.txt") || true
    [ "$listed" -eq 1 ] || fail "qtcreator -version lists VelkoMenuView $module_version $listed times: $(cat "$work/version.txt")"
    log "qtcreator -version lists VelkoMenuView $module_version once, without -pluginpath"

    # Listing reads only the metadata; the IDE's profile shows the module
    # loaded and initialized to the end. The IDE runs offscreen until then.
    local profile=$work/ide-profile.log ide deadline=$((SECONDS + 90))
    env "${isolated[@]}" timeout 180 qtcreator -profile -settingspath "$work/settings" \
        > "$profile" 2>&1 &
    ide=$!
    until grep -Eq '^<delayedInitialize +VelkoMenuView ' "$profile"; do
        if ! kill -0 "$ide" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
            kill "$ide" 2>/dev/null || true
            wait "$ide" 2>/dev/null || true
            fail "the IDE did not load VelkoMenuView within 90 s: $(grep -i velko "$profile" | tail -n 5)"
        fi
        sleep 0.5
    done
    kill "$ide"
    wait "$ide" 2>/dev/null || true
    log "the IDE loads and initializes VelkoMenuView from its plug-in folder"

    # velko-menu from PATH draws what the tool of the build tree draws.
    [ "$(command -v velko-menu)" = /usr/bin/velko-menu ] \
        || fail "velko-menu on PATH is $(command -v velko-menu || echo missing), not /usr/bin/velko-menu"
    (cd "$work" && run_isolated velko-menu render "$repo/examples/main_menu.c:19" --ascii --time 12:30) \
        > "$work/installed.txt" || fail "velko-menu render failed"
    run_isolated "$dir/tools/velko-menu/velko-menu" render "$repo/examples/main_menu.c:19" \
        --ascii --time 12:30 > "$work/built.txt"
    [ -s "$work/installed.txt" ] && ! grep -qvE '^[#.]{128}$' "$work/installed.txt" \
        || fail "velko-menu render printed no screen: $(head -c 400 "$work/installed.txt")"
    cmp -s "$work/installed.txt" "$work/built.txt" \
        || fail "the installed velko-menu draws another screen than the build tree's"
    log "velko-menu render works from PATH ($(wc -l < "$work/installed.txt") pixel rows)"

    # The studio: its version, and the module it loads from the installed
    # folder by default (an unknown pane makes it name the panes and exit).
    [ "$(command -v velko-menu-studio)" = /usr/bin/velko-menu-studio ] || fail "velko-menu-studio is not on PATH"
    local printed out studio_status=0
    printed=$(run_isolated velko-menu-studio --version) || fail "velko-menu-studio --version failed"
    [ "$printed" = "velko-menu-studio $module_version" ] || fail "velko-menu-studio --version printed: $printed"
    out=$(run_isolated velko-menu-studio --pane "no such pane" 2>&1) || studio_status=$?
    [ "$studio_status" -eq 2 ] && [[ $out == *'the panes are "Velko Menu View"'* ]] \
        || fail "the installed studio does not load the installed module (status $studio_status): $out"
    log "velko-menu-studio --version prints \"$printed\"; the studio loads the installed module"
}

remove_and_check() {
    dpkg -L "$package" > "$work/files.txt"
    "${sudo[@]}" dpkg -r "$package" > "$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg -r"; }
    local state
    state=$(status)
    [ -z "$(echo "$state" | tr -d ' ')" ] || [ "$state" = "un " ] \
        || fail "after dpkg -r the package is still known to dpkg as '$state'"
    # Files must be gone; folders may stay only where another package owns them.
    local path left=()
    while IFS= read -r path; do
        [ "$path" = "/." ] && continue
        if [ -d "$path" ] && [ ! -L "$path" ]; then
            dpkg -S "$path" >/dev/null 2>&1 || left+=("$path/")
        elif [ -e "$path" ] || [ -L "$path" ]; then
            left+=("$path")
        fi
    done < "$work/files.txt"
    [ ${#left[@]} -eq 0 ] || fail "dpkg -r left behind: ${left[*]}"
    log "removed; none of its $(grep -c . "$work/files.txt") paths is left"
}

echo "== fresh install of $deb"
install_deb "$deb" "$version"
check_installed
remove_and_check

echo "== upgrade from an earlier version"
# The same tree packaged under a lower version stands in for the earlier
# release.
earlier=0.9.0
dpkg --compare-versions "$earlier" lt "$version" || fail "$earlier is not below $version"
(cd "$dir" && cpack -G DEB -R "$earlier" -B "$work/earlier") > "$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack -R $earlier"; }
old=$work/earlier/${package}_${earlier}_${arch}.deb
[ -f "$old" ] || fail "cpack -R $earlier made no $old"
install_deb "$old" "$earlier"
dpkg -L "$package" > "$work/old-files.txt"
install_deb "$deb" "$version"
# Whatever the earlier version had and this one lacks must be gone.
dpkg -L "$package" > "$work/new-files.txt"
while IFS= read -r path; do
    if [ ! -d "$path" ] && { [ -e "$path" ] || [ -L "$path" ]; }; then
        fail "the upgrade left $path of $earlier behind"
    fi
done < <(comm -23 <(sort "$work/old-files.txt") <(sort "$work/new-files.txt"))
[ -z "$("${sudo[@]}" dpkg --audit 2>&1)" ] || fail "dpkg --audit: $("${sudo[@]}" dpkg --audit 2>&1)"
check_installed
remove_and_check

log "all checks passed"
