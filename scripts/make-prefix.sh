#!/usr/bin/env bash
# Prepares a template Wine prefix once per build; every test program then
# runs in a hard-linked clone of it (scripts/wine-test.sh).
#   make-prefix.sh OUTPUT_DIR i686|x86_64 [win32|win64]
# (the programs' flavour, and the prefix kind: by default win32 for i686,
# win64 for x86_64)
# The template has crash dialogs off (a crashing test ends at once instead
# of waiting on a dialog), Wine's own fonts with Windows-like replacements
# (realistic dialog metrics) and a 1024x768 virtual desktop (caption bars,
# a taskbar and a notification area without a window manager).
set -euo pipefail
out=$(realpath -m "$1")
flavour=${2:-i686}
here=$(dirname "$(readlink -f "$0")")
. "$here/wine-env.sh"
arch=${3:-$(vx_winearch_for "$flavour")}
WINE=$(vx_wine_for "$flavour")

if [ -f "$out/.vardex-template" ]; then exit 0; fi
rm -rf "$out"
mkdir -p "$(dirname "$out")"

work=$(mktemp -d /tmp/vxprefix.XXXXXX)
export WINEPREFIX="$out" WINEARCH="$arch" TMPDIR="$work" WINEDEBUG=-all
unset DISPLAY

"$WINE" wineboot -i </dev/null >"$work/boot.log" 2>&1 || { cat "$work/boot.log"; exit 1; }
wineserver -w

reg() { "$WINE" reg add "$@" /f </dev/null >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default
reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768
reg 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Liberation Sans'
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' /t REG_SZ /d 'Liberation Mono'
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /t REG_SZ /d 'Liberation Serif'
reg 'HKCU\Software\Wine\Fonts\Replacements' /v Verdana /t REG_SZ /d 'DejaVu Sans'
reg 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /t REG_SZ /d ''
wineserver -w

if [ -d /usr/share/wine/fonts ]; then
  cp /usr/share/wine/fonts/* "$out/drive_c/windows/Fonts/" 2>/dev/null || true
fi
mkdir -p "$out/drive_c/Vardex"

wineserver -k 2>/dev/null || true
rm -rf "$work"
touch "$out/.vardex-template"
echo "prepared $arch template prefix in $out"
