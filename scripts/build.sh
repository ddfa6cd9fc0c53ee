#!/usr/bin/env bash
# Configures and builds one flavour of the programs.
#   build.sh i686|x86_64 [BUILD_DIR]
# i686 is the shipped 32-bit build; x86_64 is the same code as 64-bit
# programs, for machines that cannot run 32-bit code (see README).
set -euo pipefail
flavour=${1:-i686}
root=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
dir=${2:-$root/build/$flavour}
. "$root/scripts/wine-env.sh"
# Test prefixes are prepared only for the flavour this machine can run.
runnable=OFF
[ "$(vx_machine_arch)" = "$flavour" ] || [ "$flavour" = x86_64 ] && runnable=ON
cmake -S "$root" -B "$dir" -DVX_ARCH="$flavour" -DVX_WINE_TESTS=$runnable \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j"$(nproc)"
