#!/usr/bin/env bash
# Records the README's demonstration, docs/demo.gif, with ombrix-cli record
# from the simulated colour instrument, whose keys are pressed on a schedule:
# the menu opened, the range list chosen, a range picked, both left again.
# Usage: scripts/record-demo.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$root/build}"
devices="$(mktemp -d)"

coproc SIM {
    exec "$build_dir/sim/ombrix-sim" --device-dir "$devices" \
        --at "2500:key 1 0x6a" --at "3700:key 1 0x68" --at "4900:key 1 0x61" \
        --at "6100:key 1 0x68" --at "7300:key 1 0x62" --at "8500:key 1 0x62" colour
}
trap 'kill "$SIM_PID" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$devices"' EXIT
while read -r line <&"${SIM[0]}"; do
    [ "$line" = "ready" ] && break
done

OMBRIX_DEVICE_DIR="$devices" "$build_dir/src/cli/ombrix-cli" record \
    -o "$root/docs/demo.gif" --duration 10 --framed --zoom 2
