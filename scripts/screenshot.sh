#!/usr/bin/env bash
# Makes the README's picture of the window, docs/window.png: the demo server of scripts/demo.sh,
# the window opened on a virtual display (Xvfb) with settings and an output folder of its own,
# Generate Files clicked on April of demo2014, and the window captured once the run has ended,
# its first error row chosen. The window fills the screen, as maximised (Xvfb has no window
# manager to maximise it), 1366x768 unless told otherwise.
#   scripts/screenshot.sh [FILE] [WIDTHxHEIGHT]     write the PNG to FILE instead
set -euo pipefail
# shellcheck source=scripts/cluster-settings.sh
source "$(dirname "${BASH_SOURCE[0]}")/cluster-settings.sh"
cd "$VAT_ROOT"

picture=$(realpath -m "${1:-docs/window.png}")
screen=${2:-1366x768}
build_dir=${VAT_BUILD_DIR:-$VAT_ROOT/build}

scripts/install-deps.sh xvfb xdotool imagemagick
# The demo's programs, server and companies; without a display it opens no window.
env -u DISPLAY -u WAYLAND_DISPLAY scripts/demo.sh >/dev/null
eval "$(scripts/pg-cluster.sh env)"

scratch=$(mktemp -d /tmp/vat-efile-screenshot.XXXXXX)
pids=()
finish() {
  ((${#pids[@]} == 0)) || kill "${pids[@]}" 2>/dev/null || true
  rm -rf "$scratch"
}
trap finish EXIT

# 96 dots an inch: the window's designed twips then fall on whole pixels, 15 to one.
Xvfb -displayfd 3 -screen 0 "${screen}x24" -dpi 96 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do
  [[ -s $scratch/display ]] && break
  sleep 0.1
done
DISPLAY=:$(<"$scratch/display")
export DISPLAY

# The user's own window settings are neither read nor changed; the month goes to the scratch
# folder.
export XDG_CONFIG_HOME=$scratch/config
mkdir -p "$XDG_CONFIG_HOME/vat-efile" "$scratch/returns"
printf '[General]\noutputFolder=%s\n' "$scratch/returns" >"$XDG_CONFIG_HOME/vat-efile/window.conf"

"$build_dir/bin/vat-efile" &
pids+=($!)
window=$(xdotool search --sync --onlyvisible --name '^VAT e-Filing Returns$' | head -n 1)
xdotool windowmove "$window" 0 0 windowsize "$window" "${screen%x*}" "${screen#*x}"
sleep 2
# Generate Files, at (5400, 720) twips, 3060 wide and 495 high: its middle.
xdotool mousemove --window "$window" 462 64 click 1
# The run ends with its message in a box of its own: OK closes it.
for _ in $(seq 100); do
  mapfile -t windows < <(xdotool search --onlyvisible --name '^VAT e-Filing Returns$')
  ((${#windows[@]} > 1)) && break
  sleep 0.2
done
for box in "${windows[@]}"; do
  [[ $box == "$window" ]] || xdotool windowfocus --sync "$box" key Return
done
# The first error row, shown in full beside the list: under the figures, or beside them from
# the window's top when the window is 1156 pixels wide (17340 twips) or more.
if ((${screen%x*} >= 1156)); then
  xdotool mousemove --window "$window" 630 99 click 1
else
  xdotool mousemove --window "$window" 60 562 click 1
fi
sleep 1
mkdir -p "$(dirname "$picture")"
import -window "$window" -strip "$picture"
echo "Wrote $picture"
