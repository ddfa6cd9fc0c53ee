#!/usr/bin/env bash
# The main job from a fresh Debian machine: installs what is missing, builds
# the programs and starts the monitor under Wine in its own prefix.  Without
# a display it starts Xvfb, shows Wine's virtual desktop and saves a
# screenshot of it with the monitor's tray icon.
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
"$root/scripts/setup.sh"
. "$root/scripts/wine-env.sh"

"$root/scripts/build.sh" i686
flavour=$(vx_machine_arch)
if [ "$flavour" != i686 ]; then
  echo "run: this kernel cannot run 32-bit code; starting the 64-bit build of the same code"
  "$root/scripts/build.sh" "$flavour"
fi
bin="$root/build/$flavour/bin"
WINE=$(vx_wine_for "$flavour")

# A prefix of its own, made from the build's template on first use.
prefix="$root/build/run-prefix-$flavour"
if [ ! -d "$prefix" ]; then
  cp -a "$root/build/$flavour/wine-template" "$prefix"
fi
dest="$prefix/drive_c/Program Files/Vardex"
mkdir -p "$dest"
cp "$bin/Vardex.exe" "$bin/KESSA.DLL" "$dest/"
[ -f "$bin/VardexView.exe" ] && cp "$bin/VardexView.exe" "$dest/"
export WINEPREFIX="$prefix" WINEDEBUG=-all

xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  exec 9>"$prefix/.display"
  Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$prefix/.display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$prefix/.display")"
fi

echo "run: starting Vardex.exe (prefix $prefix, display $DISPLAY)"
(cd "$dest" && "$WINE" "C:\\Program Files\\Vardex\\Vardex.exe" </dev/null >/dev/null 2>&1 &)

if [ -n "$xvfb" ]; then
  sleep 8
  shot="$root/build/vardex-desktop.png"
  import -window root "$shot" && echo "run: screenshot of the desktop with the tray icon: $shot"
  echo "run: the monitor keeps running on the hidden display $DISPLAY; press Ctrl+C to stop it"
  trap '"$WINE" "C:\\Program Files\\Vardex\\Vardex.exe" -Q >/dev/null 2>&1; wineserver -k; kill $xvfb' EXIT
  wait "$xvfb"
else
  echo "run: Vardex.exe runs in the notification area; 'Vardex.exe -Q' ends it"
fi
