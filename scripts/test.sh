#!/usr/bin/env bash
# The whole test suite from a fresh Debian machine: installs what is
# missing, builds and runs the native tests of the pure text modules (host
# compiler, no Wine; a failure stops here), builds the shipped 32-bit
# programs (they must compile without a warning), builds the flavour this
# machine can run and runs every test program under Wine with CTest.
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
"$root/scripts/setup.sh"
. "$root/scripts/wine-env.sh"

echo "== native tests of the text modules (host compiler, no Wine)"
cmake -S "$root/tests/native" -B "$root/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/native" -j"$(nproc)"
"$root/build/native/native_tests" --gtest_brief=1

echo "== building the 32-bit programs"
"$root/scripts/build.sh" i686

flavour=$(vx_machine_arch)
if [ "$flavour" != i686 ]; then
  echo "== this kernel cannot run 32-bit code: testing the same code built as 64-bit programs"
  "$root/scripts/build.sh" "$flavour"
fi

echo "== running the tests ($flavour)"
cd "$root/build/$flavour"
ctest --output-on-failure --timeout 480 "$@"
