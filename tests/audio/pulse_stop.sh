#!/bin/sh
# Stops the server that pulse_start.sh started, by the pid it recorded.
# Usage: pulse_stop.sh <runtime dir>
set -u

pidfile="$1/runtime/pid"
[ -f "$pidfile" ] || exit 0
pid=$(tr -dc '0-9' <"$pidfile")
# Only a PulseAudio process: the pid may have been reused since.
if [ -z "$pid" ] || [ "$(cat "/proc/$pid/comm" 2>/dev/null)" != pulseaudio ]; then
    rm -f "$pidfile"
    exit 0
fi

# Gone, or a zombie that its parent has not reaped yet.
alive() {
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -c1)
    [ -n "$state" ] && [ "$state" != Z ]
}

kill -TERM "$pid" 2>/dev/null || exit 0
tries=0
while alive "$pid"; do
    tries=$((tries + 1))
    if [ "$tries" -ge 30 ]; then
        kill -KILL "$pid" 2>/dev/null
        break
    fi
    sleep 0.1
done
rm -f "$pidfile"
exit 0
