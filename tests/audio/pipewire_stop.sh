#!/bin/sh
# Stops the servers that pipewire_start.sh started, by the pids it recorded.
# Usage: pipewire_stop.sh <runtime dir>
set -u

# Gone, or a zombie that its parent has not reaped yet.
alive() {
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -c1)
    [ -n "$state" ] && [ "$state" != Z ]
}

# The clients first, the bus last.
for name in pipewire-pulse wireplumber pipewire dbus-daemon; do
    pidfile="$1/pids/$name"
    [ -f "$pidfile" ] || continue
    pid=$(tr -dc '0-9' <"$pidfile")
    rm -f "$pidfile"
    # Only the process that was started: the pid may have been reused since.
    if [ -z "$pid" ] || [ "$(cat "/proc/$pid/comm" 2>/dev/null)" != "$name" ]; then
        continue
    fi
    kill -TERM "$pid" 2>/dev/null || continue
    tries=0
    while alive "$pid"; do
        tries=$((tries + 1))
        if [ "$tries" -ge 30 ]; then
            kill -KILL "$pid" 2>/dev/null
            break
        fi
        sleep 0.1
    done
done
exit 0
