#!/usr/bin/env bash
# Shows each of the eight alert dialogs, filled with a real program (our own
# Vardex.exe, which carries a version resource), and the tray icon with its
# menu, in Wine's virtual desktop, and saves each screen as a PNG:
#   scripts/screenshots.sh OUTPUT_DIR [BUILD_DIR]
# BUILD_DIR is a built folder holding bin/ and wine-template/; by default
# the one scripts/test.sh makes for the flavour this machine runs.
# Nothing here is run by the tests; the pictures are not kept in the
# repository.
set -euo pipefail
out=$(realpath -m "${1:?usage: screenshots.sh OUTPUT_DIR [BUILD_DIR]}")
here=$(dirname "$(readlink -f "$0")")
. "$here/wine-env.sh"
build=$(realpath "${2:-$here/../build/$(vx_machine_arch)}")
flavour=$(grep -s '^VX_ARCH:' "$build/CMakeCache.txt" | cut -d= -f2)
flavour=${flavour:-x86_64}
WINE=$(vx_wine_for "$flavour")
bin="$build/bin"
for f in Vardex.exe KESSA.DLL monitor_test_alerts.exe monitor_test_tray.exe; do
  [ -f "$bin/$f" ] || { echo "missing $bin/$f: build first" >&2; exit 1; }
done
[ -f "$build/wine-template/.vardex-template" ] || { echo "no template prefix in $build" >&2; exit 1; }
mkdir -p "$out"

work=$(mktemp -d /tmp/vxshots.XXXXXX)
prefix="$work/prefix"
cp -al "$build/wine-template" "$prefix"
for f in "$prefix"/*.reg "$prefix"/drive_c/windows/*.ini; do
  [ -f "$f" ] && cp --remove-destination "$(readlink -f "$f")" "$f.tmp" && mv -f "$f.tmp" "$f"
done
find "$prefix/drive_c/users" -type f -exec sh -c 'cp "$1" "$1.tmp" && mv -f "$1.tmp" "$1"' _ {} \;
dest="$prefix/drive_c/Vardex"
mkdir -p "$dest"
for f in Vardex.exe KESSA.DLL monitor_test_alerts.exe monitor_test_tray.exe; do
  cp "$bin/$f" "$dest/"
done
export WINEPREFIX="$prefix" TMPDIR="$work" WINEDEBUG=-all

exec 9>"$work/display"
Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

run() { (cd "$dest" && "$WINE" "$@" </dev/null >>"$work/log.txt" 2>&1); }
shot() { sleep "$2"; import -window root "$out/$1.png"; echo "saved $out/$1.png"; }

# The alerts, in the order of the showcase (kRowAlerts in
# tests/monitor/test_alerts.cpp), the file change alert last.
names=(startup delayed helper activex hidden task service filetype filechange)
for kind in "${!names[@]}"; do
  VX_SHOWCASE_KIND=$kind VX_SHOWCASE_SECONDS=5 \
    run 'C:\Vardex\monitor_test_alerts.exe' --gtest_also_run_disabled_tests \
        --gtest_filter=Showcase.DISABLED_ShowAlert &
  shot "alert-$kind-${names[$kind]}" 3.5
  wait $!
done

# The service alert filled from a service of the prefix itself: its title,
# program, start type and state are the service manager's.
VX_SHOWCASE_KIND=6 VX_SHOWCASE_NAME="Print Spooler" \
  VX_SHOWCASE_FILE='C:\windows\system32\spoolsv.exe' VX_SHOWCASE_SECONDS=5 \
  run 'C:\Vardex\monitor_test_alerts.exe' --gtest_also_run_disabled_tests \
      --gtest_filter=Showcase.DISABLED_ShowAlert &
shot alert-6-service-spooler 3.5
wait $!

# The longest startup message: a RunOnce entry.
VX_SHOWCASE_KIND=0 VX_SHOWCASE_CODE=12 VX_SHOWCASE_SECONDS=5 \
  run 'C:\Vardex\monitor_test_alerts.exe' --gtest_also_run_disabled_tests \
      --gtest_filter=Showcase.DISABLED_ShowAlert &
shot alert-0-startup-runonce 3.5
wait $!

# The monitor with its tray icon, then its menu opened at the icon.
run 'C:\Vardex\Vardex.exe' -NoOpen &
monitor=$!
shot tray-icon 6
xdotool mousemove 980 750 || true
run 'C:\Vardex\monitor_test_tray.exe' --gtest_also_run_disabled_tests \
    --gtest_filter=TrayChild.DISABLED_OpenMenuOfRunningMonitor
shot tray-menu 1.5
run 'C:\Vardex\Vardex.exe' -Q || true
wait "$monitor" || true
