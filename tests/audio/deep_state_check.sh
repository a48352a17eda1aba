#!/bin/sh
# Each private audio server started with its state folder at the end of a
# path longer than a Unix socket's 107 bytes, as in a deeply placed clone:
# it answers at its recorded address, and stopping it removes its socket
# folder and the files that name it.
# Usage: deep_state_check.sh <folder to work in>
set -eu
here=$(dirname "$0")
deep="$1/$(printf '%060d' 0)/$(printf '%060d' 1)/$(printf '%060d' 2)"
mkdir -p "$deep"

for server in pulse pipewire; do
    state="$deep/$server"
    sh "$here/${server}_start.sh" "$state" tolvex_deep
    runtime=$(cat "$state/runtime-dir")
    PULSE_SERVER=$(cat "$state/address") pactl info >/dev/null ||
        { echo "deep_state_check: $server does not answer at $(cat "$state/address")" >&2; sh "$here/${server}_stop.sh" "$state"; exit 1; }
    sh "$here/${server}_stop.sh" "$state"
    if [ -e "$runtime" ] || [ -e "$state/address" ] || [ -e "$state/runtime-dir" ]; then
        echo "deep_state_check: $server left $runtime or its records behind" >&2
        exit 1
    fi
    echo "deep_state_check: $server ran with its state ${#state} characters deep, sockets in $runtime"
done
