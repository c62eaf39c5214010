#!/usr/bin/env bash
# The installed layout and the .deb: files where a desktop expects them, a valid
# .desktop entry, package dependencies, and binaries that start from their new home.
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

check_layout() {
    local root=$1
    for f in bin/quorvane bin/quorvane-report share/applications/quorvane.desktop \
        share/icons/hicolor/scalable/apps/quorvane.svg share/doc/quorvane/README.md \
        share/doc/quorvane/examples/example.txt; do
        [ -f "$root/$f" ] || fail "missing $root/$f"
    done
    [ -x "$root/bin/quorvane" ] || fail "quorvane is not executable"
    desktop-file-validate "$root/share/applications/quorvane.desktop" ||
        fail "the desktop entry does not validate"
    grep -qx 'Exec=quorvane' "$root/share/applications/quorvane.desktop" ||
        fail "the desktop entry does not start quorvane"
}

check_binaries_start() {
    local bin=$1
    # The headless command prints the example's report.
    "$bin/quorvane-report" "$source/examples/example.txt" >"$work/report.txt" ||
        fail "installed quorvane-report failed"
    grep -q '006.0  COFFEE  3 times' "$work/report.txt" || fail "unexpected report"

    # The window starts, runs its first-run set-up and waits at the agreement box;
    # still running when the timeout ends it means it started.
    local run="$work/run-$RANDOM"
    mkdir -p "$run"
    cp "$source/examples/example.txt" "$run/"
    local status=0
    (cd "$run" && QT_QPA_PLATFORM=offscreen timeout 10 "$bin/quorvane") || status=$?
    [ "$status" -eq 124 ] || fail "installed quorvane exited with status $status"
    grep -q '^main=motion2' "$run/Quorvane.ini" || fail "start-up did not write the settings"
}

# cmake --install into a prefix.
cmake --install "$build" --prefix "$work/prefix" >/dev/null
check_layout "$work/prefix"
check_binaries_start "$work/prefix/bin"

# The Debian package.
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/*.deb)
[ -n "$deb" ] || fail "no .deb was built"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6printsupport6 libc6 fonts-liberation; do
    [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
dpkg-deb -x "$deb" "$work/unpacked"
check_layout "$work/unpacked/usr"
check_binaries_start "$work/unpacked/usr/bin"
echo "install layout and package: ok ($(basename "$deb"))"
