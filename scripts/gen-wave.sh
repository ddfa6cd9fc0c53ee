#!/usr/bin/env bash
# Synthesises the built-in alert sound: two short rising chimes.
# Usage: gen-wave.sh OUTPUT.wav
set -euo pipefail
out=$1
tmp=$(mktemp -d)
sox -n -r 22050 -c 1 -b 16 "$tmp/a.wav" synth 0.12 sine 880 fade 0.005 0.12 0.04 vol 0.6
sox -n -r 22050 -c 1 -b 16 "$tmp/b.wav" synth 0.18 sine 1320 fade 0.005 0.18 0.08 vol 0.6
sox "$tmp/a.wav" "$tmp/b.wav" "$out"
rm -rf "$tmp"
