# Sourced by the scripts: picks the Wine loader for the programs' flavour.
#   VX_ARCH=i686   -> 32-bit prefix, /usr/lib/wine/wine
#   VX_ARCH=x86_64 -> 64-bit prefix, /usr/lib/wine/wine64
# vx_machine_arch prints the flavour this machine can run: i686 when its
# kernel runs 32-bit code (then the shipped 32-bit programs are what is
# tested), x86_64 when 32-bit emulation is off in the kernel.
vx_machine_arch() {
  if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
  else
    echo x86_64
  fi
}

vx_wine_for() {
  case "$1" in
    i686) echo /usr/lib/wine/wine ;;
    *)    echo /usr/lib/wine/wine64 ;;
  esac
}

vx_winearch_for() {
  case "$1" in
    i686) echo win32 ;;
    *)    echo win64 ;;
  esac
}

export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
