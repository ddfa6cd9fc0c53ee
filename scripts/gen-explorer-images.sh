#!/usr/bin/env bash
# Draws the explorer's tab icons and the bitmaps of its image buttons.
#   gen-explorer-images.sh OUTPUT_DIR
# Tab icons: a rounded tile in the page's colour with a white mark, 16x16
# and 32x32.  Image buttons (32x32, 24-bit): Help is a "?" disc (normal,
# pressed, hover); Monitor shows the patrol state of the page's category
# (off, on a timer, real time) and one pressed/hover image; the cookie
# page's View button is an eye (normal, pressed, hover).
set -euo pipefail
out=$1
mkdir -p "$out"

tile() { # name colour mark: disc|bar|ring|dot
  local name=$1 colour=$2 mark=$3 tmp
  tmp=$(mktemp -d)
  for size in 32 16; do
    local s=$((size - 1)) m=$((size / 2)) q=$((size / 4))
    local draw
    case $mark in
      disc) draw="circle $m,$m $m,$((m + q))" ;;
      bar)  draw="rectangle $q,$((m - size / 8)) $((size - q - 1)),$((m + size / 8))" ;;
      ring) draw="circle $m,$m $m,$((m + q + 1))" ;;
      dot)  draw="rectangle $q,$q $((size - q - 1)),$((size - q - 1))" ;;
    esac
    convert -size ${size}x${size} xc:none \
      -fill "$colour" -stroke black -strokewidth 1 -draw "roundrectangle 0,0 $s,$s 4,4" \
      -fill white -stroke none -draw "$draw" \
      PNG32:"$tmp/$size.png"
  done
  convert "$tmp/16.png" "$tmp/32.png" "$out/$name.ico"
  rm -rf "$tmp"
}

tile tab_startup   '#2e6bb8' disc   # 174 Startup Programs
tile tab_delayed   '#5a7fa8' ring   # 200 Delayed Start
tile tab_activex   '#8a3ab8' dot    # 212 ActiveX
tile tab_helpers   '#1e8ab8' bar    # 180 IE Helpers
tile tab_scheduled '#b86b2e' ring   # 182 Scheduled Tasks
tile tab_services  '#4a4a4a' dot    # 173 Services
tile tab_tasks     '#2e9a5a' bar    # 176 Active Tasks
tile tab_cookies   '#a8742e' disc   # 183 Cookies
tile tab_filetypes '#6b6bb8' bar    # 179 File Types
tile tab_hidden    '#7a7a7a' ring   # 198 Hidden Files
tile tab_plus      '#c8a41e' disc   # 167 PLUS
tile tab_options   '#3a8a8a' dot    # 181 Options
tile program       '#2e6bb8' ring   # 101 the explorer
tile notice        '#c81e1e' disc   # 161 the message dialog
tile missing_file  '#b0b0b0' dot    # 115 a row whose file is missing

button() { # name background disc-colour mark-colour mark: help|eye|off|timer|live
  local name=$1 back=$2 disc=$3 ink=$4 mark=$5
  local -a draw
  case $mark in
    help)  draw=(-stroke "$ink" -strokewidth 3 -fill none -draw "arc 11,7 21,17 180,360"
                 -draw "line 21,12 16,19" -draw "line 16,19 16,21"
                 -stroke none -fill "$ink" -draw "circle 16,25 16,26") ;;
    eye)   draw=(-fill white -stroke "$ink" -strokewidth 1 -draw "ellipse 16,16 11,6 0,360"
                 -fill "$ink" -draw "circle 16,16 16,19") ;;
    off)   draw=(-stroke "$ink" -strokewidth 3 -draw "line 9,9 23,23" -draw "line 23,9 9,23") ;;
    timer) draw=(-stroke "$ink" -strokewidth 2 -fill none -draw "circle 16,16 16,7"
                 -draw "line 16,16 16,10" -draw "line 16,16 21,16") ;;
    live)  draw=(-stroke "$ink" -strokewidth 3 -fill none
                 -draw "polyline 6,17 11,17 14,9 18,24 21,14 26,14") ;;
  esac
  convert -size 32x32 "xc:$back" -fill "$disc" -stroke black -strokewidth 1 \
    -draw "circle 16,16 16,2" "${draw[@]}" -type TrueColor "BMP3:$out/$name.bmp"
}

button help_normal   '#d4d0c8' '#2e6bb8' white help    # 133
button help_pressed  '#a0a0a0' '#1e4b88' white help    # 134
button help_hover    '#d4d0c8' '#4e8bd8' yellow help   # 135
button patrol_off    '#d4d0c8' '#b0b0b0' '#802020' off # 154
button patrol_hover  '#d4d0c8' '#f0d060' black timer   # 155
button patrol_timer  '#d4d0c8' '#3a8a3a' white timer   # 156
button patrol_live   '#d4d0c8' '#2eb84a' white live    # 193
button view_normal   '#d4d0c8' '#a8742e' black eye     # 158
button view_pressed  '#a0a0a0' '#78541e' black eye     # 159
button view_hover    '#d4d0c8' '#c8944e' black eye     # 160
