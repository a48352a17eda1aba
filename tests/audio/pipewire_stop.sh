#!/bin/sh
# Stops the servers that pipewire_start.sh started, by the pids it recorded.
# Usage: pipewire_stop.sh <state dir>
set -u

# shellcheck source=tests/audio/server_lib.sh
. "$(dirname "$0")/server_lib.sh"

# The clients first, the bus last.
for name in pipewire-pulse wireplumber pipewire dbus-daemon; do
    pidfile="$1/pids/$name"
    [ -f "$pidfile" ] || continue
    pid=$(tr -dc '0-9' <"$pidfile")
    rm -f "$pidfile"
    stop_started "$pid" "$name"
done
remove_runtime_dir "$1"
exit 0
