#!/bin/sh
# Starts a private PipeWire (pipewire, wireplumber, pipewire-pulse, and a
# D-Bus session bus of its own, without which WirePlumber will not run) with
# the same sinks as pulse_start.sh: <sink> (the default), <sink>_b, and the
# drain that keeps their monitors prompt.
# Usage: pipewire_start.sh <state dir> <sink name> [<socket dir to make again>]
# Clients reach it with PULSE_SERVER set to the contents of <state dir>/address.
set -eu
# shellcheck source=tests/audio/server_lib.sh
. "$(dirname "$0")/server_lib.sh"

dir=$1
sink=$2
reuse=${3:-}
here=$(dirname "$0")

for tool in pipewire wireplumber pipewire-pulse dbus-daemon pactl parec; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "pipewire_start: '$tool' not found (Debian packages pipewire, wireplumber, pipewire-pulse, dbus, pulseaudio-utils)" >&2
        exit 1
    fi
done

# Servers left over from an interrupted run are stopped first.
sh "$here/pipewire_stop.sh" "$dir"

# A fresh state each time: what the server remembers of earlier runs (the
# outputs streams were moved to, the default) must not steer this one.
rm -rf "$dir/home" "$dir/state"
mkdir -p "$dir/home" "$dir/state" "$dir/pids" \
    "$dir/config/pipewire/pipewire-pulse.conf.d" \
    "$dir/config/wireplumber/main.lua.d" "$dir/config/wireplumber/bluetooth.lua.d"
runtime=$(make_runtime_dir "$dir" "$reuse")
socket="$runtime/native"
bus="$runtime/bus"

# Everything the servers read and write stays under $dir; no real sound
# card, camera or Bluetooth device is looked at.
cat >"$dir/config/pipewire/pipewire-pulse.conf.d/tolvex.conf" <<CONF
pulse.properties = { server.address = [ "unix:$socket" ] }
CONF
# Nor is an output that a test moved a stream to remembered for the next
# tests' streams, as PulseAudio's server here (no module-stream-restore)
# remembers none: each test starts from the default output.
cat >"$dir/config/wireplumber/main.lua.d/90-tolvex.lua" <<'CONF'
alsa_monitor.enabled = false
v4l2_monitor.enabled = false
libcamera_monitor.enabled = false
stream_defaults.properties["restore-target"] = false
CONF
cat >"$dir/config/wireplumber/bluetooth.lua.d/90-tolvex.lua" <<'CONF'
bluez_monitor.enabled = false
CONF

export XDG_RUNTIME_DIR="$runtime" PIPEWIRE_RUNTIME_DIR="$runtime" \
    XDG_CONFIG_HOME="$dir/config" XDG_STATE_HOME="$dir/state" HOME="$dir/home" \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$bus"
unset DISPLAY WAYLAND_DISPLAY PULSE_SERVER

# Each is started in the background with its pid recorded, for
# pipewire_stop.sh; none holds the caller's output open.
run() {
    name=$1
    shift
    "$@" </dev/null >>"$dir/$name.log" 2>&1 &
    echo $! >"$dir/pids/$name"
}

# Waits for a condition, a tenth of a second at a time, for up to 5 s.
await() {
    what=$1
    shift
    tries=0
    until "$@" >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ "$tries" -ge 50 ]; then
            echo "pipewire_start: $what" >&2
            tail -n 20 "$dir"/*.log >&2 || true
            exit 1
        fi
        sleep 0.1
    done
}

run dbus-daemon dbus-daemon --session --address="unix:path=$bus" --nofork --nopidfile --nosyslog
await "the D-Bus session bus does not come up" test -S "$bus"
run pipewire pipewire
await "pipewire does not come up" test -S "$runtime/pipewire-0"
run wireplumber wireplumber
run pipewire-pulse pipewire-pulse

export PULSE_SERVER="unix:$socket"
await "the pulse server does not answer on $socket" pactl info
pactl load-module module-null-sink sink_name="$sink" rate=44100 >/dev/null
pactl load-module module-null-sink sink_name="${sink}_drain" rate=44100 >/dev/null
pactl load-module module-null-sink sink_name="${sink}_b" rate=44100 >/dev/null
await_monitors pipewire_start "$sink" || exit 1
echo "$PULSE_SERVER" >"$dir/address"
echo "pipewire_start: pipewire pid $(cat "$dir/pids/pipewire") on $socket"
