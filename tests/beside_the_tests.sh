#!/bin/sh
# Runs a test run and, beside it, work that keeps the processor busy but no
# clock (a build, lint), on the processor time the tests leave: they mostly
# wait on real time, sound played and recorded, whole games. The work gets
# a session of its own, so a scheduling group of its own, at nice 19, and
# runs in the idle class, which any other process preempts as soon as it
# wakes. nice alone is not enough: the kernel shares the processor between
# sessions first, and the audio servers run in sessions of their own, so a
# niced lint in make's session still kept them from answering in time.
# The work's output goes to <log> and is printed once it ends. If the test
# run fails, the work is stopped and the run's status returned; otherwise
# the work's.
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

sh -c "$3"
status=$?
if [ "$status" -ne 0 ]; then
    kill -- "-$work" 2>/dev/null
    wait "$work"
    exit "$status"
fi
wait "$work"
status=$?
cat "$1"
exit "$status"
