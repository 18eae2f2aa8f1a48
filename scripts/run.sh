#!/usr/bin/env bash
# Builds Ombrix and opens its window on the attached instrument. Where no
# instrument is attached, the simulated instruments of ombrix-sim stand in for
# them. On a machine without a display the window runs for a few seconds on a
# virtual one, and a picture of it is saved.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$root/build"

"$root/scripts/build.sh" "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DOMBRIX_BUILD_TESTS=OFF -DOMBRIX_BUILD_BENCH=OFF
cli="$build_dir/src/cli/ombrix-cli"
ombrix="$build_dir/src/app/ombrix"

cleanup=()
trap 'for pid in "${cleanup[@]}"; do kill "$pid" 2>/dev/null || true; done; wait 2>/dev/null || true' EXIT

if ! "$cli" devices >/dev/null 2>&1; then
    echo "No instrument attached: starting the simulated instruments (ombrix-sim)."
    coproc SIM { exec "$build_dir/sim/ombrix-sim"; }
    cleanup+=("$SIM_PID")
    while read -r line <&"${SIM[0]}"; do
        [ "$line" = "ready" ] && break
    done
fi

echo "Attached instruments (serial, unit type, variant, US value, device path):"
"$cli" devices

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Opening the Ombrix window."
    "$ombrix"
    exit 0
fi

# No display: the window on a virtual screen, with settings of its own so the
# user's stay untouched, then a picture of it.
screens="$build_dir/screens"
mkdir -p "$screens"
demo="$(mktemp -d)"
cleanup+=()
mkdir -p "$demo/config/Velmora"
printf '[MainSettings/MainFrame]\nregular_window_rect="0,0,540,760"\n[MainSettings/CommandsToolbar]\nvisible=0\n' \
    >"$demo/config/Velmora/Ombrix.conf"
display=:$((90 + RANDOM % 50))
Xvfb "$display" -screen 0 1024x800x24 -nolisten tcp >/dev/null 2>&1 &
cleanup+=("$!")
sleep 1
DISPLAY=$display XDG_CONFIG_HOME="$demo/config" QT_QPA_PLATFORM=xcb "$ombrix" &
cleanup+=("$!")
echo "No display: running the window on a virtual screen for a few seconds."
window=""
for _ in $(seq 50); do
    window=$(DISPLAY=$display xdotool search --onlyvisible --name ' - Ombrix$' 2>/dev/null | head -1 || true)
    [ -n "$window" ] && DISPLAY=$display xdotool getwindowname "$window" | grep -q '\.def' && break
    sleep 0.2
done
sleep 2
# A key pressed from the PC, so the picture shows its ring and the screen it led to.
DISPLAY=$display xdotool windowfocus "$window" key Down
sleep 0.4
DISPLAY=$display import -window "$window" "$screens/window.png"
rm -rf "$demo"
echo "The window: $screens/window.png"
