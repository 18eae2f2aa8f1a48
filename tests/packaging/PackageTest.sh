#!/usr/bin/env bash
# The Debian package as a user gets it: built by CPack, unpacked into a
# temporary root, its ombrix-cli run against its ombrix-sim with no model
# directory set (the installed share/ombrix is found from bin/), its desktop
# entry and metainfo validated, and lintian run on it where installed.
# Usage: PackageTest.sh BUILD_DIR
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
sim=""
cleanup() {
    [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# gzip: the test needs the package, not the smallest one.
if ! (cd "$work" && cpack -G DEB --config "$build_dir/CPackConfig.cmake" \
        -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >cpack.log 2>&1); then
    cat "$work/cpack.log"
    fail "cpack could not build the package"
fi
deb=$(ls "$work"/ombrix_*.deb)
root="$work/root"
dpkg-deb -x "$deb" "$root"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libqt6widgets6 libqt6svg6 libusb-1.0-0 libtiff6; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library"
done

for file in bin/ombrix bin/ombrix-cli bin/ombrix-sim \
    share/applications/com.velmora.Ombrix.desktop \
    share/metainfo/com.velmora.Ombrix.metainfo.xml \
    share/icons/hicolor/scalable/apps/com.velmora.Ombrix.svg \
    share/icons/hicolor/48x48/apps/com.velmora.Ombrix.png \
    share/icons/hicolor/128x128/apps/com.velmora.Ombrix.png \
    share/icons/hicolor/256x256/apps/com.velmora.Ombrix.png \
    share/man/man1/ombrix.1.gz share/man/man1/ombrix-cli.1.gz share/man/man1/ombrix-sim.1.gz \
    share/doc/ombrix/copyright share/doc/ombrix/changelog.gz; do
    [ -s "$root/usr/$file" ] || fail "the package has no /usr/$file"
done
for side in 48 128 256; do
    size=$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${side}x$side/apps/com.velmora.Ombrix.png")
    [ "$size" = "${side}x$side" ] || fail "the ${side} px icon is $size"
done
zcat "$root/usr/share/man/man1/ombrix-cli.1.gz" | grep -q '^\.TH OMBRIX-CLI 1' || fail "no ombrix-cli page"
zcat "$root/usr/share/man/man1/ombrix-cli.1.gz" | grep -q 'udev-rules' || fail "the page lacks a command"

unset OMBRIX_MODEL_DIR OMBRIX_USB_IDS
export OMBRIX_DEVICE_DIR="$work/devices" ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
cli="$root/usr/bin/ombrix-cli"
"$root/usr/bin/ombrix-sim" >"$work/sim.out" 2>&1 &
sim=$!
for _ in $(seq 100); do
    grep -q '^ready$' "$work/sim.out" && break
    sleep 0.1
done
grep -q '^ready$' "$work/sim.out" || fail "the packaged ombrix-sim did not start: $(cat "$work/sim.out")"

serials=$("$cli" devices | cut -f1)
[ -n "$serials" ] || fail "the packaged ombrix-cli lists no instrument"
count=0
for serial in $serials; do
    report=$("$cli" identify --serial "$serial")
    model=$(sed -n 's/^model: //p' <<<"$report")
    [[ "$model" == "$root/usr/share/ombrix/"* ]] || fail "instrument $serial: model '$model' is not the package's"
    [ -f "$model" ] || fail "instrument $serial: $model does not exist"
    count=$((count + 1))
done
echo "identified $count instruments from the package's models"
"$cli" capture -o "$work/frame.png" 2>/dev/null
[ "$(identify -format '%w' "$work/frame.png")" -gt 0 ] || fail "capture wrote no frame"

desktop-file-validate "$root/usr/share/applications/com.velmora.Ombrix.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/com.velmora.Ombrix.metainfo.xml"
if command -v lintian >/dev/null; then
    lintian --fail-on error --suppress-tags-from-file "$(dirname "$0")/lintian-suppressed" "$deb"
fi
echo "package ok"
