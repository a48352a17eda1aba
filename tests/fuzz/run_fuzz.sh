#!/bin/sh
# Runs the tone-loading fuzzer for a while and prints its totals.
# usage: run_fuzz.sh FUZZER SECONDS CORPUS SEEDS FINDINGS
set -eu
fuzzer=$1 seconds=$2 corpus=$3 seeds=$4 findings=$5
mkdir -p "$corpus" "$findings"
# One process; -timeout catches a single input that hangs, the rss limit
# one that eats memory; new interesting inputs go to the first folder.
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
	-max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" \
	"$corpus" "$seeds"
