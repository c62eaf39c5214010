#!/usr/bin/env bash
# The installed layout and the .deb: files where a desktop expects them, valid
# desktop and AppStream entries, manual pages that render, a lintian-clean
# package, the menu launcher's per-user folder, and binaries that start from
# their new home.
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in desktop-file-validate appstreamcli lintian man dpkg-parsechangelog file; do
    command -v "$tool" >/dev/null || fail "$tool not found (scripts/install-deps installs it)"
done

app_id=org.quorvane.Quorvane
doc=share/doc/quorvane

check_layout() {
    local root=$1
    for f in bin/quorvane bin/quorvane-report bin/quorvane-launch \
        share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
        share/icons/hicolor/scalable/apps/quorvane.svg share/quorvane/example.txt \
        $doc/README.md.gz $doc/copyright $doc/changelog.gz $doc/examples/example.txt \
        share/man/man1/quorvane.1.gz share/man/man1/quorvane-report.1.gz \
        share/man/man1/quorvane-launch.1.gz; do
        [ -f "$root/$f" ] || fail "missing $root/$f"
    done
    for f in quorvane quorvane-report quorvane-launch; do
        [ -x "$root/bin/$f" ] || fail "$f is not executable"
    done
    cmp -s "$source/examples/example.txt" "$root/share/quorvane/example.txt" ||
        fail "the launcher's example differs from examples/example.txt"

    local desktop=$root/share/applications/$app_id.desktop
    desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
    grep -qx 'Exec=quorvane-launch' "$desktop" || fail "the desktop entry does not run the launcher"
    grep -qx 'Icon=quorvane' "$desktop" || fail "the desktop entry names another icon"

    local metainfo=$root/share/metainfo/$app_id.metainfo.xml
    appstreamcli validate --no-net "$metainfo" >"$work/appstream.out" 2>&1 ||
        fail "the AppStream metainfo does not validate: $(cat "$work/appstream.out")"
    grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo has another id"
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not launch the installed desktop entry"
    # Every README picture is offered to software centres, under its own name.
    local shot listed=0
    for shot in "$source"/docs/screenshot-*.png; do
        grep -q "<image type=\"source\"[^>]*>https://quorvane.org/screenshots/$(basename "$shot")</image>" \
            "$metainfo" || fail "the metainfo does not list $(basename "$shot")"
        listed=$((listed + 1))
    done
    [ "$listed" -ge 3 ] || fail "expected the README's 3 screenshots in docs/, found $listed"

    check_documents "$root"
    check_manual_pages "$root"
}

check_documents() {
    local root=$1
    gzip -t "$root/$doc/changelog.gz" || fail "changelog.gz is not gzip"
    # gzip -n: no file name, no time stamp (bytes 4-7), so builds are reproducible.
    [ "$(od -An -tx1 -j3 -N5 "$root/$doc/changelog.gz" | tr -d ' ')" = 0000000000 ] ||
        fail "changelog.gz keeps a name or time stamp (gzip -n expected)"
    zcat "$root/$doc/changelog.gz" >"$work/changelog"
    local version
    version=$(dpkg-parsechangelog -l "$work/changelog" -S Version) ||
        fail "the changelog is not in Debian format"
    [ "$version" = "$package_version" ] ||
        fail "the changelog's latest version is $version, the package's $package_version"

    local copyright=$root/$doc/copyright
    head -n 1 "$copyright" |
        grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "the copyright file is not machine-readable (DEP-5)"
    grep -q '^Files: \*$' "$copyright" || fail "the copyright file has no Files: * paragraph"
    grep -q '^License: Expat$' "$copyright" || fail "the copyright file does not state the license"
    grep -q 'Permission is hereby granted, free of charge' "$source/LICENSE" ||
        fail "LICENSE does not hold the MIT license"
}

check_manual_pages() {
    local root=$1 page
    for page in quorvane quorvane-report quorvane-launch; do
        local file=$root/share/man/man1/$page.1.gz
        # man's own warnings (groff -ww) and any troff error end up on stderr.
        LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" \
            >"$work/$page.txt" 2>"$work/$page.err" || fail "man -l $page failed"
        [ ! -s "$work/$page.err" ] || fail "$page.1 renders with warnings: $(cat "$work/$page.err")"
        grep -q "^NAME" "$work/$page.txt" || fail "$page.1 has no NAME section"
        grep -Eq "^ +$page - " "$work/$page.txt" || fail "$page.1's NAME line is not '$page - ...'"
    done
    # Every option of the usage line is documented.
    local option
    for option in $("$root/bin/quorvane-report" --help | grep -Eo -- '--[a-z-]+' | sort -u); do
        grep -Eq -- "^ +$option( |$)" "$work/quorvane-report.txt" ||
            fail "quorvane-report.1 does not document $option"
    done
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

    # Through the menu's launcher, from an empty home: the program starts in its
    # new folder next to the example, and writes its settings there.
    local home="$work/menu-home-$RANDOM"
    mkdir -p "$home"
    status=0
    HOME="$home" XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen timeout 10 "$bin/quorvane-launch" ||
        status=$?
    [ "$status" -eq 124 ] || fail "quorvane started by the launcher exited with status $status"
    [ -f "$home/.local/share/quorvane/example.txt" ] || fail "the launcher seeded no example"
    grep -q '^main=motion2' "$home/.local/share/quorvane/Quorvane.ini" ||
        fail "the program did not start in the launcher's folder"
}

# The launcher alone, in a copy of the installed tree with a stub in place of
# the program: the stub records where and how it was started.
check_launcher() {
    local installed=$1
    local base
    base=$(mktemp -d "$work/launcher.XXXXXX")
    local tree="$base/tree"
    mkdir -p "$tree/bin" "$tree/share/quorvane"
    cp "$installed/bin/quorvane-launch" "$tree/bin/"
    printf 'a tiny diary, #,\n' >"$tree/share/quorvane/example.txt"
    cat >"$tree/bin/quorvane" <<'STUB'
#!/bin/sh
printf '%s\n%s\n%s\n' "$$" "$(pwd)" "$*" >"$STUB_LOG"
STUB
    chmod +x "$tree/bin/quorvane"
    sh -n "$tree/bin/quorvane-launch" || fail "the launcher is not valid POSIX sh"
    head -n 1 "$tree/bin/quorvane-launch" | grep -qx '#!/bin/sh' || fail "the launcher is not #!/bin/sh"

    export STUB_LOG="$base/stub.log"
    # Runs the launcher; checks that it replaced itself with the program (same
    # process) in the expected folder, with the arguments passed on.
    launch() {
        local folder=$1
        shift
        rm -f "$STUB_LOG"
        env "$@" "$tree/bin/quorvane-launch" one "two words" &
        local pid=$!
        wait "$pid" || fail "the launcher failed ($*)"
        [ -f "$STUB_LOG" ] || fail "the launcher did not start the program ($*)"
        [ "$(sed -n 1p "$STUB_LOG")" = "$pid" ] || fail "the launcher did not exec the program"
        [ "$(sed -n 2p "$STUB_LOG")" = "$folder" ] ||
            fail "the program started in $(sed -n 2p "$STUB_LOG"), not $folder ($*)"
        [ "$(sed -n 3p "$STUB_LOG")" = "one two words" ] || fail "arguments not passed on"
    }

    # First start with only HOME: the folder is made and seeded.
    local home="$base/home"
    mkdir -p "$home"
    launch "$home/.local/share/quorvane" -u XDG_DATA_HOME HOME="$home"
    cmp -s "$tree/share/quorvane/example.txt" "$home/.local/share/quorvane/example.txt" ||
        fail "the example was not copied on the first start"

    # The user's own example.txt is never replaced on later starts.
    printf 'my own diary, #,\n' >"$home/.local/share/quorvane/example.txt"
    launch "$home/.local/share/quorvane" -u XDG_DATA_HOME HOME="$home"
    [ "$(cat "$home/.local/share/quorvane/example.txt")" = "my own diary, #," ] ||
        fail "the launcher replaced the user's example.txt"

    # XDG_DATA_HOME wins over HOME; a folder that already exists is used as it is,
    # and its other files are left alone.
    local xdg="$base/xdg data"
    mkdir -p "$xdg/quorvane"
    printf 'main=motion2\n' >"$xdg/quorvane/Quorvane.ini"
    launch "$xdg/quorvane" XDG_DATA_HOME="$xdg" HOME="$base/no-home"
    [ ! -e "$base/no-home" ] || fail "the launcher made a folder under HOME despite XDG_DATA_HOME"
    [ -f "$xdg/quorvane/example.txt" ] || fail "an existing folder without the example was not seeded"
    [ "$(cat "$xdg/quorvane/Quorvane.ini")" = "main=motion2" ] || fail "the settings were touched"

    # A relative XDG_DATA_HOME is ignored, as the base directory rules say.
    local home2="$base/home2"
    mkdir -p "$home2"
    (cd "$base" && launch "$home2/.local/share/quorvane" XDG_DATA_HOME=relative HOME="$home2")
    [ ! -e "$base/relative" ] || fail "a relative XDG_DATA_HOME was used"

    # Without HOME or XDG_DATA_HOME it says why and starts nothing.
    rm -f "$STUB_LOG"
    if env -u HOME -u XDG_DATA_HOME "$tree/bin/quorvane-launch" 2>"$base/launch.err"; then
        fail "the launcher succeeded without HOME"
    fi
    grep -q 'HOME' "$base/launch.err" || fail "no message without HOME: $(cat "$base/launch.err")"
    [ ! -f "$STUB_LOG" ] || fail "the program started without a folder"
}

check_package() {
    local deb=$1
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libqt6widgets6 libqt6printsupport6 libc6 fonts-liberation; do
        [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
    done
    [ "$(dpkg-deb -f "$deb" Maintainer)" = "Quorvane developers <developers@quorvane.org>" ] ||
        fail "unexpected maintainer: $(dpkg-deb -f "$deb" Maintainer)"
    # An extended description: more than the synopsis line.
    [ "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 3 ] || fail "no extended description"

    # No overrides: lintian is to report every error and warning it finds.
    if dpkg-deb -c "$deb" | grep -q 'lintian/overrides'; then
        fail "the package ships lintian overrides"
    fi
    lintian --fail-on none "$deb" >"$work/lintian.out" 2>"$work/lintian.err" ||
        fail "lintian could not run: $(cat "$work/lintian.err")"
    if grep -E '^[EW]: ' "$work/lintian.out"; then
        fail "lintian reports errors or warnings"
    fi
}

# cmake --install into a prefix.
cmake --install "$build" --prefix "$work/prefix" >/dev/null
package_version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[ -n "$package_version" ] || fail "no package version in CPackConfig.cmake"
check_layout "$work/prefix"
check_launcher "$work/prefix"
check_binaries_start "$work/prefix/bin"

# The Debian package.
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/*.deb)
[ -n "$deb" ] || fail "no .deb was built"
check_package "$deb"
dpkg-deb -x "$deb" "$work/unpacked"
check_layout "$work/unpacked/usr"
for f in quorvane quorvane-report; do
    file -b "$work/unpacked/usr/bin/$f" | grep -q ', stripped' || fail "$f is not stripped"
done
check_launcher "$work/unpacked/usr"
check_binaries_start "$work/unpacked/usr/bin"
echo "install layout and package: ok ($(basename "$deb")), lintian: $(wc -l <"$work/lintian.out") tags, no E/W"
