#!/usr/bin/env bash
# Runs one test program under Wine in a fresh clone of the template prefix:
#   wine-test.sh FLAVOUR TEMPLATE BIN_DIR TIMEOUT_SECONDS PROGRAM.exe [ARGS...]
# FLAVOUR is i686 or x86_64, the kind of programs in BIN_DIR.
# The program and the Vardex binaries are copied to C:\Vardex (the program
# folder, where history.txt and the trace files go).  The run gets its own
# wineserver and its own Xvfb display; both, and the clone, are removed at
# the end.  A run that outlives TIMEOUT is killed and reported as a failure.
# VX_KEEP_PREFIX=1 keeps the clone of a failed run for inspection.
set -u
flavour=$1 template=$2 bin=$3 limit=$4 program=$5
shift 5
here=$(dirname "$(readlink -f "$0")")
. "$here/wine-env.sh"
WINE=$(vx_wine_for "$flavour")

work=$(mktemp -d /tmp/vxtest.XXXXXX)
prefix="$work/prefix"

# Hard links for the bulk; real copies of every file Wine rewrites in place.
cp -al "$template" "$prefix"
for f in "$prefix"/*.reg "$prefix"/drive_c/windows/*.ini \
         "$prefix"/drive_c/windows/system32/drivers/etc/*; do
  [ -f "$f" ] && cp --remove-destination "$(readlink -f "$f")" "$f.tmp" 2>/dev/null \
    && mv -f "$f.tmp" "$f"
done
find "$prefix/drive_c/users" -type f -exec sh -c 'cp "$1" "$1.tmp" && mv -f "$1.tmp" "$1"' _ {} \;

dest="$prefix/drive_c/Vardex"
mkdir -p "$dest"
cp "$bin/$program" "$dest/"
for f in Vardex.exe VardexView.exe KESSA.DLL; do
  [ -f "$bin/$f" ] && cp "$bin/$f" "$dest/"
done

export WINEPREFIX="$prefix" TMPDIR="$work" WINEDEBUG=${WINEDEBUG:--all}

# A private display, found by Xvfb itself.
exec 9>"$work/display"
Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

# Background Wine processes inherit the output of whoever starts them: send
# the test's output to a file, never to CTest's pipe, then print it.
(cd "$dest" && timeout -k 5 "$limit" "$WINE" "C:\\Vardex\\$program" "$@" \
   </dev/null >"$work/out.txt" 2>&1)
rc=$?
cat "$work/out.txt"
if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
  echo "wine-test: $program was killed after ${limit}s (hung)"
  rc=1
fi

wineserver -k >/dev/null 2>&1
kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null
if [ $rc -ne 0 ] && [ "${VX_KEEP_PREFIX:-0}" = 1 ]; then
  echo "wine-test: prefix kept in $prefix"
else
  rm -rf "$work"
fi
exit $rc
