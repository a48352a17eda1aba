# Shared by the scripts that start and stop the tests' private audio
# servers; sourced, not run.

# A server's sockets live in a folder of their own under ${TMPDIR:-/tmp},
# never under <state dir>: a Unix socket's path holds at most 107 bytes, and
# the build folder may lie arbitrarily deep. <state dir> keeps the logs and
# two files: runtime-dir, the socket folder, and address, the PULSE_SERVER
# value for clients (tests/support/audio_server.cpp reads it).

# Makes the socket folder for <state dir>, or makes `reuse` again so that a
# restarted server keeps its address; prints its path.
make_runtime_dir() {
    state=$1
    reuse=${2:-}
    if [ -n "$reuse" ]; then
        mkdir -m 700 "$reuse" && rt=$reuse || return 1
    else
        rt=$(mktemp -d "${TMPDIR:-/tmp}/tolvex-audio.XXXXXX") || return 1
    fi
    echo "$rt" >"$state/runtime-dir"
    echo "$rt"
}

# The socket folder recorded for <state dir>, or nothing.
recorded_runtime_dir() {
    [ -f "$1/runtime-dir" ] && cat "$1/runtime-dir"
    return 0
}

# Removes the socket folder of <state dir> and the files that name it. Only
# a folder this file made is removed, whatever runtime-dir says.
remove_runtime_dir() {
    rt=$(recorded_runtime_dir "$1")
    case "$(basename "${rt:-none}")" in
        tolvex-audio.*) rm -rf "$rt" ;;
    esac
    rm -f "$1/runtime-dir" "$1/address"
}

# Stops process `pid` if it is still the `name` that was started (a pid may
# have been reused since): TERM, then KILL after 3 s.
stop_started() {
    pid=$1
    [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$2" ] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    tries=0
    # Alive: neither gone nor a zombie that its parent has not reaped yet.
    while state=$(sed 's/.*) //' "/proc/$pid/stat" 2>/dev/null | cut -c1) && [ -n "$state" ] && [ "$state" != Z ]; do
        tries=$((tries + 1))
        if [ "$tries" -ge 30 ]; then
            kill -KILL "$pid" 2>/dev/null
            break
        fi
        sleep 0.1
    done
}

# Returns once the monitors of `sink` and `sink`_b deliver audio promptly (a
# sink's first block, rendered before the loopback was listening, may still
# be running); fails after 20 tries. `who` names the caller in the message.
await_monitors() {
    who=$1
    sink=$2
    for s in "$sink" "${sink}_b"; do
        tries=0
        until [ "$(timeout 0.5 parec --latency-msec=10 -d "$s.monitor" --raw --format=s16le \
                  --rate=44100 --channels=1 2>/dev/null | head -c 882 | wc -c)" -ge 882 ]; do
            tries=$((tries + 1))
            if [ "$tries" -ge 20 ]; then
                echo "$who: the monitor of $s delivers no audio" >&2
                return 1
            fi
        done
    done
}
