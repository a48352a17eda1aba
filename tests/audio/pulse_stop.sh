#!/bin/sh
# Stops the server that pulse_start.sh started, by the pid it recorded.
# Usage: pulse_stop.sh <runtime dir>
set -u

pidfile="$1/runtime/pid"
[ -f "$pidfile" ] || exit 0
pid=$(tr -dc '0-9' <"$pidfile")
# shellcheck source=tests/audio/server_lib.sh
. "$(dirname "$0")/server_lib.sh"
stop_started "$pid" pulseaudio
rm -f "$pidfile"
exit 0
