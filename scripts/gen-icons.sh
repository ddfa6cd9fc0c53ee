#!/usr/bin/env bash
# Draws the monitor's tray and program icons: a watchdog's badge (a shield
# with an eye) in the colour of each tray state.  Each icon holds 16x16 and
# 32x32 images.  Usage: gen-icons.sh OUTPUT_DIR
set -euo pipefail
out=$1
mkdir -p "$out"

draw() { # name shield-colour eye-colour
  local name=$1 shield=$2 eye=$3 tmp
  tmp=$(mktemp -d)
  for size in 32 16; do
    local s=$((size - 1)) m=$((size / 2))
    convert -size ${size}x${size} xc:none \
      -fill "$shield" -stroke black -strokewidth 1 \
      -draw "path 'M $m,1 L $s,$((size/5)) L $s,$((size/2)) Q $s,$((size*4/5)) $m,$s Q 0,$((size*4/5)) 0,$((size/2)) L 0,$((size/5)) Z'" \
      -fill white -stroke none -draw "ellipse $m,$((size*9/20)) $((size*3/10)),$((size/6)) 0,360" \
      -fill "$eye" -draw "circle $m,$((size*9/20)) $m,$((size*9/20 + size/8))" \
      PNG32:"$tmp/$size.png"
  done
  convert "$tmp/16.png" "$tmp/32.png" "$out/$name.ico"
  rm -rf "$tmp"
}

draw normal_nt  '#2e6bb8' black    # 101: idle, NT family
draw normal_9x  '#3a8a3a' black    # 159: idle, Windows 95/98/Me
draw patrol_one '#d9a400' black    # 157: first half of a patrol
draw patrol_two '#d97a00' black    # 158: second half; helper alerts
draw alert      '#c81e1e' black    # 161: waiting for an answer
draw no_file    '#9a9a9a' white    # 115: a list row whose program file is missing
