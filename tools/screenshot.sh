#!/bin/sh
# Renders docs/screenshot.png: the main window in free play, on a private X
# server, exactly as the program draws it. With QT_SCALE_FACTOR set (2 for
# docs/screenshot@2x.png) the program draws at that scale, on a screen as
# much larger.
# With TOLVEX_SCREENSHOT_SCHEME set (darker for docs/screenshot-dark.png) the
# program runs under qt6ct with that colour scheme, as on a dark desktop.
# Usage: tools/screenshot.sh <program in its CMake build folder> <output png>
set -eu
program=$(readlink -f "$1")
out=$2
tones=$(dirname "$(readlink -f "$0")")/../assets/tones
# The board's caption, as the program's build read it from ui/form1.h.
caption=$(sed -n 's/^TOLVEX_CAPTION:INTERNAL=//p' "$(dirname "$program")/CMakeCache.txt")
[ -n "$caption" ] || { echo "screenshot: no caption in the build of $program" >&2; exit 1; }

if [ -n "${TOLVEX_SCREENSHOT_SCHEME:-}" ]; then
    # Without the scheme qt6ct would quietly draw the light board.
    scheme=/usr/share/qt6ct/colors/$TOLVEX_SCREENSHOT_SCHEME.conf
    [ -f "$scheme" ] || { echo "screenshot: no colour scheme $scheme (is qt6ct installed?)" >&2; exit 1; }
fi

fifo=$(mktemp -u)
mkfifo "$fifo"
screen=$(awk -v s="${QT_SCALE_FACTOR:-1}" 'BEGIN { printf "%dx%d", 1024 * s, 768 * s }')
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$fifo" 2>/dev/null &
xvfb=$!
read -r display <"$fifo"
rm -f "$fifo"
export DISPLAY=":$display"
trap 'kill ${game:-} $xvfb 2>/dev/null || true' EXIT

if [ -n "${TOLVEX_SCREENSHOT_SCHEME:-}" ]; then
    config=$(mktemp -d)
    mkdir "$config/qt6ct"
    printf '[Appearance]\ncolor_scheme_path=%s\ncustom_palette=true\nstyle=Fusion\n' \
        "$scheme" >"$config/qt6ct/qt6ct.conf"
    export XDG_CONFIG_HOME="$config" QT_QPA_PLATFORMTHEME=qt6ct
fi

(cd "$tones" && exec "$program") &
game=$!
# The about window comes first; any key that types a character closes it.
for _ in $(seq 100); do xdotool search --onlyvisible --class tolvex >/dev/null 2>&1 && break; sleep 0.1; done
sleep 0.5
xdotool key space
for _ in $(seq 100); do win=$(xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null | head -n 1) && [ -n "$win" ] && break; sleep 0.1; done
sleep 0.5
import -window "$win" "$out"
echo "screenshot: $out"
