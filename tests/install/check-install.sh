#!/bin/sh
# Installs the build into a fresh prefix, checks what a desktop needs, validates the desktop
# entry and the AppStream metadata, and checks that the installed tree still works when moved.
# Usage: check-install.sh CMAKE BUILD_DIR BINDIR LIBDIR VERSION
set -eu
cmake="$1"
build="$2"
bindir="$3"
libdir="$4"
version="$5"

fail() {
    echo "FAIL: $*"
    exit 1
}
for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed"
        exit 77
    fi
done
for built in Plinka.app/Contents/MacOS/Plinka Plinka.app/Contents/Resources/Plinka.png \
             Plinka.app/Contents/Resources/silence.wav; do
    [ -e "$build/$built" ] ||
        fail "$build/$built is missing: build the plinka, plinka_resources and plinka_icons targets first"
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix="$scratch/prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

# The value of KEY in the desktop entry's GROUP.
desktop_value() {
    awk -v group="[$2]" -v key="$3" '
        /^\[/ { inside = ($0 == group) }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2) }' "$1"
}

check_installed() {
    root="$1"
    bundle="$root/$libdir/plinka/Plinka.app"
    [ -d "$bundle" ] || fail "no bundle at $bundle"
    [ -x "$bundle/Contents/MacOS/Plinka" ] || fail "the bundle has no executable"
    for file in PlugIns/plinka-sdl-output.so PlugIns/plinka-pipewire-output.so \
                PlugIns/plinka-pulse-output.so PlugIns/plinka-speech.so Resources/Defaults.plist \
                Resources/menubar.png Resources/Plinka.png Resources/silence.wav \
                Resources/de.lproj/InfoPlist.strings; do
        [ -f "$bundle/Contents/$file" ] || fail "no $file in the bundle"
    done
    grep -q "<string>org.plinka.Plinka</string>" "$bundle/Contents/Info.plist" ||
        fail "the bundle has no Info.plist with its identifier"
    themes=$(find "$bundle/Contents/Resources/KeySoundThemes" -name '*.plnk' | wc -l)
    [ "$themes" -ge 4 ] || fail "only $themes themes in the bundle"

    for launcher in plinka:Plinka.app/Contents/MacOS/Plinka plinka-theme:plinka-theme; do
        link="$root/$bindir/${launcher%%:*}"
        [ -L "$link" ] || fail "no launcher link at $link"
        [ "$(readlink -f "$link")" = "$(readlink -f "$root/$libdir/plinka/${launcher#*:}")" ] ||
            fail "$link does not reach $libdir/plinka/${launcher#*:}"
    done

    [ -f "$root/share/icons/hicolor/48x48/apps/org.plinka.Plinka.png" ] || fail "no 48x48 icon"
    for icon in "$root"/share/icons/hicolor/*/apps/org.plinka.Plinka.png; do
        # A PNG's width and height are the big-endian words at offset 16.
        size=$(od -An -tu4 --endian=big -j16 -N8 "$icon" | tr -s ' ' | sed 's/^ //; s/ /x/')
        case "$icon" in
        */hicolor/"$size"/apps/*) ;;
        *) fail "$icon is $size" ;;
        esac
    done

    entry="$root/share/applications/org.plinka.Plinka.desktop"
    [ -f "$entry" ] || fail "no desktop entry"
    [ "$(desktop_value "$entry" "Desktop Entry" Exec)" = plinka ] ||
        fail "the desktop entry does not run the launcher"
    [ "$(desktop_value "$entry" "Desktop Action Preferences" Exec)" = "plinka --preferences" ] ||
        fail "the desktop entry's Preferences action does not open the Preferences"

    metainfo="$root/share/metainfo/org.plinka.Plinka.metainfo.xml"
    [ -f "$metainfo" ] || fail "no AppStream metadata"
    grep -q "<release version=\"$version\"" "$metainfo" ||
        fail "the AppStream metadata does not name release $version"
}

check_installed "$prefix"
# desktop-file-validate exits 0 on warnings; any remark at all counts as a failure here.
remarks=$(desktop-file-validate "$prefix/share/applications/org.plinka.Plinka.desktop" 2>&1) ||
    fail "desktop-file-validate: $remarks"
[ -z "$remarks" ] || fail "desktop-file-validate: $remarks"
# Warnings and errors fail the validation; pedantic notes do not.
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.plinka.Plinka.metainfo.xml"

# Moved elsewhere, the relative launcher still reaches the bundle.
mv "$prefix" "$scratch/moved"
check_installed "$scratch/moved"
echo "installed, validated and movable"
