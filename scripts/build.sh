#!/usr/bin/env bash
# Installs what is missing, configures and builds.
# Usage: scripts/build.sh [BUILD_DIR] [extra CMake options...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$root/build}"
shift || true

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir" --parallel "$(nproc)"
