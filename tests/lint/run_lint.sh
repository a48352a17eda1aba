#!/bin/sh
# clang-tidy (checks in .clang-tidy) and cppcheck on engine/, sound/, gamepad/ and ui/,
# their headers included, and the naming rule on tests/ and bench/; prints
# only findings and fails on any of them.
# Configures nothing: <build dir> must be a configured and built tree, whose
# compile_commands.json gives clang-tidy the build's own flags and whose moc
# output the sources need.
# Usage: run_lint.sh <build dir>
set -eu

[ $# -eq 1 ] || { echo "usage: run_lint.sh <build dir>" >&2; exit 2; }
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
[ -f "$build/compile_commands.json" ] || {
    echo "run_lint: $build/compile_commands.json is missing; configure and build there first" >&2
    exit 2
}
cd "$root"
jobs=2
status=0

# The build's precompiled headers are g++'s, which clang-tidy cannot read;
# every file includes what it uses, so clang-tidy reads it without them.
flags=$(mktemp -d "${TMPDIR:-/tmp}/tolvex-lint.XXXXXX")
trap 'rm -rf "$flags"' EXIT
sed -e 's# -Winvalid-pch##g' -e 's# -include [^ "]*/cmake_pch\.hxx##g' "$build/compile_commands.json" \
    >"$flags/compile_commands.json"

# A file that passed clang-tidy is not read again while nothing it may
# depend on has changed: the file itself (a unity file: its sources), any of
# the project's headers (the generated ones follow from them), the checks,
# the build's flags and clang-tidy. Only passes are kept.
cache="$build/lint-passed"
mkdir -p "$cache"
world=$( (find engine sound gamepad ui tests bench tools -name '*.h' | sort | xargs cat; cat .clang-tidy \
    "$build/compile_commands.json"; clang-tidy --version) | sha256sum | cut -c1-64)

# The test programs compile in unity files, each including a few of their
# sources by absolute path (tests/CMakeLists.txt): the naming rule reads
# such a file once for all of them, as the compiler does, and any other
# source alone. $1: a unity file or a source; prints the sources it stands
# for.
sources() {
    case $1 in
    */Unity/*) sed -n 's/^#include "\(.*\)"$/\1/p' "$1" ;;
    *) echo "$1" ;;
    esac
}
unity=$(sed -n 's#^ *"file": "\(.*/Unity/[^"]*\)",\{0,1\}$#\1#p' "$build/compile_commands.json" | sort -u)
# shellcheck disable=SC2086 # one path a word
united=$(for u in $unity; do sources "$u"; done)

# One clang-tidy per file, two at a time, in one queue for both passes with
# the largest files first, so that no pass waits on the other's last file:
# all checks on the game's code; the naming rule alone on the tests and the
# benchmarks, headers included, one style for every helper a reader meets.
# A file's findings are printed in one piece so that the two runs do not
# interleave. $0: the flags, $1: cache folder, $2: what else the result
# depends on, $3: the pass, $4: the file, $5: its sources' hash.
# shellcheck disable=SC2016 # $0 to $5 belong to the inner sh
{
    for f in engine/*.cpp sound/*.cpp gamepad/*.cpp ui/*.cpp; do echo "all $f"; done
    for f in tests/*.cpp tests/*/*.cpp bench/*.cpp; do
        printf "%s\n" "$united" | grep -qxF "$root/$f" || echo "naming $f"
    done
    for u in $unity; do sources "$u" | grep -q "^$root/tests/" && echo "naming $u"; done
} | while read -r pass f; do
    # shellcheck disable=SC2046 # one path a word
    echo "$(cat $(sources "$f") | wc -c) $pass $f $(cat $(sources "$f") | sha256sum | cut -c1-64)"
done | sort -rn | cut -d' ' -f2- | xargs -L 1 -P "$jobs" sh -c '
    key=$(printf "%s %s %s" "$3" "$2" "$5" | sha256sum | cut -c1-64)
    [ -e "$1/$key" ] && exit 0
    if [ "$3" = all ]; then
        # A .clang-tidy it cannot read is reported, yet exits 0: that fails too.
        out=$(clang-tidy -p "$0" --quiet "$4" 2>&1) && ! printf "%s" "$out" | grep -q "^Error parsing" &&
            touch "$1/$key" && exit 0
    else
        out=$(clang-tidy -p "$0" --quiet --checks="-*,readability-identifier-naming" \
            --header-filter="/(tests|bench)/" "$4" 2>&1) && touch "$1/$key" && exit 0
    fi
    printf "%s\n" "$out" | grep -v "warnings\{0,1\} generated\.$"
    exit 1' "$flags" "$cache" "$world" || status=1

# Qt's and the system's headers are not read: the qt and posix library
# descriptions tell cppcheck what their macros and functions do, and nothing
# is reported on Qt's own code.
# Suppressed, with the reason:
# - CastIntegerToAddressAtReturn in ui/form1.h: cppcheck 2.10 takes an element
#   of a std::array member that is declared below an inline getter for an int.
cppcheck --quiet --enable=warning,style,performance,portability --std=c++20 \
    --library=qt --library=posix --inline-suppr --error-exitcode=1 -j "$jobs" \
    -I engine -I sound -I gamepad -I ui \
    --suppress=CastIntegerToAddressAtReturn:ui/form1.h \
    engine sound gamepad ui || status=1

# The house style of .clang-format, on every C++ file of the project.
unformatted=$(find engine sound gamepad ui tests bench tools -name '*.cpp' -o -name '*.h' |
    xargs clang-format --dry-run 2>&1 | grep -o '^[^:]*\.\(cpp\|h\)' | sort -u)
if [ -n "$unformatted" ]; then
    printf 'not in the house style (clang-format -i FILE):\n%s\n' "$unformatted"
    status=1
fi

[ "$status" -eq 0 ] && echo "lint: no findings"
exit "$status"
