#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config clang clang-format
    qt6-base-dev qt6-svg-dev libxcb1-dev libusb-1.0-0-dev libtiff-dev libboost-dev
    libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    locales xvfb xauth xdotool x11-utils openbox imagemagick fonts-dejavu-core
    dpkg-dev lintian desktop-file-utils appstream
    umockdev libumockdev-dev gir1.2-umockdev-1.0
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

# One test checks that numbers are read the same under a German locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "warning: could not create the de_DE.UTF-8 locale"
fi
