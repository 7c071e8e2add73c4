#!/bin/sh
# Checks the Debian package as a user meets it: lintian, then apt installs it; the installed
# tree holds the bundle's modules and themes, launchers into it, a valid desktop entry and
# AppStream metadata (lintian checks the icons); the installed Plinka starts on a private X
# server and session bus and plays keys, plinka-theme lists the themes; an upgrade and a
# removal under a running copy leave that copy playing until it quits; the purge leaves nothing
# under /usr.
# Usage: check-package.sh PACKAGE.deb (as root, else through sudo).
set -eu
command -v dpkg >/dev/null 2>&1 || { echo "no dpkg here: the package is not installed"; exit 0; }
[ "$(id -u)" -eq 0 ] || exec sudo "$0" "$@"
# Plinka's single-copy guard looks at every process of its user. In a PID namespace of its own
# (where the machine allows one), the check neither yields to a Plinka running elsewhere on the
# machine nor leaves a process behind: the kernel ends them all with the namespace.
if [ -z "${PLINKA_OWN_PIDS:-}" ] && unshare --pid --fork --mount-proc true 2>/dev/null; then
    exec unshare --pid --fork --mount-proc env PLINKA_OWN_PIDS=1 "$0" "$@"
fi
deb=$(realpath "$1")
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

lintian --fail-on error "$deb"
# An icon whose size is not its folder's is only a warning to lintian; here it fails.
lintian --fail-on warning --tags icon-size-and-directory-name-mismatch "$deb"
if dpkg-query -W -f='${Status}' plinka 2>/dev/null | grep -q "ok installed"; then
    fail "plinka is installed already; purge it first, as this check purges what it installs"
fi
apt_get() {
    DEBIAN_FRONTEND=noninteractive apt-get -y -q "$@" >"$scratch/apt.log" 2>&1 ||
        fail "apt-get $*: $(tail -5 "$scratch/apt.log")"
}

scratch=$(mktemp -d)
pids=""
installed=no
cleanup() {
    for pid in $pids ${bus_pid:-}; do
        kill "$pid" 2>/dev/null || true
    done
    wait
    [ "$installed" = no ] || dpkg --purge plinka >/dev/null 2>&1 || true
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Polls a command for up to ten seconds.
eventually() {
    tries=50
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.2
    done
}

Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 800x600x24 \
    3>"$scratch/display" 2>"$scratch/xvfb.log" &
pids="$pids $!"
eventually test -s "$scratch/display" || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
display=":$(cat "$scratch/display")"
dbus-daemon --session --fork --print-address=1 --print-pid=1 >"$scratch/bus"
bus=$(sed -n 1p "$scratch/bus")
bus_pid=$(sed -n 2p "$scratch/bus")

home="$scratch/home"
mkdir -p "$home/config" "$home/data" "$home/runtime"
chmod 700 "$home/runtime"
# Runs a program in the session's environment in place of the calling shell: call it in a
# subshell, so that a program started in the background is the process $! names.
session() {
    exec env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/config" \
        XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime" TMPDIR="$home" \
        DISPLAY="$display" QT_QPA_PLATFORM=xcb PLINKA_INPUT=x11 \
        DBUS_SESSION_BUS_ADDRESS="$bus" DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent \
        SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$scratch/mix-$copy.f32" "$@"
}
# Starts copy number $1 of the installed Plinka with theme $2 in the background; its process is
# $plinka.
start_plinka() {
    copy=$1
    (session /usr/bin/plinka -SUEnableAutomaticChecks NO -soundTheme "$2") \
        >"$scratch/plinka-$copy.log" 2>&1 &
    plinka=$!
    pids="$pids $plinka"
}
name_owner() {
    (session gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.GetConnectionUnixProcessID org.plinka.Plinka) 2>/dev/null |
        sed -n 's/.*uint32 \([0-9]*\).*/\1/p'
}
owns_name() {
    [ "$(name_owner)" = "$1" ]
}
# A key typed on the X server comes out of copy $1's mix as sound.
key_sounds() {
    mix="$scratch/mix-$1.f32"
    before=$(stat -c %s "$mix" 2>/dev/null || echo 0)
    (session xdotool key a)
    sleep 0.3
    tail -c +$((before + 1)) "$mix" | od -An -v -tf4 | tr -s ' ' '\n' |
        awk 'NF && ($1 > 0.001 || $1 < -0.001) { loud = 1; exit } END { exit !loud }'
}
# Whether the child process has ended: gone, or a zombie the shell has not reaped yet.
has_ended() {
    [ ! -e "/proc/$1" ] || [ "$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" = Z ]
}
# Whether the child process, ending or told to end, ended with status 0 within ten seconds.
ended_normally() {
    eventually has_ended "$1" || return 1
    status=0
    wait "$1" || status=$?
    pids=$(echo " $pids " | sed "s/ $1 / /")
    [ "$status" -eq 0 ]
}
quits_normally() {
    kill -TERM "$1"
    ended_normally "$1"
}

apt_get install "$deb"
installed=yes
bundle=$(dpkg -L plinka | grep '/Plinka\.app$') || fail "the package holds no bundle"
for file in MacOS/Plinka PlugIns/plinka-sdl-output.so PlugIns/plinka-pipewire-output.so \
            PlugIns/plinka-pulse-output.so PlugIns/plinka-speech.so Resources/Defaults.plist \
            Resources/menubar.png Resources/Plinka.png Resources/silence.wav \
            Resources/de.lproj/InfoPlist.strings; do
    [ -f "$bundle/Contents/$file" ] || fail "no $file in the bundle"
done
themes=$(find "$bundle/Contents/Resources/KeySoundThemes" -name '*.plnk' | wc -l)
[ "$themes" -ge 4 ] || fail "only $themes themes in the bundle"
for launcher in plinka:Plinka.app/Contents/MacOS/Plinka plinka-theme:plinka-theme; do
    [ "$(readlink -f "/usr/bin/${launcher%%:*}")" = "$(readlink -f "$bundle/../${launcher#*:}")" ] ||
        fail "/usr/bin/${launcher%%:*} does not reach ${launcher#*:} beside the bundle"
done
entry=/usr/share/applications/org.plinka.Plinka.desktop
# desktop-file-validate exits 0 on warnings; any remark at all counts as a failure here.
remarks=$(desktop-file-validate "$entry" 2>&1) && [ -z "$remarks" ] ||
    fail "desktop-file-validate: $remarks"
# The Exec lines of the main group and of the Preferences action, in that order.
[ "$(grep '^Exec=' "$entry" | tr '\n' '|')" = "Exec=plinka|Exec=plinka --preferences|" ] ||
    fail "the desktop entry runs $(grep '^Exec=' "$entry")"
metainfo=/usr/share/metainfo/org.plinka.Plinka.metainfo.xml
grep -q "<release version=\"$(dpkg-deb -f "$deb" Version)\"" "$metainfo" ||
    fail "the AppStream metadata does not name the package's version"
# Warnings and errors fail the validation; pedantic notes do not.
appstreamcli validate --no-net --pedantic "$metainfo" >"$scratch/appstream.log" ||
    fail "appstreamcli: $(cat "$scratch/appstream.log")"

start_plinka 1 Mechanical
first=$plinka
eventually owns_name "$first" ||
    fail "plinka did not take its D-Bus name: $(cat "$scratch/plinka-1.log")"
# Keys sound once the launch is through: a dialog at launch, such as the move offer that an
# installed copy never gets, would hold them back.
eventually key_sounds 1 || fail "keys make no sound: $(cat "$scratch/plinka-1.log")"
(session plinka-theme list) >"$scratch/themes" || fail "plinka-theme list failed"
grep -qx Off "$scratch/themes" && grep -qx Mechanical "$scratch/themes" ||
    fail "plinka-theme lists: $(cat "$scratch/themes")"

# A later version installed over the running copy: that copy plays on, a second start yields to
# it, and once it quits the new version starts.
dpkg-deb -R "$deb" "$scratch/next"
sed -i 's/^Version: .*/&+next/' "$scratch/next/DEBIAN/control"
dpkg-deb --root-owner-group -b "$scratch/next" "$scratch/plinka-next.deb" >/dev/null
apt_get install "$scratch/plinka-next.deb"
eventually key_sounds 1 || fail "the running copy went quiet after the upgrade"
start_plinka 2 Mechanical
ended_normally "$plinka" || fail "a second start during the upgraded copy's run did not yield"
owns_name "$first" || fail "the running copy lost its D-Bus name"
quits_normally "$first" || fail "the upgraded copy did not quit normally"
start_plinka 3 Speaking
eventually owns_name "$plinka" ||
    fail "the new version did not start: $(cat "$scratch/plinka-3.log")"

# Removed under the running copy: it plays on from memory and quits normally. Its first key
# speaks only now, with the speech module that was on disk when it started.
apt_get remove plinka
eventually key_sounds 3 ||
    fail "the running copy went quiet after the removal: $(cat "$scratch/plinka-3.log")"
quits_normally "$plinka" || fail "the copy whose package was removed did not quit normally"
# Without configuration files the removal left nothing for apt to purge; dpkg still does it.
dpkg --purge plinka >"$scratch/apt.log" 2>&1 || fail "dpkg --purge: $(cat "$scratch/apt.log")"
installed=no

left=$(find /usr -iname '*plinka*' | head -5)
[ -z "$left" ] || fail "left after the purge: $left"
echo "installed, ran, upgraded and removed under a running copy, purged clean"
