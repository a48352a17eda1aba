#!/bin/sh
# Stops the server that pulse_start.sh started, by the pid it recorded.
# Usage: pulse_stop.sh <runtime dir>
set -u

pidfile="$1/runtime/pid"
[ -f "$pidfile" ] || exit 0
pid=$(tr -dc '0-9' <"$pidfile")
rm -f "$pidfile"
[ -n "$pid" ] || exit 0
# Only a PulseAudio process: the pid may have been reused since.
[ "$(cat "/proc/$pid/comm" 2>/dev/null)" = pulseaudio ] || exit 0

kill -TERM "$pid" 2>/dev/null || exit 0
tries=0
while kill -0 "$pid" 2>/dev/null; do
    tries=$((tries + 1))
    if [ "$tries" -ge 30 ]; then
        kill -KILL "$pid" 2>/dev/null
        break
    fi
    sleep 0.1
done
exit 0
