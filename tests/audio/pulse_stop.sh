#!/bin/sh
# Stops the server that pulse_start.sh started, by the pid it recorded.
# Usage: pulse_stop.sh <state dir>
set -u

# shellcheck source=tests/audio/server_lib.sh
. "$(dirname "$0")/server_lib.sh"
runtime=$(recorded_runtime_dir "$1")
if [ -n "$runtime" ] && [ -f "$runtime/pid" ]; then
    stop_started "$(tr -dc '0-9' <"$runtime/pid")" pulseaudio
fi
remove_runtime_dir "$1"
exit 0
