#!/bin/sh
# Installs the build into a fresh prefix, checks what a desktop needs, validates the desktop
# entry and the AppStream metadata, and checks that the installed tree still works when moved.
# Usage: check-install.sh BUILD_DIR
set -eu
build="$1"
for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed"
        exit 77
    fi
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() {
    echo "FAIL: $*"
    exit 1
}
check_installed() {
    root="$1"
    bundle=$(find "$root" -type d -name Plinka.app | head -n 1)
    [ -n "$bundle" ] || fail "no Plinka.app under $root"
    [ -x "$bundle/Contents/MacOS/Plinka" ] || fail "the bundle has no executable"
    grep -q "<string>org.plinka.Plinka</string>" "$bundle/Contents/Info.plist" ||
        fail "the bundle has no Info.plist with its identifier"
    themes=$(find "$bundle/Contents/Resources/KeySoundThemes" -name '*.plnk' | wc -l)
    [ "$themes" -ge 4 ] || fail "only $themes themes in the bundle"
    for resource in Defaults.plist MainMenu.ui menubar.png Plinka.png silence.wav \
                    de.lproj/InfoPlist.strings; do
        [ -f "$bundle/Contents/Resources/$resource" ] || fail "no $resource in the bundle"
    done
    [ -L "$root/bin/plinka" ] || fail "no launcher link"
    [ "$(readlink -f "$root/bin/plinka")" = "$(readlink -f "$bundle/Contents/MacOS/Plinka")" ] ||
        fail "the launcher does not reach the bundle's executable"
    [ -f "$root/share/icons/hicolor/256x256/apps/org.plinka.Plinka.png" ] || fail "no icon"
}

check_installed "$prefix"
desktop-file-validate "$prefix/share/applications/org.plinka.Plinka.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.plinka.Plinka.metainfo.xml"

# Moved elsewhere, the relative launcher still reaches the bundle.
mv "$prefix" "$scratch/moved"
check_installed "$scratch/moved"
echo "installed, validated and movable"
