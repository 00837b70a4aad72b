# Sourced by the scripts that change the system: sets the array `sudo` to
# what runs a command as root (nothing when already root), or stops.
# The caller's name for messages: $root_for.
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null; then
    sudo=(sudo)
else
    echo "${root_for:-$0}: need root or sudo" >&2
    exit 1
fi
