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
# Ended in the reverse order of their start: the window before its X server.
trap 'for ((i = ${#cleanup[@]} - 1; i >= 0; i--)); do kill "${cleanup[i]}" 2>/dev/null || true; done; wait 2>/dev/null || true' EXIT

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

# No display: the window on a virtual screen (with openbox framing it, where
# it is installed), with settings of its own so the user's stay untouched,
# started as on a first start; then a picture of it and of each display mode.
screens="$build_dir/screens"
mkdir -p "$screens"
demo="$(mktemp -d)"
mkdir -p "$demo/config/Velmora"
: >"$demo/config/Velmora/Ombrix.conf"
display=:$((90 + RANDOM % 50))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
cleanup+=("$!")
sleep 1
export DISPLAY=$display
if command -v openbox >/dev/null; then
    openbox --sm-disable >/dev/null 2>&1 &
    cleanup+=("$!")
    sleep 1
fi
XDG_CONFIG_HOME="$demo/config" QT_QPA_PLATFORM=xcb "$ombrix" &
cleanup+=("$!")
echo "No display: running the window on a virtual screen for a few seconds."
window=""
for _ in $(seq 50); do
    window=$(xdotool search --onlyvisible --name ' - Ombrix$' 2>/dev/null | head -1 || true)
    [ -n "$window" ] && xdotool getwindowname "$window" | grep -q '\.def' && break
    sleep 0.2
done

# The part of the screen the window and its floating bars take, their frames
# and a margin included, as ImageMagick's WxH+X+Y.
group_area() {
    local left=100000 top=100000 right=0 bottom=0 id x y w h l r t b
    for id in $(xdotool search --onlyvisible --name ' - Ombrix$|^Commands history$|^Keyboard$|^Fullscreen$'); do
        read -r x y w h < <(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x = $4}
            /Absolute upper-left Y/ {y = $4} /Width:/ {w = $2} /Height:/ {h = $2}
            END {print x, y, w, h}')
        read -r l r t b < <(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null |
            sed -n 's/.*= //p' | tr -d ',' | grep . || echo 0 0 0 0)
        left=$((x - l < left ? x - l : left))
        top=$((y - t < top ? y - t : top))
        right=$((x + w + r > right ? x + w + r : right))
        bottom=$((y + h + b > bottom ? y + h + b : bottom))
    done
    left=$((left > 12 ? left - 12 : 0))
    top=$((top > 12 ? top - 12 : 0))
    right=$((right + 12 < 1280 ? right + 12 : 1280))
    bottom=$((bottom + 12 < 1024 ? bottom + 12 : 1024))
    echo "$((right - left))x$((bottom - top))+$left+$top"
}
# A picture of the window and its bars once they have settled, or after $2 s.
picture() {
    sleep "${2:-1.5}"
    import -window root -crop "$(group_area)" +repage "$screens/$1"
}
keys() {
    xdotool windowfocus "$window" 2>/dev/null || true
    xdotool key --delay 200 "$@"
}

sleep 2
# A key pressed from the PC, so the picture shows its ring and the screen it led to.
keys Down
picture window.png 0.4
keys alt+v Down Down Right Down Return # Normal, Without keyboard
picture without-keyboard.png
keys F11
sleep 1.5
import -window root "$screens/fullscreen.png"
keys F11 alt+v c # back, then Compact
picture compact.png
# In compact mode the status bar's item is disabled: Normal is the second item.
keys alt+v Down Right Return       # Normal, With keyboard
keys alt+v Right Down Return       # Toolbars, Keyboard
picture with-keyboard.png
rm -rf "$demo"
echo "The window and its modes: $screens/window.png, with-keyboard.png, without-keyboard.png,"
echo "fullscreen.png, compact.png"
