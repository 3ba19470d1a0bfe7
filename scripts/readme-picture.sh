#!/usr/bin/env bash
# Renders docs/main-window.png from the running demo (scripts/demo.sh) on a virtual X server
# of 1000 x 700: after a minute of registrations from both simulated controllers, the first
# controller is chosen so that its form shows, and the main window is captured. Then View,
# Registrations history... opens the history window on the demo's monthly file, and
# docs/history-window.png is that window.
set -euo pipefail
cd "$(dirname "$0")/.."
display=:${READMEPICTURE_DISPLAY:-71}
Xvfb "$display" -screen 0 1000x700x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
DISPLAY=$display setsid scripts/demo.sh >out/readme-picture.log 2>&1 &
demo=$!
trap 'kill -- -"$demo" 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true' EXIT
window=
for _ in $(seq 600); do
    window=$(DISPLAY=$display xdotool search --name ' - Tarvex$' 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    sleep 1
done
[ -n "$window" ] || { echo "readme-picture: the main window did not appear" >&2; exit 1; }
sleep 45
# The first row of the controllers list, where the demo font puts it.
DISPLAY=$display xdotool mousemove --window "$window" 440 103 click 1
sleep 20
DISPLAY=$display import -window "$window" docs/main-window.png
echo "wrote docs/main-window.png"

# The keys go to the window under the pointer: Alt+V, then the item's mnemonic.
DISPLAY=$display xdotool mousemove --window "$window" 440 103 key alt+v
sleep 1
DISPLAY=$display xdotool key h
history=
for _ in $(seq 30); do
    history=$(DISPLAY=$display xdotool search --name '^Registrations history$' 2>/dev/null | head -n1 || true)
    [ -n "$history" ] && break
    sleep 1
done
[ -n "$history" ] || { echo "readme-picture: the history window did not appear" >&2; exit 1; }
sleep 3
DISPLAY=$display import -window "$history" docs/history-window.png
echo "wrote docs/history-window.png"
