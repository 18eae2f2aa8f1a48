#!/usr/bin/env bash
# Builds Ombrix, shows the attached instruments and captures the screen of each
# as a PNG file. Where no instrument is attached, the simulated instruments
# stand in for them while it runs.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$root/build"

"$root/scripts/build.sh" "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DOMBRIX_BUILD_TESTS=OFF -DOMBRIX_BUILD_BENCH=OFF
cli="$build_dir/src/cli/ombrix-cli"

if ! "$cli" devices >/dev/null 2>&1; then
    echo "No instrument attached: starting the simulated instruments (ombrix-sim)."
    coproc SIM { exec "$build_dir/sim/ombrix-sim"; }
    trap 'kill "$SIM_PID" 2>/dev/null; wait "$SIM_PID" 2>/dev/null || true' EXIT
    while read -r line <&"${SIM[0]}"; do
        [ "$line" = "ready" ] && break
    done
fi

echo "Attached instruments (serial, unit type, variant, US value, device path):"
"$cli" devices | tee "$build_dir/devices.txt"

screens="$build_dir/screens"
mkdir -p "$screens"
echo "Capturing each instrument's screen (connect, identify, load its model, read a frame):"
while IFS=$'\t' read -r serial _; do
    "$cli" capture --serial "$serial" -o "$screens/$serial.png"
    echo "  $screens/$serial.png"
done <"$build_dir/devices.txt"
