#!/usr/bin/env bash
# The Debian package as a user gets it: built by CPack, unpacked into a
# temporary root, its ombrix-cli run against its ombrix-sim with no model
# directory set (the installed share/ombrix is found from bin/), its desktop
# entry and metainfo validated, and lintian run on it where installed.
# Usage: PackageTest.sh BUILD_DIR [UDEV_IDS]
set -euo pipefail
build_dir=$(realpath "$1")
udev_ids=${2:-}
work=$(realpath "$(mktemp -d)")
sim=""
cleanup() {
    set +e
    [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
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
    share/man/man1/ombrix.1.gz share/man/man1/ombrix-cli.1.gz share/man/man1/ombrix-sim.1.gz \
    share/doc/ombrix/copyright share/doc/ombrix/changelog.gz; do
    [ -s "$root/usr/$file" ] || fail "the package has no /usr/$file"
done
for side in 48 128 256; do
    png="$root/usr/share/icons/hicolor/${side}x$side/apps/com.velmora.Ombrix.png"
    [ "$(identify -format '%wx%h' "$png")" = "${side}x$side" ] || fail "no ${side} px icon"
done
for program in ombrix ombrix-cli ombrix-sim; do
    zcat "$root/usr/share/man/man1/$program.1.gz" | grep -qi "^\.TH $program 1" ||
        fail "no manual page for $program"
done
zcat "$root/usr/share/man/man1/ombrix-cli.1.gz" | grep -q 'udev-rules' || fail "the page lacks a command"
grep -q 'docs/window.png</image>' "$root/usr/share/metainfo/com.velmora.Ombrix.metainfo.xml" ||
    fail "the metainfo does not show the README's screenshot"

rules=$(find "$root" -name 70-ombrix.rules)
if [ -n "$udev_ids" ]; then
    [ -n "$rules" ] || fail "no udev rules for $udev_ids"
    # shellcheck disable=SC2086 # the pairs are separate arguments
    diff <("$build_dir/src/cli/ombrix-cli" udev-rules ${udev_ids//[,;]/ }) "$rules" ||
        fail "the packaged rules differ from ombrix-cli's"
else
    [ -z "$rules" ] || fail "udev rules installed without pairs: $rules"
fi

unset OMBRIX_MODEL_DIR OMBRIX_USB_IDS
export OMBRIX_DEVICE_DIR="$work/devices" ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
"$root/usr/bin/ombrix" --version | grep -q '^ombrix ' || fail "the packaged ombrix does not run"
cli="$root/usr/bin/ombrix-cli"
"$root/usr/bin/ombrix-sim" >"$work/sim.out" 2>&1 &
sim=$!
for _ in $(seq 300); do
    grep -q '^ready$' "$work/sim.out" && break
    kill -0 "$sim" 2>/dev/null || break
    sleep 0.1
done
grep -q '^ready$' "$work/sim.out" || fail "the packaged ombrix-sim did not start: $(cat "$work/sim.out")"

# The file each simulated model must be given, the legacy one its family's.
declare -A expected=([10745]=Data/lum745A.def [20758]=Data/lum758A_ru.def
    [30302]=Data/lum302plus.def [40741]=lum74x.def)
serials=$("$cli" devices | cut -f1) || fail "the packaged ombrix-cli lists no instrument"
[ "$(wc -w <<<"$serials")" -eq ${#expected[@]} ] || fail "instruments listed: $serials"
for serial in $serials; do
    report=$("$cli" identify --serial "$serial") || fail "instrument $serial not identified"
    model=$(sed -n 's/^model: //p' <<<"$report")
    [ "$model" = "$root/usr/share/ombrix/${expected[$serial]}" ] ||
        fail "instrument $serial: model '$model', not the package's ${expected[$serial]}"
done
echo "identified ${#expected[@]} instruments from the package's models"
"$cli" capture --serial 30302 -o "$work/frame.png" || fail "capture failed"
[ "$(identify -format '%wx%h' "$work/frame.png")" = 320x240 ] || fail "capture wrote no whole frame"

desktop-file-validate "$root/usr/share/applications/com.velmora.Ombrix.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/com.velmora.Ombrix.metainfo.xml"
if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb"
else
    echo "lintian is not installed: skipped"
fi
echo "package ok"
