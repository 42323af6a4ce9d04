#!/usr/bin/env bash
# Makes docs/screenshot.png: the program under a private X server, the copy of ℓ slid to the
# right and both prolongations shown. Needs xvfb, xdotool and imagemagick, and a build.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
display=:$((90 + RANDOM % 9))
# A settings folder of its own, so that no remembered window place or pointer size of the
# user's gets into the picture.
config=$(mktemp -d)
Xvfb "$display" -screen 0 1024x800x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill ${app:-} $xvfb 2>/dev/null || true; rm -rf "$config"' EXIT
sleep 1
DISPLAY=$display XDG_CONFIG_HOME=$config ./build/parallel-ratio &
app=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool search --name "平行線" >/dev/null 2>&1 && break; sleep 0.1; done
sleep 0.5
# Surface point (x, y) is window point (x + 10, y + 50) at scale 1, window at the origin.
xdotool mousemove 310 350 mousedown 1
for x in 340 380 420 460; do xdotool mousemove "$x" 352; sleep 0.05; done
xdotool mouseup 1
xdotool mousemove 110 150 click 1 mousemove 700 150 click 1 mousemove 780 690
sleep 0.3
import -window root -crop 811x702+0+0 +repage docs/screenshot.png
echo "wrote docs/screenshot.png"
