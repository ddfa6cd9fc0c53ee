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
bash "$root/scripts/wine-test.sh" "$flavour" "$dir/wine-template" "$dir/bin" 1800 bench.exe "$@"
