#!/usr/bin/env bash
# Installs Kestrel as an operator would and checks the result as the desktop and Debian see it.
#
#   install_test.sh layout|desktop|package BUILD_DIR SOURCE_DIR VERSION APP_ID
#
# layout:  `cmake --install` into a scratch prefix (with a space in its path): the files are where
#          the desktop looks, --help and --version answer without a display, and the installed
#          program seeds a new data directory from the installed data, keeping what is there.
# desktop: the menu entry and the AppStream data pass desktop-file-validate and appstreamcli.
# package: the Debian package cpack makes: its name, control fields, contents and lintian.
# Exits 77 (skipped) when a checking program is missing; scripts/setup installs them all.
set -euo pipefail
mode=$1 build=$2 source=$3 version=$4 app_id=$5
cmake=${CMAKE_COMMAND:-cmake}
cpack=${CPACK_COMMAND:-cpack}

tmp=$(mktemp -d)
pid=""
stop_program() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        pid=""
    fi
}
cleanup() {
    stop_program
    rm -rf "$tmp"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
skip() {
    echo "SKIPPED: $* (scripts/setup installs it)"
    exit 77
}
need() {
    command -v "$1" >/dev/null || skip "$1 is missing"
}
# The width and height a PNG file's header gives, as "WxH".
png_size() {
    local w h
    w=$(od -An -tu1 -j16 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
    h=$(od -An -tu1 -j20 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
    echo "${w}x${h}"
}
# The command of a desktop entry's Exec line, without the quotes a path with spaces needs.
exec_of() {
    sed -n 's/^Exec=//p' "$1" | sed 's/^"\(.*\)"$/\1/'
}
install_into() {
    if ! "$cmake" --install "$build" --prefix "$1" >"$tmp/install.log" 2>&1; then
        cat "$tmp/install.log"
        echo "FAIL: cmake --install"
        exit 1
    fi
}

prefix="$tmp/my prefix"
entry="share/applications/$app_id.desktop"
metainfo="share/metainfo/$app_id.metainfo.xml"
sizes="16 22 24 32 48 64 128 256"

check_layout() {
    install_into "$prefix"
    [ -x "$prefix/bin/kestrel" ] || fail "bin/kestrel is not installed"
    for f in "$source"/resources/data/*; do
        cmp -s "$f" "$prefix/share/kestrel/$(basename "$f")" || fail "share/kestrel/$(basename "$f") is not the shipped file"
    done
    for f in "$source"/resources/rigs/*.RIG; do
        [ -f "$prefix/share/kestrel/rigs/$(basename "$f")" ] || fail "share/kestrel/rigs/$(basename "$f") is missing"
    done
    for size in $sizes; do
        icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
        if [ ! -f "$icon" ]; then
            fail "no ${size}x${size} icon"
        elif [ "$(png_size "$icon")" != "${size}x${size}" ]; then
            fail "the ${size}x${size} icon is $(png_size "$icon")"
        fi
    done
    [ -f "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" ] || fail "no scalable icon"
    [ -f "$prefix/$metainfo" ] || fail "no AppStream metainfo"
    [ -f "$prefix/share/man/man1/kestrel.1.gz" ] || fail "no manual page"
    if [ -f "$prefix/$entry" ]; then
        [ "$(exec_of "$prefix/$entry")" = "$prefix/bin/kestrel" ] || fail "the menu entry runs $(exec_of "$prefix/$entry")"
        grep -qx "Icon=$app_id" "$prefix/$entry" || fail "the menu entry does not name the installed icon"
    else
        fail "no menu entry $entry"
    fi

    # Answered on the terminal with no display at all.
    local out
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/kestrel" --version) || fail "--version failed"
    [ "$out" = "Kestrel $version" ] || fail "--version says: $out"
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/kestrel" --help) || fail "--help failed"
    [[ "$out" == "Usage: kestrel"* ]] || fail "--help says: $out"

    # A data directory holding one file of the operator's: the installed program, started from
    # elsewhere, adds the installed files (a marker proves where they came from) and keeps his.
    echo "made here" >"$prefix/share/kestrel/MARKER.TXT"
    local home="$tmp/station home"
    mkdir -p "$home" "$tmp/elsewhere"
    printf 'MY CLUB\r\n' >"$home/CLUB.EDB"
    (cd "$tmp/elsewhere" && exec env QT_QPA_PLATFORM=offscreen "$prefix/bin/kestrel" --home "$home") \
        >"$tmp/run.log" 2>&1 &
    pid=$!
    for _ in $(seq 300); do
        [ -f "$home/MARKER.TXT" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    stop_program

    [ -f "$home/MARKER.TXT" ] || { cat "$tmp/run.log"; fail "the data directory was not given the installed files"; }
    cmp -s "$home/COUNTRY.LST" "$source/resources/data/COUNTRY.LST" || fail "COUNTRY.LST was not put in"
    [ "$(cat "$home/CLUB.EDB")" = $'MY CLUB\r' ] || fail "the operator's CLUB.EDB was replaced"
    [ ! -e "$home/rigs" ] || fail "the sample rigs were copied in"
}

check_desktop() {
    need desktop-file-validate
    need appstreamcli
    install_into "$prefix"
    desktop-file-validate "$prefix/$entry" || fail "desktop-file-validate"
    appstreamcli validate --no-net "$prefix/$metainfo" || fail "appstreamcli validate"
    grep -q "<release version=\"$version\"" "$prefix/$metainfo" || fail "the metainfo has no release $version"
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$prefix/$metainfo" ||
        fail "the metainfo does not launch $app_id.desktop"
    grep -qx "Categories=.*HamRadio;.*" "$prefix/$entry" || fail "the menu entry is not in HamRadio"
    grep -qx "Categories=.*Network;.*" "$prefix/$entry" || fail "the menu entry is not in Network"
}

check_package() {
    need dpkg-deb
    need dpkg-shlibdeps
    need lintian
    local arch deb
    arch=$(dpkg --print-architecture)
    if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/deb" >"$tmp/cpack.log" 2>&1; then
        cat "$tmp/cpack.log"
        echo "FAIL: cpack"
        exit 1
    fi
    deb="$tmp/deb/kestrel_${version}_${arch}.deb"
    [ -f "$deb" ] || { ls "$tmp/deb"; fail "no $(basename "$deb")"; exit 1; }

    local field
    for field in "Package: kestrel" "Version: $version" "Architecture: $arch" "Section: hamradio"; do
        [ "$(dpkg-deb -f "$deb" "${field%%:*}")" = "${field#*: }" ] || fail "control field ${field%%:*} is $(dpkg-deb -f "$deb" "${field%%:*}")"
    done
    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins fonts-liberation2; do
        [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
    done
    [[ "$(dpkg-deb -f "$deb" Maintainer)" == *"<"*"@"*">" ]] || fail "Maintainer has no address"

    dpkg-deb -c "$deb" | awk '{print $6}' >"$tmp/contents"
    local wanted=(./usr/bin/kestrel "./usr/$entry" "./usr/$metainfo" ./usr/share/doc/kestrel/copyright
        ./usr/share/doc/kestrel/changelog.gz ./usr/share/man/man1/kestrel.1.gz
        "./usr/share/icons/hicolor/scalable/apps/$app_id.svg")
    for size in $sizes; do
        wanted+=("./usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
    done
    for f in "$source"/resources/data/*; do
        wanted+=("./usr/share/kestrel/$(basename "$f")")
    done
    for f in "${wanted[@]}"; do
        grep -qxF "$f" "$tmp/contents" || fail "the package lacks $f"
    done
    grep -v '^\./$' "$tmp/contents" | grep -v '^\./usr/' && fail "the package puts files outside /usr"

    dpkg-deb -x "$deb" "$tmp/root"
    [ "$(exec_of "$tmp/root/usr/$entry")" = /usr/bin/kestrel ] || fail "the packaged menu entry runs $(exec_of "$tmp/root/usr/$entry")"
    zcat "$tmp/root/usr/share/doc/kestrel/changelog.gz" | head -1 | grep -q "^kestrel ($version)" ||
        fail "the changelog's last entry is not $version"

    local status=0
    lintian --fail-on error "$deb" >"$tmp/lintian.log" 2>&1 || status=$?
    grep -v "^running with root privileges" "$tmp/lintian.log" || true
    [ "$status" -eq 0 ] || fail "lintian found errors"
}

case "$mode" in
layout) check_layout ;;
desktop) check_desktop ;;
package) check_package ;;
*)
    echo "usage: $0 layout|desktop|package BUILD_DIR SOURCE_DIR VERSION APP_ID"
    exit 2
    ;;
esac
[ "$failures" -eq 0 ] || exit 1
echo "passed"
