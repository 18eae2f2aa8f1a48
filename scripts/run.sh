#!/usr/bin/env bash
# Builds Ombrix and lists the attached instruments.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$root/build"

"$root/scripts/build.sh" "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
"$build_dir/src/cli/ombrix-cli" devices || echo "No instrument found."
