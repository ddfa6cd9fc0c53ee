#!/usr/bin/env bash
# Builds and runs the benchmark program under Wine in a clone of the test
# template prefix; prints its tables.
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
"$root/scripts/setup.sh" >/dev/null
. "$root/scripts/wine-env.sh"
flavour=$(vx_machine_arch)
"$root/scripts/build.sh" "$flavour" >/dev/null
dir="$root/build/$flavour"
# A round trip to wineserver between two virtual CPUs costs several times
# what it costs on one, and which a run gets changes from run to run: the
# bench, its Wine and its wineserver share one CPU unless VX_BENCH_SPREAD=1.
pin=()
if [ "${VX_BENCH_SPREAD:-0}" != 1 ] && command -v taskset >/dev/null; then
  pin=(taskset -c 0)
fi
"${pin[@]}" bash "$root/scripts/wine-test.sh" "$flavour" "$dir/wine-template" "$dir/bin" 1800 bench.exe "$@"
