#!/usr/bin/env bash
# Builds the Debian package from the build tree, unpacks it into a throw-away root as dpkg would lay it
# out, grants the capability the way its post-install step does, and runs the installed program there on
# the private desktop: it has to start, speak German from its installed language files, record where it
# found them, and start its installed helper.
#   check_installed_package.sh BUILD_DIR
set -euo pipefail
build=$1

work=$(mktemp -d)
program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in cpack dpkg-deb setcap getcap xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh installs it)"
done
[ -n "${DISPLAY:-}" ] || fail "no X display: run the test under scripts/platform-test-env.sh"

# The package, made as scripts/package.sh makes it but into a folder of the test's own.
if ! (cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/out" -G DEB >"$work/cpack.log" 2>&1); then
    cat "$work/cpack.log" >&2
    fail "cpack could not make the package"
fi
debs=("$work"/out/orvanta_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no orvanta_*.deb in $work/out"
deb=${debs[0]}
root=$work/root usr=$work/root/usr
dpkg-deb -x "$deb" "$root"
dpkg-deb -e "$deb" "$work/control"

for file in bin/orvanta bin/orvantactl lib/orvanta/Orvanta_Settings lib/orvanta/libTalvenorMacro.so \
    share/orvanta/Language/Orvanta.ENU share/orvanta/Language/Orvanta.DEU \
    share/orvanta/doc/orvanta-manual.html share/doc/orvanta/copyright share/doc/orvanta/changelog.gz \
    share/dbus-1/services/org.orvanta.Orvanta.service share/dbus-1/interfaces/org.orvanta.Orvanta1.xml; do
    [ -f "$usr/$file" ] || fail "the package has no /usr/$file"
done
# The bus starts the installed program under its application ID.
grep -qx 'Name=org.orvanta.Orvanta' "$usr/share/dbus-1/services/org.orvanta.Orvanta.service" ||
    fail "the D-Bus service file names no org.orvanta.Orvanta"
grep -qx 'Exec=/usr/bin/orvanta' "$usr/share/dbus-1/services/org.orvanta.Orvanta.service" ||
    fail "the D-Bus service file does not start /usr/bin/orvanta"
control=$work/control/control
grep -q '^Depends:.*libqt6widgets6' "$control" || fail "Depends names no Qt library (shlibdeps did not run): $(grep '^Depends:' "$control")"
grep -q '^Depends:.*libcap2-bin' "$control" || fail "Depends lacks libcap2-bin, whose setcap the post-install step runs"
grep -q '^Suggests: gnome-shell-extension-appindicator$' "$control" || fail "Suggests lacks gnome-shell-extension-appindicator"
grep -q '^Recommends: qt6-wayland$' "$control" || fail "Recommends lacks qt6-wayland"
if find "$usr" -type f \( -perm -u+x -o -name '*.so' \) -exec file {} + | grep ELF | grep -q 'not stripped'; then
    fail "the package holds unstripped programs"
fi

# The helper runs from its installed place: its libraries are all there.
helper_out=$("$usr/lib/orvanta/Orvanta_Settings" 2>&1 || true)
case $helper_out in
*"usage: Orvanta_Settings"*) ;;
*) fail "the installed helper did not start: $helper_out" ;;
esac

# The post-install step's own command, run on the unpacked program instead of /usr/bin/orvanta.
postinst=$work/control/postinst
[ -x "$postinst" ] || fail "the package has no executable postinst"
capability=$(grep -oE 'setcap [^ ]+ /usr/bin/orvanta' "$postinst" | head -n1 | cut -d' ' -f2)
[ -n "$capability" ] || fail "the postinst runs no \"setcap CAPS /usr/bin/orvanta\""
setcap "$capability" "$usr/bin/orvanta" || fail "setcap $capability failed (the test needs root or CAP_SETFCAP)"
getcap "$usr/bin/orvanta" | grep -q 'cap_wake_alarm[=+]ep' ||
    fail "getcap shows no cap_wake_alarm on the program: $(getcap "$usr/bin/orvanta")"

# A private home with a reminder due in a few seconds, added by the installed orvantactl.
home=$work/home
mkdir -p "$home/data/Orvanta" "$home/config" "$home/cache" "$home/run"
chmod 700 "$home/run"
# German chosen in the settings, as the Options tab stores it; no first-run question in front.
printf '[Option]\nmfirst=0\n[Lang]\nLang=.DEU\n' >"$home/data/Orvanta/wake.ini"
due=$(date -d '+4 seconds' '+%Y-%m-%d %H:%M:%S')
"$usr/bin/orvantactl" --data-dir "$home/data/Orvanta" add --date "${due% *}" --start "${due#* }" \
    --message "Paket" >/dev/null || fail "the installed orvantactl could not add a task"

# A stand-in for pkexec, through which the program starts its helper: it writes down what it was asked to
# start.
mkdir -p "$work/fakebin"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/pkexec.args"\n' "$work" >"$work/fakebin/pkexec"
chmod 755 "$work/fakebin/pkexec"

env PATH="$work/fakebin:$PATH" HOME="$home" XDG_DATA_HOME="$home/data" \
    XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/run" \
    QT_ACCESSIBILITY=0 NO_AT_BRIDGE=1 "$usr/bin/orvanta" >"$work/program.log" 2>&1 &
program_pid=$!

# Waits up to 20 s for a visible window of the program with that exact title.
window_titled() {
    for _ in $(seq 200); do
        kill -0 "$program_pid" 2>/dev/null || fail "the installed program ended early: $(cat "$work/program.log")"
        xdotool search --all --onlyvisible --pid "$program_pid" --name "^$1\$" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
window_titled Orvanta || fail "the installed program showed no main window in 20 s"
# The reminder's title comes from the German language file; without it the window says "Reminder".
window_titled Erinnerung || fail "no reminder titled \"Erinnerung\": the program found no German language file"

registry=$home/config/Orvanta/registry.ini
grep -qxF "Orvanta=$usr/share/orvanta" "$registry" 2>/dev/null ||
    fail "the program recorded its language files at \"$(grep '^Orvanta=' "$registry" 2>/dev/null)\", not $usr/share/orvanta"
# Tools > Atomic Clock starts the helper; the menu is reached by keyboard, as no window manager runs here.
main=$(xdotool search --all --onlyvisible --pid "$program_pid" --name '^Orvanta$' | head -n1)
xdotool windowfocus --sync "$main"
for key in alt Right Down Return; do
    xdotool key --clearmodifiers "$key"
    sleep 0.3
done
for _ in $(seq 50); do
    [ -s "$work/pkexec.args" ] && break
    sleep 0.1
done
[ -s "$work/pkexec.args" ] || fail "Tools > Atomic Clock started no helper through pkexec"
helper_asked=$(head -n1 "$work/pkexec.args")
[ "$helper_asked" = "$usr/lib/orvanta/Orvanta_Settings" ] ||
    fail "the program started the helper as \"$helper_asked\", not $usr/lib/orvanta/Orvanta_Settings"

echo "the installed program started, spoke German and found its language files and helper under $usr"
