#!/bin/sh
# Runs a test run and, beside it, work that keeps the processor busy but no
# clock (a build, lint), in a session of its own at nice 19 and in the idle
# class, so that it takes only the time the tests leave (docs/testing.md
# says why nice alone is not enough). The work's output goes to <log>,
# printed once it ends; a failed test run stops the work and returns its
# own status, otherwise the work's status is returned.
# Usage: beside_the_tests.sh <log> <work> <test run>, each a shell command
set -u

[ $# -eq 3 ] || { echo "usage: beside_the_tests.sh <log> <work> <test run>" >&2; exit 2; }

# The session leader's pid is the work's process group: stopping it stops
# every compiler and clang-tidy under it.
# shellcheck disable=SC2016 # $0 belongs to the inner sh
setsid sh -c 'echo 19 >/proc/self/autogroup 2>/dev/null; exec chrt --idle 0 ionice -c 3 sh -c "$0"' "$2" \
    >"$1" 2>&1 </dev/null &
work=$!
trap 'kill -- "-$work" 2>/dev/null; exit 130' INT TERM

sh -c "$3" || {
    status=$?
    kill -- "-$work" 2>/dev/null
    wait "$work"
    exit "$status"
}
wait "$work"
status=$?
cat "$1"
exit "$status"
