#!/usr/bin/env bash
# The main job: installs what is missing (the IDE included), builds, and opens
# the IDE with the plug-in loaded on a bundled example, the "Velko Menu View"
# pane open beside it and velko-menu's findings marked in the editor.
#   scripts/run.sh            the IDE (its own settings folder; yours is untouched)
#   scripts/run.sh --studio   our lightweight studio instead
#   scripts/run.sh --render   no window: the example's menus as PNG files
# Without a display, --render is what happens. Values typed into the pane are
# kept in your own store (~/.config/Ombrix/VelkoMenuView.conf) and persist.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=ide
example=examples/main_menu.c
line=19
for argument in "$@"; do
    case $argument in
    --studio) mode=studio ;;
    --render) mode=render ;;
    -h | --help)
        sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'
        exit 0
        ;;
    *)
        echo "run.sh: unknown option $argument (try --help)" >&2
        exit 2
        ;;
    esac
done

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(velko-menu velko-menu-studio VelkoMenuView)
[ "$mode" = ide ] && targets+=(VelkoMenuViewIde velko-ide-settings)
cmake --build build --target "${targets[@]}"

if [ "$mode" != render ] && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no display here, so the example's menus are rendered to PNG files instead."
    mode=render
fi

case $mode in
render)
    out=build/example-menus
    rm -rf "$out"
    build/tools/velko-menu/velko-menu render "$example" --all --scale 2 -o "$out"
    echo "The menus of $example at magnification 2, as the pane shows them:"
    ls "$out"/*.png
    echo
    echo "The first of them, $example:$line, one character per device pixel:"
    build/tools/velko-menu/velko-menu render "$example:$line" --ascii
    ;;
studio)
    exec build/bin/velko-menu-studio "$example:$line"
    ;;
ide)
    settings=${XDG_DATA_HOME:-$HOME/.local/share}/velkomenuview/ide-settings
    if [ ! -f "$settings/QtProject/QtCreator.ini" ]; then
        # First start: the pane is open in the left side bar.
        mkdir -p "$settings/QtProject"
        printf '[NavigationLeft]\nViews=VelkoMenuView, Open Documents\nVisible=true\nWidth=400\n' \
            > "$settings/QtProject/QtCreator.ini"
    fi
    # velko-menu lsp, as built now, marks its findings in the editor: the IDE
    # shows one language server's per file, so clangd is off in this settings
    # folder (the IDE's built-in C/C++ code model stays).
    build/tools/ide-settings/velko-ide-settings --without-clangd "$settings" \
        build/tools/velko-menu/velko-menu > /dev/null
    exec qtcreator -settingspath "$settings" -pluginpath build/ide-plugins "$example:$line"
    ;;
esac
