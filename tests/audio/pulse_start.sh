#!/bin/sh
# Starts a private PulseAudio server with null sinks for the sound tests:
# <sink> (the default) and <sink>_b, and the drain that keeps their
# monitors prompt.
# Usage: pulse_start.sh <state dir> <sink name> [<socket dir to make again>]
# Clients reach it with PULSE_SERVER set to the contents of <state dir>/address.
set -eu
# shellcheck source=tests/audio/server_lib.sh
. "$(dirname "$0")/server_lib.sh"

dir=$1
sink=$2
reuse=${3:-}
here=$(dirname "$0")

for tool in pulseaudio pactl parec; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "pulse_start: '$tool' not found (Debian packages pulseaudio, pulseaudio-utils)" >&2
        exit 1
    fi
done

# A server left over from an interrupted run is stopped first.
sh "$here/pulse_stop.sh" "$dir"

# A fresh state each time: what the server remembers of earlier runs (the
# outputs streams were moved to, the default) must not steer this one.
rm -rf "$dir/home" "$dir/state"
mkdir -p "$dir/home" "$dir/state"
runtime=$(make_runtime_dir "$dir" "$reuse")
socket="$runtime/native"

# Everything the daemon writes stays under $dir; no D-Bus, no realtime
# scheduling, no default script, and it never exits on its own.
# An idle null sink renders seconds ahead, so a recording of its monitor
# would only start after up to two seconds; a loopback that listens to the
# monitor all the time keeps it rendering in small blocks.
# As root it warns that it is meant for --system, which is harmless here.
XDG_RUNTIME_DIR="$runtime" PULSE_RUNTIME_PATH="$runtime" \
PULSE_STATE_PATH="$dir/state" HOME="$dir/home" \
    pulseaudio --daemonize=yes --system=no -n \
        --exit-idle-time=-1 --use-pid-file=yes \
        --realtime=no --high-priority=no \
        --log-target="file:$dir/pulse.log" \
        --load="module-native-protocol-unix socket=$socket auth-anonymous=1" \
        --load="module-null-sink sink_name=$sink rate=44100" \
        --load="module-null-sink sink_name=${sink}_drain rate=44100" \
        --load="module-null-sink sink_name=${sink}_b rate=44100" \
        --load="module-loopback source=$sink.monitor sink=${sink}_drain latency_msec=10 source_dont_move=true sink_dont_move=true" \
        --load="module-loopback source=${sink}_b.monitor sink=${sink}_drain latency_msec=10 source_dont_move=true sink_dont_move=true"

export PULSE_SERVER="unix:$socket"
tries=0
until pactl info >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -ge 50 ]; then
        echo "pulse_start: the server does not answer on $socket" >&2
        cat "$dir/pulse.log" >&2 || true
        exit 1
    fi
    sleep 0.1
done
pactl set-default-sink "$sink"
# Recordings of a monitor follow the default source, which is the default
# sink's monitor unless one is chosen: the drain's stays put when the tests
# switch outputs.
pactl set-default-source "${sink}_drain.monitor"
pactl info | grep -q "Default Sink: $sink" || { echo "pulse_start: $sink is not the default sink" >&2; exit 1; }

await_monitors pulse_start "$sink" || exit 1
echo "$PULSE_SERVER" >"$dir/address"
echo "pulse_start: server pid $(cat "$runtime/pid") on $socket"
