#!/bin/sh
# Renders docs/screenshot.png: the main window in free play, on a private X
# server, exactly as the program draws it.
# Usage: tools/screenshot.sh <program> <output png>
set -eu
program=$(readlink -f "$1")
out=$2
tones=$(dirname "$(readlink -f "$0")")/../assets/tones

fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
xvfb=$!
read -r display <"$fifo"
rm -f "$fifo"
export DISPLAY=":$display"
trap 'kill $game $xvfb 2>/dev/null || true' EXIT

(cd "$tones" && exec "$program") &
game=$!
# The about window comes first; any key that types a character closes it.
for _ in $(seq 100); do xdotool search --onlyvisible --class tolvex >/dev/null 2>&1 && break; sleep 0.1; done
sleep 0.5
xdotool key space
for _ in $(seq 100); do win=$(xdotool search --onlyvisible --name '^Tolvex 1.1$' 2>/dev/null | head -n 1) && [ -n "$win" ] && break; sleep 0.1; done
sleep 0.5
import -window "$win" "$out"
echo "screenshot: $out"
