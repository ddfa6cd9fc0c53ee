#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test Vardex:
# the MinGW-w64 cross compiler, the host compiler (native tests), 32-bit
# Wine, Xvfb, GoogleTest sources and the tools that draw the icons and the
# alert sound.  Safe to run again.
set -euo pipefail

need=(cmake make g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64
      wine64-preloader xvfb googletest
      imagemagick icoutils sox xdotool x11-utils fonts-wine fonts-liberation
      python3 xauth)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture"
  $SUDO dpkg --add-architecture i386
fi

missing=()
for p in "${need[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
else
  echo "setup: all packages present"
fi
